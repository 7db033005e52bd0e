#include "client/main_messages.h"

#include "client/program_state.h"
#include "dui/controls/message_box.h"

#include <string>

namespace client {
namespace {

std::function<void(std::string_view)>& message_routine() {
  static std::function<void(std::string_view)> routine;
  return routine;
}

}  // namespace

void tell_in_main_window(std::string_view gbk_text) {
  if (message_routine()) {
    message_routine()(gbk_text);
    return;
  }
  dui::MessageBoxOptions options;
  options.title = "提示";
  options.icon = dui::box_icon::information;
  dui::message_box(program_state().main_window_handle, std::string(gbk_text), options);
}

namespace testing {
void set_main_message_routine(std::function<void(std::string_view gbk_text)> routine) {
  message_routine() = std::move(routine);
}
}  // namespace testing

}  // namespace client

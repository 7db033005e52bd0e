// The message box and the program's end, each behind a routine a test may replace.
#include "dialogs/program_control.h"

#include "platform/forms.h"
#include "platform/services.h"

#include <mutex>

namespace dialogs {

namespace {

std::mutex routines_mutex;
std::function<void(std::string_view)> message_routine;
std::function<void(int)> end_routine;

template <typename Routine>
Routine current(const Routine& routine) {
  std::lock_guard lock(routines_mutex);
  return routine;
}

}  // namespace

void tell_user(std::string_view gbk_text) {
  if (auto routine = current(message_routine)) {
    routine(gbk_text);
    return;
  }
  platform::forms::message_box(gbk_text, "信息：");
}

void end_program(int exit_code) {
  if (auto routine = current(end_routine)) {
    routine(exit_code);
    return;
  }
  platform::services::end_process(platform::services::current_process_id(), exit_code);
}

namespace testing {

void set_message_routine(std::function<void(std::string_view)> routine) {
  std::lock_guard lock(routines_mutex);
  message_routine = std::move(routine);
}

void set_end_routine(std::function<void(int)> routine) {
  std::lock_guard lock(routines_mutex);
  end_routine = std::move(routine);
}

}  // namespace testing

}  // namespace dialogs

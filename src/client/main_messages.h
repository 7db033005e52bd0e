// Messages of the main window's content: the framework's drawn message box, owned by the main
// window, titled "提示" with the information icon. Tests replace the box with a routine.
#pragma once

#include <functional>
#include <string_view>

namespace client {

void tell_in_main_window(std::string_view gbk_text);

namespace testing {
// Receives the texts instead of the box; an empty routine restores the box.
void set_main_message_routine(std::function<void(std::string_view gbk_text)> routine);
}  // namespace testing

}  // namespace client

// Messages to the user and the end of the program, as the dialogs use them. Both go through
// replaceable routines so that tests can watch a message or an ending without a person and
// without the test process dying.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace dialogs {

// The system message box: the text, the title "信息：", one OK button. Any thread.
void tell_user(std::string_view gbk_text);

// Ends the program at once with the exit code (output is flushed first). Any thread. Returns
// only when a test routine has replaced the real ending.
void end_program(int exit_code);

namespace testing {

// Routines that stand in for the message box and the ending; an empty routine restores the
// real one.
void set_message_routine(std::function<void(std::string_view gbk_text)> routine);
void set_end_routine(std::function<void(int exit_code)> routine);

}  // namespace testing

}  // namespace dialogs

// Turns input (from the Qt widgets or from the test seams) into window messages: the one
// path for real and injected input. It applies the mouse capture, the modal loops' filter,
// disabled windows, activation on press, WM_NCHITTEST and WM_SETCURSOR, double clicks,
// mouse-leave tracking, the move/size loop and the key state.
#pragma once

#include "platform/window.h"

#include <string_view>

namespace platform::window::detail {

enum class mouse_action { move, press, release, double_click, wheel };
enum class mouse_button { none, left, right, middle };

struct mouse_input {
  handle target = 0;  // the window under the mouse (or the one that had it, while dragging)
  point screen;
  mouse_action action = mouse_action::move;
  mouse_button button = mouse_button::none;
  int wheel_delta = 0;
};

void route_mouse(const mouse_input& input);
// The mouse went to no window of ours.
void route_pointer_left(handle window);
// WM_KEYDOWN/UP, or WM_SYSKEYDOWN/UP while Alt is held (or for Alt itself).
void route_key(handle target, int virtual_key, bool down);
// WM_CHAR per GBK byte, WM_SYSCHAR while Alt is held.
void route_text(handle target, std::string_view gbk);

void set_key_held(int virtual_key, bool held);
// The MK_* bits of the current key and button state.
wparam mouse_key_bits();

// After the capture went away: a pending mouse-leave of a window the mouse is no longer over.
void check_leave_after_capture(handle former_capture);

}  // namespace platform::window::detail

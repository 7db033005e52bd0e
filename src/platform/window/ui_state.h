// State of the window system that belongs to the user-interface thread: focus, activation,
// capture, the mouse, the keys, the stack of running loops and the stacking order.
#pragma once

#include "platform/window.h"

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace platform::window::detail {

struct ui_state {
  handle focus = 0;
  handle active = 0;
  handle capture = 0;
  handle pointer_window = 0;  // the window the mouse is over (0: none of ours)
  cursor current_cursor = 0;
  std::vector<handle> loop_filters;  // per running loop: its modal window or 0
  std::vector<handle> stacking;      // shown windows, bottom first
  std::array<bool, 256> keys{};      // held virtual keys, mouse buttons included
  std::optional<point> injected_cursor;  // set by test input; else the real pointer
  std::optional<rect> fake_work_area;
  std::function<void(handle)> present_observer;  // test seam: told after each presentation
};

ui_state& state();

// True for keyboard (255-263) and mouse (512-525) messages: the ones a modal loop filters.
constexpr bool is_input_message(unsigned message) {
  return (message >= 255 && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

// False when rendering offscreen (tests): then the desktop's own raising, masks, grabs and
// activation are left alone and the window system's state is the only truth.
bool real_desktop();

// Whether the innermost running loop lets input for the window through.
bool input_allowed(handle window);

// Calls the window's procedure on the UI thread; 0 when the window does not exist.
result call_window(handle window, unsigned message, wparam w, lparam l);

// Puts the window at the top of the stacking order (topmost windows stay above the others).
void raise_in_stacking(handle window);
void drop_from_stacking(handle window);

}  // namespace platform::window::detail

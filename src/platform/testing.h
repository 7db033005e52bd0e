// Test seams of the platform: input as if a user did it, the pixels a window shows, a clock
// that tests drive by hand, and screenshots for a person to look at. For tests only.
#pragma once

#include "platform/window.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform::testing {

using platform::window::handle;
using platform::window::point;

// ---- Input -------------------------------------------------------------------------------
// Each call goes through the same path as real input: capture redirection, the modal loop's
// input filter, disabled windows, mouse-leave tracking, WM_SETCURSOR, activation on press,
// double clicks for CS_DBLCLKS classes and the move/size loop. Positions are client
// coordinates of `window`. The cursor position follows the injected mouse.

enum class button { left, right };

void mouse_move(handle window, point client);
void mouse_down(handle window, point client, button b = button::left);
void mouse_up(handle window, point client, button b = button::left);
// The second press of a double click (after mouse_down/mouse_up at the same place).
void mouse_double_click(handle window, point client, button b = button::left);
// Press and release.
void click(handle window, point client, button b = button::left);
// delta: multiples of 120 per notch, positive away from the user.
void mouse_wheel(handle window, point client, int delta);
// The mouse leaves the window (to no window of this process).
void mouse_leave(handle window);

// Keys: WM_KEYDOWN / WM_KEYUP, or WM_SYSKEYDOWN / WM_SYSKEYUP while Alt (VK_MENU) is held.
void key_down(handle window, int virtual_key);
void key_up(handle window, int virtual_key);
// A typed text (GBK): WM_CHAR per byte (a Chinese character as its two bytes, lead first),
// WM_SYSCHAR instead while Alt is held.
void type_text(handle window, std::string_view gbk);
// Alt + key: WM_SYSKEYDOWN for Alt and the key, WM_SYSCHAR with the key's character
// (lower case for letters), then the key-ups.
void alt_key(handle window, char key);

// ---- Pixels ------------------------------------------------------------------------------

// What the window shows: the presented pixels (premultiplied ARGB, alpha kept), cut by the
// window region and multiplied by the global alpha of a layered window. Client size.
platform::window::pixel_image presented_pixels(handle window);
// Number of presentations (present_layered / present_rect) the window has had: a frame counter.
int present_count(handle window);
// Calls the observer after every presentation of any window (an empty function stops it), so
// that a test can read each frame of an animation with presented_pixels.
void watch_presentations(std::function<void(handle window)> observer);
// The window as a person would see it (presented pixels plus any standard controls on it).
platform::window::pixel_image grab(handle window);

bool save_png(const platform::window::pixel_image& image, const std::string& path);
// Saves grab(window) as <name>.png under $QUENBO_TEST_ARTIFACTS (else <temp>/quenbo-test-artifacts)
// and answers the path ("" on failure).
std::string save_window_png(handle window, std::string_view name);

// ---- Clock and screen --------------------------------------------------------------------

// With a manual clock tick_count() stands still until advance_clock; platform::window::sleep
// advances it instead of waiting; timers fire by it (in advance_clock and in pump).
void use_manual_clock(bool manual);
// Advances the manual clock, firing due timers in order at their due times.
void advance_clock(unsigned ms);

// Replaces the work area (nullopt: the screen's own again).
void set_work_area(std::optional<platform::window::rect> area);

// Forgets a pending quit request and resets the injected input state (keys, buttons), so
// that tests do not leak into each other.
void reset_input_and_loop();

}  // namespace platform::testing

// Event codes delivered to controls and the framework's own window messages.
// Codes below 10240 carry the window-message number of the same meaning.
#pragma once

#include <cstdint>

namespace dui {

namespace event {
constexpr int create = 1;
constexpr int destroy = 2;
constexpr int paint = 15;
constexpr int timer = 275;
constexpr int mouse_move = 512;
constexpr int left_down = 513;
constexpr int left_up = 514;
constexpr int double_click = 515;  // binding only: matches left_down with wparam double_click_mark
constexpr int right_down = 516;
constexpr int right_up = 517;
constexpr int focus_gained = 10240;
constexpr int focus_lost = 10241;
constexpr int mouse_enter = 10242;
constexpr int mouse_leave = 10243;
constexpr int click = 10244;
constexpr int resized = 10245;
constexpr int hidden = 10246;
constexpr int shown = 10247;
constexpr int transition_draw = 10248;
constexpr int press_query = 10250;
constexpr int disabled_look = 10254;
constexpr int moved = 10257;
constexpr int focus_query = 10260;
constexpr int alpha_changed = 10261;
constexpr int full_redraw = 10262;
constexpr int animation_started = 10263;
constexpr int animation_finished = 10264;

// A double click arrives as left_down with this wparam.
constexpr std::uintptr_t double_click_mark = 10086;
}  // namespace event

// Messages the framework sends or posts to a host window.
namespace host_message {
constexpr unsigned set_focus = 10240;          // lparam: control
constexpr unsigned register_mnemonic = 10251;  // wparam: control, lparam: key code
constexpr unsigned present_layered = 10253;
constexpr unsigned invalidate = 10256;     // wparam: mode, lparam: owned rectangle
constexpr unsigned control_moved = 10257;  // wparam: control, lparam: 1 = recompose
constexpr unsigned deliver_event = 10258;  // wparam: control, lparam: owned event block
}  // namespace host_message

// Modes of Ex_Window::invalidate_rect.
namespace redraw_mode {
constexpr int append = 0;
constexpr int at_once = 1;
constexpr int first = 2;
}  // namespace redraw_mode

}  // namespace dui

// Input as if a user did it, through the window system's own input path.
#include "platform/testing.h"

#include "input_router.h"
#include "ui_state.h"

#include <cctype>

namespace platform::testing {
namespace {

namespace wd = platform::window::detail;

wd::mouse_button button_of(button b) { return b == button::right ? wd::mouse_button::right : wd::mouse_button::left; }

void mouse(handle window, point client, wd::mouse_action action, wd::mouse_button b, int wheel = 0) {
  if (!platform::window::exists(window)) return;
  wd::mouse_input input;
  input.target = window;
  input.screen = platform::window::client_to_screen(window, client);
  input.action = action;
  input.button = b;
  input.wheel_delta = wheel;
  wd::state().injected_cursor = input.screen;
  wd::route_mouse(input);
}

}  // namespace

void mouse_move(handle window, point client) {
  mouse(window, client, wd::mouse_action::move, wd::mouse_button::none);
}

void mouse_down(handle window, point client, button b) {
  mouse(window, client, wd::mouse_action::press, button_of(b));
}

void mouse_up(handle window, point client, button b) {
  mouse(window, client, wd::mouse_action::release, button_of(b));
}

void mouse_double_click(handle window, point client, button b) {
  mouse(window, client, wd::mouse_action::double_click, button_of(b));
}

void click(handle window, point client, button b) {
  mouse_down(window, client, b);
  mouse_up(window, client, b);
}

void mouse_wheel(handle window, point client, int delta) {
  mouse(window, client, wd::mouse_action::wheel, wd::mouse_button::none, delta);
}

void mouse_leave(handle window) {
  wd::state().injected_cursor = platform::window::point{-32000, -32000};
  wd::route_pointer_left(window);
}

void key_down(handle window, int virtual_key) { wd::route_key(window, virtual_key, true); }

void key_up(handle window, int virtual_key) { wd::route_key(window, virtual_key, false); }

void type_text(handle window, std::string_view gbk) { wd::route_text(window, gbk); }

void alt_key(handle window, char key) {
  const int vk = std::toupper(static_cast<unsigned char>(key));
  wd::route_key(window, platform::window::VK_MENU, true);
  wd::route_key(window, vk, true);
  const char typed = static_cast<char>(std::tolower(static_cast<unsigned char>(key)));
  wd::route_text(window, std::string_view(&typed, 1));
  wd::route_key(window, vk, false);
  wd::route_key(window, platform::window::VK_MENU, false);
}

}  // namespace platform::testing

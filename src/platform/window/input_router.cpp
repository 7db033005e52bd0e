#include "input_router.h"

#include "move_size_loop.h"
#include "ui_state.h"
#include "window_record.h"

namespace platform::window::detail {
namespace {

unsigned mouse_message(mouse_action action, mouse_button button, bool double_clicks) {
  const bool right = button == mouse_button::right;
  const bool middle = button == mouse_button::middle;
  switch (action) {
    case mouse_action::move: return WM_MOUSEMOVE;
    case mouse_action::wheel: return WM_MOUSEWHEEL;
    case mouse_action::press: return right ? WM_RBUTTONDOWN : middle ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
    case mouse_action::release: return right ? WM_RBUTTONUP : middle ? WM_MBUTTONUP : WM_LBUTTONUP;
    case mouse_action::double_click:
      if (!double_clicks) return mouse_message(mouse_action::press, button, false);
      return right ? WM_RBUTTONDBLCLK : middle ? WM_MBUTTONDBLCLK : WM_LBUTTONDBLCLK;
  }
  return WM_MOUSEMOVE;
}

int button_key(mouse_button button) {
  switch (button) {
    case mouse_button::left: return VK_LBUTTON;
    case mouse_button::right: return VK_RBUTTON;
    case mouse_button::middle: return 4;
    case mouse_button::none: break;
  }
  return 0;
}

bool inside_client(handle window, point screen) {
  return client_rect(window).contains(screen_to_client(window, screen));
}

// Follows which window the mouse is over and posts the armed WM_MOUSELEAVE of the window it
// left, unless that window holds the capture (it is told when the capture ends).
void update_pointer_window(handle now_over) {
  auto& s = state();
  const handle before = s.pointer_window;
  s.pointer_window = now_over;
  if (before == 0 || before == now_over || before == s.capture) return;
  auto record = ui_record(before);
  if (record && record->leave_armed) {
    record->leave_armed = false;
    post(before, WM_MOUSELEAVE, 0, 0);
  }
}

// Activation on a press in an inactive window; false when the window eats the click.
bool activate_on_press(handle window, unsigned message) {
  auto record = ui_record(window);
  if (!record || state().active == window || (record->ex_style & WS_EX_NOACTIVATE) != 0) return true;
  const result answer = send(window, WM_MOUSEACTIVATE, window, make_lparam(HTCLIENT, static_cast<int>(message)));
  if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) set_active(window);
  return answer != MA_ACTIVATEANDEAT && answer != MA_NOACTIVATEANDEAT;
}

// A left press first asks where it is: the caption and the borders start the move/size loop.
bool press_in_client(handle window, point screen) {
  const result hit = send(window, WM_NCHITTEST, 0, make_lparam(screen.x, screen.y));
  if (hit == HTCLIENT) return true;
  if (hit == HTCAPTION || (hit >= HTLEFT && hit <= HTBOTTOMRIGHT)) {
    send(window, WM_NCLBUTTONDOWN, static_cast<wparam>(hit), make_lparam(screen.x, screen.y));
  }
  return false;
}

void deliver_mouse(handle window, unsigned message, point screen, int wheel_delta) {
  wparam w = mouse_key_bits();
  lparam l;
  if (message == WM_MOUSEWHEEL) {
    w |= static_cast<wparam>(static_cast<std::uint16_t>(wheel_delta)) << 16;
    l = make_lparam(screen.x, screen.y);
  } else {
    const point client = screen_to_client(window, screen);
    l = make_lparam(client.x, client.y);
  }
  call_window(window, message, w, l);
}

}  // namespace

void set_key_held(int virtual_key, bool held) {
  if (virtual_key > 0 && virtual_key < 256) state().keys[static_cast<std::size_t>(virtual_key)] = held;
}

wparam mouse_key_bits() {
  const auto& keys = state().keys;
  wparam bits = 0;
  if (keys[VK_LBUTTON]) bits |= MK_LBUTTON;
  if (keys[VK_RBUTTON]) bits |= MK_RBUTTON;
  if (keys[VK_SHIFT]) bits |= MK_SHIFT;
  if (keys[VK_CONTROL]) bits |= MK_CONTROL;
  if (keys[4]) bits |= MK_MBUTTON;
  return bits;
}

void route_mouse(const mouse_input& input) {
  auto& s = state();
  if (input.action == mouse_action::press || input.action == mouse_action::double_click) {
    set_key_held(button_key(input.button), true);
  } else if (input.action == mouse_action::release) {
    set_key_held(button_key(input.button), false);
  }
  if (move_size_loop::instance().feed(input)) return;

  const handle over = input.target != 0 && inside_client(input.target, input.screen)
                          ? input.target
                          : window_from_point(input.screen);
  update_pointer_window(over);

  const handle target = s.capture != 0 ? s.capture : input.target;
  auto record = ui_record(target);
  if (!record || !input_allowed(target)) return;
  if (!record->enabled && s.capture == 0) return;

  const unsigned message =
      mouse_message(input.action, input.button, (record->cls->info.style & CS_DBLCLKS) != 0);
  const bool press = input.action == mouse_action::press || input.action == mouse_action::double_click;
  if (press && !activate_on_press(target, message)) return;
  if (press && s.capture == 0 && input.button == mouse_button::left && message == WM_LBUTTONDOWN &&
      !press_in_client(target, input.screen)) {
    return;
  }
  if (message == WM_MOUSEMOVE && s.capture == 0) {
    send(target, WM_SETCURSOR, target, make_lparam(HTCLIENT, static_cast<int>(message)));
  }
  deliver_mouse(target, message, input.screen, input.wheel_delta);
}

void route_pointer_left(handle window) {
  if (state().pointer_window == window) update_pointer_window(0);
}

void check_leave_after_capture(handle former_capture) {
  auto& s = state();
  if (s.pointer_window == former_capture) return;
  auto record = ui_record(former_capture);
  if (record && record->leave_armed) {
    record->leave_armed = false;
    post(former_capture, WM_MOUSELEAVE, 0, 0);
  }
}

void route_key(handle target, int virtual_key, bool down) {
  set_key_held(virtual_key, down);
  auto& s = state();
  const handle to = s.focus != 0 ? s.focus : target;
  auto record = ui_record(to);
  if (!record || !record->enabled || !input_allowed(to)) return;
  const bool alt = s.keys[VK_MENU] || virtual_key == VK_MENU;
  const bool ctrl = s.keys[VK_CONTROL];
  const unsigned message = (alt && !ctrl) ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  lparam l = 1;  // repeat count
  if (!down) l |= static_cast<lparam>(0xC0000000u);
  if (alt) l |= static_cast<lparam>(1) << 29;
  call_window(to, message, static_cast<wparam>(virtual_key), l);
}

void route_text(handle target, std::string_view gbk) {
  auto& s = state();
  const handle to = s.focus != 0 ? s.focus : target;
  auto record = ui_record(to);
  if (!record || !record->enabled || !input_allowed(to)) return;
  const unsigned message = (s.keys[VK_MENU] && !s.keys[VK_CONTROL]) ? WM_SYSCHAR : WM_CHAR;
  for (unsigned char byte : gbk) {
    if (!exists(to)) return;
    call_window(to, message, byte, 1);
  }
}

}  // namespace platform::window::detail

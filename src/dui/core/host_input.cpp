// Ex_Window: mouse routing (hover, press, click, double click), border resizing, keyboard
// (Tab, Enter, Space, mnemonics) and focus.
#include "dui/core/host_window.h"

#include <cctype>

namespace dui {

namespace pw = platform::window;

namespace {

WParam as_wparam(Ex_Control* control) { return reinterpret_cast<WParam>(control); }
LParam as_lparam(Ex_Control* control) { return reinterpret_cast<LParam>(control); }

// The sizing zone (WMSZ_*) of a client position, 0 for none.
int border_zone(int x, int y, int w, int h) {
  if (y <= 7) return x <= 9 ? 4 : (x <= w - 10 ? 3 : 5);
  if (y > h - 10) return x < 10 ? 7 : (x <= w - 10 ? 6 : 8);
  if (x <= 7) return 1;
  if (x > w - 10) return 2;
  return 0;
}

int zone_cursor_id(int zone) {
  switch (zone) {
    case 1:
    case 2:
      return pw::IDC_SIZEWE;
    case 3:
    case 6:
      return pw::IDC_SIZENS;
    case 4:
    case 8:
      return pw::IDC_SIZENWSE;
    default:
      return pw::IDC_SIZENESW;
  }
}

}  // namespace

// ---- Mouse ----

void Ex_Window::on_mouse(unsigned message, WParam wparam, LParam lparam) {
  if (busy_ != 0 || window_ == 0) return;
  if (border_hit(message, lparam)) return;
  if (button_down_ != 0) {
    fire_event(pressed_, static_cast<int>(message), as_wparam(pressed_), lparam);
    if (message == pw::WM_LBUTTONUP) finish_press(wparam, lparam);
    return;
  }
  Ex_Control* target = hit_test(last_control_, pw::x_of(lparam), pw::y_of(lparam));
  if (target != hot_ && hot_ != nullptr && hot_->visible_ != 0) {
    Ex_Control* leaving = hot_;
    fire_event(leaving, event::mouse_leave, wparam, as_lparam(target));
    if (owns_control(leaving)) call(on_mouse_leave_, leaving, wparam, lparam, leaving->kind_);
  }
  if (message == pw::WM_LBUTTONDOWN) {
    if (pw::get_focus() != window_) pw::set_focus(window_);
    press(target, wparam, lparam);
  } else if (message == pw::WM_MOUSEMOVE && target != hot_) {
    enter(target, hot_, wparam, lparam);
  } else if (message == pw::WM_RBUTTONDOWN) {
    call(on_right_down_, target, wparam, lparam, target != nullptr ? target->kind_ : 0);
  } else if (message == pw::WM_RBUTTONUP) {
    call(on_right_up_, target, wparam, lparam, target != nullptr ? target->kind_ : 0);
  }
  if (target != nullptr && owns_control(target)) fire_event(target, static_cast<int>(message), wparam, lparam);
  hot_ = owns_control(target) ? target : nullptr;
}

void Ex_Window::press(Ex_Control* target, WParam wparam, LParam lparam) {
  const bool double_click = wparam == event::double_click_mark;
  if (target == nullptr) {
    if (double_click) {
      if (pw::y_of(lparam) < 30 && (features_ & feature::maximize_button) != 0) toggle_maximized();
    } else if (drag_anywhere_ != 0) {
      pw::send(window_, pw::WM_NCLBUTTONDOWN, static_cast<WParam>(pw::HTCAPTION), 0);
    }
    return;
  }
  if (target->on_event(event::press_query, 0, 0) != -1 || target->focusable_ != 0) {
    call(on_mouse_down_, target, wparam, lparam, target->kind_);
    button_down_ = 1;
    pressed_ = target;
    if (target->focusable_ != 0 && target != focus_) move_focus_to(target, wparam);
    if (double_click && owns_control(target)) call(on_double_click_, target, wparam, lparam, target->kind_);
    pw::set_capture(window_);
  } else if (double_click && (features_ & feature::title) != 0 && (features_ & feature::maximize_button) != 0 &&
             target == title_label_.get()) {
    toggle_maximized();
  }
  if (button_down_ == 0 && drag_anywhere_ != 0) {
    pw::send(window_, pw::WM_NCLBUTTONDOWN, static_cast<WParam>(pw::HTCAPTION), 0);
  }
}

void Ex_Window::move_focus_to(Ex_Control* target, WParam wparam) {
  Ex_Control* old = focus_;
  focus_ = target;
  keyboard_focus_ = nullptr;
  if (old != nullptr) {
    fire_event(old, event::focus_lost, wparam, as_lparam(target));
    if (owns_control(old)) call(on_focus_lost_, old, wparam, as_lparam(target), old->kind_);
  }
  if (!owns_control(target)) return;
  fire_event(target, event::focus_gained, wparam, as_lparam(old));
  if (owns_control(target)) call(on_focus_gained_, target, wparam, as_lparam(old), target->kind_);
}

void Ex_Window::finish_press(WParam wparam, LParam lparam) {
  Ex_Control* pressed = pressed_;
  if (pressed != nullptr) call(on_mouse_up_, pressed, wparam, lparam, pressed->kind_);
  pw::release_capture();
  Ex_Control* target = hit_test(last_control_, pw::x_of(lparam), pw::y_of(lparam));
  if (target == pressed && pressed != nullptr) {
    fire_event(pressed, event::click, as_wparam(pressed), lparam);
    if (owns_control(pressed)) call(on_click_, pressed, as_wparam(pressed), lparam, pressed->kind_);
  } else {
    if (owns_control(pressed) && pressed->visible_ != 0) {
      fire_event(pressed, event::mouse_leave, wparam, as_lparam(target));
      if (owns_control(pressed)) call(on_mouse_leave_, pressed, wparam, lparam, hot_ != nullptr ? hot_->kind_ : 0);
    }
    if (owns_control(target)) enter(target, pressed, wparam, lparam);
  }
  button_down_ = 0;
  pressed_ = nullptr;
  hot_ = owns_control(target) ? target : nullptr;
}

void Ex_Window::enter(Ex_Control* target, Ex_Control* previous, WParam wparam, LParam lparam) {
  if (target == nullptr) return;
  fire_event(target, event::mouse_enter, wparam, as_lparam(previous));
  if (!owns_control(target)) return;
  call(on_mouse_enter_, target, wparam, lparam, target->kind_);
  if (owns_control(target)) show_tooltip(target);
}

bool Ex_Window::border_hit(unsigned message, LParam lparam) {
  if (message != pw::WM_MOUSEMOVE && message != pw::WM_LBUTTONDOWN) return false;
  if (resizable_ == 0 || button_down_ != 0 || pw::is_maximized(window_)) return false;
  const int zone = border_zone(pw::x_of(lparam), pw::y_of(lparam), width_, height_);
  if (zone == 0) return false;
  pw::set_cursor(pw::load_cursor(zone_cursor_id(zone)));
  if (hot_ != nullptr) {
    Ex_Control* leaving = hot_;
    hot_ = nullptr;
    fire_event(leaving, event::mouse_leave, 0, 0);
  }
  if (message == pw::WM_LBUTTONDOWN) {
    pw::send(window_, pw::WM_SYSCOMMAND, pw::SC_SIZE + static_cast<WParam>(zone), lparam);
  }
  return true;
}

// ---- Keyboard ----

int Ex_Window::on_keydown(unsigned message, WParam wparam, LParam lparam) {
  if (focus_ != nullptr) {
    const int answer = fire_event(focus_, static_cast<int>(message), wparam, lparam);
    if (answer != -1) return answer;
  }
  if (wparam == static_cast<WParam>(pw::VK_TAB)) {
    tab_to_next();
  } else if ((wparam == static_cast<WParam>(pw::VK_RETURN) || wparam == static_cast<WParam>(pw::VK_SPACE)) &&
             focus_ != nullptr && focus_->visible_ != 0 && focus_->disabled_ == 0) {
    Ex_Control* target = focus_;
    fire_event(target, event::click, 0, 0);
    if (owns_control(target)) call(on_click_, target, 0, 0, target->kind_);
  }
  return -1;
}

Ex_Control* Ex_Window::top_level_of(Ex_Control* control) const {
  while (control != nullptr && control->parent_ != nullptr) control = control->parent_;
  return control;
}

void Ex_Window::tab_to_next() {
  Ex_Control* start = focus_ != nullptr ? top_level_of(focus_) : first_control_;
  if (start == nullptr) return;
  Ex_Control* candidate = start;
  // The walk ends at the starting control; the bound only guards against a broken list.
  for (int guard = 0; guard < 1'000'000; ++guard) {
    candidate = candidate->next_ != nullptr ? candidate->next_ : first_control_;
    if (candidate == nullptr) return;
    if (candidate->visible_ != 0 && candidate->focusable_ == 1 && candidate->disabled_ == 0 &&
        candidate->kind_ != kind::caption_button) {
      set_focus(candidate, true);
      return;
    }
    if (candidate == start) return;
  }
}

bool Ex_Window::on_syschar(unsigned message, WParam wparam, LParam lparam) {
  fire_event(focus_, static_cast<int>(message), wparam, lparam);
  const int typed = std::tolower(static_cast<unsigned char>(wparam & 0xFF));
  const std::vector<Mnemonic> mnemonics = mnemonics_;  // a click may change the list
  for (const Mnemonic& m : mnemonics) {
    if (std::tolower(m.key & 0xFF) != typed || !owns_control(m.control)) continue;
    if (m.control->visible_ == 0 || m.control->disabled_ != 0) continue;
    fire_event(m.control, event::click, 0, 0);
    if (owns_control(m.control)) call(on_click_, m.control, wparam, lparam, m.control->kind_);
    return true;
  }
  return false;
}

int Ex_Window::register_mnemonic(Ex_Control* control, int key_code) {
  for (auto it = mnemonics_.begin(); it != mnemonics_.end(); ++it) {
    if (it->control != control) continue;
    if (key_code == 0) {
      mnemonics_.erase(it);
    } else {
      it->key = key_code;  // a new key keeps the control's place in the search order
    }
    return 1;
  }
  if (key_code != 0) mnemonics_.push_back(Mnemonic{control, key_code});
  return 1;
}

// ---- Focus ----

void Ex_Window::set_focus(Ex_Control* control, bool by_keyboard) {
  if (control == nullptr || control->disabled_ != 0 || control->visible_ == 0 || control->focusable_ == 0 ||
      control->kind_ == kind::caption_button || control == focus_) {
    return;
  }
  Ex_Control* old = focus_;
  focus_ = control;
  keyboard_focus_ = nullptr;
  if (old != nullptr) old->send_event(event::focus_lost, 0, as_lparam(control));
  if (!owns_control(control)) return;
  if (by_keyboard) keyboard_focus_ = control;
  control->send_event(event::focus_gained, 0, as_lparam(old));
}

}  // namespace dui

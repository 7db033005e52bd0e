// Capture, keyboard focus, activation, mouse-leave tracking and the key state.
#include "input_router.h"
#include "ui_state.h"
#include "window_record.h"
#include "window_widget.h"

#include "platform/application.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform::window {

handle set_capture(handle window) {
  auto& s = detail::state();
  const handle previous = s.capture;
  auto record = detail::ui_record(window);
  if (!record || previous == window) return previous;
  s.capture = window;
  if (previous != 0) detail::call_window(previous, WM_CAPTURECHANGED, 0, static_cast<lparam>(window));
  if (record->widget && record->widget->isVisible() && detail::real_desktop()) {
    record->widget->grabMouse();
  }
  return previous;
}

bool release_capture() {
  auto& s = detail::state();
  const handle previous = s.capture;
  if (previous == 0) return true;
  s.capture = 0;
  if (auto record = detail::ui_record(previous); record && record->widget && detail::real_desktop()) {
    record->widget->releaseMouse();
  }
  detail::call_window(previous, WM_CAPTURECHANGED, 0, 0);
  detail::check_leave_after_capture(previous);
  return true;
}

handle get_capture() { return application::on_ui_thread() ? detail::state().capture : 0; }

bool track_mouse_leave(handle window) {
  auto record = detail::ui_record(window);
  if (!record) return false;
  auto& s = detail::state();
  if (s.pointer_window != window && s.capture != window) {
    record->leave_armed = false;
    return post(window, WM_MOUSELEAVE, 0, 0);
  }
  record->leave_armed = true;
  return true;
}

bool cancel_mouse_leave(handle window) {
  auto record = detail::ui_record(window);
  if (!record) return false;
  record->leave_armed = false;
  return true;
}

handle set_focus(handle window) {
  if (!application::on_ui_thread()) return 0;
  auto& s = detail::state();
  const handle previous = s.focus;
  if (window != 0 && !detail::ui_record(window)) return previous;
  if (previous == window) return previous;
  s.focus = window;
  if (previous != 0) detail::call_window(previous, WM_KILLFOCUS, window, 0);
  if (window != 0 && s.focus == window) detail::call_window(window, WM_SETFOCUS, previous, 0);
  return previous;
}

handle get_focus() { return application::on_ui_thread() ? detail::state().focus : 0; }

handle set_active(handle window) {
  if (!application::on_ui_thread()) return 0;
  auto& s = detail::state();
  const handle previous = s.active;
  auto record = detail::ui_record(window);
  if (window != 0 && !record) return previous;
  if (previous == window) return previous;
  s.active = window;
  if (previous != 0) {
    detail::call_window(previous, WM_NCACTIVATE, 0, 0);
    detail::call_window(previous, WM_ACTIVATE, WA_INACTIVE, static_cast<lparam>(window));
  }
  if (window != 0 && s.active == window) {
    detail::raise_in_stacking(window);
    if (record->widget && record->widget->isVisible() && detail::real_desktop()) {
      record->widget->raise();
      record->widget->activateWindow();
    }
    detail::call_window(window, WM_NCACTIVATE, 1, 0);
    detail::call_window(window, WM_ACTIVATE, WA_ACTIVE, static_cast<lparam>(previous));
  }
  return previous;
}

handle get_active() { return application::on_ui_thread() ? detail::state().active : 0; }

bool set_foreground(handle window) {
  if (!detail::ui_record(window)) return false;
  set_active(window);
  return detail::state().active == window;
}

handle get_foreground() { return get_active(); }

bool key_down(int virtual_key) {
  if (!application::on_ui_thread() || virtual_key <= 0 || virtual_key >= 256) return false;
  return detail::state().keys[static_cast<std::size_t>(virtual_key)];
}

point cursor_position() {
  if (application::on_ui_thread()) {
    if (const auto& injected = detail::state().injected_cursor) return *injected;
  }
  const QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

handle window_from_point(point screen) {
  if (!application::on_ui_thread()) return 0;
  const auto& order = detail::state().stacking;
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    auto record = detail::ui_record(*it);
    if (!record || !record->widget || !record->widget->isVisible()) continue;
    const point client = screen_to_client(*it, screen);
    if (!client_rect(*it).contains(client)) continue;
    if (record->region && !record->region->contains(QPoint(client.x, client.y))) continue;
    return *it;
  }
  return 0;
}

}  // namespace platform::window

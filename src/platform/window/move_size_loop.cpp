#include "move_size_loop.h"

#include "ui_state.h"
#include "window_record.h"
#include "window_widget.h"

#include <QGuiApplication>
#include <QWindow>

#include <algorithm>

namespace platform::window::detail {
namespace {

Qt::Edges edges_of_zone(int zone) {
  const sizing_sides s = sides_of_zone(zone);
  Qt::Edges edges;
  if (s.left) edges |= Qt::LeftEdge;
  if (s.top) edges |= Qt::TopEdge;
  if (s.right) edges |= Qt::RightEdge;
  if (s.bottom) edges |= Qt::BottomEdge;
  return edges;
}

// The desktop's own loop: only on a real desktop and while the button is down.
bool start_desktop_loop(const window_record& record, int zone) {
  if (!real_desktop() || !record.widget) return false;
  if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) return false;
  QWindow* native = record.widget->windowHandle();
  if (native == nullptr) return false;
  return zone == 0 ? native->startSystemMove() : native->startSystemResize(edges_of_zone(zone));
}

}  // namespace

sizing_sides sides_of_zone(int zone) {
  sizing_sides s;
  s.left = zone == WMSZ_LEFT || zone == WMSZ_TOPLEFT || zone == WMSZ_BOTTOMLEFT;
  s.right = zone == WMSZ_RIGHT || zone == WMSZ_TOPRIGHT || zone == WMSZ_BOTTOMRIGHT;
  s.top = zone == WMSZ_TOP || zone == WMSZ_TOPLEFT || zone == WMSZ_TOPRIGHT;
  s.bottom = zone == WMSZ_BOTTOM || zone == WMSZ_BOTTOMLEFT || zone == WMSZ_BOTTOMRIGHT;
  return s;
}

move_size_loop& move_size_loop::instance() {
  static move_size_loop loop;
  return loop;
}

bool move_size_loop::start(handle window, int zone) {
  auto record = ui_record(window);
  if (!record || zone < 0 || zone > WMSZ_BOTTOMRIGHT || record->maximized || record->minimized) return false;
  if (start_desktop_loop(*record, zone)) return true;
  min_max_info limits{};
  limits.min_track_size = {1, 1};
  limits.max_track_size = {32767, 32767};
  const rect area = work_area();
  limits.max_size = {area.width(), area.height()};
  limits.max_position = {area.left, area.top};
  send(window, WM_GETMINMAXINFO, 0, reinterpret_cast<lparam>(&limits));
  const rect r = window_rect(window);
  window_ = window;
  zone_ = zone;
  start_cursor_ = cursor_position();
  start_rect_ = QRect(r.left, r.top, r.width(), r.height());
  min_size_ = limits.min_track_size;
  max_size_ = limits.max_track_size;
  return true;
}

QRect move_size_loop::moved_rect(point cursor) const {
  const int dx = cursor.x - start_cursor_.x;
  const int dy = cursor.y - start_cursor_.y;
  if (zone_ == 0) return start_rect_.translated(dx, dy);
  const sizing_sides s = sides_of_zone(zone_);
  int left = start_rect_.left();
  int top = start_rect_.top();
  int right = start_rect_.left() + start_rect_.width();
  int bottom = start_rect_.top() + start_rect_.height();
  auto clamp_size = [](int size, int low, int high) { return std::clamp(size, low, std::max(low, high)); };
  if (s.left) left = right - clamp_size(right - (left + dx), min_size_.x, max_size_.x);
  if (s.right) right = left + clamp_size(right + dx - left, min_size_.x, max_size_.x);
  if (s.top) top = bottom - clamp_size(bottom - (top + dy), min_size_.y, max_size_.y);
  if (s.bottom) bottom = top + clamp_size(bottom + dy - top, min_size_.y, max_size_.y);
  return QRect(left, top, right - left, bottom - top);
}

bool move_size_loop::feed(const mouse_input& input) {
  if (window_ == 0) return false;
  if (!exists(window_)) {
    window_ = 0;
    return false;
  }
  if (input.action == mouse_action::move || input.action == mouse_action::release) {
    const QRect r = moved_rect(input.screen);
    move(window_, r.x(), r.y(), r.width(), r.height(), true);
  }
  if (input.action == mouse_action::release && input.button == mouse_button::left) window_ = 0;
  return true;
}

void move_size_loop::cancel(handle window) {
  if (window_ == window) window_ = 0;
}

}  // namespace platform::window::detail

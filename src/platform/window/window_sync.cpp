#include "window_sync.h"

#include "event_loop.h"
#include "ui_state.h"
#include "window_widget.h"

#include <QApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstring>

namespace platform::window::detail {
namespace {

void resize_surface(window_record& record, QSize size) {
  if (record.surface.size() == size) return;
  QImage next(size.expandedTo(QSize(0, 0)), QImage::Format_ARGB32_Premultiplied);
  next.fill(Qt::transparent);
  if (!record.surface.isNull() && !next.isNull()) {
    const int w = std::min(size.width(), record.surface.width());
    const int h = std::min(size.height(), record.surface.height());
    for (int y = 0; y < h; ++y) {
      std::memcpy(next.scanLine(y), record.surface.constScanLine(y), static_cast<std::size_t>(w) * 4);
    }
  }
  record.surface = std::move(next);
}

Qt::WindowFlags flags_of(const window_record& record) {
  Qt::WindowFlags flags = (record.ex_style & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
  if (!record.framed) {
    flags |= Qt::FramelessWindowHint;
  } else {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (record.style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (record.style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (record.style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
  }
  if (record.ex_style & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  if (record.ex_style & WS_EX_NOACTIVATE) flags |= Qt::WindowDoesNotAcceptFocus;
  return flags;
}

bool activation_sync_pending = false;

}  // namespace

wparam size_kind(const window_record& record) {
  if (record.minimized) return SIZE_MINIMIZED;
  return record.maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
}

void report_geometry(handle window) {
  auto record = ui_record(window);
  if (!record || !record->widget || record->destroying) return;
  resize_surface(*record, record->widget->size());
  const rect now = window_rect(window);
  if (record->reported_rect == now) return;
  window_pos pos{window, now.left, now.top, now.width(), now.height(), 0};
  if (record->reported_rect) {
    if (record->reported_rect->left == now.left && record->reported_rect->top == now.top) pos.flags |= SWP_NOMOVE;
    if (record->reported_rect->width() == now.width() && record->reported_rect->height() == now.height()) {
      pos.flags |= SWP_NOSIZE;
    }
  }
  record->reported_rect = now;
  call_window(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<lparam>(&pos));
}

void apply_widget_flags(window_record& record) {
  if (!record.widget) return;
  const Qt::WindowFlags flags = flags_of(record);
  if (record.widget->windowFlags() == flags) return;
  const bool visible = record.widget->isVisible();
  const QRect geometry = record.widget->geometry();
  record.widget->setWindowFlags(flags);  // hides a visible widget
  record.widget->setGeometry(geometry);
  if (visible) {
    record.widget->setAttribute(Qt::WA_ShowWithoutActivating, true);
    record.widget->show();
    record.widget->setAttribute(Qt::WA_ShowWithoutActivating, false);
  }
}

void evaluate_frame(handle window) {
  auto record = ui_record(window);
  if (!record) return;
  const bool frame_bits = (record->style & (WS_CAPTION | WS_THICKFRAME)) != 0;
  record->framed = frame_bits && call_window(window, WM_NCCALCSIZE, 1, 0) == 0;
  record = ui_record(window);
  if (record) apply_widget_flags(*record);
}

void minimize_window(handle window) {
  auto record = ui_record(window);
  if (!record || record->minimized || !record->widget) return;
  record->minimized = true;
  record->widget->showMinimized();
  const QSize size = record->widget->size();
  call_window(window, WM_SIZE, SIZE_MINIMIZED, make_lparam(size.width(), size.height()));
}

void maximize_window(handle window) {
  auto record = ui_record(window);
  if (!record || !record->widget) return;
  if (record->minimized) {
    record->minimized = false;
    record->widget->showNormal();
  }
  if (record->maximized) return;
  const rect area = work_area();
  min_max_info limits{};
  limits.max_size = {area.width(), area.height()};
  limits.max_position = {area.left, area.top};
  limits.min_track_size = {1, 1};
  limits.max_track_size = {32767, 32767};
  call_window(window, WM_GETMINMAXINFO, 0, reinterpret_cast<lparam>(&limits));
  record = ui_record(window);
  if (!record) return;
  const rect before = window_rect(window);
  record->normal_rect = QRect(before.left, before.top, before.width(), before.height());
  record->maximized = true;
  move(window, limits.max_position.x, limits.max_position.y, limits.max_size.x, limits.max_size.y, true);
}

void restore_window(handle window) {
  auto record = ui_record(window);
  if (!record || !record->widget) return;
  if (record->minimized) {
    record->minimized = false;
    record->widget->showNormal();
    const QSize size = record->widget->size();
    call_window(window, WM_SIZE, size_kind(*record), make_lparam(size.width(), size.height()));
    return;
  }
  if (!record->maximized) return;
  record->maximized = false;
  const QRect r = record->normal_rect;
  move(window, r.x(), r.y(), r.width(), r.height(), true);
}

void follow_desktop_activation() {
  if (!real_desktop() || activation_sync_pending) return;
  activation_sync_pending = true;
  // Deactivation and activation arrive as two events; decide once both are in.
  ui_loop().defer([] {
    activation_sync_pending = false;
    // A pop-up of Qt's own (a menu) or a window of another kind leaves the activation alone.
    QWidget* active = QApplication::activeWindow();
    if (QApplication::activePopupWidget() != nullptr) return;
    const handle now = handle_of_widget(active);
    if (active != nullptr && now == 0) return;
    if (now != state().active) set_active(now);
  });
}

}  // namespace platform::window::detail

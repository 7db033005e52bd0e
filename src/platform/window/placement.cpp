// Showing, placing and styling windows; rectangles, the work area and the window text.
#include "ui_state.h"
#include "window_record.h"
#include "window_sync.h"
#include "window_widget.h"

#include "platform/text.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace platform::window {
namespace {

constexpr std::uint32_t state_style_bits = WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE;

struct frame_size {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The desktop's frame around the client area (0 without a frame or before it is shown).
frame_size frame_of(const detail::window_record& record) {
  if (!record.framed || !record.widget) return {};
  const QRect frame = record.widget->frameGeometry();
  const QRect client = record.widget->geometry();
  return {client.x() - frame.x(), client.y() - frame.y(), (frame.x() + frame.width()) - (client.x() + client.width()),
          (frame.y() + frame.height()) - (client.y() + client.height())};
}

// Shows a hidden window (WM_SHOWWINDOW first) and activates it when asked to.
void make_visible(handle window, bool activate) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget) return;
  if (!record->widget->isVisible()) {
    detail::call_window(window, WM_SHOWWINDOW, 1, 0);
    record = detail::ui_record(window);
    if (!record || !record->widget) return;
    record->widget->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    record->widget->show();
    detail::raise_in_stacking(window);
    invalidate(window);
  }
  if (activate && (record->ex_style & WS_EX_NOACTIVATE) == 0) set_active(window);
}

void hide_window(handle window) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget || !record->widget->isVisible()) return;
  detail::call_window(window, WM_SHOWWINDOW, 0, 0);
  record = detail::ui_record(window);
  if (!record || !record->widget) return;
  record->widget->hide();
  detail::drop_from_stacking(window);
  auto& s = detail::state();
  if (s.active == window) set_active(is_visible(record->owner) ? record->owner : 0);
  if (s.focus == window) set_focus(0);
}

}  // namespace

bool show(handle window, int command) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget) return false;
  const bool was_visible = record->widget->isVisible();
  switch (command) {
    case SW_HIDE: hide_window(window); break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      make_visible(window, command == SW_SHOWMINIMIZED);
      detail::minimize_window(window);
      break;
    case SW_SHOWMAXIMIZED:
      make_visible(window, true);
      detail::maximize_window(window);
      break;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA: make_visible(window, false); break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
      make_visible(window, true);
      detail::restore_window(window);
      break;
    default: make_visible(window, true); break;
  }
  return was_visible;
}

bool is_visible(handle window) {
  auto record = detail::ui_record(window);
  return record && record->widget && record->widget->isVisible();
}

bool is_minimized(handle window) {
  auto record = detail::ui_record(window);
  return record && record->minimized;
}

bool is_maximized(handle window) {
  auto record = detail::ui_record(window);
  return record && record->maximized;
}

bool move(handle window, int x, int y, int width, int height, bool repaint) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget) return false;
  const frame_size f = frame_of(*record);
  record->widget->setGeometry(x + f.left, y + f.top, detail::clamp_side(width - f.left - f.right),
                              detail::clamp_side(height - f.top - f.bottom));
  detail::report_geometry(window);
  if (repaint) invalidate(window);
  return true;
}

bool set_position(handle window, handle insert_after, int x, int y, int width, int height, unsigned flags) {
  auto record = detail::ui_record(window);
  if (!record) return false;
  if ((flags & SWP_NOZORDER) == 0) {
    if (insert_after == HWND_TOPMOST || insert_after == HWND_NOTOPMOST) {
      set_topmost(window, insert_after == HWND_TOPMOST);
    } else if (is_visible(window)) {
      detail::raise_in_stacking(window);
      if (detail::real_desktop()) record->widget->raise();
    }
  }
  if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
    const rect now = window_rect(window);
    if (flags & SWP_NOMOVE) x = now.left, y = now.top;
    if (flags & SWP_NOSIZE) width = now.width(), height = now.height();
    move(window, x, y, width, height, (flags & SWP_NOREDRAW) == 0);
  }
  const bool activate = (flags & SWP_NOACTIVATE) == 0;
  if (flags & SWP_SHOWWINDOW) {
    show(window, activate ? SW_SHOW : SW_SHOWNA);
  } else if (flags & SWP_HIDEWINDOW) {
    show(window, SW_HIDE);
  } else if (activate && is_visible(window) && (record->ex_style & WS_EX_NOACTIVATE) == 0) {
    set_active(window);
  }
  return exists(window);
}

bool set_topmost(handle window, bool topmost) {
  auto record = detail::ui_record(window);
  if (!record) return false;
  const std::uint32_t ex = topmost ? (record->ex_style | WS_EX_TOPMOST) : (record->ex_style & ~WS_EX_TOPMOST);
  if (ex != record->ex_style) {
    record->ex_style = ex;
    detail::apply_widget_flags(*record);
  }
  if (is_visible(window)) detail::raise_in_stacking(window);
  return true;
}

bool is_topmost(handle window) {
  auto record = detail::ui_record(window);
  return record && (record->ex_style & WS_EX_TOPMOST) != 0;
}

bool enable(handle window, bool enabled) {
  auto record = detail::ui_record(window);
  if (!record) return false;
  const bool was_disabled = !record->enabled;
  if (record->enabled == enabled) return was_disabled;
  record->enabled = enabled;
  if (record->widget) record->widget->setEnabled(enabled);
  detail::call_window(window, WM_ENABLE, enabled ? 1 : 0, 0);
  return was_disabled;
}

bool is_enabled(handle window) {
  auto record = detail::ui_record(window);
  return record && record->enabled;
}

std::uint32_t get_style(handle window, int which) {
  auto record = detail::ui_record(window);
  if (!record) return 0;
  if (which == GWL_EXSTYLE) return record->ex_style;
  std::uint32_t style = record->style;
  if (is_visible(window)) style |= WS_VISIBLE;
  if (!record->enabled) style |= WS_DISABLED;
  if (record->minimized) style |= WS_MINIMIZE;
  if (record->maximized) style |= WS_MAXIMIZE;
  return style;
}

std::uint32_t set_style(handle window, int which, std::uint32_t style) {
  auto record = detail::ui_record(window);
  if (!record || (which != GWL_STYLE && which != GWL_EXSTYLE)) return 0;
  const std::uint32_t old = get_style(window, which);
  const bool was_layered = record->layered();
  if (which == GWL_STYLE) {
    record->style = style & ~state_style_bits;
  } else {
    record->ex_style = style;
  }
  detail::call_window(window, WM_STYLECHANGED, static_cast<wparam>(static_cast<std::intptr_t>(which)),
                      static_cast<lparam>(style));
  detail::evaluate_frame(window);
  record = detail::ui_record(window);
  if (record && record->widget && record->layered() != was_layered) record->widget->update();
  return old;
}

bool has_frame(handle window) {
  auto record = detail::ui_record(window);
  return record && record->framed;
}

rect window_rect(handle window) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget) return {};
  const QRect client = record->widget->geometry();
  const frame_size f = frame_of(*record);
  return {client.x() - f.left, client.y() - f.top, client.x() + client.width() + f.right,
          client.y() + client.height() + f.bottom};
}

rect client_rect(handle window) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget) return {};
  return {0, 0, record->widget->width(), record->widget->height()};
}

point client_to_screen(handle window, point p) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget) return p;
  const QRect client = record->widget->geometry();
  return {p.x + client.x(), p.y + client.y()};
}

point screen_to_client(handle window, point p) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget) return p;
  const QRect client = record->widget->geometry();
  return {p.x - client.x(), p.y - client.y()};
}

rect work_area() {
  if (const auto& fake = detail::state().fake_work_area) return *fake;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {0, 0, 1024, 768};
  const QRect r = screen->availableGeometry();
  return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

bool set_text(handle window, std::string_view gbk) {
  if (!detail::ui_record(window)) return false;
  const std::string text(gbk);
  return detail::call_window(window, WM_SETTEXT, 0, reinterpret_cast<lparam>(text.c_str())) != 0;
}

std::string get_text(handle window) {
  auto record = detail::ui_record(window);
  return record ? record->title : std::string();
}

}  // namespace platform::window

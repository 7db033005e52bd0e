// Default processing of messages a window procedure passes on.
#include "icon_table.h"
#include "move_size_loop.h"
#include "ui_state.h"
#include "window_record.h"
#include "window_sync.h"
#include "window_widget.h"

#include "platform/text.h"

namespace platform::window {
namespace {

result on_set_text(handle window, lparam l) {
  auto record = detail::ui_record(window);
  if (!record) return 0;
  const char* text = reinterpret_cast<const char*>(l);
  record->title = text ? text : "";
  if (record->widget) record->widget->setWindowTitle(QString::fromStdString(text::gbk_to_utf8(record->title)));
  return 1;
}

int zone_of_hit(result hit) {
  switch (hit) {
    case HTLEFT: return WMSZ_LEFT;
    case HTRIGHT: return WMSZ_RIGHT;
    case HTTOP: return WMSZ_TOP;
    case HTTOPLEFT: return WMSZ_TOPLEFT;
    case HTTOPRIGHT: return WMSZ_TOPRIGHT;
    case HTBOTTOM: return WMSZ_BOTTOM;
    case HTBOTTOMLEFT: return WMSZ_BOTTOMLEFT;
    case HTBOTTOMRIGHT: return WMSZ_BOTTOMRIGHT;
    default: return -1;
  }
}

result on_sys_command(handle window, wparam command) {
  const wparam kind = command & 0xFFF0;
  switch (kind) {
    case SC_MINIMIZE: detail::minimize_window(window); break;
    case SC_MAXIMIZE: detail::maximize_window(window); break;
    case SC_RESTORE: detail::restore_window(window); break;
    case SC_CLOSE: send(window, WM_CLOSE, 0, 0); break;
    case SC_MOVE: detail::move_size_loop::instance().start(window, 0); break;
    case SC_SIZE: detail::move_size_loop::instance().start(window, static_cast<int>(command & 0xF)); break;
    default: break;
  }
  return 0;
}

result on_nc_button_down(handle window, wparam hit) {
  if (static_cast<result>(hit) == HTCAPTION) return on_sys_command(window, SC_MOVE);
  const int zone = zone_of_hit(static_cast<result>(hit));
  if (zone > 0) return on_sys_command(window, SC_SIZE + static_cast<wparam>(zone));
  return 0;
}

result on_window_pos_changed(handle window, lparam l) {
  const auto* pos = reinterpret_cast<const window_pos*>(l);
  auto record = detail::ui_record(window);
  if (!pos || !record) return 0;
  if ((pos->flags & SWP_NOMOVE) == 0) {
    const point origin = client_to_screen(window, {0, 0});
    detail::call_window(window, WM_MOVE, 0, make_lparam(origin.x, origin.y));
  }
  record = detail::ui_record(window);
  if (record && (pos->flags & SWP_NOSIZE) == 0) {
    const rect client = client_rect(window);
    detail::call_window(window, WM_SIZE, detail::size_kind(*record), make_lparam(client.width(), client.height()));
  }
  return 0;
}

result on_icon(handle window, unsigned message, wparam kind, lparam l) {
  auto record = detail::ui_record(window);
  if (!record || kind > ICON_BIG) return 0;
  const icon previous = record->icons[kind];
  if (message == WM_SETICON) {
    record->icons[kind] = static_cast<icon>(l);
    detail::show_window_icon(*record);
  }
  return static_cast<result>(previous);
}

result on_set_cursor(handle window) {
  auto record = detail::ui_record(window);
  if (!record) return 0;
  set_cursor(record->cls->info.class_cursor != 0 ? record->cls->info.class_cursor : load_cursor(IDC_ARROW));
  return 0;
}

}  // namespace

result default_procedure(handle window, unsigned message, wparam w, lparam l) {
  switch (message) {
    case WM_CLOSE: destroy(window); return 0;
    case WM_SETTEXT: return on_set_text(window, l);
    case WM_SYSCOMMAND: return on_sys_command(window, w);
    case WM_NCLBUTTONDOWN: return on_nc_button_down(window, w);
    case WM_ACTIVATE:
      if (low_word(w) != WA_INACTIVE && !is_minimized(window)) set_focus(window);
      return 0;
    case WM_SETCURSOR: return on_set_cursor(window);
    case WM_WINDOWPOSCHANGED: return on_window_pos_changed(window, l);
    case WM_GETICON:
    case WM_SETICON: return on_icon(window, message, w, l);
    case WM_MOUSEACTIVATE: return MA_ACTIVATE;
    case WM_NCHITTEST: return HTCLIENT;
    case WM_NCACTIVATE: return 1;
    default: return 0;
  }
}

}  // namespace platform::window

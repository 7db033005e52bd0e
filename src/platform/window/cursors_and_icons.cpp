#include "icon_table.h"

#include "ui_state.h"
#include "window_widget.h"

#include "platform/application.h"

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <map>

namespace platform::window {
namespace {

// Handles made here start above the system cursor ids.
constexpr std::uintptr_t first_made_handle = 0x100000;

struct picture_tables {
  std::map<cursor, QCursor> cursors;
  std::map<icon, QImage> icons;
  std::uintptr_t next = first_made_handle;
};

picture_tables& tables() {
  static picture_tables t;
  return t;
}

std::optional<Qt::CursorShape> system_shape(int id) {
  switch (id) {
    case IDC_ARROW: return Qt::ArrowCursor;
    case IDC_IBEAM: return Qt::IBeamCursor;
    case IDC_WAIT: return Qt::WaitCursor;
    case IDC_CROSS: return Qt::CrossCursor;
    case IDC_SIZENWSE: return Qt::SizeFDiagCursor;
    case IDC_SIZENESW: return Qt::SizeBDiagCursor;
    case IDC_SIZEWE: return Qt::SizeHorCursor;
    case IDC_SIZENS: return Qt::SizeVerCursor;
    case IDC_SIZEALL: return Qt::SizeAllCursor;
    case IDC_NO: return Qt::ForbiddenCursor;
    case IDC_HAND: return Qt::PointingHandCursor;
    default: return std::nullopt;
  }
}

QImage image_of(const pixel_view& view) {
  if (view.pixels == nullptr || view.width <= 0 || view.height <= 0 || view.stride < view.width * 4) return {};
  QImage wrapped(reinterpret_cast<const uchar*>(view.pixels), view.width, view.height, view.stride,
                 QImage::Format_ARGB32_Premultiplied);
  return wrapped.copy();
}

// The window that shows the cursor: the capture, else the one under the mouse.
detail::window_widget* cursor_widget() {
  const auto& s = detail::state();
  auto record = detail::ui_record(s.capture != 0 ? s.capture : s.pointer_window);
  return record ? record->widget.data() : nullptr;
}

}  // namespace

cursor load_cursor(int system_id) {
  if (!application::on_ui_thread() || !system_shape(system_id)) return 0;
  auto& t = tables();
  const cursor c = static_cast<cursor>(system_id);
  if (!t.cursors.contains(c)) t.cursors.emplace(c, QCursor(*system_shape(system_id)));
  return c;
}

cursor create_cursor(const pixel_view& picture, point hot_spot) {
  if (!application::on_ui_thread()) return 0;
  QImage image = image_of(picture);
  if (image.isNull()) return 0;
  auto& t = tables();
  const cursor c = ++t.next;
  t.cursors.emplace(c, QCursor(QPixmap::fromImage(image), hot_spot.x, hot_spot.y));
  return c;
}

bool destroy_cursor(cursor c) {
  if (!application::on_ui_thread() || c < first_made_handle) return false;
  return tables().cursors.erase(c) > 0;
}

cursor set_cursor(cursor c) {
  if (!application::on_ui_thread()) return 0;
  auto& s = detail::state();
  const cursor previous = s.current_cursor;
  auto& t = tables();
  auto it = t.cursors.find(c);
  if (it == t.cursors.end() && c != 0) return previous;
  s.current_cursor = c;
  if (auto* widget = cursor_widget()) widget->show_cursor(c == 0 ? QCursor(Qt::BlankCursor) : it->second);
  return previous;
}

cursor get_cursor() { return application::on_ui_thread() ? detail::state().current_cursor : 0; }

icon create_icon(const pixel_view& picture) {
  if (!application::on_ui_thread()) return 0;
  QImage image = image_of(picture);
  if (image.isNull()) return 0;
  auto& t = tables();
  const icon i = ++t.next;
  t.icons.emplace(i, std::move(image));
  return i;
}

bool destroy_icon(icon i) {
  if (!application::on_ui_thread()) return false;
  return tables().icons.erase(i) > 0;
}

pixel_image icon_pixels(icon i) {
  pixel_image out;
  if (!application::on_ui_thread()) return out;
  auto it = tables().icons.find(i);
  if (it == tables().icons.end()) return out;
  const QImage& image = it->second;
  out.width = image.width();
  out.height = image.height();
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    std::copy(line, line + out.width, out.pixels.begin() + static_cast<std::ptrdiff_t>(y) * out.width);
  }
  return out;
}

icon set_icon(handle window, wparam kind, icon i) {
  return static_cast<icon>(send(window, WM_SETICON, kind, static_cast<lparam>(i)));
}

icon get_icon(handle window, wparam kind) { return static_cast<icon>(send(window, WM_GETICON, kind, 0)); }

}  // namespace platform::window

namespace platform::window::detail {

void show_window_icon(const window_record& record) {
  if (!record.widget) return;
  const icon chosen = record.icons[ICON_BIG] != 0 ? record.icons[ICON_BIG] : record.icons[ICON_SMALL];
  auto it = tables().icons.find(chosen);
  record.widget->setWindowIcon(it == tables().icons.end() ? QIcon() : QIcon(QPixmap::fromImage(it->second)));
}

}  // namespace platform::window::detail

// Window regions and the presentation of back buffers.
#include "presentation.h"

#include "event_loop.h"
#include "ui_state.h"
#include "window_widget.h"

#include <QBitmap>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace platform::window {
namespace {

bool valid_view(const pixel_view& view) {
  return view.pixels != nullptr && view.width > 0 && view.height > 0 && view.stride >= view.width * 4;
}

const std::uint32_t* row_of(const pixel_view& view, int y) {
  return reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const unsigned char*>(view.pixels) +
                                                static_cast<std::ptrdiff_t>(y) * view.stride);
}

// Copies the area of the buffer into the surface; opaque makes every copied pixel's alpha 255
// (what a window that is not layered shows of a 32-bit buffer).
void copy_into_surface(QImage& surface, const pixel_view& view, QRect area, bool opaque) {
  area &= QRect(0, 0, view.width, view.height) & surface.rect();
  if (area.isEmpty()) return;
  const std::size_t bytes = static_cast<std::size_t>(area.width()) * 4;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto* target = reinterpret_cast<std::uint32_t*>(surface.scanLine(y)) + area.left();
    std::memcpy(target, row_of(view, y) + area.left(), bytes);
    if (opaque) {
      for (int x = 0; x < area.width(); ++x) target[x] |= 0xFF000000u;
    }
  }
}

QRect qt_rect(rect r) { return QRect(r.left, r.top, r.width(), r.height()); }

void tell_observer(handle window) {
  if (auto observer = detail::state().present_observer) observer(window);
}

}  // namespace

bool set_region_round_rect(handle window, rect area, int corner_width, int corner_height) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget) return false;
  // Only the window's own area matters; a larger shape is cut to it.
  QBitmap mask(record->surface.size().expandedTo(QSize(1, 1)));
  mask.fill(Qt::color0);
  {
    QPainter painter(&mask);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    painter.drawRoundedRect(QRectF(qt_rect(area)), std::max(0, corner_width) / 2.0, std::max(0, corner_height) / 2.0);
  }
  record->region = QRegion(mask);
  if (detail::real_desktop()) record->widget->setMask(*record->region);
  return true;
}

bool clear_region(handle window) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget) return false;
  record->region.reset();
  if (detail::real_desktop()) record->widget->clearMask();
  return true;
}

bool present_layered(handle window, const pixel_view& buffer, std::uint8_t global_alpha) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget || !record->layered() || !valid_view(buffer)) return false;
  if (buffer.width < record->surface.width() || buffer.height < record->surface.height()) {
    record->surface.fill(Qt::transparent);
  }
  copy_into_surface(record->surface, buffer, record->surface.rect(), false);
  record->global_alpha = global_alpha;
  ++record->present_count;
  record->widget->update();
  tell_observer(window);
  return true;
}

bool present_rect(handle window, const pixel_view& buffer, rect area) {
  auto record = detail::ui_record(window);
  if (!record || !record->widget || !valid_view(buffer)) return false;
  const QRect r = qt_rect(area);
  copy_into_surface(record->surface, buffer, r, !record->layered());
  ++record->present_count;
  record->widget->update(r);
  tell_observer(window);
  return true;
}

bool invalidate(handle window) {
  auto record = detail::ui_record(window);
  if (!record) return false;
  if (record->paint_pending) return true;
  record->paint_pending = true;
  detail::ui_loop().defer([window] { update_now(window); });
  return true;
}

bool update_now(handle window) {
  auto record = detail::ui_record(window);
  if (!record) return false;
  if (!record->paint_pending) return true;
  record->paint_pending = false;
  detail::call_window(window, WM_PAINT, 0, 0);
  return true;
}

}  // namespace platform::window

namespace platform::window::detail {

QImage presented_image(const window_record& record) {
  QImage image = record.surface.copy();
  if (image.isNull()) return image;
  if (record.layered() && record.global_alpha != 255) {
    const std::uint32_t a = record.global_alpha;
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        const std::uint32_t p = line[x];
        auto scale = [a](std::uint32_t c) { return (c * a + 127) / 255; };
        line[x] = scale(p >> 24) << 24 | scale((p >> 16) & 0xFF) << 16 | scale((p >> 8) & 0xFF) << 8 | scale(p & 0xFF);
      }
    }
  }
  if (record.region) {
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        if (!record.region->contains(QPoint(x, y))) line[x] = 0;
      }
    }
  }
  return image;
}

}  // namespace platform::window::detail

#include "graphics_impl.h"

#include <algorithm>
#include <cstring>

namespace platform::gfx {
namespace {

// The part of the source area that lands inside both bitmaps, and where it lands.
struct Transfer {
  QRect source;
  QPoint target;
  bool empty() const { return source.isEmpty(); }
};

Transfer clip_transfer(const QImage& target, int x, int y, const QImage& source, const Rect& area) {
  QRect src = QRect(area.x, area.y, area.width, area.height).intersected(source.rect());
  if (src.isEmpty()) return {};
  QPoint to(x + (src.x() - area.x), y + (src.y() - area.y));
  QRect dst = QRect(to, src.size()).intersected(target.rect());
  if (dst.isEmpty()) return {};
  src.translate(dst.topLeft() - to);
  src.setSize(dst.size());
  return {src, dst.topLeft()};
}

// Pixels of the source in their own buffer when source and target share one.
QImage readable(const QImage& source, const Bitmap& a, const Bitmap& b) {
  return a.impl() == b.impl() ? source.copy() : source;
}

}  // namespace

void copy_pixels(Bitmap& target, int x, int y, const Bitmap& source, const Rect& source_area) {
  if (target.is_null() || source.is_null()) return;
  QImage src = readable(source.impl()->image, target, source);
  QImage& dst = target.impl()->image;
  Transfer t = clip_transfer(dst, x, y, src, source_area);
  if (t.empty()) return;
  size_t bytes = size_t(t.source.width()) * 4;
  for (int row = 0; row < t.source.height(); ++row) {
    const uchar* from = src.constScanLine(t.source.y() + row) + t.source.x() * 4;
    uchar* to = dst.scanLine(t.target.y() + row) + t.target.x() * 4;
    std::memcpy(to, from, bytes);
  }
}

void blend_pixels(Bitmap& target, int x, int y, const Bitmap& source, const Rect& source_area, int opacity) {
  if (target.is_null() || source.is_null() || opacity <= 0) return;
  QImage src = readable(source.impl()->image, target, source);
  Bitmap::Impl& dst = *target.impl();
  Transfer t = clip_transfer(dst.image, x, y, src, source_area);
  if (t.empty()) return;
  // Qt's blending routines are vectorised; a graphics painting on the target steps aside.
  if (dst.painter_owner) dst.painter_owner->end();
  QPainter painter(&dst.image);
  painter.setOpacity(std::min(opacity, 255) / 255.0);
  painter.drawImage(t.target, src, t.source);
}

Bitmap icon_to_bitmap(const IconPixels& icon) {
  const size_t count = size_t(std::max(0, icon.width)) * size_t(std::max(0, icon.height));
  if (count == 0 || icon.colour.size() != count || (!icon.mask.empty() && icon.mask.size() != count)) return Bitmap();
  bool has_alpha = std::any_of(icon.colour.begin(), icon.colour.end(), [](std::uint32_t c) { return c >> 24; });
  if (has_alpha) return Bitmap::from_argb(icon.colour.data(), icon.width, icon.height);
  std::vector<std::uint32_t> pixels(count);
  for (size_t i = 0; i < count; ++i) {
    bool transparent = !icon.mask.empty() && icon.mask[i] != 0;
    pixels[i] = transparent ? 0 : (icon.colour[i] | 0xFF000000u);
  }
  return Bitmap::from_argb(pixels.data(), icon.width, icon.height);
}

}  // namespace platform::gfx

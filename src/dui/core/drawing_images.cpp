// Pictures: scaled, faded, in their own size, nine-grid stretched; icons and frames.
#include "dui/core/drawing.h"

#include <algorithm>
#include <cmath>

namespace dui {
namespace gfx = platform::gfx;

namespace {

float opacity_factor(int opacity) { return float(std::clamp(opacity, 0, 255)) / 255.0f; }

// One band of the nine-grid: where it starts and how long it is, in the source and the target.
struct Band {
  float source_start, source_length, target_start, target_length;
};

void nine_grid_bands(float image_size, float centre_start, float centre_length, float target_start,
                     float target_length, Band out[3]) {
  const float far_margin = image_size - centre_start - centre_length;
  out[0] = {0, centre_start, target_start, centre_start};
  out[1] = {centre_start, centre_length, target_start + centre_start, target_length - centre_start - far_margin};
  out[2] = {centre_start + centre_length, far_margin, target_start + target_length - far_margin, far_margin};
}

std::uint32_t unpremultiply(std::uint32_t p) {
  const std::uint32_t a = p >> 24;
  if (a == 0 || a == 255) return a == 0 ? 0 : p;
  auto channel = [&](int shift) { return std::min<std::uint32_t>(255, (((p >> shift) & 0xFF) * 255 + a / 2) / a); };
  return (a << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
}

}  // namespace

void draw_image_rect(Graphics& graphics, const Bitmap& image, const RectF& rect) {
  if (image.is_null()) return;
  graphics.draw_image(image, rect);
}

void draw_image_alpha(Graphics& graphics, const Bitmap& image, const RectF& rect, int opacity) {
  if (image.is_null()) return;
  if (opacity >= 255) return draw_image_rect(graphics, image, rect);
  // 1:1, never reading outside the image.
  const float width = std::min(rect.width, float(image.width()));
  const float height = std::min(rect.height, float(image.height()));
  if (!(width > 0) || !(height > 0)) return;
  graphics.draw_image(image, {rect.x, rect.y, width, height}, {0, 0, width, height}, opacity_factor(opacity));
}

void draw_image_natural(Graphics& graphics, const Bitmap& image, const RectF& rect, bool centred) {
  if (image.is_null()) return;
  float x = std::trunc(rect.x);
  float y = std::trunc(rect.y);
  if (centred) {
    x = std::round(rect.x + (rect.width - float(image.width())) / 2);
    y = std::round(rect.y + (rect.height - float(image.height())) / 2);
  }
  graphics.draw_image(image, x, y);
}

void draw_nine_grid(Graphics& graphics, const Bitmap& image, const RectF& destination, const gfx::Rect& centre,
                    std::optional<int> opacity) {
  if (graphics.is_null() || image.is_null()) return;
  const float alpha = opacity && *opacity >= 0 && *opacity <= 254 ? opacity_factor(*opacity) : 1.0f;
  Band columns[3], rows[3];
  nine_grid_bands(float(image.width()), float(centre.x), float(centre.width), destination.x, destination.width, columns);
  nine_grid_bands(float(image.height()), float(centre.y), float(centre.height), destination.y, destination.height, rows);
  for (const Band& row : rows) {
    for (const Band& column : columns) {
      if (!(column.source_length > 0) || !(row.source_length > 0)) continue;
      if (!(column.target_length > 0) || !(row.target_length > 0)) continue;
      graphics.draw_image(image, {column.target_start, row.target_start, column.target_length, row.target_length},
                          {column.source_start, row.source_start, column.source_length, row.source_length}, alpha);
    }
  }
}

Bitmap clone_image_area(const Bitmap& image, const gfx::Rect& area) { return image.clone_area(area); }

Bitmap icon_to_bitmap(IconHandle icon) {
  // Icons of this window system always carry their alpha (there is no separate mask), so the
  // pixels are taken as they are.
  platform::window::pixel_image pixels = platform::window::icon_pixels(icon);
  if (pixels.width <= 0 || pixels.height <= 0) return {};
  std::vector<std::uint32_t> colour;
  colour.reserve(pixels.pixels.size());
  for (std::uint32_t p : pixels.pixels) colour.push_back(unpremultiply(p));
  return Bitmap::from_argb(colour.data(), pixels.width, pixels.height);
}

int frame_count(const Image& image) { return image.frame_count(); }

std::vector<int> frame_delays(const Image& image) { return image.frame_delays(); }

bool select_frame(Image& image, int index) { return image.select_frame(index); }

}  // namespace dui

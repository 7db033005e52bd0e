// Picture and caption layout, measuring, and text with a glow or outline.
#include "dui/core/drawing.h"

#include <cmath>

namespace dui {
namespace gfx = platform::gfx;

namespace {

constexpr Argb glow_behind_dark_text = 0x55FFFFFF;  // white, alpha 85
constexpr Argb glow_behind_light_text = 0x4B000000;  // black, alpha 75
// Where the five copies of a glow go in its scratch bitmap, around (4, 4).
constexpr PointF glow_offsets[] = {{5, 4}, {3, 4}, {4, 3}, {4, 5}, {4, 4}};

RectF whole(float x, float y, float w, float h) { return {std::trunc(x), std::trunc(y), std::trunc(w), std::trunc(h)}; }

// Both rectangles of one layout mode, in the container (x, y, w, h).
struct LayoutInput {
  float iw, ih, tw, th, x, y, w, h, dx, dy, gap;
};

ImageTextLayout layout_mode(const LayoutInput& in, int mode) {
  ImageTextLayout out;
  RectF& image = out.image;
  RectF& text = out.text;
  const float image_middle = in.dy + in.y + (in.h - in.ih) / 2;
  const float text_middle = in.dy + in.y + (in.h - in.th) / 2;
  const float group_left = in.dx + in.x + (in.w - (in.iw + in.gap + in.tw)) / 2;
  switch (mode) {
    case 0:
      image = whole(group_left, image_middle, in.iw, in.ih);
      text = whole(in.gap + image.right(), text_middle, in.tw + 2, in.th + 2);
      break;
    case 1:
      text = whole(group_left, text_middle, in.tw + 2, in.th + 2);
      image = whole(in.gap + text.x + in.tw, image_middle, in.iw, in.ih);
      break;
    case 2:
      image = whole(in.dx + in.x + (in.w - in.iw) / 2, in.dy + in.y + (in.h - in.ih - in.gap - in.th) / 2, in.iw, in.ih);
      text = whole(in.dx + in.x + (in.w - in.tw) / 2, in.gap + image.bottom(), in.tw + 2, in.th + 2);
      break;
    case 3:
      image = whole(in.dx + in.x + (in.w - in.iw) / 2, image_middle, in.iw, in.ih);
      text = whole(in.dx + in.x + (in.w - in.tw) / 2, text_middle, in.tw + 2, in.th + 2);
      break;
    case 4:
      image = whole(in.dx + in.x, image_middle, in.iw, in.ih);
      text = whole(in.gap + image.right(), text_middle, in.w - in.iw - in.gap - in.dx, in.th + 2);
      break;
    case 5:
      text = whole(in.dx + in.x, text_middle, in.w - in.iw - in.gap - in.dx, in.th + 2);
      image = whole(in.gap + text.right(), image_middle, in.iw, in.ih);
      break;
    case 6:
      image = whole(in.dx + in.x + (in.w - in.iw) / 2, in.dy + in.y, in.iw, in.ih);
      text = whole(in.dx + in.x + (in.w - in.tw) / 2, in.gap + image.bottom(), in.tw + 5, in.th + 2);
      break;
    default:
      break;
  }
  return out;
}

// Temporarily switches the interpolation of a graphics.
class InterpolationScope {
 public:
  InterpolationScope(Graphics& graphics, gfx::Interpolation mode) : graphics_(graphics), saved_(graphics.interpolation()) {
    graphics_.set_interpolation(mode);
  }
  ~InterpolationScope() { graphics_.set_interpolation(saved_); }
  InterpolationScope(const InterpolationScope&) = delete;
  InterpolationScope& operator=(const InterpolationScope&) = delete;

 private:
  Graphics& graphics_;
  gfx::Interpolation saved_;
};

}  // namespace

ImageTextLayout layout_image_text(gfx::Size image_size, int mode, const RectF& container, PointF text_size, int dx,
                                  int dy, int gap) {
  const LayoutInput in{float(image_size.width), float(image_size.height), text_size.x, text_size.y,
                       container.x,             container.y,              container.width,
                       container.height,        float(dx),                float(dy),
                       float(gap)};
  return layout_mode(in, mode);
}

RectF measure_range(const Graphics& graphics, std::u16string_view text, const Font& font, const StringFormat& format,
                    int first, int length, const RectF& layout) {
  if (graphics.is_null() || text.empty()) return {};
  std::vector<RectF> boxes = graphics.measure_ranges(text, font, layout, format, {{first, length}});
  return boxes.empty() ? RectF{} : boxes.front();
}

void draw_text_glow(Graphics& graphics, const RectF& rect, std::u16string_view text, const Font& font,
                    const StringFormat& format, Argb colour, float scale) {
  if (graphics.is_null() || text.empty() || !(scale > 0)) return;
  const int width = int(rect.width) + 7;
  const int height = int(rect.height) + 7;
  const int small_width = int(float(width) / scale);
  const int small_height = int(float(height) / scale);
  Bitmap copies(width, height);
  Bitmap reduced(small_width, small_height);
  if (copies.is_null() || reduced.is_null()) return;
  {
    Graphics g(copies);
    g.set_smoothing(true);
    g.set_text_hint(gfx::TextHint::antialias_grid_fit);
    const Brush brush = Brush::solid(colour);
    for (PointF at : glow_offsets) g.draw_string(text, font, {at.x, at.y, rect.width, rect.height}, format, brush);
  }
  {
    Graphics g(reduced);
    g.set_smoothing(true);
    g.set_interpolation(gfx::Interpolation::high_quality);
    g.draw_image(copies, RectF{0, 0, float(small_width), float(small_height)});
  }
  InterpolationScope smooth(graphics, gfx::Interpolation::high_quality);
  graphics.draw_image(reduced, RectF{rect.x - 4, rect.y - 4, float(width), float(height)});
}

void draw_text(Graphics& graphics, const RectF& rect, std::u16string_view text, const Font& font, Argb colour,
               const StringFormat& format, int effect, std::optional<Argb> effect_colour) {
  if (graphics.is_null() || text.empty()) return;
  const RectF area = whole(rect.x, rect.y, rect.width, rect.height);
  if (effect == text_effect::glow || effect == text_effect::outline) {
    const Argb halo = effect_colour.value_or(is_dark(colour) ? glow_behind_dark_text : glow_behind_light_text);
    draw_text_glow(graphics, area, text, font, format, halo, effect == text_effect::glow ? 3.0f : 1.0f);
  }
  graphics.draw_string(text, font, area, format, Brush::solid(colour));
}

void draw_text(Graphics& graphics, const RectF& rect, std::string_view text, const Font& font, Argb colour,
               const StringFormat& format, int effect, std::optional<Argb> effect_colour) {
  draw_text(graphics, rect, to_utf16(text), font, colour, format, effect, effect_colour);
}

}  // namespace dui

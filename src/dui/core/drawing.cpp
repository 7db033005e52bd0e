// Colours, shapes, fills, borders, clipping and rectangle arithmetic.
#include "dui/core/drawing.h"

#include "dui/core/host_window.h"

#include <algorithm>
#include <cmath>

namespace dui {
namespace gfx = platform::gfx;

namespace {

constexpr float tolerance = 0.0000001f;
constexpr Argb black_160 = 0xA0000000;
constexpr Argb black_168 = 0xA8000000;
constexpr Argb white_245 = 0xF5FFFFFF;

bool sample_is_dark(const Bitmap& image, float x, float y) { return is_dark(image.pixel(int(x), int(y))); }

int dark_samples(const Bitmap& image, const RectF& rect) {
  int dark = 0;
  for (float fy : {0.2f, 0.5f, 0.8f}) {
    for (float fx : {0.2f, 0.5f, 0.8f}) {
      if (sample_is_dark(image, rect.x + fx * rect.width, rect.y + fy * rect.height)) ++dark;
    }
  }
  return dark;
}

// Edges of a border: right and bottom are the last pixel column and row.
struct Edges {
  float left, top, right, bottom;
};

Edges edges_of(const RectF& rect) {
  return {rect.x, rect.y, rect.x + rect.width - 1, rect.y + rect.height - 1};
}

void draw_sunken(Graphics& graphics, const Edges& e, float width) {
  draw_line(graphics, black_160, e.left, e.top, e.right, e.top, width);
  draw_line(graphics, black_160, e.left, e.top, e.left, e.bottom, width);
  draw_line(graphics, white_245, e.left, e.bottom, e.right, e.bottom, width / 2);
  draw_line(graphics, white_245, e.right, e.top, e.right, e.bottom, width / 2);
}

void draw_raised(Graphics& graphics, const Edges& e, float width) {
  draw_line(graphics, white_245, e.left, e.top, e.right - 1, e.top, width / 2);
  draw_line(graphics, white_245, e.left, e.top, e.left, e.bottom - 1, width / 2);
  draw_line(graphics, black_168, e.left, e.bottom, e.right, e.bottom, width);
  draw_line(graphics, black_168, e.right, e.top, e.right, e.bottom - 1, width);
}

void draw_plain(Graphics& graphics, const RectF& rect, Argb colour, float width, DashStyle dash) {
  graphics.draw_rect(make_pen(colour, width, dash), {rect.x, rect.y, rect.width - 1, rect.height - 1});
}

}  // namespace

// ---- Colours ----

Argb to_argb(Colour colour, std::optional<int> alpha) {
  int a = std::clamp(alpha.value_or(254), 0, 255);
  if (a == 255) a = 254;
  const std::uint32_t c = std::uint32_t(colour);
  return (Argb(a & 0xFF) << 24) | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

ArgbParts argb_parts(Argb colour) {
  return {gfx::alpha_of(colour), gfx::red_of(colour), gfx::green_of(colour), gfx::blue_of(colour)};
}

bool is_dark(Argb colour) {
  const ArgbParts p = argb_parts(colour);
  return 0.299 * p.red + 0.587 * p.green + 0.114 * p.blue < 192;
}

bool background_is_dark(WindowHandle window, const RectF& rect) {
  const Ex_Window* host = host_of(window);
  if (host == nullptr) return false;
  const Bitmap* skin = host->background_image();
  if (skin != nullptr && !skin->is_null()) return dark_samples(*skin, rect) > 4;
  return is_dark(to_argb(host->background_colour(), 254));
}

Argb auto_text_colour(WindowHandle window, const RectF& rect, Argb colour) {
  const Colour base = background_is_dark(window, rect) ? 0xFFFFFF : 0x000000;
  return (colour & 0xFF000000) | (to_argb(base) & 0x00FFFFFF);
}

// ---- Brushes, pens, shapes ----

Brush solid_brush(Argb colour) { return Brush::solid(colour); }

Pen make_pen(Argb colour, float width, DashStyle dash) { return Pen{colour, width, dash}; }

Path rounded_path(const RectF& rect, float corner) {
  if (corner <= 0) return gfx::rounded_rect_path(rect, 0);
  const float right = rect.x + rect.width - corner - 1;
  const float bottom = rect.y + rect.height - corner - 1;
  Path path;
  path.add_arc({rect.x, rect.y, corner, corner}, 180, 90);
  path.add_arc({right, rect.y, corner, corner}, 270, 90);
  path.add_arc({right, bottom, corner, corner}, 0, 90);
  path.add_arc({rect.x, bottom, corner, corner}, 90, 90);
  path.close_figure();
  return path;
}

void fill_rounded(Graphics& graphics, const RectF& rect, int corner, Argb colour) {
  graphics.fill_path(solid_brush(colour), rounded_path(rect, float(corner)));
}

void draw_rounded(Graphics& graphics, const RectF& rect, float corner, Argb colour, DashStyle dash, float width) {
  graphics.draw_path(make_pen(colour, width, dash), rounded_path(rect, corner));
}

void fill_rect(Graphics& graphics, const RectF& rect, Argb colour) { graphics.fill_rect(solid_brush(colour), rect); }

void fill_gradient(Graphics& graphics, const RectF& rect, Argb from, Argb to, int mode) {
  if (mode < 0 || mode > 3) mode = 1;
  Brush brush = Brush::linear(rect, from, to, gfx::LinearMode(mode), gfx::WrapMode::tile_flip_xy);
  graphics.fill_rect(brush, {rect.x, rect.y, rect.width - 1, rect.height - 1});
}

void draw_line(Graphics& graphics, Argb colour, float x1, float y1, float x2, float y2, float width) {
  graphics.draw_line(make_pen(colour, width), {x1, y1}, {x2, y2});
}

void draw_border(Graphics& graphics, const RectF& rect, Argb style, std::optional<Argb> colour, float width) {
  switch (style) {
    case border::none:
      return;
    case border::sunken:
      return draw_sunken(graphics, edges_of(rect), width);
    case border::raised:
      return draw_raised(graphics, edges_of(rect), width);
    case border::flat:
      return draw_plain(graphics, rect, colour.value_or(to_argb(6579300)), width, DashStyle::solid);
    case border::dashed:
      return draw_plain(graphics, rect, colour.value_or(to_argb(0, 120)), width, DashStyle::dash);
    default:
      return draw_plain(graphics, rect, style, width, DashStyle::solid);
  }
}

void spot_glow(Graphics& graphics, PointF centre) {
  const RectF square{centre.x - 18, centre.y - 18, 36, 36};
  Path ellipse;
  ellipse.add_ellipse(square);
  graphics.fill_rect(Brush::path_gradient(ellipse, 0xFEFFFFFF, 0x32FFFFFF), square);
}

// ---- Clipping and geometry ----

void set_clip_rect(Graphics& graphics, const RectF& rect, int combine_mode) {
  graphics.set_clip(rect, gfx::CombineMode(combine_mode));
}

void set_clip_region(Graphics& graphics, const gfx::Region& region, int combine_mode) {
  graphics.set_clip(region, gfx::CombineMode(combine_mode));
}

void set_clip_path(Graphics& graphics, const Path& path, int combine_mode) {
  graphics.set_clip(path, gfx::CombineMode(combine_mode));
}

void reset_clip(Graphics& graphics) { graphics.reset_clip(); }

RectF visible_clip_bounds(const Graphics& graphics) { return graphics.visible_clip_bounds(); }

bool rects_overlap(const RectF& a, const RectF& b) {
  return b.right() - a.x > tolerance && a.right() - b.x > tolerance && b.bottom() - a.y > tolerance &&
         a.bottom() - b.y > tolerance;
}

bool point_in_rect(const RectF& rect, float x, float y) {
  return x - rect.x > -tolerance && rect.right() - x > tolerance && y - rect.y > -tolerance &&
         rect.bottom() - y > tolerance;
}

void adjust_rect(RectF& rect, float dx, float dy, float dw, float dh) {
  rect.x += dx;
  rect.y += dy;
  rect.width += dw;
  rect.height += dh;
}

RectF make_rect(float x, float y, float w, float h) { return {x, y, w, h}; }

int low_word(std::intptr_t value) { return std::int16_t(std::uint32_t(value) & 0xFFFFu); }
int high_word(std::intptr_t value) { return std::int16_t((std::uint32_t(value) >> 16) & 0xFFFFu); }

}  // namespace dui

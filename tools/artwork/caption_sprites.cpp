// Draws the caption-button sprite sheet: one row of cells 19 pixels high at y = 2, three
// states (normal, hover, pressed) per button, in the column layout the caption buttons read.
#include "artwork.h"

#include <cmath>

namespace artwork {
namespace {

using platform::gfx::Brush;
using platform::gfx::Graphics;
using platform::gfx::Path;
using platform::gfx::Pen;
using platform::gfx::PointF;
using platform::gfx::RectF;
using platform::gfx::argb;

constexpr float cell_top = 2;
constexpr float cell_height = 19;

enum class Glyph { close, maximise, restore, minimise, menu, more, pin, help };

struct Column {
  Glyph glyph;
  float normal_x, hover_x, pressed_x, width;
};

constexpr Column columns[] = {
    {Glyph::close, 0, 40, 80, 39},      {Glyph::maximise, 120, 149, 178, 28},
    {Glyph::restore, 207, 236, 265, 28}, {Glyph::minimise, 294, 323, 352, 28},
    {Glyph::menu, 381, 410, 439, 28},    {Glyph::more, 468, 497, 526, 28},
    {Glyph::pin, 555, 584, 613, 28},     {Glyph::help, 642, 671, 700, 28},
};

enum class State { normal, hover, pressed };

void line(Graphics& g, platform::gfx::Argb colour, float width, PointF a, PointF b) {
  g.draw_line(Pen{colour, width}, a, b);
}

// The glyph strokes around the cell centre (cx, cy), in one colour.
void stroke_glyph(Graphics& g, Glyph glyph, float cx, float cy, platform::gfx::Argb c) {
  switch (glyph) {
    case Glyph::close:
      line(g, c, 1.4f, {cx - 4.5f, cy - 4.5f}, {cx + 4.5f, cy + 4.5f});
      line(g, c, 1.4f, {cx + 4.5f, cy - 4.5f}, {cx - 4.5f, cy + 4.5f});
      break;
    case Glyph::maximise:
      g.draw_rect(Pen{c, 1.0f}, {cx - 5, cy - 4, 10, 9});
      line(g, c, 1.0f, {cx - 5, cy - 3}, {cx + 5, cy - 3});
      break;
    case Glyph::restore:
      g.draw_rect(Pen{c, 1.0f}, {cx - 5, cy - 2, 8, 7});
      line(g, c, 1.0f, {cx - 5, cy - 1}, {cx + 3, cy - 1});
      line(g, c, 1.0f, {cx - 3, cy - 4}, {cx + 5, cy - 4});
      line(g, c, 1.0f, {cx + 5, cy - 4}, {cx + 5, cy + 3});
      break;
    case Glyph::minimise:
      line(g, c, 1.2f, {cx - 5, cy + 3}, {cx + 5, cy + 3});
      break;
    case Glyph::menu:
      for (float dy : {-3.0f, 0.0f, 3.0f}) line(g, c, 1.2f, {cx - 5, cy + dy}, {cx + 5, cy + dy});
      break;
    case Glyph::more:
      line(g, c, 1.4f, {cx - 4.5f, cy - 2}, {cx, cy + 2.5f});
      line(g, c, 1.4f, {cx, cy + 2.5f}, {cx + 4.5f, cy - 2});
      break;
    case Glyph::pin: {
      line(g, c, 1.2f, {cx - 5, cy - 4}, {cx + 5, cy - 4});
      line(g, c, 1.4f, {cx, cy - 1}, {cx, cy + 5});
      line(g, c, 1.4f, {cx - 3.5f, cy + 2}, {cx, cy - 1.5f});
      line(g, c, 1.4f, {cx, cy - 1.5f}, {cx + 3.5f, cy + 2});
      break;
    }
    case Glyph::help: {
      Path hook;
      hook.add_arc({cx - 3.5f, cy - 5.5f, 7, 6}, 180, 270);
      g.draw_path(Pen{c, 1.4f}, hook);
      line(g, c, 1.4f, {cx, cy + 0.5f}, {cx, cy + 2});
      g.fill_ellipse(Brush::solid(c), {cx - 1, cy + 3.5f, 2, 2});
      break;
    }
  }
}

void draw_background(Graphics& g, Glyph glyph, State state, const RectF& cell) {
  if (state == State::normal) return;
  platform::gfx::Argb fill;
  if (glyph == Glyph::close)
    fill = state == State::hover ? argb(235, 232, 72, 85) : argb(245, 196, 43, 28);
  else
    fill = state == State::hover ? argb(56, 255, 255, 255) : argb(34, 0, 0, 0);
  RectF body{cell.x + 0.5f, cell.y + 0.5f, cell.width - 1, cell.height - 1};
  g.fill_path(Brush::solid(fill), platform::gfx::rounded_rect_path(body, 6));
}

void draw_cell(Graphics& g, Glyph glyph, State state, float x, float width) {
  RectF cell{x, cell_top, width, cell_height};
  draw_background(g, glyph, state, cell);
  // Whole-pixel centres keep the straight strokes crisp.
  float cx = std::floor(x + (width - 1) / 2);
  float cy = cell_top + 9 + (state == State::pressed ? 1.0f : 0.0f);
  if (state == State::normal) stroke_glyph(g, glyph, cx, cy + 1, argb(70, 0, 0, 0));
  stroke_glyph(g, glyph, cx, cy, argb(state == State::normal ? 225 : 255, 255, 255, 255));
}

}  // namespace

platform::gfx::Bitmap caption_sprites() {
  platform::gfx::Bitmap sheet(730, 23);
  Graphics g(sheet);
  g.set_smoothing(true);
  for (const Column& column : columns) {
    draw_cell(g, column.glyph, State::normal, column.normal_x, column.width);
    draw_cell(g, column.glyph, State::hover, column.hover_x, column.width);
    draw_cell(g, column.glyph, State::pressed, column.pressed_x, column.width);
  }
  return sheet;
}

}  // namespace artwork

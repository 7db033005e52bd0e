// The button icons: rounded tiles in a colour per button with a white symbol, drawn at the
// size the buttons show them, so they stay crisp.
#include "client_artwork.h"

#include <cmath>
#include <vector>

namespace client_artwork {

using namespace platform::gfx;

namespace {

constexpr Argb kWhite = argb(255, 255, 255, 255);

struct Tile {
  Bitmap bitmap;
  Graphics g;
  Tile(int w, int h, Argb top, Argb bottom) : bitmap(w, h), g(bitmap) {
    g.set_smoothing(true);
    const RectF box{1, 1, static_cast<float>(w - 1), static_cast<float>(h - 1)};
    g.fill_path(Brush::linear(box, top, bottom, LinearMode::vertical), rounded_rect_path(box, 10));
    // A soft sheen on the upper half.
    const RectF sheen{2, 2, static_cast<float>(w - 3), static_cast<float>(h) / 2 - 2};
    g.fill_path(Brush::linear(sheen, argb(70, 255, 255, 255), argb(0, 255, 255, 255), LinearMode::vertical),
                rounded_rect_path(sheen, 8));
  }
};

Path polygon(std::vector<PointF> points) {
  Path p;
  p.add_polygon(points);
  return p;
}

}  // namespace

Bitmap featured_icon() {
  Tile t(35, 31, argb(255, 255, 196, 61), argb(255, 240, 128, 20));
  std::vector<PointF> star;
  const float cx = 17.5f, cy = 16.0f;
  for (int i = 0; i < 10; ++i) {
    float r = i % 2 == 0 ? 11.0f : 4.8f;
    float a = -1.5708f + static_cast<float>(i) * 0.6283f;
    star.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  t.g.fill_path(Brush::solid(kWhite), polygon(star));
  return std::move(t.bitmap);
}

Bitmap source_code_icon() {
  Tile t(32, 32, argb(255, 86, 160, 255), argb(255, 36, 96, 220));
  const Pen pen{kWhite, 2.6f};
  t.g.draw_line(pen, {11, 10}, {5.5f, 16});
  t.g.draw_line(pen, {5.5f, 16}, {11, 22});
  t.g.draw_line(pen, {21, 10}, {26.5f, 16});
  t.g.draw_line(pen, {26.5f, 16}, {21, 22});
  t.g.draw_line(Pen{kWhite, 2.2f}, {18, 8.5f}, {14, 23.5f});
  return std::move(t.bitmap);
}

Bitmap software_tools_icon() {
  Tile t(32, 32, argb(255, 72, 206, 150), argb(255, 22, 150, 100));
  // A gear: a ring with eight teeth.
  const float cx = 16, cy = 16;
  for (int i = 0; i < 8; ++i) {
    float a = static_cast<float>(i) * 0.7854f;
    t.g.draw_line(Pen{kWhite, 4.0f}, {cx + 6.5f * std::cos(a), cy + 6.5f * std::sin(a)},
                  {cx + 10.5f * std::cos(a), cy + 10.5f * std::sin(a)});
  }
  t.g.fill_ellipse(Brush::solid(kWhite), {cx - 8, cy - 8, 16, 16});
  t.g.fill_ellipse(Brush::solid(argb(255, 40, 170, 118)), {cx - 3.5f, cy - 3.5f, 7, 7});
  return std::move(t.bitmap);
}

Bitmap offers_icon() {
  Tile t(32, 32, argb(255, 255, 120, 110), argb(255, 226, 58, 70));
  // A megaphone.
  t.g.fill_path(Brush::solid(kWhite), polygon({{7, 13}, {17, 8}, {24, 5}, {24, 25}, {17, 21}, {7, 19}}));
  t.g.fill_rect(Brush::solid(kWhite), {10, 19, 4, 7});
  t.g.draw_line(Pen{kWhite, 1.8f}, {26.5f, 12}, {28, 11});
  t.g.draw_line(Pen{kWhite, 1.8f}, {26.5f, 15}, {28.5f, 15});
  t.g.draw_line(Pen{kWhite, 1.8f}, {26.5f, 18}, {28, 19});
  return std::move(t.bitmap);
}

Bitmap member_icon() {
  Tile t(32, 32, argb(255, 170, 128, 255), argb(255, 116, 72, 214));
  t.g.fill_ellipse(Brush::solid(kWhite), {11, 6, 10, 10});
  Path body;
  body.add_arc({6, 17, 20, 16}, 180, 180);
  body.close_figure();
  t.g.fill_path(Brush::solid(kWhite), body);
  return std::move(t.bitmap);
}

Bitmap transfer_icon() {
  Tile t(32, 32, argb(255, 255, 206, 84), argb(255, 232, 150, 24));
  t.g.fill_ellipse(Brush::solid(kWhite), {6, 6, 20, 20});
  t.g.draw_ellipse(Pen{argb(255, 236, 164, 30), 1.6f}, {9, 9, 14, 14});
  // Two arrows: across and back.
  const Pen pen{argb(255, 214, 126, 10), 2.0f};
  t.g.draw_line(pen, {11.5f, 14}, {20.5f, 14});
  t.g.draw_line(pen, {18, 11.5f}, {20.5f, 14});
  t.g.draw_line(pen, {20.5f, 18}, {11.5f, 18});
  t.g.draw_line(pen, {14, 20.5f}, {11.5f, 18});
  return std::move(t.bitmap);
}

Bitmap submit_icon() {
  Tile t(32, 32, argb(255, 80, 200, 230), argb(255, 26, 140, 196));
  // A paper plane.
  t.g.fill_path(Brush::solid(kWhite), polygon({{5, 16}, {27, 6}, {21, 26}, {15, 19}}));
  t.g.fill_path(Brush::solid(argb(255, 196, 232, 248)), polygon({{15, 19}, {27, 6}, {14, 25}}));
  return std::move(t.bitmap);
}

}  // namespace client_artwork

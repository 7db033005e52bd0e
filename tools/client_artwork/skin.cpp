// The main window's skin: a calm sky gradient with soft light shapes, a deeper band behind the
// caption and a pale panel behind the list, so the drawn controls stay easy to read.
#include "client_artwork.h"

#include <cmath>

namespace client_artwork {

using namespace platform::gfx;

namespace {

void soft_circle(Graphics& g, float cx, float cy, float r, Argb centre) {
  Path circle;
  circle.add_ellipse({cx - r, cy - r, 2 * r, 2 * r});
  g.fill_path(Brush::path_gradient(circle, centre, centre & 0x00FFFFFF), circle);
}

}  // namespace

Bitmap main_skin() {
  Bitmap skin(800, 600);
  Graphics g(skin);
  g.set_smoothing(true);
  const RectF all{0, 0, 800, 600};
  g.fill_rect(Brush::linear(all, argb(255, 214, 234, 252), argb(255, 246, 250, 255), LinearMode::vertical),
              all);
  // Caption band (the caption is about 28 of 441 pixels: 38 of 600 here) fading into the sky.
  const RectF band{0, 0, 800, 150};
  g.fill_rect(Brush::linear(band, argb(255, 52, 120, 206), argb(0, 52, 120, 206), LinearMode::vertical),
              band);
  g.fill_rect(Brush::linear({0, 0, 800, 38}, argb(255, 38, 98, 184), argb(255, 56, 128, 214),
                            LinearMode::vertical),
              {0, 0, 800, 38});
  // Soft light shapes.
  soft_circle(g, 690, 90, 170, argb(90, 255, 255, 255));
  soft_circle(g, 120, 560, 220, argb(70, 170, 210, 250));
  soft_circle(g, 560, 520, 140, argb(60, 255, 255, 255));
  soft_circle(g, 330, 120, 90, argb(50, 255, 255, 255));
  // Gentle wave across the lower third.
  Path wave;
  wave.add_line({0, 470}, {0, 470});
  for (int x = 0; x <= 800; x += 10) {
    float y = 470 + 18 * std::sin(static_cast<float>(x) / 800.0f * 6.2832f * 1.5f);
    wave.add_line({static_cast<float>(x), y}, {static_cast<float>(x), y});
  }
  wave.add_line({800, 600}, {0, 600});
  wave.close_figure();
  g.fill_path(Brush::linear({0, 440, 800, 160}, argb(60, 120, 180, 240), argb(20, 120, 180, 240),
                            LinearMode::vertical),
              wave);
  // Pale panel behind the list (list at 15,150 465x255 of 503x441).
  const RectF panel{16, 196, 768, 362};
  g.fill_path(Brush::solid(argb(110, 255, 255, 255)), rounded_rect_path(panel, 14));
  g.draw_path(Pen{argb(120, 255, 255, 255), 2.0f}, rounded_rect_path(panel, 14));
  return skin;
}

}  // namespace client_artwork

// Draws the program icon: a rounded tile with a soft gradient and a white "Q".
#include "artwork.h"

namespace artwork {

platform::gfx::Bitmap program_icon() {
  using namespace platform::gfx;
  Bitmap icon(32, 32);
  Graphics g(icon);
  g.set_smoothing(true);
  RectF tile{1, 1, 31, 31};
  g.fill_path(Brush::linear(tile, argb(255, 64, 156, 255), argb(255, 22, 94, 214), LinearMode::vertical),
              rounded_rect_path(tile, 12));
  g.draw_ellipse(Pen{argb(255, 255, 255, 255), 3.0f}, {8.5f, 7.5f, 14, 14});
  g.draw_line(Pen{argb(255, 255, 255, 255), 3.2f}, {18.5f, 18.5f}, {24, 24});
  return icon;
}

}  // namespace artwork

// Draws the message box's pictures: the translucent frame strip (2 x 160, only alpha varies),
// the icon strip (five 40 x 40 cells: error, warning, question, information, user) and the
// skinned push button (70 x 26 per state; normal, hover, pressed, focused stacked downwards).
//   message_box_artwork <resources folder>
#include "platform/application.h"
#include "platform/gfx.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace platform::gfx;

// ---- Frame strip ----

Bitmap frame_strip() {
  Bitmap strip(2, 160);
  auto row = [&](int y, int alpha, int grey) {
    for (int x = 0; x < 2; ++x) strip.set_pixel(x, y, argb(std::uint8_t(alpha), grey, grey, std::min(255, grey + 2)));
  };
  // The head: a soft ease from translucent to nearly opaque.
  for (int y = 0; y <= 96; ++y) {
    const double t = y / 96.0;
    const double eased = 1 - (1 - t) * (1 - t);
    row(y, int(std::lround(57 + (234 - 57) * eased)), 255);
  }
  for (int y = 97; y <= 128; ++y) row(y, 234 + (y - 97) * 6 / 31, 253);
  row(129, 250, 252);
  row(130, 165, 255);
  for (int y = 131; y < 160; ++y) row(y, 204, 246);
  return strip;
}

// ---- Icon strip ----

constexpr float cell = 40;

void disc(Graphics& g, float x, Argb top, Argb bottom) {
  // A soft drop shadow, then the disc with a light rim and a gloss on its upper half.
  g.fill_ellipse(Brush::solid(argb(40, 0, 0, 0)), {x + 4, 5, 33, 33});
  const RectF face{x + 3.5f, 3.5f, 33, 33};
  g.fill_ellipse(Brush::linear(face, top, bottom, LinearMode::vertical), face);
  g.draw_ellipse(Pen{argb(90, 255, 255, 255), 1.0f}, {x + 4.5f, 4.5f, 31, 31});
  Path gloss;
  gloss.add_ellipse({x + 8, 5.5f, 24, 14});
  g.fill_path(Brush::linear({x + 8, 5.5f, 24, 14}, argb(90, 255, 255, 255), argb(0, 255, 255, 255),
                            LinearMode::vertical),
              gloss);
}

const Argb white = argb(255, 255, 255, 255);

void error_icon(Graphics& g, float x) {
  disc(g, x, argb(255, 240, 98, 88), argb(255, 196, 38, 36));
  const float c = x + 20;
  g.draw_line(Pen{white, 3.6f}, {c - 6.5f, 13.5f}, {c + 6.5f, 26.5f});
  g.draw_line(Pen{white, 3.6f}, {c + 6.5f, 13.5f}, {c - 6.5f, 26.5f});
}

void warning_icon(Graphics& g, float x) {
  const float c = x + 20;
  Path shadow;
  shadow.add_polygon({{c + 1, 5}, {x + 38, 37}, {x + 4, 37}});
  g.fill_path(Brush::solid(argb(40, 0, 0, 0)), shadow);
  Path triangle;
  triangle.add_polygon({{c, 3}, {x + 37, 35}, {x + 3, 35}});
  g.fill_path(Brush::linear({x + 3, 3, 34, 32}, argb(255, 255, 206, 84), argb(255, 240, 150, 20), LinearMode::vertical),
              triangle);
  g.draw_path(Pen{argb(120, 200, 120, 0), 1.0f}, triangle);
  Path bar;
  bar.add_polygon({{c - 2.2f, 13}, {c + 2.2f, 13}, {c + 1.3f, 25}, {c - 1.3f, 25}});
  g.fill_path(Brush::solid(argb(255, 70, 45, 10)), bar);
  g.fill_ellipse(Brush::solid(argb(255, 70, 45, 10)), {c - 2.2f, 27.5f, 4.4f, 4.4f});
}

void question_icon(Graphics& g, float x) {
  disc(g, x, argb(255, 96, 170, 250), argb(255, 36, 106, 214));
  const float c = x + 20;
  Path hook;
  hook.add_arc({c - 6, 10, 12, 11}, 180, 250);
  g.draw_path(Pen{white, 3.4f}, hook);
  g.draw_line(Pen{white, 3.4f}, {c + 1.2f, 20.8f}, {c, 23.2f});
  g.fill_ellipse(Brush::solid(white), {c - 2.3f, 26, 4.6f, 4.6f});
}

void information_icon(Graphics& g, float x) {
  disc(g, x, argb(255, 78, 160, 240), argb(255, 24, 92, 200));
  const float c = x + 20;
  g.fill_ellipse(Brush::solid(white), {c - 2.6f, 9.5f, 5.2f, 5.2f});
  Path stem;
  stem.add_rounded_rect({c - 2.4f, 17, 4.8f, 14}, 3);
  g.fill_path(Brush::solid(white), stem);
}

void user_icon(Graphics& g, float x) {
  disc(g, x, argb(255, 82, 204, 160), argb(255, 22, 150, 110));
  const float c = x + 20;
  g.fill_ellipse(Brush::solid(white), {c - 5, 9.5f, 10, 10});
  Path body;
  body.add_arc({c - 10, 21, 20, 16}, 180, 180);
  body.close_figure();
  g.set_clip(RectF{x + 4, 4, 32, 27.5f});
  g.fill_path(Brush::solid(white), body);
  g.reset_clip();
}

Bitmap icon_strip() {
  Bitmap strip(200, 40);
  Graphics g(strip);
  g.set_smoothing(true);
  error_icon(g, 0 * cell);
  warning_icon(g, 1 * cell);
  question_icon(g, 2 * cell);
  information_icon(g, 3 * cell);
  user_icon(g, 4 * cell);
  return strip;
}

// ---- Skinned push button ----

struct ButtonLook {
  Argb top, bottom, border;
};

Bitmap button_states() {
  const ButtonLook looks[] = {
      {argb(255, 252, 253, 255), argb(255, 228, 234, 242), argb(255, 160, 172, 188)},  // normal
      {argb(255, 240, 248, 255), argb(255, 206, 226, 250), argb(255, 84, 146, 222)},   // hover
      {argb(255, 196, 216, 242), argb(255, 226, 236, 250), argb(255, 60, 120, 200)},   // pressed
      {argb(255, 252, 253, 255), argb(255, 222, 232, 246), argb(255, 52, 128, 224)},   // focused
  };
  Bitmap sheet(70, 26 * 4);
  Graphics g(sheet);
  g.set_smoothing(true);
  for (int i = 0; i < 4; ++i) {
    const float top = 26.0f * i;
    const RectF body{0.5f, top + 0.5f, 69, 25};
    g.fill_path(Brush::linear(body, looks[i].top, looks[i].bottom, LinearMode::vertical), rounded_rect_path(body, 8));
    g.draw_path(Pen{looks[i].border, 1.0f}, rounded_rect_path(body, 8));
    const RectF inner{1.5f, top + 1.5f, 67, 23};
    g.draw_path(Pen{argb(150, 255, 255, 255), 1.0f}, rounded_rect_path(inner, 6));
    if (i == 3) g.draw_path(Pen{argb(90, 52, 128, 224), 1.0f}, rounded_rect_path({2.5f, top + 2.5f, 65, 21}, 5));
  }
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int app_argc = 1;
  platform::application::init(app_argc, argv);
  const std::string folder = argv[1];
  bool ok = frame_strip().save_png(folder + "/msgbox_frame.png");
  ok = icon_strip().save_png(folder + "/msgbox_icons.png") && ok;
  ok = button_states().save_png(folder + "/msgbox_button.png") && ok;
  if (!ok) std::fprintf(stderr, "could not write the pictures into %s\n", folder.c_str());
  std::fflush(nullptr);
  std::_Exit(ok ? 0 : 1);
}

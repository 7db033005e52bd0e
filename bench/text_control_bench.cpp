// Caption drawing, which every button repaint pays: plain text, the glow and outline effects,
// and a whole text-control paint (background, picture, caption) on a host.
#include "dui/core/drawing.h"
#include "dui/core/framework.h"
#include "dui/core/host_window.h"
#include "dui/core/text_control.h"
#include "platform/application.h"
#include "platform/window.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

namespace pw = platform::window;
namespace gfx = platform::gfx;

void draw_caption(benchmark::State& state, int effect) {
  dui::init_framework();
  gfx::Bitmap bitmap(120, 30);
  gfx::Graphics graphics(bitmap);
  graphics.set_smoothing(true);
  gfx::StringFormat format;
  format.flags = gfx::format_no_wrap;
  for (auto _ : state) {
    graphics.clear(0);
    dui::draw_text(graphics, {10, 7, 100, 16}, std::u16string_view(u"编程源码 Source"), dui::default_font(), 0xFFFFFFFF,
                   format, effect);
  }
}

void BM_DrawTextPlain(benchmark::State& state) { draw_caption(state, dui::text_effect::none); }
void BM_DrawTextGlow(benchmark::State& state) { draw_caption(state, dui::text_effect::glow); }
void BM_DrawTextOutline(benchmark::State& state) { draw_caption(state, dui::text_effect::outline); }
BENCHMARK(BM_DrawTextPlain);
BENCHMARK(BM_DrawTextGlow);
BENCHMARK(BM_DrawTextOutline);

struct Scene {
  pw::handle window = 0;
  std::unique_ptr<dui::Ex_Window> host;
  std::unique_ptr<dui::Ex_TextControl> button;
};

Scene& scene() {
  static Scene s = [] {
    dui::init_framework();
    Scene made;
    made.window = dui::create_frame_window(0, "bench", {.width = 300, .height = 120});
    made.host = std::make_unique<dui::Ex_Window>();
    dui::HostOptions options;
    options.features = 0;
    options.background_colour = 0xB07A3C;
    made.host->create(made.window, options);
    pw::show(made.window, pw::SW_SHOWNORMAL);
    made.button = std::make_unique<dui::Ex_TextControl>();
    made.button->create(made.window, 20, 20, 120, 40, {.text = "编程源码", .text_effect = dui::text_effect::glow});
    gfx::Bitmap picture(16, 16);
    picture.fill(0xFF30A050);
    made.button->image(picture.encode_png());
    made.button->image_gap(4);
    pw::pump();
    return made;
  }();
  return s;
}

// One state change of a button: paint into its bitmap and recompose its area (no transition).
void BM_TextControlPaint(benchmark::State& state) {
  Scene& s = scene();
  int flip = 0;
  for (auto _ : state) s.button->paint((flip ^= 1) != 0 ? dui::text_state::hover : dui::text_state::pressed, true);
}
BENCHMARK(BM_TextControlPaint);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::application::init(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::_Exit(0);
}

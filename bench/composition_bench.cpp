// Composition of a 503 x 441 host (the main window's size) with a skin and 15 controls: one
// dirty list row, the whole window, and a full background repaint.
#include "dui/core/control.h"
#include "dui/core/host_window.h"
#include "platform/application.h"
#include "platform/gfx.h"
#include "platform/window.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

namespace pw = platform::window;
namespace gfx = platform::gfx;

// A control that paints a rounded, gradient-filled face once.
class Tile : public dui::Ex_Control {
 public:
  int on_event(int code, dui::WParam, dui::LParam) override {
    if (code != dui::event::paint) return -1;
    dui::PaintContext context;
    if (!dui::begin_paint(this, context) || context.graphics == nullptr) return 0;
    const dui::RectF face{0.5f, 0.5f, context.area.width - 1, context.area.height - 1};
    context.graphics->set_smoothing(true);
    context.graphics->fill_path(gfx::Brush::linear(face, 0xE0FFFFFF, 0xC0D8E4F0, gfx::LinearMode::vertical),
                                gfx::rounded_rect_path(face, 6));
    dui::end_paint(this, context);
    return 0;
  }
};

struct Scene {
  pw::handle window = 0;
  std::unique_ptr<dui::Ex_Window> host;
  std::vector<std::unique_ptr<Tile>> tiles;
};

std::string gradient_skin(int w, int h) {
  gfx::Bitmap skin(w, h);
  gfx::Graphics g(skin);
  g.fill_rect(gfx::Brush::linear(gfx::RectF{0, 0, float(w), float(h)}, 0xFF3A6EA5, 0xFF9CC3E6, gfx::LinearMode::vertical),
              gfx::RectF{0, 0, float(w), float(h)});
  return skin.encode_png();
}

Scene& scene() {
  static Scene s = [] {
    Scene made;
    pw::class_info info;
    info.name = "CompositionBench";
    pw::register_class(info);
    pw::create_params params;
    params.class_name = "CompositionBench";
    params.style = pw::WS_POPUP;
    params.width = 503;
    params.height = 441;
    made.window = pw::create(params);
    made.host = std::make_unique<dui::Ex_Window>();
    dui::HostOptions options;
    options.features = 0;
    options.window_alpha = 255;
    options.skin_image = gradient_skin(493, 431);
    made.host->create(made.window, options);
    pw::show(made.window, pw::SW_SHOWNORMAL);
    // A list, two scroll bars, seven buttons, five labels: the main window's content.
    const std::vector<dui::RectF> places = {
        {12, 110, 460, 300}, {472, 110, 14, 300}, {12, 410, 460, 14}, {12, 40, 62, 62},  {80, 40, 62, 62},
        {148, 40, 62, 62},   {216, 40, 62, 62},   {284, 40, 62, 62},  {352, 40, 62, 62}, {420, 40, 62, 62},
        {12, 16, 120, 18},   {140, 16, 120, 18},  {268, 16, 120, 18}, {12, 426, 200, 10}, {300, 426, 180, 10}};
    for (const dui::RectF& place : places) {
      auto tile = std::make_unique<Tile>();
      tile->init_control(made.window, place, 2, 1);
      made.tiles.push_back(std::move(tile));
    }
    pw::pump();
    return made;
  }();
  return s;
}

// Argument: 1 = also present the result to the (layered) window, 0 = composition only.
void BM_RecomposeDirtyRow(benchmark::State& state) {
  Scene& s = scene();
  const bool present = state.range(0) != 0;
  for (auto _ : state) s.host->recompose(dui::RectF{12, 200, 460, 24}, present);
}
BENCHMARK(BM_RecomposeDirtyRow)->Arg(0)->Arg(1);

void BM_RecomposeWholeHost(benchmark::State& state) {
  Scene& s = scene();
  const bool present = state.range(0) != 0;
  for (auto _ : state) s.host->recompose(dui::RectF{0, 0, 503, 441}, present);
}
BENCHMARK(BM_RecomposeWholeHost)->Arg(0)->Arg(1);

void BM_RepaintBackgroundAndComposeAll(benchmark::State& state) {
  Scene& s = scene();
  for (auto _ : state) s.host->set_background(std::nullopt, std::nullopt, dui::background_mode::present);
}
BENCHMARK(BM_RepaintBackgroundAndComposeAll);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::application::init(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

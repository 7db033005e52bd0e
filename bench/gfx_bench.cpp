// What painting costs per frame: a list paints a few short texts per row, composition draws
// every control's bitmap with an opacity, and rounded controls clip to a path.
#include "platform/application.h"
#include "platform/gfx.h"
#include "platform/text.h"

#include <benchmark/benchmark.h>

using namespace platform::gfx;

namespace {

const StringFormat kCellFormat{format_no_wrap | format_measure_trailing_spaces, Alignment::near, Alignment::near,
                               Trimming::ellipsis_character};

Font cell_font() { return Font::create(platform::text::utf8_to_gbk("宋体"), 12); }

// One cell as a list row paints it: measure the text's range, then draw it.
void BM_ListCell(benchmark::State& state) {
  Bitmap rows(600, 400);
  Graphics g(rows);
  g.set_smoothing(true);
  g.set_text_hint(TextHint::antialias_grid_fit);
  Font font = cell_font();
  const std::string text = platform::text::utf8_to_gbk(state.range(0) ? "一个很长很长的资源标题需要省略号才能显示完整" : "编程源码");
  const Brush brush = Brush::solid(0xD2000000);
  const RectF cell{1, 1, 150, 18};
  for (auto _ : state) {
    benchmark::DoNotOptimize(g.measure_ranges(text, font, cell, kCellFormat, {{0, 4}}));
    g.draw_string(text, font, cell, kCellFormat, brush);
  }
}
BENCHMARK(BM_ListCell)->Arg(0)->Arg(1);

// A control's bitmap composed into the window's back buffer at an opacity.
void BM_ComposeWithOpacity(benchmark::State& state) {
  Bitmap buffer(800, 600), control(400, 300);
  control.fill(0xC0336699);
  Graphics g(buffer);
  const float opacity = float(state.range(0)) / 255.0f;
  for (auto _ : state) g.draw_image(control, RectF{50, 50, 400, 300}, RectF{0, 0, 400, 300}, opacity);
  state.SetItemsProcessed(state.iterations() * 400 * 300);
}
BENCHMARK(BM_ComposeWithOpacity)->Arg(255)->Arg(128);

void BM_BlendPixels(benchmark::State& state) {
  Bitmap buffer(800, 600), control(400, 300);
  control.fill(0xC0336699);
  for (auto _ : state) blend_pixels(buffer, 50, 50, control, {0, 0, 400, 300}, 128);
  state.SetItemsProcessed(state.iterations() * 400 * 300);
}
BENCHMARK(BM_BlendPixels);

// A rounded button background: clip to the rounded path, fill a gradient, outline.
void BM_RoundedButton(benchmark::State& state) {
  Bitmap bitmap(120, 32);
  Graphics g(bitmap);
  g.set_smoothing(true);
  const RectF area{0, 0, 120, 31};
  for (auto _ : state) {
    g.set_clip(rounded_rect_path({0, 0, 120, 32}, 4));
    g.fill_path(Brush::solid(0xCCECECEC), rounded_rect_path(area, 3));
    g.fill_rect(Brush::linear(area, 0x00F0F0F0, 0x66F0F0F0, LinearMode::vertical), {0, 0, 119, 30});
    g.reset_clip();
    g.draw_path({0x50000000, 1}, rounded_rect_path(area, 3));
  }
}
BENCHMARK(BM_RoundedButton);

}  // namespace

int main(int argc, char** argv) {
  static int kept_argc = argc;  // the application object keeps a reference to it
  platform::application::init(kept_argc, argv);
  benchmark::Initialize(&kept_argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

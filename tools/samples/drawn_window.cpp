// A drawn window: rounded, translucent (layered, per-pixel alpha), with a gradient, Chinese
// text and a picture, that can be dragged anywhere and closed with Esc or a double click.
// A second, opaque window below it shows a clock through partial (rectangle) presentation.
//   drawn_window_sample [--quit-after MS]
#include "platform/application.h"
#include "platform/gfx.h"
#include "platform/text.h"
#include "platform/window.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace pw = platform::window;
namespace gfx = platform::gfx;

constexpr int main_width = 420;
constexpr int main_height = 260;
constexpr int clock_width = 200;
constexpr int clock_height = 48;
constexpr std::uintptr_t clock_timer = 1;

std::string gbk(const char* utf8) { return platform::text::utf8_to_gbk(utf8); }

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

pw::pixel_view view_of(const gfx::Bitmap& bitmap) {
  const gfx::PixelView p = bitmap.pixels();
  return {p.pixels, p.width, p.height, p.bytes_per_line};
}

gfx::Font first_font(float size, int style) {
  for (const char* family : {"微软雅黑", "宋体"}) {
    if (auto font = gfx::Font::create(gbk(family), size, style)) return font;
  }
  return {};
}

gfx::Bitmap paint_main() {
  gfx::Bitmap buffer(main_width, main_height);
  gfx::Graphics g(buffer);
  g.set_smoothing(true);
  g.clear(0);
  const gfx::RectF body{6, 6, main_width - 12.0f, main_height - 12.0f};
  const gfx::Path shape = gfx::rounded_rect_path(body, 18);
  g.fill_path(gfx::Brush::linear(body, gfx::argb(225, 36, 92, 160), gfx::argb(200, 20, 30, 60), gfx::LinearMode::vertical),
              shape);
  g.draw_path({gfx::argb(204, 96, 96, 96), 1.0f, gfx::DashStyle::solid}, shape);

  const gfx::Bitmap picture = gfx::decode_bitmap(read_file(QUENBO_RESOURCE_DIR "/program_icon.png"));
  if (picture) g.draw_image(picture, gfx::RectF{28, 28, 64, 64});

  gfx::StringFormat format;
  const gfx::Brush white = gfx::Brush::solid(gfx::argb(250, 255, 255, 255));
  g.draw_string(gbk("Quenbo资源社区"), first_font(26, gfx::font_bold), {108, 34, 290, 40}, format, white);
  g.draw_string(gbk("绘制的半透明圆角窗口：按住任意处拖动，Esc 关闭。"), first_font(14, gfx::font_regular),
                {108, 76, 290, 44}, format, gfx::Brush::solid(gfx::argb(230, 220, 235, 255)));

  const gfx::RectF strip{28, 130, main_width - 56.0f, 90};
  g.fill_path(gfx::Brush::solid(gfx::argb(110, 255, 255, 255)), gfx::rounded_rect_path(strip, 10));
  gfx::StringFormat centred;
  centred.alignment = gfx::Alignment::centre;
  centred.line_alignment = gfx::Alignment::centre;
  g.draw_string(gbk("编程源码 · 软件工具 · 学习资料 · 影音娱乐"), first_font(15, gfx::font_regular), strip, centred,
                gfx::Brush::solid(gfx::argb(255, 20, 30, 60)));
  return buffer;
}

void present_clock(pw::handle window) {
  static gfx::Bitmap buffer(clock_width, clock_height);
  gfx::Graphics g(buffer);
  g.set_smoothing(true);
  g.clear(gfx::argb(255, 245, 245, 240));
  g.draw_rect({gfx::argb(255, 120, 120, 120), 1.0f, gfx::DashStyle::solid}, {0, 0, clock_width - 1.0f, clock_height - 1.0f});
  gfx::StringFormat centred;
  centred.alignment = gfx::Alignment::centre;
  centred.line_alignment = gfx::Alignment::centre;
  const std::string seconds = std::to_string(pw::tick_count() / 1000);
  g.draw_string(gbk("已运行 ") + seconds + gbk(" 秒"), first_font(16, gfx::font_regular),
                {0, 0, float(clock_width), float(clock_height)}, centred, gfx::Brush::solid(gfx::argb(255, 40, 40, 40)));
  pw::present_rect(window, view_of(buffer), {0, 0, clock_width, clock_height});
}

pw::result main_procedure(pw::handle window, unsigned message, pw::wparam w, pw::lparam l) {
  switch (message) {
    case pw::WM_NCHITTEST: return pw::HTCAPTION;  // drag anywhere
    case pw::WM_KEYDOWN:
      if (w == static_cast<pw::wparam>(pw::VK_ESCAPE)) pw::post(window, pw::WM_CLOSE);
      return 0;
    case pw::WM_DESTROY: pw::post_quit(0); return 0;
    default: return pw::default_procedure(window, message, w, l);
  }
}

pw::result clock_procedure(pw::handle window, unsigned message, pw::wparam w, pw::lparam l) {
  if (message == pw::WM_TIMER || message == pw::WM_PAINT) {
    present_clock(window);
    return 0;
  }
  return pw::default_procedure(window, message, w, l);
}

pw::handle make_window(const char* cls, int x, int y, int width, int height, std::uint32_t ex_style, pw::handle owner) {
  pw::create_params params;
  params.class_name = cls;
  params.title = gbk("绘制窗口示例");
  params.style = pw::WS_POPUP;
  params.ex_style = ex_style;
  params.x = x;
  params.y = y;
  params.width = width;
  params.height = height;
  params.owner = owner;
  return pw::create(params);
}

}  // namespace

int main(int argc, char** argv) {
  platform::application::init(argc, argv);
  const int quit_after = argc > 2 && std::strcmp(argv[1], "--quit-after") == 0 ? std::atoi(argv[2]) : 0;

  pw::register_class({.name = "sample_drawn", .style = pw::CS_DBLCLKS, .proc = main_procedure,
                      .class_cursor = pw::load_cursor(pw::IDC_HAND), .big_icon = 0, .small_icon = 0,
                      .background = 0});
  pw::register_class({.name = "sample_clock", .style = 0, .proc = clock_procedure,
                      .class_cursor = 0, .big_icon = 0, .small_icon = 0, .background = 0x00F0F0F0});

  const pw::rect area = pw::work_area();
  const int left = area.left + (area.width() - main_width) / 2;
  const int top = area.top + (area.height() - main_height) / 2 - 40;
  const pw::handle main_window = make_window("sample_drawn", left, top, main_width, main_height, pw::WS_EX_LAYERED, 0);
  const pw::handle clock = make_window("sample_clock", left + (main_width - clock_width) / 2, top + main_height + 16,
                                       clock_width, clock_height, 0, main_window);
  if (main_window == 0 || clock == 0) return 1;

  pw::set_region_round_rect(main_window, {6, 6, main_width - 5, main_height - 5}, 36, 36);
  const gfx::Bitmap picture = paint_main();
  pw::present_layered(main_window, view_of(picture), 235);
  pw::set_region_round_rect(clock, {0, 0, clock_width + 1, clock_height + 1}, 14, 14);
  pw::set_timer(clock, clock_timer, 1000);
  pw::show(main_window, pw::SW_SHOWNORMAL);
  pw::show(clock, pw::SW_SHOWNOACTIVATE);
  if (quit_after > 0) pw::set_timer(0, 0, static_cast<unsigned>(quit_after), [](auto...) { pw::post_quit(0); });

  const int code = pw::run();
  platform::application::shutdown();
  return code;
}

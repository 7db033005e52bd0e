// A drawn host window to look at: a layered, rounded window with a generated skin, its drawn
// frame and shadow, a translucent card with push buttons (hover, press and focus looks with
// cross-fades), a sliding announcement line and a fade-in show.
//   host_sample [--quit-after MS] [--backdrop]   (--backdrop: a light desktop behind, for screenshots)
#include "dui/core/control.h"
#include "dui/core/drawing.h"
#include "dui/core/framework.h"
#include "dui/core/host_window.h"
#include "dui/core/text_control.h"
#include "platform/application.h"
#include "platform/gfx.h"
#include "platform/window.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace pw = platform::window;
namespace gfx = platform::gfx;

constexpr int window_width = 540;
constexpr int window_height = 282;

// A diagonal blue-to-teal gradient with two soft light spots.
std::string make_skin(int w, int h) {
  gfx::Bitmap skin(w, h);
  gfx::Graphics g(skin);
  g.set_smoothing(true);
  const gfx::RectF all{0, 0, float(w), float(h)};
  g.fill_rect(gfx::Brush::linear_angle(all, gfx::argb(255, 34, 66, 128), gfx::argb(255, 28, 140, 150), 35.0f), all);
  for (const auto& [x, y, r, a] : {std::tuple{0.82f, 0.18f, 220.0f, 70}, std::tuple{0.15f, 0.95f, 260.0f, 55}}) {
    gfx::Path spot;
    const gfx::RectF box{x * w - r, y * h - r, 2 * r, 2 * r};
    spot.add_ellipse(box);
    g.fill_path(gfx::Brush::path_gradient(spot, gfx::argb(std::uint8_t(a), 255, 255, 255), 0x00FFFFFF), spot);
  }
  return skin.encode_png();
}

gfx::Font font_of(float size, int style = gfx::font_regular) {
  for (const char* family : {"微软雅黑", "宋体"}) {
    gfx::Font font = gfx::Font::create(family, size, style);
    if (font) return font;
  }
  return {};
}

// A translucent rounded panel with a heading.
class Card : public dui::Ex_Control {
 public:
  explicit Card(std::string heading) : heading_(std::move(heading)) {}
  ~Card() override { destroy(); }
  int on_event(int code, dui::WParam, dui::LParam) override {
    if (code != dui::event::paint) return -1;
    dui::PaintContext context;
    if (!dui::begin_paint(this, context) || context.graphics == nullptr) return 0;
    gfx::Graphics& g = *context.graphics;
    g.set_smoothing(true);
    const gfx::RectF face{0.5f, 0.5f, context.area.width - 1, context.area.height - 1};
    const gfx::Path shape = gfx::rounded_rect_path(face, 12);
    g.fill_path(gfx::Brush::linear(face, 0x40FFFFFF, 0x18FFFFFF, gfx::LinearMode::vertical), shape);
    g.draw_path(gfx::Pen{0x70FFFFFF, 1.0f}, shape);
    gfx::StringFormat format;
    g.draw_string(heading_, font_of(15, gfx::font_bold), gfx::RectF{16, 12, face.width - 32, 24}, format,
                  gfx::Brush::solid(0xF0FFFFFF));
    g.draw_line(gfx::Pen{0x40FFFFFF, 1.0f}, {16, 42}, {face.width - 16, 42});
    dui::end_paint(this, context);
    return 0;
  }

 private:
  std::string heading_;
};

// A dark rounded strip that holds the announcement line.
class Strip : public dui::Ex_Control {
 public:
  ~Strip() override { destroy(); }
  int on_event(int code, dui::WParam, dui::LParam) override {
    if (code != dui::event::paint) return -1;
    dui::PaintContext context;
    if (!dui::begin_paint(this, context) || context.graphics == nullptr) return 0;
    context.graphics->set_smoothing(true);
    const gfx::RectF face{0.5f, 0.5f, context.area.width - 1, context.area.height - 1};
    context.graphics->fill_path(gfx::Brush::solid(0x38000000), gfx::rounded_rect_path(face, 8));
    dui::end_paint(this, context);
    return 0;
  }
};

// One line of text that slides to the next with a transition.
class Ticker : public dui::Ex_Control {
 public:
  ~Ticker() override { destroy(); }
  void show_text(const std::string& text) {
    text_ = text;
    repaint();
  }
  int on_event(int code, dui::WParam, dui::LParam) override {
    if (code != dui::event::paint) return -1;
    dui::PaintContext context;
    if (!dui::begin_paint(this, context) || context.graphics == nullptr) return 0;
    gfx::Graphics& g = *context.graphics;
    g.set_smoothing(true);
    const gfx::RectF face{0, 0, context.area.width, context.area.height};
    gfx::StringFormat format;
    format.line_alignment = gfx::Alignment::centre;
    format.flags = gfx::format_no_wrap;
    format.trimming = gfx::Trimming::ellipsis_character;
    g.draw_string(text_, font_of(13), gfx::RectF{0, 0, face.width, face.height}, format,
                  gfx::Brush::solid(0xFFFFFFFF));
    dui::end_paint(this, context);
    return 0;
  }

 private:
  std::string text_;
};

bool has_flag(int argc, char** argv, const char* flag) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], flag) == 0) return true;
  }
  return false;
}

// A full-screen plain window standing in for a desktop, so the window's shadow shows.
pw::handle make_backdrop() {
  pw::class_info info;
  info.name = "HostSampleBackdrop";
  pw::register_class(info);
  const pw::rect screen = pw::work_area();
  pw::create_params params;
  params.class_name = info.name;
  params.style = pw::WS_POPUP;
  params.x = screen.left;
  params.y = screen.top;
  params.width = screen.width();
  params.height = screen.height();
  const pw::handle backdrop = pw::create(params);
  gfx::Bitmap desk(screen.width(), screen.height());
  gfx::Graphics g(desk);
  const gfx::RectF all{0, 0, float(screen.width()), float(screen.height())};
  g.fill_rect(gfx::Brush::linear(all, gfx::argb(255, 226, 232, 240), gfx::argb(255, 196, 206, 220), gfx::LinearMode::vertical), all);
  pw::show(backdrop, pw::SW_SHOWNOACTIVATE);
  const gfx::PixelView p = desk.pixels();
  pw::present_rect(backdrop, pw::pixel_view{p.pixels, p.width, p.height, p.bytes_per_line},
                   pw::rect{0, 0, p.width, p.height});
  return backdrop;
}

int quit_after(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--quit-after") == 0) return std::atoi(argv[i + 1]);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  platform::application::init(argc, argv);
  dui::init_framework();
  const pw::handle backdrop = has_flag(argc, argv, "--backdrop") ? make_backdrop() : 0;

  pw::create_params params;
  params.class_name = dui::window_class_name;
  params.title = "Quenbo资源社区";
  params.style = pw::WS_POPUP | pw::WS_MINIMIZEBOX;
  params.x = 120;
  params.y = 90;
  params.width = window_width;
  params.height = window_height;
  const pw::handle window = pw::create(params);

  dui::Ex_Window host;
  dui::HostOptions options;
  options.features = 0;
  options.window_alpha = 255;
  options.image_placement = 1;
  options.skin_image = make_skin(window_width, window_height);
  host.set_on_background([](dui::WindowHandle, gfx::Graphics& g, int, int) {
    gfx::StringFormat format;
    g.draw_string("Quenbo资源社区", font_of(17, gfx::font_bold), gfx::RectF{24, 18, 300, 28}, format,
                  gfx::Brush::solid(0xFFFFFFFF));
    g.draw_string("框架示例 · 绘制控件", font_of(12), gfx::RectF{26, 44, 300, 20}, format,
                  gfx::Brush::solid(0xB0FFFFFF));
  });
  host.create(window, options);
  host.set_close_effect(dui::window_effect::pop);

  Card card("资源操作");
  card.init_control(window, {24, 76, 492, 128}, 30, 1);
  std::vector<std::unique_ptr<dui::Ex_TextControl>> buttons;
  const char* captions[] = {"打开资源", "复制地址", "投稿", "转账"};
  for (int i = 0; i < 4; ++i) {
    auto button = std::make_unique<dui::Ex_TextControl>();
    dui::TextControlOptions text;
    text.text = captions[i];
    text.font_name = "微软雅黑";
    text.font_size = 13;
    text.round_corners = 1;
    button->create(&card, 44 + i * 114, 138, 100, 34, text);
    button->tooltip(std::string("点击") + captions[i], false);
    buttons.push_back(std::move(button));
  }
  auto quit = std::make_unique<dui::Ex_TextControl>();
  dui::TextControlOptions quit_text;
  quit_text.text = "关闭";
  quit_text.font_name = "微软雅黑";
  quit_text.font_size = 13;
  quit->create(window, 416, 222, 100, 34, quit_text);
  quit->bind_event(dui::event::click, dui::Ex_Control::EventHandler([window](dui::Ex_Control*, int, dui::WParam, dui::LParam) {
                     pw::post(window, pw::WM_CLOSE);
                   }));

  Strip strip;
  strip.init_control(window, {24, 222, 380, 34}, 32, 1);
  Ticker ticker;
  dui::ControlOptions slide;
  slide.animation_effect = dui::transition::slide_up;
  ticker.init_control(&strip, {38, 224, 356, 30}, 31, 1, slide);
  ticker.tooltip(std::string("社区公告，每 2.5 秒换一条"), false);
  ticker.show_text("公告：欢迎来到 Quenbo资源社区，新资源每天更新。");
  ticker.animation_frames(10, 25);
  const std::vector<std::string> news = {"公告：投稿审核通过后即可获得 Quenbo币。", "公告：双击列表中的资源即可打开。",
                                         "公告：欢迎来到 Quenbo资源社区，新资源每天更新。"};
  std::size_t next_news = 0;
  pw::set_timer(window, 7, 2500, [&](pw::handle, unsigned, std::uintptr_t, std::uint32_t) {
    ticker.show_text(news[next_news++ % news.size()]);
  });

  host.show(dui::window_effect::fade, 300);
  if (const int ms = quit_after(argc, argv); ms > 0) {
    pw::set_timer(0, 0, static_cast<unsigned>(ms), [](pw::handle, unsigned, std::uintptr_t, std::uint32_t) {
      pw::post_quit(0);
    });
  }
  pw::run_until([] { return false; }, window);
  if (pw::exists(window)) pw::destroy(window);
  if (backdrop != 0) pw::destroy(backdrop);
  return 0;
}

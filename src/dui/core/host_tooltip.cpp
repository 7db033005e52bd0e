// The host's tooltip pop-up: a rounded pale box with the tool's text, shown below the cursor.
#include "dui/core/host_tooltip.h"

#include "platform/gfx.h"

#include <algorithm>
#include <cmath>

namespace dui {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

constexpr const char* tooltip_class = "Ex_Tooltip";
constexpr std::uintptr_t delay_timer = 1;

bool register_tooltip_class() {
  if (pw::class_exists(tooltip_class)) return true;
  pw::class_info info;
  info.name = tooltip_class;
  info.proc = [](pw::handle w, unsigned m, pw::wparam wp, pw::lparam lp) { return pw::default_procedure(w, m, wp, lp); };
  return pw::register_class(info);
}

gfx::Font tooltip_font() {
  gfx::Font font = gfx::Font::create("宋体", 12.0f);
  if (font.is_null()) font = gfx::Font::create("sans-serif", 12.0f);
  return font;
}

}  // namespace

HostTooltip::HostTooltip(pw::handle owner) : owner_window_(owner) {}

HostTooltip::~HostTooltip() {
  if (owner_window_ != 0) pw::kill_timer(owner_window_, reinterpret_cast<std::uintptr_t>(this));
  if (window_ != 0) pw::destroy(window_);
}

void HostTooltip::ensure_window() {
  if (window_ != 0 && pw::exists(window_)) return;
  if (!register_tooltip_class()) return;
  pw::create_params params;
  params.class_name = tooltip_class;
  params.style = pw::WS_POPUP;
  params.ex_style = pw::WS_EX_TOPMOST | pw::WS_EX_TOOLWINDOW | pw::WS_EX_NOACTIVATE | pw::WS_EX_LAYERED;
  params.x = 0;
  params.y = 0;
  params.width = 10;
  params.height = 10;
  window_ = pw::create(params);
}

void HostTooltip::set_tool(const void* owner, const pw::rect& area, const std::string& text) {
  owner_ = owner;
  area_ = area;
  text_ = text;
  // The tool is set as the mouse enters it: the delay starts now.
  if (owner_window_ != 0 && area_.contains(pw::screen_to_client(owner_window_, pw::cursor_position()))) arm();
}

void HostTooltip::arm() {
  if (showing_ || owner_window_ == 0) return;
  pw::set_timer(owner_window_, reinterpret_cast<std::uintptr_t>(this), show_delay_ms,
                [this](pw::handle, unsigned, std::uintptr_t, std::uint32_t) { show_if_hovering(); });
}

void HostTooltip::remove_tool() {
  owner_ = nullptr;
  text_.clear();
  area_ = {};
  hide();
}

void HostTooltip::forget_owner(const void* owner) {
  if (owner_ == owner && owner != nullptr) remove_tool();
}

void HostTooltip::relay(unsigned message, pw::lparam lparam) {
  if (text_.empty()) return;
  if (message != pw::WM_MOUSEMOVE) {
    hide();
    if (owner_window_ != 0) pw::kill_timer(owner_window_, reinterpret_cast<std::uintptr_t>(this));
    return;
  }
  const pw::point at{pw::x_of(lparam), pw::y_of(lparam)};
  if (!area_.contains(at)) {
    hide();
    return;
  }
  arm();
}

void HostTooltip::show_if_hovering() {
  if (owner_window_ != 0) pw::kill_timer(owner_window_, reinterpret_cast<std::uintptr_t>(this));
  if (text_.empty() || owner_window_ == 0) return;
  const pw::point screen = pw::cursor_position();
  if (!area_.contains(pw::screen_to_client(owner_window_, screen))) return;
  show_at(screen);
}

void HostTooltip::show_at(pw::point screen) {
  ensure_window();
  if (window_ == 0) return;
  const gfx::Font font = tooltip_font();
  gfx::StringFormat format;
  gfx::Bitmap probe(1, 1);
  gfx::Graphics measure(probe);
  const gfx::TextMeasure size = measure.measure_string(text_, font, gfx::RectF{0, 0, float(max_tip_width), 0}, format);
  const int width = static_cast<int>(std::ceil(size.bounds.width)) + 12;
  const int height = static_cast<int>(std::ceil(size.bounds.height)) + 8;
  gfx::Bitmap tip(width, height);
  gfx::Graphics g(tip);
  g.set_smoothing(true);
  const gfx::RectF box{0.5f, 0.5f, float(width) - 1.0f, float(height) - 1.0f};
  const gfx::Path shape = gfx::rounded_rect_path(box, 6.0f);
  g.fill_path(gfx::Brush::linear(box, 0xF8FFFFFF, 0xF8EEF2F7, gfx::LinearMode::vertical), shape);
  g.draw_path(gfx::Pen{0xC8768396, 1.0f}, shape);
  g.draw_string(text_, font, gfx::RectF{6, 4, float(max_tip_width), float(height)}, format,
                gfx::Brush::solid(0xF0202833));
  pw::move(window_, screen.x + 2, screen.y + 20, width, height, false);
  const gfx::PixelView pixels = tip.pixels();
  pw::present_layered(window_, pw::pixel_view{pixels.pixels, pixels.width, pixels.height, pixels.bytes_per_line});
  pw::show(window_, pw::SW_SHOWNA);
  showing_ = true;
}

void HostTooltip::hide() {
  if (showing_ && window_ != 0) pw::show(window_, pw::SW_HIDE);
  showing_ = false;
}

}  // namespace dui

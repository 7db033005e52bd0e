// Ex_Window painting: surfaces, the background (skin, shape, frame lines, shadow, edge fade),
// the redraw queue, recomposition and presentation of rectangles, WM_PAINT and the fade-in.
#include "dui/core/host_window.h"

#include "dui/core/drawing.h"
#include "dui/core/framework.h"

#include <algorithm>
#include <cmath>

namespace dui {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

pw::pixel_view view_of(const Bitmap& bitmap) {
  const gfx::PixelView p = bitmap.pixels();
  return pw::pixel_view{p.pixels, p.width, p.height, p.bytes_per_line};
}

// The whole pixels a float rectangle touches, cut to the bitmap.
gfx::Rect covered_pixels(const RectF& r, int width, int height) {
  const int left = std::max(0, static_cast<int>(std::floor(r.x)));
  const int top = std::max(0, static_cast<int>(std::floor(r.y)));
  const int right = std::min(width, static_cast<int>(std::ceil(r.x + r.width)));
  const int bottom = std::min(height, static_cast<int>(std::ceil(r.y + r.height)));
  return gfx::Rect{left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

RectF to_rectf(const gfx::Rect& r) {
  return RectF{static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width),
               static_cast<float>(r.height)};
}

void prepare(Graphics& graphics) {
  graphics.set_smoothing(true);
  graphics.set_text_hint(gfx::TextHint::antialias_grid_fit);
}

struct Scratch {
  Bitmap bitmap;
  std::unique_ptr<Graphics> graphics;
};

Scratch& scratch() {
  static Scratch s;
  return s;
}

}  // namespace

// ---- Shared scratch surface ----

void ensure_scratch(int width, int height) {
  Scratch& s = scratch();
  if (!s.bitmap.is_null() && width <= s.bitmap.width() && height <= s.bitmap.height()) return;
  const int w = std::max({width, s.bitmap.width(), 1});
  const int h = std::max({height, s.bitmap.height(), 1});
  s.graphics.reset();
  s.bitmap = Bitmap(w, h);
  s.graphics = std::make_unique<Graphics>(s.bitmap);
  prepare(*s.graphics);
}

Bitmap& scratch_bitmap() {
  ensure_scratch(1, 1);
  return scratch().bitmap;
}

Graphics& scratch_graphics() {
  ensure_scratch(1, 1);
  return *scratch().graphics;
}

Colour average_colour(const Bitmap& image) {
  if (image.is_null()) return 0;
  const gfx::PixelView p = image.pixels();
  std::uint64_t red = 0, green = 0, blue = 0;
  for (int y = 0; y < p.height; ++y) {
    const std::uint32_t* row = p.row(y);
    for (int x = 0; x < p.width; ++x) {
      red += (row[x] >> 16) & 0xFF;
      green += (row[x] >> 8) & 0xFF;
      blue += row[x] & 0xFF;
    }
  }
  const std::uint64_t count = static_cast<std::uint64_t>(p.width) * static_cast<std::uint64_t>(p.height);
  if (count == 0) return 0;
  return static_cast<Colour>((red / count) | ((green / count) << 8) | ((blue / count) << 16));
}

bool set_blur(WindowHandle, int, int, int, int, int, int, int) { return false; }

// ---- Redraw queue ----

void RedrawQueue::setup(WindowHandle window, Ex_Window* host, Graphics* graphics) {
  window_ = window;
  host_ = host;
  graphics_ = graphics;
}

void RedrawQueue::clear() {
  items_.clear();
  flushing_ = false;
}

void RedrawQueue::add(const RectF& rect, int mode) {
  if (host_ == nullptr) return;
  if (mode == redraw_mode::at_once) {
    host_->recompose(rect, true);
  } else if (mode == redraw_mode::first) {
    items_.push_front(rect);
  } else {
    items_.push_back(rect);
  }
  if (!flushing_) flush();
}

void RedrawQueue::flush() {
  if (host_ == nullptr) return;
  flushing_ = true;
  const bool layered = host_->window_alpha_ != -1;
  bool recomposed = false;
  while (!items_.empty()) {
    const RectF rect = items_.front();
    items_.pop_front();
    host_->recompose(rect, !layered);
    recomposed = true;
  }
  // A layered window shows its whole buffer: one update for everything this flush recomposed.
  if (layered && recomposed && host_->busy_ == 0) host_->update_layered();
  flushing_ = false;
}

// ---- Surfaces ----

void Ex_Window::make_surfaces() {
  buffer_graphics_.reset();
  buffer_ = Bitmap(std::max(1, width_), std::max(1, height_));
  buffer_graphics_ = std::make_unique<Graphics>(buffer_);
  prepare(*buffer_graphics_);
  background_ = Bitmap(std::max(1, width_), std::max(1, height_));
  redraw_queue_.setup(window_, this, buffer_graphics_.get());
}

// ---- Recomposition and presentation ----

void Ex_Window::invalidate_rect(const RectF& rect, int mode) { redraw_queue_.add(rect, mode); }

void Ex_Window::set_composition_clip(Graphics& graphics, const RectF& rect) {
  if (clip_region_) {
    // A rectangle whose corner pixels all lie inside the rounded shape lies inside it
    // entirely: the cheap rectangular clip is then the same clip.
    const float l = rect.x + 0.5f, t = rect.y + 0.5f;
    const float r = rect.x + rect.width - 0.5f, b = rect.y + rect.height - 0.5f;
    const platform::gfx::Region& shape = *clip_region_;
    if (!(shape.contains(l, t) && shape.contains(r, t) && shape.contains(l, b) && shape.contains(r, b))) {
      graphics.set_clip(shape, gfx::CombineMode::replace);
      graphics.set_clip(rect, gfx::CombineMode::intersect);
      return;
    }
  }
  graphics.set_clip(rect, gfx::CombineMode::replace);
}

void Ex_Window::recompose(const RectF& rect, bool present_now) {
  if (busy_ != 0 || !buffer_graphics_ || window_ == 0) return;
  const gfx::Rect pixels = covered_pixels(rect, buffer_.width(), buffer_.height());
  if (pixels.empty()) return;
  Graphics& g = *buffer_graphics_;
  set_composition_clip(g, rect);
  gfx::copy_pixels(buffer_, pixels.x, pixels.y, background_, pixels);
  compose_controls(*this, first_control_, rect, g);
  lift_clip(g);
  if (present_now) present_rect(to_rectf(pixels));
}

void Ex_Window::present_rect(const RectF& rect) {
  if (busy_ != 0 || window_ == 0) return;
  if (window_alpha_ != -1) {
    update_layered();
    return;
  }
  const gfx::Rect p = covered_pixels(rect, buffer_.width(), buffer_.height());
  if (p.empty()) return;
  pw::present_rect(window_, view_of(buffer_), pw::rect{p.x, p.y, p.x + p.width, p.y + p.height});
}

void Ex_Window::update_layered() {
  if (window_ != 0 && !buffer_.is_null()) pw::present_layered(window_, view_of(buffer_));
}

void Ex_Window::present(std::optional<RectF> rect) {
  present_rect(rect.value_or(RectF{0, 0, static_cast<float>(width_), static_cast<float>(height_)}));
}

void Ex_Window::paint_window() {
  if (busy_ != 0 || window_ == 0 || buffer_.is_null()) return;
  if (window_alpha_ != -1) {
    update_layered();
  } else {
    pw::present_rect(window_, view_of(buffer_), pw::rect{0, 0, buffer_.width(), buffer_.height()});
  }
}

void Ex_Window::leave_busy() {
  busy_ = 0;
  std::vector<RectF> pending;
  pending.swap(deferred_);
  for (const RectF& rect : pending) recompose(rect, true);
}

// ---- Background ----

void Ex_Window::take_background_source(std::optional<std::string>& image_bytes, std::optional<Colour> colour) {
  Ex_Window* source = background_source_ != 0 && pw::exists(background_source_) ? host_of(background_source_) : nullptr;
  if (source != nullptr && source != this) {
    background_image_ = source->background_image_;
    background_colour_ = source->background_colour_;
    return;
  }
  if (image_bytes) {
    background_image_.reset();
    const Image image = load_image(*image_bytes);
    if (!image.is_null()) background_image_ = std::make_shared<const Bitmap>(image.bitmap());
    background_colour_ = background_image_ ? average_colour(*background_image_) : 0;
  }
  if (colour && *colour != -1) background_colour_ = *colour;
}

void Ex_Window::set_background(std::optional<std::string> image_bytes, std::optional<Colour> colour, int mode,
                               bool notify_controls) {
  if (window_ == 0 || !buffer_graphics_) return;
  busy_ = 1;
  take_background_source(image_bytes, colour);
  if (mode == background_mode::fade_in) fade_ = buffer_.clone_area(gfx::Rect{0, 0, buffer_.width(), buffer_.height()});
  paint_background();
  Graphics& g = *buffer_graphics_;
  gfx::copy_pixels(background_, 0, 0, buffer_, gfx::Rect{0, 0, buffer_.width(), buffer_.height()});
  if (corner_radius_ != 1) {
    make_clip_region();
    g.set_clip(*clip_region_);
  } else {
    clip_region_.reset();
  }
  redraw_queue_.setup(window_, this, buffer_graphics_.get());
  layout_caption();
  compose_all(first_control_, g, notify_controls);
  lift_clip(g);
  deferred_.clear();  // the whole tree was just composed
  leave_busy();
  if (blur_behind_ != 0 && window_alpha_ != -1) set_blur(window_, 6, 6, width_ - 5, height_ - 5, 6, corner_radius_, window_alpha_);
  if (mode == background_mode::present) {
    present();
  } else if (mode == background_mode::fade_in) {
    start_fade_in();
  }
}

void Ex_Window::paint_background() {
  Graphics& g = *buffer_graphics_;
  lift_clip(g);
  g.clear(0);
  if (corner_radius_ == 1) {
    paint_skin_only();
  } else {
    paint_shaped();
  }
  if (on_background_) on_background_(window_, g, width_, height_);
  if (corner_radius_ != 1) {
    draw_frame_lines();
    lift_clip(g);
    if (window_alpha_ == -1) {
      apply_window_region();
    } else if ((features_ & feature::shadow) != 0) {
      draw_shadow();
    }
  }
}

void Ex_Window::paint_skin_only() {
  if (!background_image_) return;
  Graphics& g = *buffer_graphics_;
  if (nine_grid_.empty()) {
    g.draw_image(*background_image_, 0, 0);
  } else {
    const gfx::Rect centre{nine_grid_.left, nine_grid_.top, nine_grid_.right - nine_grid_.left,
                           nine_grid_.bottom - nine_grid_.top};
    draw_nine_grid(g, *background_image_, RectF{0, 0, float(width_), float(height_)}, centre);
  }
}

void Ex_Window::paint_shaped() {
  Graphics& g = *buffer_graphics_;
  const int corner = corner_radius_ == 0 ? 0 : 4;
  const gfx::Region shape = gfx::Region::from_round_rect(6, 6, width_ - 6 + 1, height_ - 6 + 1, corner, corner);
  g.set_clip(shape);
  // The buffer was just cleared, so filling the shape equals clearing inside the clip.
  if (!background_image_) {
    g.fill_region(gfx::Brush::solid(to_argb(background_colour_, window_alpha_ == -1 ? 255 : window_alpha_)), shape);
    return;
  }
  g.fill_region(gfx::Brush::solid(to_argb(background_colour_, 255)), shape);
  paint_image_layer();
  if (window_alpha_ != -1) apply_window_opacity();
}

void Ex_Window::paint_image_layer() {
  Graphics& g = *buffer_graphics_;
  const Bitmap& image = *background_image_;
  const float iw = static_cast<float>(image.width());
  const float ih = static_cast<float>(image.height());
  const RectF inner{5, 5, static_cast<float>(width_ - 10), static_cast<float>(height_ - 10)};
  switch (image_placement_) {
    case 1:
      g.draw_image(image, inner);
      break;
    case 2: {
      const float x = std::floor((static_cast<float>(width_) - iw) / 2);
      const float y = std::floor((static_cast<float>(height_) - ih) / 2);
      g.draw_image(image, x, y);
      if (image_frame_ != 0) fade_image_edges(RectF{x - 1, y - 1, iw + 1, ih + 1}, true);
      break;
    }
    default:
      g.draw_image(image, 5, 5);
      if (image_frame_ != 0) fade_image_edges(RectF{5, 5, iw, ih}, false);
      break;
  }
}

void Ex_Window::fade_image_edges(const RectF& image_rect, bool all_sides) {
  Graphics& g = *buffer_graphics_;
  const RectF r{image_rect.x + 6, image_rect.y + 6, image_rect.width, image_rect.height};
  const float vertical_band = r.height / 2 <= 100 ? r.height / 2 : 100;
  const float horizontal_band = r.width / 2 <= 100 ? r.width / 2 : 100;
  if (vertical_band <= 0 || horizontal_band <= 0) return;
  const gfx::Argb solid = to_argb(background_colour_, 255);
  const gfx::Argb clear = to_argb(background_colour_, 0);
  const RectF bottom{r.x - 6, r.bottom() - vertical_band, r.width + 6, vertical_band};
  g.fill_rect(gfx::Brush::linear(bottom, clear, solid, gfx::LinearMode::vertical, gfx::WrapMode::clamp), bottom);
  const RectF right{r.right() - horizontal_band, r.y - 6, horizontal_band, r.height + 6};
  g.fill_rect(gfx::Brush::linear(right, clear, solid, gfx::LinearMode::horizontal, gfx::WrapMode::clamp), right);
  if (!all_sides) return;
  const RectF top{r.x - 6, r.y - 6, r.width + 6, vertical_band};
  g.fill_rect(gfx::Brush::linear(top, solid, clear, gfx::LinearMode::vertical, gfx::WrapMode::clamp), top);
  const RectF left{r.x - 6, r.y - 6, horizontal_band, r.height + 6};
  g.fill_rect(gfx::Brush::linear(left, solid, clear, gfx::LinearMode::horizontal, gfx::WrapMode::clamp), left);
}

// The painted shape takes the window's opacity: every pixel inside the shape is scaled by
// window_alpha / 255 (the shape is opaque there, so its alpha becomes window_alpha exactly).
void Ex_Window::apply_window_opacity() {
  const int opacity = std::clamp(window_alpha_, 0, 255);
  const int corner = corner_radius_ == 0 ? 0 : 4;
  const gfx::Region shape = gfx::Region::from_round_rect(6, 6, width_ - 6 + 1, height_ - 6 + 1, corner, corner);
  gfx::MutablePixelView p = buffer_.mutable_pixels();
  for (const gfx::Rect& area : shape.rects()) {
    const int x0 = std::max(0, area.x), x1 = std::min(p.width, area.right());
    const int y0 = std::max(0, area.y), y1 = std::min(p.height, area.bottom());
    for (int y = y0; y < y1; ++y) {
      std::uint32_t* row = p.row(y);
      for (int x = x0; x < x1; ++x) {
        const std::uint32_t c = row[x] | 0xFF000000u;  // the colour without its alpha
        std::uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
          const std::uint32_t channel = (c >> shift) & 0xFF;
          out |= ((channel * static_cast<std::uint32_t>(opacity) + 127) / 255) << shift;
        }
        row[x] = out;
      }
    }
  }
}

void Ex_Window::draw_frame_lines() {
  Graphics& g = *buffer_graphics_;
  const bool square = corner_radius_ == 0;
  const RectF outer{6, 6, static_cast<float>(width_ - 12), static_cast<float>(height_ - 12)};
  const RectF inner{7, 7, static_cast<float>(width_ - 14), static_cast<float>(height_ - 14)};
  g.draw_path(gfx::Pen{to_argb(0x606060, 204), 1.0f}, gfx::rounded_rect_path(outer, square ? 0.0f : 7.0f));
  g.draw_path(gfx::Pen{to_argb(0xFFFFFF, 102), 1.0f}, gfx::rounded_rect_path(inner, square ? 0.0f : 6.0f));
}

void Ex_Window::draw_shadow() {
  Graphics& g = *buffer_graphics_;
  static constexpr int alphas[4] = {45, 25, 10, 5};
  static constexpr float round_radii[4] = {10, 12, 15, 18};
  static constexpr float square_radii[4] = {1, 4, 7, 11};
  const Colour colour = shadow_colour_ == -1 ? 0 : shadow_colour_;
  for (int i = 0; i < 4; ++i) {
    const float grow = static_cast<float>(i);
    const RectF ring{5 - grow, 5 - grow, static_cast<float>(width_ - 10) + 2 * grow,
                     static_cast<float>(height_ - 10) + 2 * grow};
    const float corner = corner_radius_ == 0 ? square_radii[i] : round_radii[i];
    g.draw_path(gfx::Pen{to_argb(colour, alphas[i]), 1.0f}, gfx::rounded_rect_path(ring, corner));
  }
}

void Ex_Window::apply_window_region() {
  const int corner = corner_radius_ == 0 ? 0 : 5;
  const int grow = pw::is_maximized(window_) ? 1 : 0;
  pw::set_region_round_rect(window_, pw::rect{6 - grow, 6 - grow, width_ - 6 + 1 + grow, height_ - 6 + 1 + grow},
                            corner, corner);
}

void Ex_Window::make_clip_region() {
  const int corner = corner_radius_ == 0 ? 0 : 3;
  clip_region_ = std::make_unique<gfx::Region>(
      gfx::Region::from_round_rect(7, 7, width_ - 7 + 1, height_ - 7 + 1, corner, corner));
}

// ---- Fade-in of a new background ----

void Ex_Window::start_fade_in() {
  if (fade_.is_null()) {
    present();
    return;
  }
  busy_ = 1;
  fade_alpha_ = 0;
  pw::set_timer(window_, reinterpret_cast<std::uintptr_t>(this), 50,
                [this](WindowHandle, unsigned, std::uintptr_t, std::uint32_t) { fade_tick(); });
}

void Ex_Window::fade_tick() {
  if (window_ == 0 || fade_.is_null()) return;
  const bool layered = window_alpha_ != -1;
  if (layered) pw::present_layered(window_, view_of(fade_));
  fade_alpha_ = std::min(255, fade_alpha_ + 51);
  const gfx::Rect whole{0, 0, buffer_.width(), buffer_.height()};
  gfx::blend_pixels(fade_, 0, 0, buffer_, whole, fade_alpha_);
  if (!layered) pw::present_rect(window_, view_of(fade_), pw::rect{0, 0, whole.width, whole.height});
  if (fade_alpha_ < 255) return;
  pw::kill_timer(window_, reinterpret_cast<std::uintptr_t>(this));
  fade_ = Bitmap();
  busy_ = 0;
  present();
  leave_busy();
}

}  // namespace dui

// Ex_Window show and close animations: fades, zooms, the pop and wipes, played on a
// temporary layered surface while the host is busy. Each frame sleeps through
// platform::window::sleep (a manual test clock advances instead) and lets pending messages run.
#include "dui/core/host_window.h"

#include <algorithm>
#include <cmath>

namespace dui {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

AnimationObserver& observer() {
  static AnimationObserver o;
  return o;
}

pw::pixel_view view_of(const Bitmap& bitmap) {
  const gfx::PixelView p = bitmap.pixels();
  return pw::pixel_view{p.pixels, p.width, p.height, p.bytes_per_line};
}

bool is_horizontal_wipe(int effect) {
  return effect == window_effect::wipe_from_left || effect == window_effect::wipe_from_right;
}

// Blends one band of the source (columns or rows [from, to)) at an opacity.
void blend_band(Bitmap& target, const Bitmap& source, bool columns, int from, int to, int opacity) {
  const int limit = columns ? source.width() : source.height();
  from = std::max(0, from);
  to = std::min(limit, to);
  if (to <= from || opacity <= 0) return;
  const gfx::Rect area = columns ? gfx::Rect{from, 0, to - from, source.height()}
                                 : gfx::Rect{0, from, source.width(), to - from};
  gfx::blend_pixels(target, area.x, area.y, source, area, opacity);
}

// The part of the source on one side of an edge, plus a fringe of up to 100 lines beyond the
// edge whose opacity falls linearly from `opacity` to `fringe_end` of it.
// from_start: the kept part lies before the edge (it grows from the start side).
void blend_with_fringe(Bitmap& target, const Bitmap& source, bool columns, bool from_start, int edge, int opacity,
                       double fringe_end) {
  const int limit = columns ? source.width() : source.height();
  if (from_start) {
    blend_band(target, source, columns, 0, edge, opacity);
  } else {
    blend_band(target, source, columns, limit - edge, limit, opacity);
  }
  for (int j = 0; j < 100; ++j) {
    const double fraction = 1.0 - (1.0 - fringe_end) * (static_cast<double>(j) / 100.0);
    const int line_opacity = static_cast<int>(opacity * fraction);
    const int line = from_start ? edge + j : limit - edge - 1 - j;
    if (line < 0 || line >= limit) break;
    blend_band(target, source, columns, line, line + 1, line_opacity);
  }
}

}  // namespace

void set_animation_observer(AnimationObserver o) { observer() = std::move(o); }

void Ex_Window::show_frame(Bitmap& frame, int step, int alpha, unsigned sleep_ms, bool closing, int effect) {
  pw::present_layered(window_, view_of(frame));
  if (observer()) observer()(AnimationFrame{closing, effect, step, alpha, sleep_ms});
  if (sleep_ms > 0) pw::sleep(sleep_ms);
  pw::pump();
}

void Ex_Window::play_show_effect(int effect, int duration_ms) {
  if (window_ == 0 || buffer_.is_null()) return;
  const pw::rect area = pw::window_rect(window_);
  const int w = area.width(), h = area.height();
  const bool was_layered = window_alpha_ != -1;
  if (!was_layered) {
    pw::set_style(window_, pw::GWL_EXSTYLE, pw::get_style(window_, pw::GWL_EXSTYLE) | pw::WS_EX_LAYERED);
    if (corner_radius_ != 1) apply_window_region();
  }
  busy_ = 1;
  Bitmap frame(std::max(1, w), std::max(1, h));
  pw::present_layered(window_, view_of(frame));
  pw::show(window_, pw::SW_SHOWNORMAL);
  const unsigned step_sleep = static_cast<unsigned>(std::max(0, duration_ms / 10));
  const gfx::Rect whole{0, 0, buffer_.width(), buffer_.height()};
  for (int i = 1; i <= 10; ++i) {
    frame.fill(0);
    const int alpha = 25 * (i - 1);
    unsigned sleep_ms = step_sleep;
    if (effect == window_effect::fade) {
      gfx::blend_pixels(frame, 0, 0, buffer_, whole, alpha);
    } else if (effect == window_effect::zoom) {
      const int sx = static_cast<int>(w * 0.1 / 10), sy = static_cast<int>(h * 0.1 / 10);
      const int k = 10 - i;
      Graphics g(frame);
      g.set_interpolation(gfx::Interpolation::bilinear);
      g.draw_image(buffer_, RectF{float(k * sx), float(k * sy), float(w - 2 * k * sx), float(h - 2 * k * sy)},
                   static_cast<float>(alpha) / 255.0f);
      sleep_ms = static_cast<unsigned>(std::min(10, 11 - i));
    } else {
      const bool columns = is_horizontal_wipe(effect);
      const int step = (columns ? w : h) / 10;
      const bool from_start = effect == window_effect::wipe_from_left || effect == window_effect::wipe_from_top;
      blend_with_fringe(frame, buffer_, columns, from_start, (i - 1) * step, alpha, 0.01);
    }
    show_frame(frame, i, alpha, sleep_ms, false, effect);
  }
  pw::present_layered(window_, view_of(buffer_));
  if (!was_layered) {
    pw::set_style(window_, pw::GWL_EXSTYLE, pw::get_style(window_, pw::GWL_EXSTYLE) & ~pw::WS_EX_LAYERED);
  }
  leave_busy();
}

void Ex_Window::play_close_effect() {
  if (close_effect_ == window_effect::none || window_ == 0 || buffer_.is_null()) return;
  const int effect = close_effect_;
  const int w = buffer_.width(), h = buffer_.height();
  const gfx::Rect whole{0, 0, w, h};
  Bitmap frame = buffer_.clone_area(whole);
  if (window_alpha_ == -1) {
    pw::set_style(window_, pw::GWL_EXSTYLE, pw::get_style(window_, pw::GWL_EXSTYLE) | pw::WS_EX_LAYERED);
  }
  pw::present_layered(window_, view_of(frame));
  busy_ = 1;
  if (effect == window_effect::pop) {
    int k = 0;
    for (int i = 1; i <= 20; ++i) {
      frame.fill(0);
      const int alpha = 255 - 12 * i;
      Graphics g(frame);
      const float grow = 1.5f * static_cast<float>(i);
      if (grow <= 5) {
        g.draw_image(buffer_, RectF{-grow / 2, -grow / 2, float(w) + grow, float(h) + grow}, alpha / 255.0f);
      } else {
        k += 2;
        const float half = static_cast<float>(k) / 2;
        g.draw_image(buffer_, RectF{half - 5, half - 5, float(w + 10 - k), float(h + 10 - k)}, alpha / 255.0f);
      }
      show_frame(frame, i, alpha, static_cast<unsigned>(std::max(16 - i, 10)), true, effect);
    }
  } else {
    for (int i = 1; i <= 15; ++i) {
      frame.fill(0);
      const int alpha = 255 - 17 * i;
      unsigned sleep_ms = 8;
      if (effect == window_effect::fade) {
        gfx::blend_pixels(frame, 0, 0, buffer_, whole, alpha);
        sleep_ms = 10;
      } else if (effect == window_effect::zoom) {
        const int ix = (i - 1) * static_cast<int>(w * 0.1 / 15), iy = (i - 1) * static_cast<int>(h * 0.1 / 15);
        Graphics g(frame);
        g.draw_image(buffer_, RectF{float(ix), float(iy), float(w - 2 * ix), float(h - 2 * iy)}, alpha / 255.0f);
        sleep_ms = static_cast<unsigned>(std::max(13 - i, 1));
      } else {
        const bool columns = is_horizontal_wipe(effect);
        const int gone = i * ((columns ? w : h) / 15);
        const int limit = columns ? w : h;
        // The remaining part sits on the far side of the moving edge; its nearest 100 lines fade.
        const bool remaining_at_end = effect == window_effect::wipe_from_left || effect == window_effect::wipe_from_top;
        const int kept = std::max(0, limit - gone);
        if (remaining_at_end) {
          blend_band(frame, buffer_, columns, gone + 100, limit, alpha);
          for (int j = 0; j < 100 && j < kept; ++j) {
            blend_band(frame, buffer_, columns, gone + j, gone + j + 1, alpha * j / 100);
          }
        } else {
          blend_band(frame, buffer_, columns, 0, kept - 100, alpha);
          for (int j = 0; j < 100 && j < kept; ++j) {
            blend_band(frame, buffer_, columns, kept - 1 - j, kept - j, alpha * j / 100);
          }
        }
      }
      show_frame(frame, i, alpha, sleep_ms, true, effect);
    }
  }
  frame.fill(0);
  pw::present_layered(window_, view_of(frame));
  busy_ = 0;
}

}  // namespace dui

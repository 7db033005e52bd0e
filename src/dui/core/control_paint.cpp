// Ex_Control: the paint protocol, transition animations, composition and hit testing.
#include "dui/core/control.h"

#include "dui/core/drawing.h"
#include "dui/core/host_window.h"

#include <algorithm>
#include <cmath>

namespace dui {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

// The bitmap at the control's place with an opacity 0-255.
void draw_at(Graphics& graphics, const Bitmap& image, const RectF& bounds, int opacity) {
  if (opacity > 0) draw_image_alpha(graphics, image, RectF{bounds.x, bounds.y, float(image.width()), float(image.height())}, opacity);
}

// The clip of a graphics, noted to be put back after the children are composed.
class ClipNote {
 public:
  explicit ClipNote(const Graphics& graphics) : had_clip_(graphics.has_clip()) {
    if (had_clip_) region_ = graphics.clip();
  }
  void restore(Graphics& graphics) const {
    if (had_clip_) {
      graphics.set_clip(region_, gfx::CombineMode::replace);
    } else {
      lift_clip(graphics);
    }
  }

 private:
  bool had_clip_;
  gfx::Region region_;
};

gfx::Rect truncated_rect(const RectF& r) {
  return gfx::Rect{static_cast<int>(r.x), static_cast<int>(r.y), static_cast<int>(r.width), static_cast<int>(r.height)};
}

}  // namespace

void lift_clip(Graphics& graphics) {
  graphics.set_clip(RectF{-32768.0f, -32768.0f, 65536.0f, 65536.0f}, gfx::CombineMode::replace);
}

// ---- Paint protocol ----

bool begin_paint(Ex_Control* control, PaintContext& context, std::optional<RectF> area, bool clear) {
  if (control == nullptr) return false;
  Ex_Control& c = *control;
  context = PaintContext{};
  context.area = area.value_or(RectF{0, 0, std::trunc(c.bounds_.width), std::trunc(c.bounds_.height)});
  context.window = c.window_;
  context.graphics = c.graphics_.get();
  context.host = c.host_;
  context.bitmap = c.bitmap_.get();
  if (c.window_ == 0 || c.host_ == nullptr) return false;
  context.buffer = &c.host_->buffer();
  context.buffer_graphics = c.host_->buffer_graphics();
  context.cleared = clear ? 1 : 0;
  if (clear) {
    c.previous_image_.reset();
    if (!c.host_->busy() && c.animation_frames_ != 0 && c.animation_interval_ != 0) {
      // A running transition ends here, showing its last state; the current image becomes
      // the start of the next one.
      c.stop_transition_timer();
      c.frame_ = c.animation_frames_;
      c.host_->recompose(c.bounds_, true);
      if (c.bitmap_) c.previous_image_ = std::make_unique<Bitmap>(c.bitmap_->clone_area(truncated_rect(context.area)));
    }
    if (c.graphics_) {
      c.graphics_->set_clip(context.area);
      c.graphics_->clear(0);
      lift_clip(*c.graphics_);
    }
  }
  c.before_paint(context);
  return true;
}

void end_paint(Ex_Control* control, PaintContext& context) {
  if (control == nullptr) return;
  Ex_Control& c = *control;
  c.after_paint(context);
  if (context.cleared == 0 || c.auto_refresh_ == 0 || c.visible_ == 0 || c.window_ == 0) return;
  if (c.animation_interval_ != 0 && c.animation_frames_ != 0) {
    c.start_transition();
    return;
  }
  RectMessage message{c.bounds_, false};
  pw::send(c.window_, host_message::invalidate, redraw_mode::append, reinterpret_cast<LParam>(&message));
}

// ---- Transitions ----

void Ex_Control::start_transition() {
  frame_ = 0;
  const std::weak_ptr<void> life = life_;
  fire_event(this, event::animation_started, 0, 0);
  if (life.expired()) return;
  pw::set_timer(window_, transition_timer_id(), static_cast<unsigned>(animation_interval_),
                [this, life](WindowHandle, unsigned, std::uintptr_t, std::uint32_t) {
                  if (!life.expired()) animation_tick();
                });
}

void Ex_Control::stop_transition_timer() {
  if (window_ != 0) pw::kill_timer(window_, transition_timer_id());
}

void Ex_Control::animation_tick() {
  if (handle_ == nullptr || host_ == nullptr) return;
  ++frame_;
  host_->recompose(bounds_, true);
  if (frame_ >= animation_frames_) {
    stop_transition_timer();
    previous_image_.reset();
    fire_event(this, event::animation_finished, 0, 0);
  }
}

void Ex_Control::draw_transition(Ex_Window& host, Graphics& graphics) {
  if (!bitmap_) return;
  const int left = static_cast<int>(bounds_.x);
  const int top = static_cast<int>(bounds_.y);
  const int w = static_cast<int>(bounds_.width);
  const int h = static_cast<int>(bounds_.height);
  const int frames = std::max(1, animation_frames_);
  switch (animation_effect_) {
    case transition::cross_fade: {
      const gfx::Rect clip = truncated_rect(graphics.visible_clip_bounds());
      if (clip.empty()) return;
      ensure_scratch(host.width(), host.height());
      Bitmap& scratch = scratch_bitmap();
      Graphics& scratch_g = scratch_graphics();
      gfx::copy_pixels(scratch, clip.x, clip.y, host.buffer(), clip);
      if (previous_image_) draw_at(graphics, *previous_image_, bounds_, alpha_);
      scratch_g.set_clip(RectF{float(clip.x), float(clip.y), float(clip.width), float(clip.height)});
      draw_at(scratch_g, *bitmap_, bounds_, alpha_);
      lift_clip(scratch_g);
      gfx::blend_pixels(host.buffer(), clip.x, clip.y, scratch, clip, alpha_ * frame_ / frames);
      return;
    }
    case transition::slide_down:
    case transition::slide_up: {
      const int off = frame_ * (h / frames);
      const int sign = animation_effect_ == transition::slide_down ? 1 : -1;
      if (previous_image_) graphics.draw_image(*previous_image_, float(left), float(top + sign * off));
      graphics.draw_image(*bitmap_, float(left), float(top + sign * off - sign * h));
      return;
    }
    case transition::slide_right:
    case transition::slide_left: {
      const int off = frame_ * (w / frames);
      const int sign = animation_effect_ == transition::slide_right ? 1 : -1;
      if (previous_image_) graphics.draw_image(*previous_image_, float(left + sign * off), float(top));
      graphics.draw_image(*bitmap_, float(left + sign * off - sign * w), float(top));
      return;
    }
    default:
      return;  // unknown effects draw nothing
  }
}

// ---- Composition ----

void Ex_Control::compose_self(Ex_Window& host, Graphics& graphics, bool with_transitions) {
  if (disabled_ != 0) {
    const int opacity = on_event(event::disabled_look, 0, 1) == -1 ? static_cast<int>(alpha_ * 0.5) : alpha_;
    if (bitmap_) draw_at(graphics, *bitmap_, bounds_, opacity);
    return;
  }
  if (with_transitions && transition_running()) {
    DrawItem item;
    item.buffer = &host.buffer();
    item.buffer_graphics = &graphics;
    item.scratch = &scratch_bitmap();
    item.scratch_graphics = &scratch_graphics();
    item.bitmap = bitmap_.get();
    item.previous_image = previous_image_.get();
    item.bounds = bounds_;
    const RectF clip = graphics.visible_clip_bounds();
    item.clip_left = clip.x;
    item.clip_top = clip.y;
    if (fire_event(this, event::transition_draw, 0, reinterpret_cast<LParam>(&item)) < 1) {
      draw_transition(host, graphics);
    }
    return;
  }
  if (bitmap_) draw_at(graphics, *bitmap_, bounds_, alpha_);
}

void compose_controls(Ex_Window& host, Ex_Control* first, const RectF& dirty, Graphics& graphics) {
  for (Ex_Control* c = first; c != nullptr; c = c->next_) {
    if (c->visible_ != 1 || !rects_overlap(c->bounds_, dirty)) continue;
    c->compose_self(host, graphics, true);
    if (c->first_child_ != nullptr) {
      const ClipNote noted(graphics);
      graphics.set_clip(c->bounds_, gfx::CombineMode::intersect);
      compose_controls(host, c->first_child_, dirty, graphics);
      noted.restore(graphics);
    }
  }
}

void compose_all(Ex_Control* first, Graphics& graphics, bool notify) {
  for (Ex_Control* c = first; c != nullptr; c = c->next_) {
    if (c->visible_ != 1 || c->host_ == nullptr) continue;
    if (notify) fire_event(c, event::full_redraw, 0, 0);
    c->compose_self(*c->host_, graphics, false);
    if (c->first_child_ != nullptr) {
      const ClipNote noted(graphics);
      graphics.set_clip(c->bounds_, gfx::CombineMode::intersect);
      compose_all(c->first_child_, graphics, notify);
      noted.restore(graphics);
    }
  }
}

Ex_Control* hit_test(Ex_Control* last, int x, int y) {
  for (Ex_Control* c = last; c != nullptr; c = c->prev_) {
    if (c->visible_ == 0 || c->disabled_ != 0) continue;
    if (!point_in_rect(c->bounds_, static_cast<float>(x), static_cast<float>(y))) continue;
    Ex_Control* inner = hit_test(c->last_child_, x, y);
    return inner != nullptr ? inner : c;
  }
  return nullptr;
}

}  // namespace dui

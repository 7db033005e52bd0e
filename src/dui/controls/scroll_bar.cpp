// Ex_ScrollBar: geometry, properties, painting and the pointer.
#include "dui/controls/scroll_bar.h"

#include "dui/core/drawing.h"
#include "dui/core/host_window.h"

#include <algorithm>
#include <cmath>

namespace dui {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

constexpr int minimum_thumb = 30;

Argb black(int alpha) { return to_argb(0x000000, alpha); }

// The thumb length for a track of `track` pixels: track * track / (track + maximum), at least 30.
int thumb_for(float track, int maximum) {
  const double denominator = double(track) + maximum;
  if (denominator <= 0) return minimum_thumb;
  return std::max(minimum_thumb, static_cast<int>(double(track) * track / denominator));
}

void fill_triangle(Graphics& g, const std::vector<PointF>& points, Argb fill, Argb outline) {
  Path path;
  path.add_polygon(points);
  g.fill_path(Brush::solid(fill), path);
  g.draw_path(make_pen(outline), path);
}

}  // namespace

Ex_ScrollBar::~Ex_ScrollBar() { destroy(); }

Ex_ScrollBar* Ex_ScrollBar::create(ControlParent parent, int left, int top, int width, int height,
                                   const ScrollBarOptions& options) {
  minimum_ = options.minimum.value_or(0);
  maximum_ = options.maximum.value_or(100);
  page_ = options.page.value_or(10);
  step_ = options.step.value_or(1);
  live_tracking_ = options.live_tracking.value_or(1);
  orientation_ = options.orientation.value_or(1);
  idle_look_ = options.idle_look.value_or(1);
  position_ = options.position.value_or(minimum_);
  pressed_part_ = none;
  last_state_ = none;
  layout(width, height);
  ControlOptions control_options;
  control_options.focusable = 1;
  control_options.animation_interval = 60;
  const RectF bounds{float(left), float(top), float(width), float(height)};
  if (init_control(parent, bounds, kind::scroll_bar, options.visible.value_or(1), control_options) == nullptr) {
    return nullptr;
  }
  return this;
}

// ---- Geometry ----

void Ex_ScrollBar::layout(int width, int height) {
  const float w = float(width);
  const float h = float(height);
  bar_width_ = w;
  bar_height_ = h;
  if (horizontal()) {
    first_arrow_rect_ = {0, 0, 9, 10};
    second_arrow_rect_ = {w - 9, 0, 9, 10};
    track_rect_ = {10, 1, w - 20, 8};
  } else {
    first_arrow_rect_ = {0, 0, 10, 9};
    second_arrow_rect_ = {0, h - 9, 10, 9};
    track_rect_ = {1, 10, 8, h - 20};
  }
  thumb_length();
  place_thumb();
}

int Ex_ScrollBar::thumb_length() {
  const float length = horizontal() ? track_rect_.width : track_rect_.height;
  thumb_length_ = maximum_ <= 0 ? 0 : thumb_for(length, maximum_);
  return thumb_length_;
}

double Ex_ScrollBar::thumb_start() const {
  const double start = horizontal() ? track_rect_.x : track_rect_.y;
  const double length = horizontal() ? track_rect_.width : track_rect_.height;
  const double range = double(maximum_) - minimum_;
  // An empty range would divide by zero: the thumb then rests at the start.
  if (position_ == 0 || range <= 0) return start;
  return start + (double(position_) - minimum_) * (length - thumb_length_) / range;
}

double Ex_ScrollBar::position_at(double coordinate) const {
  const double start = horizontal() ? track_rect_.x : track_rect_.y;
  const double free = (horizontal() ? track_rect_.width : track_rect_.height) - thumb_length_;
  const double range = double(maximum_) - minimum_;
  if (coordinate <= start || range <= 0 || free <= 0) return minimum_;
  if (coordinate >= start + free) return maximum_;
  return (coordinate - start) / (free / range) + minimum_;
}

void Ex_ScrollBar::place_thumb() {
  thumb_rect_ = track_rect_;
  const float start = static_cast<float>(thumb_start());
  if (horizontal()) {
    thumb_rect_.x = start;
    thumb_rect_.width = float(thumb_length_);
  } else {
    thumb_rect_.y = start;
    thumb_rect_.height = float(thumb_length_);
  }
}

void Ex_ScrollBar::notify_owner() {
  if (thumb_length_ == 0 || !owner_routine_) return;
  const OwnerRoutine routine = owner_routine_;  // the owner may replace it meanwhile
  routine(get_parent(), position_);
}

// ---- Properties ----

int Ex_ScrollBar::clamped(int value) const { return std::max(std::min(value, maximum_), minimum_); }

int Ex_ScrollBar::position(std::optional<int> value) {
  if (value) {
    const int stored = clamped(*value);
    if (stored != position_) {
      position_ = stored;
      repaint();
    }
  }
  return position_;
}

int Ex_ScrollBar::minimum(std::optional<int> value) {
  if (value) {
    minimum_ = *value;
    position_ = std::max(position_, minimum_);
    repaint();
  }
  return minimum_;
}

int Ex_ScrollBar::maximum(std::optional<int> value) {
  if (value) {
    maximum_ = *value;
    position_ = std::max(std::min(position_, maximum_), minimum_);
    thumb_length();
    repaint();
  }
  return maximum_;
}

int Ex_ScrollBar::page(std::optional<int> value) {
  if (value) page_ = *value;
  return page_;
}

int Ex_ScrollBar::step(std::optional<int> value) {
  if (value) step_ = *value;
  return step_;
}

int Ex_ScrollBar::live_tracking(std::optional<int> value) {
  if (value) live_tracking_ = *value;
  return live_tracking_;
}

int Ex_ScrollBar::idle_look(std::optional<int> value) {
  if (value) idle_look_ = *value;
  return idle_look_;
}

Ex_ScrollBar::OwnerRoutine Ex_ScrollBar::owner_routine(OwnerRoutine routine) {
  owner_routine_ = std::move(routine);
  return owner_routine_;
}

// ---- Pointer and painting ----

Ex_ScrollBar::Pointer Ex_ScrollBar::pointer_of(LParam lparam) const {
  const RectF b = const_cast<Ex_ScrollBar*>(this)->bounds();
  return {float(low_word(lparam)) - b.x, float(high_word(lparam)) - b.y};
}

LParam Ex_ScrollBar::mouse_position() const {
  const pw::point client = pw::screen_to_client(get_window(), pw::cursor_position());
  return pw::make_lparam(client.x, client.y);
}

int Ex_ScrollBar::part_under(const Pointer& p) const {
  if (point_in_rect(first_arrow_rect_, p.x, p.y)) return first_arrow;
  if (point_in_rect(second_arrow_rect_, p.x, p.y)) return second_arrow;
  if (point_in_rect(thumb_rect_, p.x, p.y)) return thumb;
  if (point_in_rect(track_rect_, p.x, p.y)) return track_part;
  return none;
}

bool Ex_ScrollBar::full_look(int type) const {
  // A repaint while the mouse is on the bar keeps the full look too.
  return type != 0 || idle_look_ == 0 || hovered_ || pressed_part_ != none;
}

void Ex_ScrollBar::track(int type, WParam wparam, LParam lparam) {
  const Pointer pointer = pointer_of(lparam);
  if (type == 1 && wparam == reinterpret_cast<WParam>(this) && pressed_part_ == thumb) {
    const int p = static_cast<int>(position_at(double(along(pointer)) - grab_offset_));
    if (p == position_) return;
    position_ = p;
    if (live_tracking_ != 0) notify_owner();
  }
  place_thumb();
  const bool full = full_look(type);
  int state = none;
  if (full) {
    if (pressed_part_ != none) {
      state = pressed_part_;
    } else {
      state = type == 0 ? last_state_ : part_under(pointer);
    }
    if (type == 2) {
      pressed_part_ = state;
      if (state == thumb) grab_offset_ = static_cast<int>(along(pointer) - thumb_start());
    } else if (type == 1 && state == last_state_ && state != none) {
      return;  // the same part stays highlighted: nothing to repaint
    }
  }
  draw(state, full);
  last_state_ = thumb_length_ < 1 ? none : state;
  if (type == 2 && (state == first_arrow || state == second_arrow)) {
    pw::set_timer(get_window(), class_timer_id(), repeat_ms);
  }
}

void Ex_ScrollBar::draw(int state, bool full) {
  PaintContext context;
  if (!begin_paint(this, context, std::nullopt, true)) return;
  ++paint_count_;
  if (context.graphics != nullptr && !context.graphics->is_null()) {
    Graphics& g = *context.graphics;
    if (full) {
      draw_arrows(g, state);
      fill_rounded(g, track_rect_, 6, black(40));
      draw_rounded(g, track_rect_, 6, black(30));
      draw_thumb(g, 110, 80);
    } else {
      draw_thumb(g, 40, 30);
    }
  }
  end_paint(this, context);
}

void Ex_ScrollBar::draw_arrows(Graphics& g, int state) const {
  const float w = bar_width_;
  const float h = bar_height_;
  std::vector<PointF> first;
  std::vector<PointF> second;
  if (horizontal()) {
    first = {{2, 4.5f}, {5, 1}, {5, 8}};
    second = {{w - 3, 4.5f}, {w - 6, 1}, {w - 6, 8}};
  } else {
    first = {{4.5f, 2}, {1, 5}, {8, 5}};
    second = {{4.5f, h - 3}, {1, h - 6}, {8, h - 6}};
  }
  const auto draw_one = [&](const RectF& box, const std::vector<PointF>& triangle, bool lit) {
    if (lit && thumb_length_ > 0) {
      draw_rounded(g, box, 4, black(160));
      fill_triangle(g, triangle, black(160), black(140));
    } else {
      fill_triangle(g, triangle, black(100), black(60));
    }
  };
  draw_one(first_arrow_rect_, first, state == first_arrow);
  draw_one(second_arrow_rect_, second, state == second_arrow);
}

void Ex_ScrollBar::draw_thumb(Graphics& g, int fill_alpha, int outline_alpha) const {
  if (thumb_length_ <= 0) return;
  fill_rounded(g, thumb_rect_, 6, black(fill_alpha));
  draw_rounded(g, thumb_rect_, 6, black(outline_alpha));
}

// ---- Events ----

void Ex_ScrollBar::stop_repeat() {
  if (get_window() != 0) pw::kill_timer(get_window(), class_timer_id());
}

void Ex_ScrollBar::on_timer() {
  if (pressed_part_ == first_arrow) {
    position_ -= step_;
    if (position_ <= minimum_) {
      stop_repeat();
      position_ = minimum_;
    }
  } else if (pressed_part_ == second_arrow) {
    position_ += step_;
    if (position_ >= maximum_) {
      stop_repeat();
      position_ = maximum_;
    }
  } else {
    stop_repeat();
    return;
  }
  last_state_ = none;  // the thumb moved: repaint although the same arrow stays lit
  track(1, 0, 0);
  notify_owner();
}

void Ex_ScrollBar::on_left_up() {
  if ((live_tracking_ & 1) == 0 && pressed_part_ == thumb) notify_owner();
  pressed_part_ = none;
  stop_repeat();
}

int Ex_ScrollBar::on_event(int code, WParam wparam, LParam lparam) {
  switch (code) {
    case event::destroy:
      stop_repeat();
      position_ = thumb_length_ = maximum_ = minimum_ = 0;
      owner_routine_ = nullptr;
      break;
    case event::paint:
      track(0, wparam, lparam);
      break;
    case event::timer:
      on_timer();
      break;
    case event::mouse_move:
      if (pressed_part_ != first_arrow && pressed_part_ != second_arrow) track(1, wparam, lparam);
      break;
    case event::left_down:
      track(2, wparam, lparam);
      break;
    case event::left_up:
      on_left_up();
      break;
    case event::mouse_enter:
    case event::mouse_leave: {
      hovered_ = code == event::mouse_enter;
      if (animation_interval() != 0) animation_frames(5);
      track(hovered_ ? 1 : 0, 0, mouse_position());
      break;
    }
    case event::resized:
      layout(static_cast<int>(wparam), static_cast<int>(lparam));
      break;
    case event::press_query:
      return 1;
    case event::animation_finished:
      animation_frames(0);
      break;
    default:
      break;
  }
  return -1;
}

}  // namespace dui

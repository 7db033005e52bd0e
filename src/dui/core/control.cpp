// Ex_Control: creation, destruction, properties, the tree and moving.
#include "dui/core/control.h"

#include "dui/core/framework.h"
#include "dui/core/host_window.h"
#include "platform/application.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace dui {

namespace pw = platform::window;

namespace {

Ex_Window* host_registered_on(WindowHandle window) { return window == 0 ? nullptr : host_of(window); }

bool differs(float stored, float value) { return std::fabs(stored - value) > geometry_tolerance; }

int truncated(float value) { return static_cast<int>(value); }

}  // namespace

Ex_Control::Ex_Control() = default;

Ex_Control::~Ex_Control() { destroy(); }

Ex_Control* Ex_Control::init_control(ControlParent parent, const RectF& bounds, int kind, int visible,
                                     const ControlOptions& options) {
  if (handle_ == this) return this;
  Ex_Window* host = nullptr;
  Ex_Control* parent_control = parent.control;
  if (parent_control == nullptr) {
    host = host_registered_on(parent.window);
  } else if (parent_control->is_live() && parent_control->host_ != nullptr &&
             host_registered_on(parent_control->window_) == parent_control->host_) {
    host = parent_control->host_;
  }
  // Neither a host window nor a control of a live host: nothing is created.
  if (host == nullptr) return nullptr;

  handle_ = this;
  life_ = std::make_shared<char>(0);
  window_ = parent_control ? parent_control->window_ : parent.window;
  bounds_ = bounds;
  cursor_ = options.cursor_id ? pw::load_cursor(*options.cursor_id) : 0;
  tooltip_.clear();
  parent_ = nullptr;
  alpha_ = 255;
  kind_ = kind;
  visible_ = visible;
  focusable_ = options.focusable.value_or(1);
  disabled_ = 0;
  auto_refresh_ = 1;
  host_ = host;
  prev_ = next_ = nullptr;
  host->register_control(this);
  if (parent_control == nullptr) {
    link_last_of_host();
  } else {
    set_parent(parent_control);
  }
  if (kind == kind::thin_strip) {
    make_surface(1, 1);
  } else {
    make_surface(truncated(bounds.width), truncated(bounds.height));
  }
  animation_interval_ = options.animation_interval.value_or(0);
  animation_frames_ = options.animation_frames.value_or(0);
  animation_effect_ = options.animation_effect.value_or(0);
  frame_ = 0;
  const auto bitmap_ref = reinterpret_cast<WParam>(bitmap_.get());
  const auto graphics_ref = reinterpret_cast<LParam>(graphics_.get());
  send_event(event::create, bitmap_ref, graphics_ref);
  send_event(event::paint, bitmap_ref, graphics_ref);
  return this;
}

void Ex_Control::make_surface(int width, int height) {
  graphics_.reset();
  bitmap_.reset();
  auto bitmap = std::make_unique<Bitmap>(width, height);
  if (bitmap->is_null()) return;  // a failed bitmap leaves the fields empty
  bitmap_ = std::move(bitmap);
  graphics_ = std::make_unique<Graphics>(*bitmap_);
  graphics_->set_smoothing(true);
  graphics_->set_text_hint(platform::gfx::TextHint::antialias_grid_fit);
}

void Ex_Control::destroy() {
  if (handle_ == nullptr || host_ == nullptr) return;
  visible_ = 0;
  invalidate();
  for (Ex_Control* child = first_child_; child != nullptr;) {
    Ex_Control* following = child->next_;
    child->destroy();
    child = following;
  }
  on_event(event::destroy, 0, 0);
  stop_transition_timer();
  if (window_ != 0) pw::kill_timer(window_, class_timer_id());
  leave_host_state();
  unlink();
  events_.clear();
  graphics_.reset();
  bitmap_.reset();
  previous_image_.reset();
  clear_fields();
}

void Ex_Control::leave_host_state() {
  if (host_ != nullptr) host_->forget_control(this);
}

void Ex_Control::clear_fields() {
  life_.reset();  // queued events and timers for this control now find it gone
  window_ = 0;
  handle_ = nullptr;
  parent_ = nullptr;
  visible_ = disabled_ = focusable_ = auto_refresh_ = 0;
  cursor_ = 0;
  bounds_ = RectF{};
  tooltip_.clear();
  tooltip_.shrink_to_fit();
  tag_.clear();
  tag_.shrink_to_fit();
  kind_ = 0;
  first_child_ = last_child_ = prev_ = next_ = nullptr;
  frame_ = 0;
  host_ = nullptr;
  alpha_ = 0;
  animation_interval_ = animation_frames_ = animation_effect_ = 0;
  spare_ = 0;
  previous_bounds_ = RectF{};
}

// ---- Properties ----

RectF Ex_Control::bounds(std::optional<RectF> rect) {
  if (rect) move(truncated(rect->x), truncated(rect->y), truncated(rect->width), truncated(rect->height), true);
  return bounds_;
}

int Ex_Control::visible(std::optional<int> value) {
  if (value && *value != visible_ && handle_ != nullptr) {
    visible_ = *value;
    send_event(visible_ != 0 ? event::shown : event::hidden, 0, 0);
    invalidate();
  }
  return visible_;
}

int Ex_Control::disabled(std::optional<int> value) {
  if (value && *value != disabled_ && handle_ != nullptr) {
    disabled_ = *value;
    if (has_focus()) {
      if (host_ != nullptr && host_->focus_ == this) host_->focus_ = nullptr;
      post_event(event::focus_lost, 0, 0);
    }
    post_event(event::mouse_leave, 0, 0);
    invalidate();
  }
  return disabled_;
}

int Ex_Control::focusable(std::optional<int> value) {
  if (value) focusable_ = *value;
  return focusable_;
}

bool Ex_Control::has_focus() {
  if (handle_ == nullptr) return false;
  const int answer = send_event(event::focus_query, 0, 0);
  if (answer != -1) return answer == 1;
  return host_ != nullptr && host_->focus_ == this;
}

void Ex_Control::repaint() { send_event(event::paint, 0, 0); }

void Ex_Control::invalidate() { post_invalidate(); }

void Ex_Control::post_invalidate() {
  if (window_ == 0) return;
  auto* message = new RectMessage{bounds_, true};
  if (!pw::post(window_, host_message::invalidate, redraw_mode::at_once, reinterpret_cast<LParam>(message))) {
    delete message;
  }
}

std::string Ex_Control::tooltip(std::optional<std::string> text, bool apply) {
  if (text) {
    tooltip_ = *text;
    if (apply) update_tooltip(tooltip_);
  }
  return tooltip_;
}

void Ex_Control::update_tooltip(const std::string& text) {
  if (host_ != nullptr) host_->show_tooltip(this, text);
}

int Ex_Control::alpha(std::optional<int> value, bool redraw) {
  if (value && handle_ != nullptr) {
    alpha_ = std::clamp(*value, 0, 255);
    send_event(event::alpha_changed, 0, alpha_);
    if (redraw) invalidate();
  }
  return alpha_;
}

int Ex_Control::animation_frames(std::optional<int> frames, std::optional<int> interval) {
  if (frames) animation_frames_ = std::max(0, *frames);
  if (interval) animation_interval_ = std::max(0, *interval);
  return animation_frames_;
}

int Ex_Control::animation_interval(std::optional<int> milliseconds) {
  if (milliseconds) animation_interval_ = std::max(0, *milliseconds);
  return animation_interval_;
}

int Ex_Control::animation_effect(std::optional<int> value) {
  if (value) animation_effect_ = *value;
  return animation_effect_;
}

CursorHandle Ex_Control::cursor(std::optional<std::uintptr_t> value, bool is_handle) {
  if (value) cursor_ = is_handle ? *value : pw::load_cursor(static_cast<int>(*value));
  return cursor_;
}

std::string Ex_Control::tag(std::optional<std::string> text) {
  if (text) tag_ = *text;
  return tag_;
}

int Ex_Control::left(std::optional<int> value) {
  if (value && differs(bounds_.x, static_cast<float>(*value))) move(*value, std::nullopt);
  return truncated(bounds_.x);
}

int Ex_Control::top(std::optional<int> value) {
  if (value && differs(bounds_.y, static_cast<float>(*value))) move(std::nullopt, *value);
  return truncated(bounds_.y);
}

int Ex_Control::width(std::optional<int> value) {
  if (value && differs(bounds_.width, static_cast<float>(*value))) move(std::nullopt, std::nullopt, *value);
  return truncated(bounds_.width);
}

int Ex_Control::height(std::optional<int> value) {
  if (value && differs(bounds_.height, static_cast<float>(*value))) {
    move(std::nullopt, std::nullopt, std::nullopt, *value);
  }
  return truncated(bounds_.height);
}

bool Ex_Control::transition_running() const {
  return animation_interval_ != 0 && animation_frames_ != 0 && frame_ != animation_frames_;
}

void Ex_Control::before_paint(PaintContext&) {}

void Ex_Control::after_paint(PaintContext&) {}

// ---- Tree ----

bool Ex_Control::is_top_level() const { return parent_ == nullptr; }

Ex_Control*& Ex_Control::list_first() { return is_top_level() ? host_->first_control_ : parent_->first_child_; }

Ex_Control*& Ex_Control::list_last() { return is_top_level() ? host_->last_control_ : parent_->last_child_; }

bool Ex_Control::found_in_host_list() const {
  for (const Ex_Control* c = host_->first_control_; c != nullptr; c = c->next_) {
    if (c == this) return true;
  }
  return false;
}

void Ex_Control::link_last_of_host() {
  Ex_Control*& first = host_->first_control_;
  Ex_Control*& last = host_->last_control_;
  prev_ = last;
  next_ = nullptr;
  if (last != nullptr) last->next_ = this;
  if (first == nullptr) first = this;
  last = this;
}

void Ex_Control::unlink() {
  if (host_ == nullptr) return;
  if (is_top_level() && !found_in_host_list()) {
    prev_ = next_ = nullptr;
    return;
  }
  Ex_Control*& first = list_first();
  Ex_Control*& last = list_last();
  if (first == this) first = next_;
  if (last == this) last = prev_;
  if (prev_ != nullptr) prev_->next_ = next_;
  if (next_ != nullptr) next_->prev_ = prev_;
  prev_ = next_ = nullptr;
}

void Ex_Control::set_parent(Ex_Control* new_parent) {
  if (new_parent == parent_ || handle_ == nullptr || host_ == nullptr) return;
  if (new_parent != nullptr) {
    // A parent must be a live control of the same host and not this control's own subtree.
    if (!new_parent->is_live() || new_parent->host_ != host_) return;
    for (const Ex_Control* a = new_parent; a != nullptr; a = a->parent_) {
      if (a == this) return;
    }
  }
  unlink();
  parent_ = new_parent;
  Ex_Control*& first = list_first();
  Ex_Control*& last = list_last();
  prev_ = last;
  next_ = nullptr;
  if (last != nullptr) last->next_ = this;
  if (first == nullptr) first = this;
  last = this;
  invalidate();
}

void Ex_Control::set_z_order(int position, bool redraw) {
  if (handle_ == nullptr || host_ == nullptr) return;
  unlink();
  Ex_Control*& first = list_first();
  Ex_Control*& last = list_last();
  if (position == 2) {
    next_ = first;
    prev_ = nullptr;
    if (first != nullptr) first->prev_ = this;
    if (last == nullptr) last = this;
    first = this;
  } else {
    prev_ = last;
    next_ = nullptr;
    if (last != nullptr) last->next_ = this;
    if (first == nullptr) first = this;
    last = this;
  }
  if (redraw) invalidate();
}

// ---- Moving ----

void Ex_Control::shift_descendants(float dx, float dy) {
  for (Ex_Control* child = first_child_; child != nullptr; child = child->next_) {
    child->bounds_.x += dx;
    child->bounds_.y += dy;
    child->shift_descendants(dx, dy);
  }
}

void Ex_Control::move(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                      std::optional<int> height, bool redraw) {
  if (handle_ == nullptr) return;
  const float new_left = static_cast<float>(left.value_or(truncated(bounds_.x)));
  const float new_top = static_cast<float>(top.value_or(truncated(bounds_.y)));
  const float new_width = static_cast<float>(width.value_or(truncated(bounds_.width)));
  const float new_height = static_cast<float>(height.value_or(truncated(bounds_.height)));
  const bool width_changed = differs(bounds_.width, new_width);
  const bool height_changed = differs(bounds_.height, new_height);
  if (!differs(bounds_.x, new_left) && !differs(bounds_.y, new_top) && !width_changed && !height_changed) return;

  previous_bounds_ = bounds_;
  bounds_ = RectF{new_left, new_top, new_width, new_height};
  shift_descendants(new_left - previous_bounds_.x, new_top - previous_bounds_.y);
  if (width_changed || (height_changed && kind_ != kind::thin_strip)) {
    make_surface(truncated(new_width), truncated(new_height));
    const auto w = static_cast<WParam>(std::max(0, truncated(new_width)));
    const auto h = static_cast<LParam>(std::max(0, truncated(new_height)));
    send_event(event::resized, w, h);
    send_event(event::paint, w, h);
  }
  const LParam recompose_now = (redraw && visible_ != 0) ? 1 : 0;
  const auto self_ref = reinterpret_cast<WParam>(this);
  // A busy host refuses the recomposition. A worker thread waits for it; on the window's own
  // thread waiting would never end, so the host recomposes the areas once it is free.
  while (pw::send(window_, host_message::control_moved, self_ref, recompose_now) != 1) {
    if (platform::application::on_ui_thread() || !pw::exists(window_) || handle_ == nullptr) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

}  // namespace dui

#include "dui/controls/picture.h"

#include "dui/core/host_window.h"
#include "platform/window.h"

#include <algorithm>

namespace dui {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

// Delay (hundredths of a second) of a frame whose picture stores none.
constexpr int fallback_delay = 10;

}  // namespace

Ex_Picture::~Ex_Picture() { destroy(); }

// ---- Creation ----

Ex_Control* Ex_Picture::init_picture(ControlParent parent, int left, int top, int width, int height,
                                     const PictureOptions& options) {
  background_colour_ = options.background_colour.value_or(0);
  draw_mode_ = options.draw_mode.value_or(draw_mode::stretched);
  grid_rect_ = options.grid_rect;
  border_ = options.border.value_or(0);
  current_frame_ = frame_total_ > 0 ? 1 : 0;
  image_transition_ = -1;
  ControlOptions control_options;
  control_options.focusable = options.focusable.value_or(1);
  return init_control(parent, RectF{float(left), float(top), float(width), float(height)}, kind::picture,
                      options.visible.value_or(1), control_options);
}

Ex_Control* Ex_Picture::create(ControlParent parent, int left, int top, int width, int height,
                               std::string_view image_bytes, const PictureOptions& options) {
  playing_ = options.playing.value_or(0);
  fix_zero_delays_ = options.fix_zero_delays.value_or(0);
  load(image_bytes);
  if (delays_.empty() && picture_) delays_ = {fallback_delay};
  apply_zero_delay_fix();
  return init_picture(parent, left, top, width, height, options);
}

Ex_Control* Ex_Picture::create_from_icon(ControlParent parent, int left, int top, int width, int height,
                                         IconHandle icon, const PictureOptions& options) {
  image_data_.clear();
  picture_ = image_from_bitmap(icon_to_bitmap(icon));
  playing_ = 0;
  fix_zero_delays_ = 0;
  frame_total_ = picture_ ? std::max(1, picture_.frame_count()) : 0;
  delays_ = {fallback_delay};
  return init_picture(parent, left, top, width, height, options);
}

void Ex_Picture::load(std::string_view bytes) {
  release_image(picture_);
  image_data_.assign(bytes);
  picture_ = load_image(image_data_, false, true);
  frame_total_ = picture_ ? std::max(1, frame_count(picture_)) : 0;
  delays_ = picture_ ? frame_delays(picture_) : std::vector<int>{};
  current_frame_ = frame_total_ > 0 ? 1 : 0;
}

void Ex_Picture::apply_zero_delay_fix() {
  if (fix_zero_delays_ == 0) return;
  for (int& delay : delays_) {
    if (delay == 0) delay = fallback_delay;
  }
}

// ---- Events ----

int Ex_Picture::on_event(int code, WParam, LParam) {
  switch (code) {
    case event::destroy:
      if (playing_ != 0) {
        stop_frame_timer();
        current_frame_ = frame_total_ = playing_ = fix_zero_delays_ = 0;
      }
      release_image(picture_);
      delays_.clear();
      image_data_.clear();
      break;
    case event::timer:
      if (image_transition_ != -1) break;  // frames wait while the image changes
      if (playing_ == 0 || frame_total_ == 0) {
        stop_frame_timer();
      } else {
        paint();
      }
      break;
    case event::paint:
    case event::shown:
      paint();
      break;
    case event::animation_finished:
      animation_frames(0);
      image_transition_ = -1;
      break;
    default:
      break;
  }
  return -1;
}

// ---- Properties ----

int Ex_Picture::playing(std::optional<int> value) {
  if (value) {
    current_frame_ = frame_total_ > 0 ? 1 : 0;
    playing_ = *value;
    repaint();
  }
  return playing_;
}

std::string Ex_Picture::image(std::optional<std::string> bytes, std::optional<int> effect, int frames, int interval,
                              bool redraw) {
  if (!bytes) return image_data_;
  image_transition_ = effect.value_or(-1);
  animation_effect(image_transition_);
  load(*bytes);
  apply_zero_delay_fix();
  if (redraw) {
    if (effect) animation_frames(frames, interval);
    repaint();
  }
  return image_data_;
}

Argb Ex_Picture::background_colour(std::optional<Argb> value) {
  if (value) {
    background_colour_ = *value;
    repaint();
  }
  return background_colour_;
}

// ---- Painting and frames ----

void Ex_Picture::draw_picture(Graphics& graphics, const RectF& area) {
  if (frame_total_ > 1) select_frame(picture_, current_frame_ - 1);
  const Bitmap& frame = picture_.bitmap();
  switch (draw_mode_) {
    case draw_mode::natural:
      draw_image_natural(graphics, frame, area, false);
      break;
    case draw_mode::stretched:
      draw_image_rect(graphics, frame, area);
      break;
    case draw_mode::centred:
      draw_image_natural(graphics, frame, area, true);
      break;
    case draw_mode::nine_grid:
      if (grid_rect_.empty()) {
        draw_image_natural(graphics, frame, area, false);
      } else {
        const gfx::Rect centre{grid_rect_.left, grid_rect_.top, grid_rect_.right - grid_rect_.left,
                               grid_rect_.bottom - grid_rect_.top};
        draw_nine_grid(graphics, frame, area, centre);
      }
      break;
    default:
      break;
  }
}

void Ex_Picture::paint() {
  if (current_frame_ == 0) return;
  if (disabled() != 0) {
    ++current_frame_;
    return;
  }
  if (playing_ == 0 || current_frame_ > frame_total_) current_frame_ = 1;
  PaintContext context;
  if (!begin_paint(this, context, std::nullopt, true) || context.graphics == nullptr) return;
  Graphics& g = *context.graphics;
  const RectF area = context.area;
  if (background_colour_ != 0) fill_rect(g, RectF{area.x, area.y, area.width - 1, area.height - 1}, background_colour_);
  if (picture_) draw_picture(g, area);
  if (border_ != 0) draw_border(g, area, border_);
  if (host() != nullptr && host()->keyboard_focus() == this) draw_border(g, area, border::dashed);
  end_paint(this, context);
  next_frame();
}

// Moves on to the frame shown next and, for an animation, arms the timer with its delay.
void Ex_Picture::next_frame() {
  if (frame_total_ < 2) {
    ++current_frame_;
    return;
  }
  stop_frame_timer();
  ++current_frame_;
  if (playing_ == 0 || current_frame_ > frame_total_) current_frame_ = 1;
  const std::size_t index = static_cast<std::size_t>(current_frame_ - 1);
  start_frame_timer(index < delays_.size() ? delays_[index] : fallback_delay);
}

void Ex_Picture::stop_frame_timer() {
  if (get_window() != 0) pw::kill_timer(get_window(), class_timer_id());
}

void Ex_Picture::start_frame_timer(int hundredths) {
  if (get_window() == 0) return;
  pw::set_timer(get_window(), class_timer_id(), static_cast<unsigned>(std::max(0, hundredths)) * 10u);
}

}  // namespace dui

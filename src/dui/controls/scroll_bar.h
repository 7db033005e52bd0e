// Ex_ScrollBar: a thin drawn scroll bar with an arrow at each end, a track and a thumb whose
// length shows how much of the content is in view. Dragging the thumb or holding an arrow
// moves the position and tells the owner through its routine. While the mouse is neither over
// nor pressing the bar only a faint thumb is drawn.
#pragma once

#include "dui/core/control.h"

#include <functional>
#include <optional>

namespace dui {

// Optional arguments of Ex_ScrollBar::create; absent values take the defaults.
struct ScrollBarOptions {
  std::optional<int> position;       // default: minimum
  std::optional<int> minimum;        // default 0
  std::optional<int> maximum;        // default 100
  std::optional<int> page;           // default 10
  std::optional<int> step;           // default 1
  std::optional<int> live_tracking;  // default 1
  std::optional<int> orientation;    // default 1 (horizontal); any other value is vertical
  std::optional<int> idle_look;      // default 1
  std::optional<int> visible;        // default 1
};

class Ex_ScrollBar : public Ex_Control {
 public:
  // (owner, position): the owner is the bar's parent control, nullptr for a top-level bar.
  using OwnerRoutine = std::function<void(Ex_Control* owner, int position)>;

  // Parts of the bar, as pressed_part and last_state name them.
  enum Part { none = 0, first_arrow = 1, second_arrow = 2, thumb = 3, track_part = 4 };
  // Auto-repeat period of a held arrow.
  static constexpr unsigned repeat_ms = 100;

  Ex_ScrollBar() = default;
  ~Ex_ScrollBar() override;

  // Creates the bar on a host window or a parent control (host-window coordinates). Answers
  // the bar, or nullptr when the parent has no live host.
  Ex_ScrollBar* create(ControlParent parent, int left, int top, int width, int height,
                       const ScrollBarOptions& options = {});

  int on_event(int code, WParam wparam, LParam lparam) override;
  // Paints the bar and follows the pointer: type 0 paint, 1 pointer moved, 2 left button pressed.
  void track(int type, WParam wparam, LParam lparam);
  // Position for a pointer coordinate along the bar (bar coordinates); callers truncate.
  double position_at(double coordinate) const;
  // Thumb offset along the bar for the current position.
  double thumb_start() const;
  // Recomputes the thumb length from the track and `maximum` (0 when there is nothing to scroll).
  int thumb_length();
  // Tells the owner the position (only while there is a thumb).
  void notify_owner();
  // Arrows, track and thumb length for a bar of this size.
  void layout(int width, int height);

  // Properties: a given value is stored (see each) and the current value answered.
  int position(std::optional<int> value = std::nullopt);
  int minimum(std::optional<int> value = std::nullopt);
  int maximum(std::optional<int> value = std::nullopt);
  int page(std::optional<int> value = std::nullopt);
  int step(std::optional<int> value = std::nullopt);
  int live_tracking(std::optional<int> value = std::nullopt);
  int idle_look(std::optional<int> value = std::nullopt);
  OwnerRoutine owner_routine(OwnerRoutine routine);

  // State, read-only (bar coordinates).
  int orientation() const { return orientation_; }
  bool horizontal() const { return orientation_ == 1; }
  int pressed_part() const { return pressed_part_; }
  int last_state() const { return last_state_; }
  int current_thumb_length() const { return thumb_length_; }
  const RectF& track_rect() const { return track_rect_; }
  const RectF& thumb_rect() const { return thumb_rect_; }
  const RectF& first_arrow_rect() const { return first_arrow_rect_; }
  const RectF& second_arrow_rect() const { return second_arrow_rect_; }
  // Number of times the bar drew itself (tests use it to see that nothing was repainted).
  int paint_count() const { return paint_count_; }

 private:
  // A pointer position in bar coordinates.
  struct Pointer {
    float x = 0, y = 0;
  };
  Pointer pointer_of(LParam lparam) const;
  // The mouse position in host-window coordinates, as mouse events carry it.
  LParam mouse_position() const;
  float along(const Pointer& p) const { return horizontal() ? p.x : p.y; }
  int part_under(const Pointer& p) const;
  void place_thumb();
  bool full_look(int type) const;
  void draw(int state, bool full);
  void draw_arrows(Graphics& g, int state) const;
  void draw_thumb(Graphics& g, int fill_alpha, int outline_alpha) const;
  void on_timer();
  void on_left_up();
  void stop_repeat();
  int clamped(int value) const;

  int minimum_ = 0;
  int maximum_ = 100;
  int page_ = 10;
  int step_ = 1;
  int live_tracking_ = 1;
  int orientation_ = 1;
  int pressed_part_ = none;
  int idle_look_ = 1;
  int position_ = 0;
  int thumb_length_ = 0;
  int grab_offset_ = 0;
  RectF track_rect_;
  RectF thumb_rect_;
  RectF first_arrow_rect_;
  RectF second_arrow_rect_;
  OwnerRoutine owner_routine_;
  int last_state_ = none;
  float bar_width_ = 0;
  float bar_height_ = 0;
  bool hovered_ = false;
  int paint_count_ = 0;
};

}  // namespace dui

// Ex_Control: the shared base of every drawn control. A control lives on a host window
// (Ex_Window), paints itself into its own ARGB bitmap and takes part in a tree that the host
// composes: siblings are drawn first to last and hit-tested last to first.
//
// Control references are plain pointers (nullptr = none). A control may be created and
// linked from a worker thread; everything that paints or delivers events goes through the
// host window's thread by send/post.
#pragma once

#include "dui/core/events.h"
#include "platform/gfx.h"
#include "platform/window.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dui {

class Ex_Window;
class Ex_Control;

using WindowHandle = platform::window::handle;
using WParam = platform::window::wparam;
using LParam = platform::window::lparam;
using RectF = platform::gfx::RectF;
using Bitmap = platform::gfx::Bitmap;
using Graphics = platform::gfx::Graphics;
using CursorHandle = platform::window::cursor;

// Kind numbers of the control classes.
namespace kind {
constexpr int caption_button = 1;
constexpr int text_control = 2;
constexpr int label = 3;
constexpr int picture = 4;
constexpr int image_button = 7;
constexpr int list_view = 8;
constexpr int scroll_bar = 19;
constexpr int menu_item = 20;
constexpr int thin_strip = 21;  // 1 x 1 bitmap at creation; height changes keep the bitmap
constexpr int skinned_button = 23;
}  // namespace kind

// Transition effects of animation_effect.
namespace transition {
constexpr int cross_fade = 0;
constexpr int slide_down = 1;
constexpr int slide_up = 2;
constexpr int slide_right = 3;
constexpr int slide_left = 4;
}  // namespace transition

// Geometric comparisons ignore differences up to this much.
constexpr float geometry_tolerance = 0.0000001f;

// Where a control goes: a host window (top level) or a parent control.
struct ControlParent {
  WindowHandle window = 0;
  Ex_Control* control = nullptr;
  ControlParent(WindowHandle w) : window(w) {}  // NOLINT: implicit on purpose
  ControlParent(Ex_Control* c) : control(c) {}  // NOLINT: implicit on purpose
};

// Optional arguments of init_control; absent values take the defaults.
struct ControlOptions {
  std::optional<int> focusable;           // default 1
  std::optional<int> cursor_id;           // system cursor id (IDC_*); default none
  std::optional<int> animation_interval;  // milliseconds; default 0
  std::optional<int> animation_frames;    // default 0
  std::optional<int> animation_effect;    // default 0 (cross-fade)
};

// What begin_paint hands to a class's paint code.
struct PaintContext {
  WindowHandle window = 0;
  Graphics* graphics = nullptr;  // the control's own graphics
  RectF area;                    // in the control's own pixels
  int cleared = 0;
  Ex_Window* host = nullptr;
  Bitmap* buffer = nullptr;  // the host's back buffer
  Graphics* buffer_graphics = nullptr;
  Bitmap* bitmap = nullptr;  // the control's own bitmap
};

// Passed (by pointer, as lparam) with event 10248 while a transition runs.
struct DrawItem {
  Bitmap* buffer = nullptr;
  Graphics* buffer_graphics = nullptr;
  Bitmap* scratch = nullptr;
  Graphics* scratch_graphics = nullptr;
  Bitmap* bitmap = nullptr;
  Bitmap* previous_image = nullptr;
  RectF bounds;
  float clip_left = 0;
  float clip_top = 0;
};

// Payload of host message 10258: one event for one control. A posted block belongs to the
// host, which deletes it after delivery; a sent one stays with the sender.
struct EventBlock {
  int code = 0;
  WParam wparam = 0;
  LParam lparam = 0;
  std::weak_ptr<void> life;  // the control's life token: a destroyed control gets nothing
  bool posted = false;
};

// Payload of host message 10256: a rectangle to recompose; posted ones belong to the host.
struct RectMessage {
  RectF rect;
  bool posted = false;
};

class Ex_Control {
 public:
  // A plain handler: (control, code, wparam, lparam), whatever the control's place.
  using EventHandler = std::function<void(Ex_Control* control, int code, WParam wparam, LParam lparam)>;
  // A handler for the parts of a composite: (parent, control, code, wparam, lparam), so the
  // composite can bind one of its own operations. The parent is nullptr for a top-level control.
  using ChildEventHandler =
      std::function<void(Ex_Control* parent, Ex_Control* control, int code, WParam wparam, LParam lparam)>;

  Ex_Control();
  virtual ~Ex_Control();
  Ex_Control(const Ex_Control&) = delete;
  Ex_Control& operator=(const Ex_Control&) = delete;

  // ---- Shared operations ----
  // Links the control into the tree of `parent` and creates its bitmap; sends events 1 and 15.
  // Answers the control, or nullptr when the parent control's host is gone.
  Ex_Control* init_control(ControlParent parent, const RectF& bounds, int kind, int visible,
                           const ControlOptions& options = {});
  Ex_Control* get_handle() const { return handle_; }
  WindowHandle get_window() const { return window_; }
  Ex_Control* get_parent() const { return parent_; }
  // nullptr: the host's top level.
  void set_parent(Ex_Control* new_parent);
  void destroy();
  RectF bounds(std::optional<RectF> rect = std::nullopt);
  int visible(std::optional<int> value = std::nullopt);
  int disabled(std::optional<int> value = std::nullopt);
  int focusable(std::optional<int> value = std::nullopt);
  bool has_focus();
  void repaint();
  void invalidate();
  void move(std::optional<int> left, std::optional<int> top, std::optional<int> width = std::nullopt,
            std::optional<int> height = std::nullopt, bool redraw = true);
  std::string tooltip(std::optional<std::string> text = std::nullopt, bool apply = false);
  void update_tooltip(const std::string& text);
  void bind_event(int code, EventHandler handler);
  void bind_event(int code, ChildEventHandler handler);
  Ex_Control* self() { return this; }
  int alpha(std::optional<int> value = std::nullopt, bool redraw = true);
  int animation_frames(std::optional<int> frames = std::nullopt, std::optional<int> interval = std::nullopt);
  int animation_interval(std::optional<int> milliseconds = std::nullopt);
  int animation_frame() const { return frame_; }
  int animation_effect(std::optional<int> value = std::nullopt);
  int send_event(int code, WParam wparam, LParam lparam);
  void post_event(int code, WParam wparam, LParam lparam);
  CursorHandle cursor(std::optional<std::uintptr_t> value = std::nullopt, bool is_handle = false);
  std::string tag(std::optional<std::string> text = std::nullopt);
  int left(std::optional<int> value = std::nullopt);
  int top(std::optional<int> value = std::nullopt);
  int width(std::optional<int> value = std::nullopt);
  int height(std::optional<int> value = std::nullopt);
  // Position 2 puts the control first among its siblings (bottom), any other last (top).
  void set_z_order(int position = 1, bool redraw = true);
  void unlink();
  void suspend_refresh() { auto_refresh_ = 0; }
  void resume_refresh() { auto_refresh_ = 1; }
  // The transition timer's routine: one more frame.
  void animation_tick();
  // Hooks around a class's painting; they do nothing here.
  virtual void before_paint(PaintContext& context);
  virtual void after_paint(PaintContext& context);

  // ---- The class's event procedure ----
  // Every event reaches it before any bound handler; -1 = not handled.
  virtual int on_event(int code, WParam wparam, LParam lparam);

  // ---- Shared fields, read-only ----
  Ex_Window* host() const { return host_; }
  int kind() const { return kind_; }
  int auto_refresh() const { return auto_refresh_; }
  Ex_Control* first_child() const { return first_child_; }
  Ex_Control* last_child() const { return last_child_; }
  Ex_Control* prev() const { return prev_; }
  Ex_Control* next() const { return next_; }
  Bitmap* bitmap() const { return bitmap_.get(); }
  Graphics* graphics() const { return graphics_.get(); }
  Bitmap* previous_image() const { return previous_image_.get(); }
  const RectF& previous_bounds() const { return previous_bounds_; }
  // A word for the control's owner.
  std::intptr_t spare() const { return spare_; }
  void set_spare(std::intptr_t value) { spare_ = value; }
  // True while a transition animation runs.
  bool transition_running() const;
  // True from init_control to destroy; queued work holds the weak token to find out.
  bool is_live() const { return handle_ != nullptr; }
  std::weak_ptr<void> life_token() const { return life_; }

 protected:
  // Classes that take another kind once created (at event 1) set it here.
  void set_kind(int value) { kind_ = value; }
  // Timer id of the transition animation on the host window.
  std::uintptr_t transition_timer_id() const { return reinterpret_cast<std::uintptr_t>(this) + 1; }
  // Timer id a class may use for its own timers (arrives as event 275).
  std::uintptr_t class_timer_id() const { return reinterpret_cast<std::uintptr_t>(this); }

 private:
  friend class Ex_Window;
  friend int fire_event(Ex_Control* control, int code, WParam wparam, LParam lparam);
  friend bool begin_paint(Ex_Control* control, PaintContext& context, std::optional<RectF> area, bool clear);
  friend void end_paint(Ex_Control* control, PaintContext& context);
  friend void compose_controls(Ex_Window& host, Ex_Control* first, const RectF& dirty, Graphics& graphics);
  friend void compose_all(Ex_Control* first, Graphics& graphics, bool notify);
  friend Ex_Control* hit_test(Ex_Control* last, int x, int y);

  struct Binding {
    int code = 0;
    EventHandler handler;
    ChildEventHandler child_handler;
  };

  void link_last_of_host();
  Ex_Control*& list_first();
  Ex_Control*& list_last();
  bool is_top_level() const;
  bool found_in_host_list() const;
  void make_surface(int width, int height);
  void clear_fields();
  void shift_descendants(float dx, float dy);
  void start_transition();
  void stop_transition_timer();
  void leave_host_state();
  void compose_self(Ex_Window& host, Graphics& graphics, bool with_transitions);
  void draw_transition(Ex_Window& host, Graphics& graphics);
  void post_invalidate();
  const Binding* find_binding(int code, WParam wparam) const;

  WindowHandle window_ = 0;
  Ex_Control* handle_ = nullptr;
  Ex_Control* parent_ = nullptr;
  int visible_ = 0;
  int disabled_ = 0;
  int focusable_ = 0;
  int auto_refresh_ = 0;
  CursorHandle cursor_ = 0;
  std::vector<Binding> events_;
  RectF bounds_;
  std::string tooltip_;
  std::string tag_;
  int kind_ = 0;
  Ex_Control* first_child_ = nullptr;
  Ex_Control* last_child_ = nullptr;
  Ex_Control* prev_ = nullptr;
  Ex_Control* next_ = nullptr;
  int frame_ = 0;
  std::unique_ptr<Bitmap> bitmap_;
  std::unique_ptr<Graphics> graphics_;
  Ex_Window* host_ = nullptr;
  int alpha_ = 0;
  std::unique_ptr<Bitmap> previous_image_;
  int animation_interval_ = 0;
  std::intptr_t spare_ = 0;
  RectF previous_bounds_;
  int animation_frames_ = 0;
  int animation_effect_ = 0;
  // Lives from init_control to destroy; queued events hold a weak copy.
  std::shared_ptr<void> life_;
};

// Delivers an event on the calling thread: the class's on_event first, then the first
// matching bound handler. A binding for 515 matches only 513 with wparam 10086. Answers the
// on_event result; 0 for a null control.
int fire_event(Ex_Control* control, int code, WParam wparam, LParam lparam);

// The paint frame of every class: begin_paint, draw within context.area, end_paint.
bool begin_paint(Ex_Control* control, PaintContext& context, std::optional<RectF> area = std::nullopt,
                 bool clear = true);
void end_paint(Ex_Control* control, PaintContext& context);

// Composes the controls from `first` along next that overlap the dirty rectangle (children
// clipped to their parent) into the graphics, transitions included.
void compose_controls(Ex_Window& host, Ex_Control* first, const RectF& dirty, Graphics& graphics);
// Composes every visible control, without transitions; with notify each first gets 10262.
void compose_all(Ex_Control* first, Graphics& graphics, bool notify);
// The topmost visible, enabled control at the point, descending into children.
Ex_Control* hit_test(Ex_Control* last, int x, int y);

// Lifts the clip of a long-lived graphics. A rectangle larger than any surface stands in for
// "no clip": after a reset the drawing backend may skip re-applying a region equal to the last.
void lift_clip(Graphics& graphics);

}  // namespace dui

// Ex_Window: takes an ordinary top-level window over and hosts drawn controls on it. It owns
// the back buffer the controls are composed into, paints the window background (skin, shape,
// frame, shadow), routes mouse and keyboard input to the controls, keeps focus, hover and press
// state, shows tooltips and plays the window's show and close animations.
//
// Everything here runs on the window's thread; other threads reach a host only through the
// messages of dui::host_message.
#pragma once

#include "dui/core/control.h"
#include "dui/core/drawing.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace dui {

class HostTooltip;

using LResult = platform::window::result;

// Bits of Ex_Window::features.
namespace feature {
constexpr int icon = 1;
constexpr int title = 2;
constexpr int close_button = 4;
constexpr int maximize_button = 8;
constexpr int minimize_button = 16;
constexpr int extra_button_1 = 32;
constexpr int extra_button_2 = 64;
constexpr int extra_button_3 = 128;
constexpr int extra_button_4 = 256;
constexpr int shadow = 512;
constexpr int from_styles = 1024;
}  // namespace feature

// How set_background presents the new background.
namespace background_mode {
constexpr int no_present = -1;
constexpr int present = 0;
constexpr int fade_in = 1;
}  // namespace background_mode

// Show and close animations.
namespace window_effect {
constexpr int none = 0;
constexpr int fade = 1;
constexpr int pop = 2;
constexpr int wipe_from_left = 3;
constexpr int wipe_from_right = 4;
constexpr int wipe_from_top = 5;
constexpr int wipe_from_bottom = 6;
constexpr int zoom = 7;
}  // namespace window_effect

// Centre rectangle of a nine-grid skin: left, top, right, bottom; all 0 = no stretching.
struct NineGrid {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
};

// The drawn caption elements come from the controls layer, which registers how to make them.
struct CaptionParts {
  // A caption button for one feature bit (4, 8, 16, 32 ... 256): height 19, width 39 for the
  // close button and 28 for the others, placed later by layout_caption.
  std::function<std::unique_ptr<Ex_Control>(Ex_Window& host, int feature_bit)> make_button;
  // The icon picture at (11, 11, 16, 16), not focusable.
  std::function<std::unique_ptr<Ex_Control>(Ex_Window& host)> make_icon;
  // The title label at top 9, height 18: the title in white at alpha 250.
  std::function<std::unique_ptr<Ex_Control>(Ex_Window& host, const std::string& title)> make_title;
  // Gives the title label a new text.
  std::function<void(Ex_Control& title, const std::string& text)> set_title;
};
void set_caption_parts(CaptionParts parts);

// One frame of a window animation, reported to an observer (tests and diagnostics).
struct AnimationFrame {
  bool closing = false;
  int effect = 0;
  int step = 0;       // 1-based
  int alpha = 0;      // constant alpha of this frame
  unsigned sleep_ms = 0;
};
using AnimationObserver = std::function<void(const AnimationFrame&)>;
void set_animation_observer(AnimationObserver observer);

// Options of Ex_Window::create; absent values take the defaults.
struct HostOptions {
  std::optional<std::string> skin_image;       // encoded picture bytes
  std::optional<Colour> background_colour;     // default: the skin's average colour
  std::optional<int> features;                 // default: from the window's styles
  std::optional<int> window_alpha;             // default -1: not layered
  std::optional<int> image_placement;          // 0 at (5, 5), 1 stretched, 2 centred; default 0
  std::optional<int> corner_radius;            // default 7; 1 = skin only
  std::optional<int> resizable;                // default: the window has WS_THICKFRAME
  std::optional<int> drag_anywhere;            // default 1
  std::optional<int> image_frame;              // default 1
  std::optional<int> blur_behind;              // default: 1 on system version 6; never for an opaque window
  NineGrid nine_grid;
  std::optional<WindowHandle> background_source;
};

// Rectangles waiting for recomposition, flushed in order.
class RedrawQueue {
 public:
  void setup(WindowHandle window, Ex_Window* host, Graphics* graphics);
  void clear();
  // Mode 0 appends, 1 recomposes at once with presentation, 2 puts the rectangle first;
  // then flushes unless a flush is running.
  void add(const RectF& rect, int mode);
  bool idle() const { return !flushing_; }
  void flush();
  std::size_t size() const { return items_.size(); }

 private:
  WindowHandle window_ = 0;
  Ex_Window* host_ = nullptr;
  Graphics* graphics_ = nullptr;
  std::deque<RectF> items_;
  bool flushing_ = false;
};

class Ex_Window {
 public:
  using HostCallback = std::function<void(WindowHandle window, Ex_Control* control, WParam wparam, LParam lparam, int kind)>;
  using BackgroundCallback = std::function<void(WindowHandle window, Graphics& graphics, int width, int height)>;
  using MessageHook = std::function<LResult(WindowHandle window, unsigned message, WParam wparam, LParam lparam)>;
  using ResizeCallback = std::function<void(WindowHandle window, int width, int height)>;

  Ex_Window();
  ~Ex_Window();
  Ex_Window(const Ex_Window&) = delete;
  Ex_Window& operator=(const Ex_Window&) = delete;

  // ---- Operations ----
  LResult window_proc(unsigned message, WParam wparam, LParam lparam);
  void invalidate_rect(const RectF& rect, int mode);
  // Sets the tooltip tool to the control (text nullopt: the control's own tooltip);
  // nullptr removes the tool.
  void show_tooltip(Ex_Control* control, std::optional<std::string> text = std::nullopt);
  void fade_tick();
  bool on_syschar(unsigned message, WParam wparam, LParam lparam);
  int on_keydown(unsigned message, WParam wparam, LParam lparam);
  void on_destroy();
  void on_size(WParam wparam, LParam lparam);
  int register_mnemonic(Ex_Control* control, int key_code);
  void on_mouse(unsigned message, WParam wparam, LParam lparam);
  bool border_hit(unsigned message, LParam lparam);
  // Takes the window over. False for a null, dead or already hosted window.
  bool create(WindowHandle window, const HostOptions& options = {});
  int drag_anywhere(std::optional<int> value = std::nullopt);
  int drag_anywhere() const { return drag_anywhere_; }
  int corner_radius(std::optional<int> value = std::nullopt);
  int corner_radius() const { return corner_radius_; }
  // Repaints the background; mode -1 no presentation, 0 at once, 1 fade-in.
  void set_background(std::optional<std::string> image_bytes, std::optional<Colour> colour, int mode,
                      bool notify_controls = false);
  void layout_caption();
  void set_shadow_colour(Colour colour) { shadow_colour_ = colour; }
  void set_focus(Ex_Control* control, bool by_keyboard);
  void present(std::optional<RectF> rect = std::nullopt);
  void show(int effect, int duration_ms = 200);
  void set_close_effect(int effect) { close_effect_ = effect; }
  void set_default_cursor(std::uintptr_t cursor, bool is_handle);
  BackgroundCallback set_on_background(BackgroundCallback f) { return on_background_ = std::move(f); }
  MessageHook set_message_hook(MessageHook f) { return message_hook_ = std::move(f); }
  ResizeCallback set_on_resize(ResizeCallback f) { return on_resize_ = std::move(f); }
  HostCallback set_on_mouse_down(HostCallback f) { return on_mouse_down_ = std::move(f); }
  HostCallback set_on_mouse_up(HostCallback f) { return on_mouse_up_ = std::move(f); }
  HostCallback set_on_click(HostCallback f) { return on_click_ = std::move(f); }
  HostCallback set_on_double_click(HostCallback f) { return on_double_click_ = std::move(f); }
  HostCallback set_on_right_down(HostCallback f) { return on_right_down_ = std::move(f); }
  HostCallback set_on_right_up(HostCallback f) { return on_right_up_ = std::move(f); }
  HostCallback set_on_mouse_leave(HostCallback f) { return on_mouse_leave_ = std::move(f); }
  HostCallback set_on_mouse_enter(HostCallback f) { return on_mouse_enter_ = std::move(f); }
  HostCallback set_on_focus_gained(HostCallback f) { return on_focus_gained_ = std::move(f); }
  HostCallback set_on_focus_lost(HostCallback f) { return on_focus_lost_ = std::move(f); }

  // ---- Painting ----
  // Recomposes a rectangle of the back buffer from the background copy and the controls.
  void recompose(const RectF& rect, bool present);
  // Pushes a rectangle of the back buffer to the screen (a layered window as a whole).
  void present_rect(const RectF& rect);
  // The whole back buffer to a layered window.
  void update_layered();
  // Plays the close animation now (the window procedure does it at WM_CLOSE).
  void play_close_effect();

  // ---- State, read-only ----
  WindowHandle window() const { return window_; }
  Ex_Control* focus() const { return focus_; }
  Ex_Control* hot() const { return hot_; }
  Ex_Control* pressed() const { return pressed_; }
  int button_down() const { return button_down_; }
  int busy() const { return busy_; }
  Ex_Control* keyboard_focus() const { return keyboard_focus_; }
  Ex_Control* first_control() const { return first_control_; }
  Ex_Control* last_control() const { return last_control_; }
  int features() const { return features_; }
  int window_alpha() const { return window_alpha_; }
  int image_placement() const { return image_placement_; }
  int resizable() const { return resizable_; }
  int image_frame() const { return image_frame_; }
  int close_effect() const { return close_effect_; }
  int blur_behind() const { return blur_behind_; }
  const NineGrid& nine_grid() const { return nine_grid_; }
  Colour shadow_colour() const { return shadow_colour_; }
  Colour background_colour() const { return background_colour_; }
  const Bitmap* background_image() const { return background_image_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  Bitmap& buffer() { return buffer_; }
  Graphics* buffer_graphics() { return buffer_graphics_.get(); }
  const Bitmap& background_copy() const { return background_; }
  const platform::gfx::Region* clip_region() const { return clip_region_.get(); }
  CursorHandle default_cursor() const { return default_cursor_; }
  const std::vector<Ex_Control*>& caption_buttons() const { return caption_button_refs_; }
  Ex_Control* icon_picture() const { return icon_picture_.get(); }
  Ex_Control* title_label() const { return title_label_.get(); }
  const RedrawQueue& redraw_queue() const { return redraw_queue_; }
  // The tooltip tool: its rectangle and text (empty text = no tool).
  std::string tooltip_text() const;
  WindowHandle tooltip_window() const;

 private:
  friend class Ex_Control;
  friend class RedrawQueue;
  friend void compose_controls(Ex_Window& host, Ex_Control* first, const RectF& dirty, Graphics& graphics);

  struct Mnemonic {
    Ex_Control* control = nullptr;
    int key = 0;
  };

  // host_window.cpp
  void apply_styles(const HostOptions& options);
  void create_caption_parts();
  LResult default_processing(unsigned message, WParam wparam, LParam lparam);
  LResult handle_host_message(unsigned message, WParam wparam, LParam lparam, bool& handled);
  LResult on_control_moved(Ex_Control* control, LParam recompose_now);
  void on_activate(WParam wparam, LParam lparam);
  void on_min_max_info(platform::window::min_max_info* info) const;
  void on_mouse_leave_window();
  // The registry of this host's live controls: timer ids and message arguments are checked
  // against it before they are used as controls. Any thread may link controls.
  void register_control(Ex_Control* control);
  bool owns_control(const Ex_Control* control) const;
  // Drops every reference the host holds to a control that is being destroyed.
  void forget_control(Ex_Control* control);
  void call(const HostCallback& callback, Ex_Control* control, WParam wparam, LParam lparam, int kind) const;
  void toggle_maximized();

  // host_input.cpp
  void finish_press(WParam wparam, LParam lparam);
  void press(Ex_Control* target, WParam wparam, LParam lparam);
  void move_focus_to(Ex_Control* target, WParam wparam);
  void enter(Ex_Control* target, Ex_Control* previous, WParam wparam, LParam lparam);
  void tab_to_next();
  Ex_Control* top_level_of(Ex_Control* control) const;

  // host_painting.cpp
  void make_surfaces();
  void take_background_source(std::optional<std::string>& image_bytes, std::optional<Colour> colour);
  void paint_background();
  void paint_skin_only();
  void paint_shaped();
  void paint_image_layer();
  void fade_image_edges(const RectF& image_rect, bool all_sides);
  void apply_window_opacity();
  void draw_frame_lines();
  void draw_shadow();
  void apply_window_region();
  void make_clip_region();
  void set_composition_clip(Graphics& graphics, const RectF& rect);
  void leave_busy();
  void start_fade_in();
  void paint_window();

  // host_effects.cpp
  void play_show_effect(int effect, int duration_ms);
  void show_frame(Bitmap& frame, int step, int alpha, unsigned sleep_ms, bool closing, int effect);

  WindowHandle window_ = 0;
  platform::window::procedure old_window_proc_;
  Ex_Control* focus_ = nullptr;
  Ex_Control* hot_ = nullptr;
  Ex_Control* pressed_ = nullptr;
  int button_down_ = 0;
  int busy_ = 0;
  Bitmap buffer_;
  std::unique_ptr<Graphics> buffer_graphics_;
  Bitmap background_;
  WindowHandle background_source_ = 0;
  std::shared_ptr<const Bitmap> background_image_;
  Colour background_colour_ = 0;
  Ex_Control* first_control_ = nullptr;
  Ex_Control* last_control_ = nullptr;
  int features_ = 0;
  std::unique_ptr<HostTooltip> tooltip_;
  int corner_radius_ = 7;
  int window_alpha_ = -1;
  int image_placement_ = 0;
  Colour shadow_colour_ = -1;
  int resizable_ = 0;
  int drag_anywhere_ = 1;
  int image_frame_ = 1;
  int close_effect_ = 0;
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<platform::gfx::Region> clip_region_;
  Ex_Control* keyboard_focus_ = nullptr;
  int blur_behind_ = 0;
  CursorHandle default_cursor_ = 0;
  NineGrid nine_grid_;
  Bitmap fade_;
  int fade_alpha_ = 0;
  int tracking_mouse_ = 0;
  std::vector<Mnemonic> mnemonics_;
  std::vector<std::unique_ptr<Ex_Control>> caption_buttons_;
  std::vector<Ex_Control*> caption_button_refs_;
  std::unique_ptr<Ex_Control> icon_picture_;
  std::unique_ptr<Ex_Control> title_label_;
  RedrawQueue redraw_queue_;
  BackgroundCallback on_background_;
  MessageHook message_hook_;
  HostCallback on_mouse_down_;
  HostCallback on_mouse_up_;
  HostCallback on_click_;
  HostCallback on_double_click_;
  HostCallback on_right_down_;
  HostCallback on_right_up_;
  HostCallback on_mouse_enter_;
  HostCallback on_mouse_leave_;
  HostCallback on_focus_gained_;
  HostCallback on_focus_lost_;
  ResizeCallback on_resize_;
  // Rectangles a refused move left to recompose once the host is no longer busy.
  std::vector<RectF> deferred_;
  mutable std::mutex registry_mutex_;
  std::unordered_set<const Ex_Control*> registry_;
};

// The shared scratch surface (grown to the largest host so far).
void ensure_scratch(int width, int height);
Bitmap& scratch_bitmap();
Graphics& scratch_graphics();

// Mean red, green and blue of the image's pixels as 0x00BBGGRR; 0 for a null image.
Colour average_colour(const Bitmap& image);

// Desktop blur behind a window: this platform has no compositor blur; always false.
bool set_blur(WindowHandle window, int left, int top, int right, int bottom, int corner, int corner_radius,
              int window_alpha);

}  // namespace dui

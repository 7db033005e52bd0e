// Ex_Window: taking a window over, the window procedure, host messages, caption layout,
// size changes, showing and destruction.
#include "dui/core/host_window.h"

#include "dui/core/framework.h"
#include "dui/core/host_tooltip.h"

#include <array>

namespace dui {

namespace pw = platform::window;

namespace {

constexpr const char* host_property = window_property::control;

CaptionParts& caption_parts() {
  static CaptionParts parts;
  return parts;
}

constexpr std::array<int, 7> caption_button_bits = {feature::close_button,  feature::maximize_button,
                                                    feature::minimize_button, feature::extra_button_1,
                                                    feature::extra_button_2,  feature::extra_button_3,
                                                    feature::extra_button_4};

int caption_button_count(int features) {
  int count = 0;
  for (int bit : caption_button_bits) {
    if ((features & bit) != 0) ++count;
  }
  return count;
}

}  // namespace

void set_caption_parts(CaptionParts parts) { caption_parts() = std::move(parts); }

Ex_Window::Ex_Window() = default;

Ex_Window::~Ex_Window() {
  if (window_ != 0) on_destroy();
}

// ---- Taking the window over ----

bool Ex_Window::create(WindowHandle window, const HostOptions& options) {
  if (window == 0 || !pw::exists(window) || window == window_ || window_ != 0) return false;
  if (pw::get_property(window, host_property) != 0) return false;  // another host holds it

  window_alpha_ = options.window_alpha.value_or(-1);
  image_placement_ = options.image_placement.value_or(0);
  corner_radius_ = options.corner_radius.value_or(7);
  resizable_ = options.resizable.value_or((pw::get_style(window, pw::GWL_STYLE) & pw::WS_THICKFRAME) != 0 ? 1 : 0);
  drag_anywhere_ = options.drag_anywhere.value_or(1);
  image_frame_ = options.image_frame.value_or(1);
  nine_grid_ = options.nine_grid;
  if (options.background_source) background_source_ = *options.background_source;
  blur_behind_ = window_alpha_ == -1 ? 0 : options.blur_behind.value_or(os_major_version() == 6 ? 1 : 0);

  window_ = window;
  apply_styles(options);
  pw::set_property(window_, host_property, reinterpret_cast<std::intptr_t>(this));
  default_cursor_ = dui::default_cursor() != 0 ? dui::default_cursor() : pw::load_cursor(pw::IDC_ARROW);

  const pw::rect area = pw::window_rect(window_);
  width_ = area.width();
  height_ = area.height();
  make_surfaces();
  ensure_scratch(width_, height_);
  if (window_alpha_ != -1) {
    pw::set_style(window_, pw::GWL_EXSTYLE, pw::get_style(window_, pw::GWL_EXSTYLE) | pw::WS_EX_LAYERED);
  }
  redraw_queue_.setup(window_, this, buffer_graphics_.get());
  old_window_proc_ = pw::set_procedure(
      window_, [this](WindowHandle, unsigned message, WParam wparam, LParam lparam) {
        return window_proc(message, wparam, lparam);
      });

  create_caption_parts();
  set_background(options.skin_image, options.background_colour, background_mode::no_present, true);
  if (window_alpha_ != -1) update_layered();
  tooltip_ = std::make_unique<HostTooltip>(window_);
  if (resizable_ != 0) {
    pw::set_style(window_, pw::GWL_STYLE, pw::get_style(window_, pw::GWL_STYLE) | pw::WS_THICKFRAME);
  }
  return true;
}

void Ex_Window::apply_styles(const HostOptions& options) {
  std::uint32_t style = pw::get_style(window_, pw::GWL_STYLE);
  int features = options.features.value_or(feature::from_styles);
  if (!options.features || *options.features != 0) {
    style |= pw::WS_SYSMENU;
    if ((features & feature::from_styles) != 0) {
      features |= feature::icon | feature::title | feature::close_button;
      if ((style & pw::WS_MAXIMIZEBOX) != 0) features |= feature::maximize_button;
      if ((style & pw::WS_MINIMIZEBOX) != 0) features |= feature::minimize_button;
    }
  }
  features_ = (features & ~feature::from_styles) | feature::shadow;
  style |= pw::WS_POPUP;
  style &= ~(pw::WS_THICKFRAME | pw::WS_DLGFRAME | pw::WS_BORDER);
  if ((features_ & feature::minimize_button) == 0) style &= ~pw::WS_MINIMIZEBOX;
  if ((features_ & feature::maximize_button) == 0) style &= ~pw::WS_MAXIMIZEBOX;
  pw::set_style(window_, pw::GWL_STYLE, style);
}

void Ex_Window::create_caption_parts() {
  const CaptionParts& parts = caption_parts();
  busy_ = 1;
  if ((features_ & feature::icon) != 0 && parts.make_icon) icon_picture_ = parts.make_icon(*this);
  if ((features_ & feature::title) != 0 && parts.make_title) title_label_ = parts.make_title(*this, pw::get_text(window_));
  for (int bit : caption_button_bits) {
    if ((features_ & bit) == 0 || !parts.make_button) continue;
    std::unique_ptr<Ex_Control> button = parts.make_button(*this, bit);
    if (!button) continue;
    caption_button_refs_.push_back(button.get());
    caption_buttons_.push_back(std::move(button));
  }
  busy_ = 0;
}

// ---- Window procedure ----

LResult Ex_Window::window_proc(unsigned message, WParam wparam, LParam lparam) {
  if (message_hook_) {
    const LResult answer = message_hook_(window_, message, wparam, lparam);
    if (answer != -1) return answer;
  }
  switch (message) {
    case pw::WM_DESTROY: {
      const pw::procedure previous = old_window_proc_;
      const WindowHandle window = window_;
      on_destroy();
      return previous ? pw::call_procedure(previous, window, message, wparam, lparam)
                      : pw::default_procedure(window, message, wparam, lparam);
    }
    case pw::WM_SIZE:
      on_size(wparam, lparam);
      break;
    case pw::WM_ACTIVATE:
      on_activate(wparam, lparam);
      break;
    case pw::WM_SETTEXT: {
      const LResult answer = default_processing(message, wparam, lparam);
      if ((features_ & feature::title) != 0 && answer == 1 && title_label_ && caption_parts().set_title) {
        caption_parts().set_title(*title_label_, pw::get_text(window_));
      }
      return answer;
    }
    case pw::WM_PAINT:
      paint_window();
      break;
    case pw::WM_CLOSE:
      play_close_effect();
      pw::show(window_, pw::SW_HIDE);
      break;
    case pw::WM_SETCURSOR:
      if (wparam == window_) {
        const CursorHandle wanted = (hot_ != nullptr && hot_->cursor_ != 0) ? hot_->cursor_ : default_cursor_;
        pw::set_cursor(wanted);
      }
      return 1;
    case pw::WM_NCACTIVATE:
      return 1;
    case pw::WM_GETMINMAXINFO:
      on_min_max_info(reinterpret_cast<pw::min_max_info*>(lparam));
      return 0;
    case pw::WM_STYLECHANGED:
      if (static_cast<int>(static_cast<std::intptr_t>(wparam)) == pw::GWL_STYLE) {
        const std::uint32_t style = pw::get_style(window_, pw::GWL_STYLE);
        if ((style & (pw::WS_DLGFRAME | pw::WS_BORDER)) != 0) {
          pw::set_style(window_, pw::GWL_STYLE, style & ~(pw::WS_DLGFRAME | pw::WS_BORDER));
        }
      }
      break;
    case pw::WM_NCCALCSIZE:
      if (wparam == 1) return 1;
      break;
    case pw::WM_KEYDOWN:
      on_keydown(message, wparam, lparam);
      break;
    case pw::WM_KEYUP:
    case pw::WM_CHAR:
    case pw::WM_SYSKEYDOWN:
    case pw::WM_SYSKEYUP:
    case pw::WM_IME_COMPOSITION:
    case pw::WM_COMMAND:
    case pw::WM_MOUSEWHEEL:
      fire_event(focus_, static_cast<int>(message), wparam, lparam);
      break;
    case pw::WM_SYSCHAR:
      if (on_syschar(message, wparam, lparam)) return 0;
      break;
    case pw::WM_TIMER: {
      auto* control = reinterpret_cast<Ex_Control*>(wparam);
      if (owns_control(control)) fire_event(control, event::timer, wparam, lparam);
      break;
    }
    case pw::WM_MOUSEMOVE:
      if ((tracking_mouse_ & 1) == 0) tracking_mouse_ = pw::track_mouse_leave(window_) ? 1 : 0;
      if (tooltip_) tooltip_->relay(message, lparam);
      on_mouse(message, wparam, lparam);
      break;
    case pw::WM_LBUTTONDOWN:
    case pw::WM_LBUTTONUP:
    case pw::WM_RBUTTONDOWN:
    case pw::WM_RBUTTONUP:
      if (tooltip_) tooltip_->relay(message, lparam);
      on_mouse(message, wparam, lparam);
      break;
    case pw::WM_LBUTTONDBLCLK:
      pw::send(window_, pw::WM_LBUTTONDOWN, event::double_click_mark, lparam);
      return 0;
    case pw::WM_MOUSELEAVE:
      on_mouse_leave_window();
      break;
    default:
      if (message >= host_message::set_focus && message <= host_message::deliver_event) {
        bool handled = false;
        const LResult answer = handle_host_message(message, wparam, lparam, handled);
        if (handled) return answer;
      }
      break;
  }
  return default_processing(message, wparam, lparam);
}

LResult Ex_Window::default_processing(unsigned message, WParam wparam, LParam lparam) {
  if (window_ == 0) return 0;
  if (old_window_proc_) return pw::call_procedure(old_window_proc_, window_, message, wparam, lparam);
  return pw::default_procedure(window_, message, wparam, lparam);
}

LResult Ex_Window::handle_host_message(unsigned message, WParam wparam, LParam lparam, bool& handled) {
  handled = true;
  switch (message) {
    case host_message::set_focus: {
      auto* control = reinterpret_cast<Ex_Control*>(lparam);
      if (control != nullptr && owns_control(control)) set_focus(control, false);
      handled = false;
      return 0;
    }
    case host_message::register_mnemonic: {
      auto* control = reinterpret_cast<Ex_Control*>(wparam);
      if (!owns_control(control)) return 0;
      return register_mnemonic(control, static_cast<int>(lparam));
    }
    case host_message::present_layered:
      if (window_alpha_ != -1) update_layered();
      handled = false;
      return 0;
    case host_message::invalidate: {
      auto* payload = reinterpret_cast<RectMessage*>(lparam);
      if (payload == nullptr) return 0;
      const RectF rect = payload->rect;
      if (payload->posted) delete payload;
      const int mode = static_cast<int>(wparam);
      invalidate_rect(rect, mode);
      if (mode == redraw_mode::at_once) return 0;
      handled = false;
      return 0;
    }
    case host_message::control_moved:
      return on_control_moved(reinterpret_cast<Ex_Control*>(wparam), lparam);
    case host_message::deliver_event: {
      auto* payload = reinterpret_cast<EventBlock*>(lparam);
      if (payload == nullptr) return 0;
      const EventBlock block = *payload;
      if (payload->posted) delete payload;
      if (block.life.expired()) return 0;  // the control was destroyed meanwhile
      return fire_event(reinterpret_cast<Ex_Control*>(wparam), block.code, block.wparam, block.lparam);
    }
    default:
      handled = false;
      return 0;
  }
}

LResult Ex_Window::on_control_moved(Ex_Control* control, LParam recompose_now) {
  if (!owns_control(control)) return 1;
  const std::weak_ptr<void> life = control->life_token();
  fire_event(control, event::moved, 0, 0);
  if (recompose_now != 1 || life.expired()) return 1;
  if (busy_ != 0) {
    deferred_.push_back(control->previous_bounds_);
    deferred_.push_back(control->bounds_);
    return 0;
  }
  recompose(control->previous_bounds_, true);
  recompose(control->bounds_, true);
  return 1;
}

void Ex_Window::on_activate(WParam wparam, LParam lparam) {
  if (pw::low_word(wparam) == pw::WA_INACTIVE) {
    fire_event(hot_, event::mouse_leave, wparam, lparam);
    if (button_down_ != 0) {
      fire_event(pressed_, event::focus_lost, wparam, lparam);
      pw::release_capture();
      button_down_ = 0;
    }
  } else if (pressed_ != nullptr) {
    fire_event(pressed_, event::focus_gained, wparam, lparam);
  }
}

void Ex_Window::on_min_max_info(pw::min_max_info* info) const {
  if (info == nullptr) return;
  const pw::rect area = pw::work_area();
  info->max_size = {area.width() + 14, area.height() + 14};
  info->max_position = {area.left - 7, area.top - 7};
  if (features_ == 0) {
    info->min_track_size = {20 + 1, 20};
    return;
  }
  const int close_extra = (features_ & feature::close_button) != 0 ? 11 : 0;
  info->min_track_size = {28 * caption_button_count(features_) + close_extra + 35 + 1, 38};
}

void Ex_Window::on_mouse_leave_window() {
  tracking_mouse_ = 0;
  // The capture of a press stays until the button is released.
  if (button_down_ == 0 && pw::get_capture() == window_) pw::release_capture();
  if (tooltip_) tooltip_->relay(pw::WM_MOUSELEAVE, 0);
  if (hot_ == nullptr) return;
  Ex_Control* left = hot_;
  fire_event(left, event::mouse_leave, 0, 0);
  call(on_mouse_leave_, hot_, 0, 0, hot_ != nullptr ? hot_->kind() : 0);
  hot_ = nullptr;
}

// ---- Control registry ----

void Ex_Window::register_control(Ex_Control* control) {
  std::lock_guard lock(registry_mutex_);
  registry_.insert(control);
}

bool Ex_Window::owns_control(const Ex_Control* control) const {
  if (control == nullptr) return false;
  std::lock_guard lock(registry_mutex_);
  return registry_.count(control) != 0;
}

void Ex_Window::forget_control(Ex_Control* control) {
  {
    std::lock_guard lock(registry_mutex_);
    registry_.erase(control);
  }
  if (pressed_ == control) {
    pressed_ = nullptr;
    if (button_down_ != 0 && pw::get_capture() == window_) pw::release_capture();
    button_down_ = 0;
  }
  if (focus_ == control) focus_ = nullptr;
  if (hot_ == control) hot_ = nullptr;
  if (keyboard_focus_ == control) keyboard_focus_ = nullptr;
  std::erase_if(mnemonics_, [control](const Mnemonic& m) { return m.control == control; });
  if (tooltip_) tooltip_->forget_owner(control);
}

void Ex_Window::call(const HostCallback& callback, Ex_Control* control, WParam wparam, LParam lparam, int kind) const {
  if (callback) callback(window_, control, wparam, lparam, kind);
}

// ---- Properties ----

int Ex_Window::drag_anywhere(std::optional<int> value) {
  if (value) drag_anywhere_ = *value;
  return drag_anywhere_;
}

int Ex_Window::corner_radius(std::optional<int> value) {
  if (value) corner_radius_ = *value;
  return corner_radius_;
}

void Ex_Window::set_default_cursor(std::uintptr_t cursor, bool is_handle) {
  default_cursor_ = is_handle ? cursor : pw::load_cursor(static_cast<int>(cursor));
}

std::string Ex_Window::tooltip_text() const { return tooltip_ ? tooltip_->text() : std::string(); }

WindowHandle Ex_Window::tooltip_window() const { return tooltip_ ? tooltip_->window() : 0; }

void Ex_Window::show_tooltip(Ex_Control* control, std::optional<std::string> text) {
  if (!tooltip_) return;
  tooltip_->remove_tool();
  if (control == nullptr) return;
  const std::string tip = text.value_or(control->tooltip_);
  if (tip.empty()) return;
  const RectF& b = control->bounds_;
  const pw::rect area{static_cast<int>(b.x), static_cast<int>(b.y), static_cast<int>(b.x + b.width),
                      static_cast<int>(b.y + b.height)};
  tooltip_->set_tool(control, area, tip);
}

// ---- Caption ----

void Ex_Window::layout_caption() {
  if (features_ == 0) return;
  int x = width_ - 5 - ((features_ & feature::close_button) != 0 ? 12 : 0);
  for (Ex_Control* button : caption_button_refs_) {
    x -= 28;
    button->move(x, 7);
  }
  if ((features_ & feature::title) != 0 && title_label_) {
    const int left = (features_ & feature::icon) != 0 ? 28 : 11;
    title_label_->move(left, 10, x - left, 20, false);
  }
}

void Ex_Window::toggle_maximized() {
  pw::post(window_, pw::WM_SYSCOMMAND, pw::is_maximized(window_) ? pw::SC_RESTORE : pw::SC_MAXIMIZE, 0);
  pw::send(window_, pw::WM_NCLBUTTONDOWN, static_cast<WParam>(pw::HTCAPTION), 0);
}

// ---- Size, show, destruction ----

void Ex_Window::on_size(WParam wparam, LParam) {
  if (wparam == pw::SIZE_MINIMIZED || window_ == 0) return;
  const pw::rect area = pw::window_rect(window_);
  if (area.width() == width_ && area.height() == height_) return;
  width_ = area.width();
  height_ = area.height();
  if (on_resize_) on_resize_(window_, width_, height_);
  make_surfaces();
  ensure_scratch(width_, height_);
  set_background(std::nullopt, background_colour_, background_mode::present, false);
}

void Ex_Window::show(int effect, int duration_ms) {
  if (window_ == 0) return;
  pw::pump();
  if (effect == window_effect::none) {
    pw::show(window_, pw::SW_SHOWNORMAL);
    return;
  }
  play_show_effect(effect, duration_ms);
  present();
  pw::invalidate(window_);
  pw::update_now(window_);
}

void Ex_Window::on_destroy() {
  if (window_ == 0) return;
  busy_ = 1;
  pw::kill_timer(window_, reinterpret_cast<std::uintptr_t>(this));  // a running fade-in
  if (old_window_proc_) pw::set_procedure(window_, old_window_proc_);
  redraw_queue_.clear();
  while (first_control_ != nullptr) {
    Ex_Control* control = first_control_;
    control->destroy();
    if (first_control_ == control) first_control_ = control->next_;  // never loop on a stuck link
  }
  clip_region_.reset();
  background_image_.reset();
  tooltip_.reset();
  if (pw::get_capture() == window_) pw::release_capture();
  pressed_ = focus_ = hot_ = keyboard_focus_ = nullptr;
  first_control_ = last_control_ = nullptr;
  features_ = 0;
  buffer_graphics_.reset();
  buffer_ = Bitmap();
  background_ = Bitmap();
  fade_ = Bitmap();
  mnemonics_.clear();
  caption_button_refs_.clear();
  caption_buttons_.clear();
  icon_picture_.reset();
  title_label_.reset();
  pw::remove_property(window_, host_property);
  {
    std::lock_guard lock(registry_mutex_);
    registry_.clear();
  }
  deferred_.clear();
  old_window_proc_ = nullptr;
  window_ = 0;
  busy_ = 0;
}

}  // namespace dui

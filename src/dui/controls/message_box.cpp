// message_box: layout, the box's host, its buttons and label, and the modal run.
#include "dui/controls/message_box.h"

#include "dui/controls/label.h"
#include "dui/core/framework.h"
#include "platform/window.h"

#include <charconv>
#include <memory>

namespace dui {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

constexpr int default_width = 320;
constexpr int default_height = 150;
constexpr int button_step = 75;
constexpr int button_margin_at_creation = 8;
constexpr int button_margin_on_resize = 10;
constexpr int button_bottom = 35;
constexpr int plain_button_width = 70;
constexpr int plain_button_height = 24;

struct Rect {
  float left = 0, top = 0, width = 0, height = 0;
};

// The slot identifier, value and position a button carries in its tag.
struct ButtonTag {
  std::string slot;
  int value = 0;
  int position = 0;
};

bool parse_int(std::string_view text, int& out) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size();
}

// A tag of exactly three "|"-separated fields with numeric value and position.
std::optional<ButtonTag> parse_tag(const std::string& tag) {
  const std::size_t first = tag.find('|');
  if (first == std::string::npos) return std::nullopt;
  const std::size_t second = tag.find('|', first + 1);
  if (second == std::string::npos || tag.find('|', second + 1) != std::string::npos) return std::nullopt;
  ButtonTag parsed;
  parsed.slot = tag.substr(0, first);
  if (!parse_int(std::string_view(tag).substr(first + 1, second - first - 1), parsed.value)) return std::nullopt;
  if (!parse_int(std::string_view(tag).substr(second + 1), parsed.position)) return std::nullopt;
  return parsed;
}

Rect reference_rect(WindowHandle owner, bool centre_on_owner) {
  if (centre_on_owner && owner != 0 && pw::exists(owner)) {
    const pw::rect r = pw::window_rect(owner);
    return {float(r.left), float(r.top), float(r.width()), float(r.height())};
  }
  const WorkArea area = work_area();
  return {float(area.left), float(area.top), float(area.width), float(area.height)};
}

HostOptions default_look(int features) {
  HostOptions o;
  o.background_colour = 0x00FF8800;
  o.features = features;
  o.window_alpha = 210;
  return o;
}

HostOptions owner_look(Ex_Window& owner_host, WindowHandle owner, int features) {
  HostOptions o;
  o.features = features;
  o.window_alpha = owner_host.window_alpha();
  o.image_placement = owner_host.image_placement();
  o.corner_radius = owner_host.corner_radius() == 1 ? 7 : owner_host.corner_radius();
  o.resizable = 0;
  o.drag_anywhere = 1;
  o.image_frame = 1;
  o.blur_behind = owner_host.blur_behind() != 0 ? 1 : 0;
  o.nine_grid = owner_host.nine_grid();
  o.background_source = owner;
  return o;
}

HostOptions custom_look(const MessageBoxLook& look, int features) {
  HostOptions o;
  o.skin_image = look.skin_image.value_or(std::string());
  o.background_colour = look.background_colour.value_or(-1);
  o.features = features;
  o.window_alpha = look.window_alpha.value_or(-1);
  o.image_placement = look.image_placement.value_or(0);
  o.corner_radius = look.corner_radius.value_or(0);
  o.resizable = 0;
  o.image_frame = look.image_frame.value_or(1);
  o.blur_behind = look.blur_behind.value_or(look.window_alpha && os_major_version() > 5 ? 1 : 0);
  o.nine_grid = look.nine_grid.value_or(NineGrid{});
  return o;
}

// One box from creation to its answer.
class MessageBoxRun {
 public:
  MessageBoxRun(WindowHandle owner, const std::string& text, const MessageBoxOptions& options)
      : owner_(owner), text_(text), options_(options) {}

  int run() {
    result_ = box_result::cancel;
    if (!create_window()) return result_;
    make_host();
    fit_text();
    make_buttons();
    if (!buttons_.empty()) {
      const int focus = options_.default_button.value_or(1);
      if (focus >= 1 && focus <= int(buttons_.size())) host_->set_focus(buttons_[focus - 1].get(), false);
    }
    make_label();
    finish();
    run_modal(window_);
    release();
    return result_;
  }

 private:
  int icon() const { return options_.icon.value_or(box_icon::none); }

  bool create_window() {
    reference_ = reference_rect(owner_, options_.centre_on_owner.value_or(false));
    text_rect_ = icon() != 0 ? Rect{85, 43, float(width_ - 120), float(height_ - 100)}
                             : Rect{30, 43, float(width_ - 60), float(height_ - 100)};
    FrameWindowOptions frame;
    frame.left = int(reference_.left + (reference_.width - float(width_)) / 2);
    frame.top = int(reference_.top + (reference_.height - float(height_)) / 2);
    frame.width = width_;
    frame.height = height_;
    window_ = create_frame_window(owner_, options_.title.value_or("提示："), frame);
    if (window_ == 0) return false;
    pw::set_property(window_, window_property::flags, popup_flag::message_box);
    pw::set_property(window_, window_property::msgbox, icon());
    return true;
  }

  void make_host() {
    const int features = options_.caption_flags.value_or(feature::title | feature::close_button);
    HostOptions look = default_look(features);
    Ex_Window* owner_host = host_of(owner_);
    if (options_.custom_look.value_or(false)) {
      look = custom_look(options_.look, features);
    } else if (owner_host != nullptr) {
      look = owner_look(*owner_host, owner_, features);
    }
    host_ = std::make_unique<Ex_Window>();
    host_->set_on_background(draw_message_box_background);
    host_->create(window_, look);
    host_->set_message_hook(popup_message_routine);
    host_->set_on_resize([this](WindowHandle, int width, int height) { place_buttons(width, height); });
    host_->set_on_click([this](WindowHandle, Ex_Control* control, WParam, LParam, int kind) {
      on_click(control, kind);
    });
  }

  void move_window() {
    const int left = int(reference_.left + (reference_.width - float(width_)) / 2);
    const int top = int(reference_.top + (reference_.height - float(height_)) / 2);
    pw::move(window_, left, top, width_, height_, false);
  }

  // Widens and heightens the box so that the unwrapped text fits.
  void fit_text() {
    Graphics* graphics = host_->buffer_graphics();
    if (graphics == nullptr) return;
    const RectF measured = graphics->measure_string(text_, default_font(), RectF{}, StringFormat{}).bounds;
    const float chrome_width = float(width_) - text_rect_.width;
    const float chrome_height = float(height_) - text_rect_.height;
    if (measured.width > text_rect_.width) {
      width_ = int(measured.width + chrome_width);
      move_window();
      text_rect_.width = measured.width + 10;
    }
    if (measured.height > text_rect_.height) {
      height_ = int(measured.height + chrome_height);
      move_window();
      text_rect_.height = measured.height + 5;
    }
    if (measured.height < 30) text_rect_.top += 4;  // one line sits a little lower
  }

  void make_buttons() {
    const ButtonSet set = button_set(options_.buttons.value_or(0));
    const std::vector<std::string>& captions = options_.captions ? *options_.captions : set.captions;
    const bool skinned = options_.skinned_buttons.value_or(false);
    for (std::size_t i = 0; i < captions.size(); ++i) {
      const int position = int(i) + 1;
      std::unique_ptr<Ex_TextControl> button =
          skinned ? std::make_unique<Ex_SkinnedButton>() : std::make_unique<Ex_TextControl>();
      TextControlOptions o;
      o.text = captions[i];
      o.visible = 0;
      const int w = skinned ? Ex_SkinnedButton::width : plain_button_width;
      const int h = skinned ? Ex_SkinnedButton::height : plain_button_height;
      if (button->create(window_, width_ - button_step * position - button_margin_at_creation, height_ - button_bottom,
                         w, h, o) == nullptr) {
        continue;
      }
      // A caption without an answer of its set leaves the tag empty: it only closes the box.
      if (i < set.values.size()) {
        button->tag(slot_id() + "|" + std::to_string(set.values[i]) + "|" + std::to_string(position));
      }
      if (!skinned) button->content_offset_y(-1);
      button->visible(1);
      buttons_.push_back(std::move(button));
    }
  }

  void make_label() {
    label_ = std::make_unique<Ex_Label>();
    LabelOptions o;
    o.text = text_;
    o.word_wrap = 1;
    o.alignment = 0;
    label_->create(window_, int(text_rect_.left), int(text_rect_.top), int(text_rect_.width), int(text_rect_.height),
                   o);
  }

  void finish() {
    if (options_.layout_hook) options_.layout_hook(window_, width_, height_);
    if (icon() != 0 && options_.beep.value_or(true)) play_message_beep(icon());
    if (options_.close_effect) host_->set_close_effect(*options_.close_effect);
    host_->show(options_.show_effect.value_or(0));
    pw::set_foreground(window_);
    make_topmost(window_);
  }

  // A button answers only into this box's own slot, whatever a tag claims.
  void on_click(Ex_Control* control, int kind) {
    if (kind != kind::text_control && kind != kind::skinned_button) return;
    if (control != nullptr) {
      const std::optional<ButtonTag> tag = parse_tag(control->tag());
      if (tag && tag->slot == slot_id()) result_ = tag->value;
    }
    pw::post(window_, pw::WM_CLOSE, 0, 0);
  }

  void place_buttons(int width, int height) {
    if (host_ == nullptr) return;
    for (Ex_Control* c = host_->first_control(); c != nullptr; c = c->next()) {
      if (c->kind() != kind::text_control) continue;
      const std::optional<ButtonTag> tag = parse_tag(c->tag());
      if (!tag) continue;
      c->move(width - button_step * tag->position - button_margin_on_resize, height - button_bottom);
    }
  }

  std::string slot_id() const { return std::to_string(reinterpret_cast<std::uintptr_t>(&result_)); }

  void release() {
    label_.reset();
    buttons_.clear();
    // A quit request ends the wait with the box still up: it goes now.
    if (pw::exists(window_)) pw::destroy(window_);
    host_.reset();
  }

  WindowHandle owner_;
  const std::string& text_;
  const MessageBoxOptions& options_;
  int result_ = box_result::cancel;
  int width_ = default_width;
  int height_ = default_height;
  Rect reference_;
  Rect text_rect_;
  WindowHandle window_ = 0;
  std::unique_ptr<Ex_Window> host_;
  std::vector<std::unique_ptr<Ex_TextControl>> buttons_;
  std::unique_ptr<Ex_Label> label_;
};

}  // namespace

ButtonSet button_set(int buttons) {
  switch (buttons) {
    case 0:
      return {{"确认"}, {box_result::ok}};
    case 1:
      return {{"取消", "确认"}, {box_result::cancel, box_result::ok}};
    case 2:
      return {{"忽略", "重试", "放弃"}, {box_result::ignore, box_result::retry, box_result::abort}};
    case 3:
      return {{"取消", "否(&N)", "是(&Y)"}, {box_result::cancel, box_result::no, box_result::yes}};
    case 4:
      return {{"否(&N)", "是(&Y)"}, {box_result::no, box_result::yes}};
    case 5:
      return {{"取消", "重试"}, {box_result::cancel, box_result::retry}};
    default:
      return {};
  }
}

int message_box(WindowHandle owner, const std::string& text, const MessageBoxOptions& options) {
  MessageBoxRun run(owner, text, options);
  return run.run();
}

}  // namespace dui

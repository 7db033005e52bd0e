#include "dui/controls/label.h"

#include "dui/core/framework.h"
#include "dui/core/host_window.h"

#include <cmath>

namespace dui {

namespace gfx = platform::gfx;

namespace {

constexpr float caption_inset = 2;

Font font_or_default_family(const std::string& family, float size, int style) {
  Font font = Font::create(family, size, style);
  if (font) return font;
  return Font::create(default_font().family(), size, style);
}

gfx::Alignment to_alignment(int value) {
  return value == 1 ? gfx::Alignment::centre : value == 2 ? gfx::Alignment::far : gfx::Alignment::near;
}

gfx::Trimming to_trimming(int value) {
  return value >= 0 && value <= 5 ? static_cast<gfx::Trimming>(value) : gfx::Trimming::none;
}

}  // namespace

Ex_Label::~Ex_Label() { destroy(); }

template <typename T>
T Ex_Label::property(T& field, std::optional<T> value) {
  if (value) {
    field = *value;
    repaint();
  }
  return field;
}

// ---- Creation and events ----

Ex_Control* Ex_Label::create(ControlParent parent, int left, int top, int width, int height,
                             const LabelOptions& options) {
  string_format_ = StringFormat{};
  string_format_.flags = options.word_wrap.value_or(0) != 0 ? wrap_flags : no_wrap_flags;
  string_format_.alignment = to_alignment(options.alignment.value_or(0));
  string_format_.trimming = to_trimming(options.trimming.value_or(0));
  string_format_.hotkey_prefix = gfx::HotkeyPrefix::none;
  if (options.font_name || options.font_size || options.font_style) {
    font_ = font_or_default_family(options.font_name.value_or(default_font().family()),
                                   options.font_size.value_or(12.0f), options.font_style.value_or(0));
  } else {
    font_ = default_font();
  }
  text_ = to_utf16(options.text);
  text_colour_ = options.text_colour.value_or(to_argb(0x000000, 210));
  gradient_mode_ = options.gradient_mode.value_or(0);
  gradient_start_ = options.gradient_start.value_or(0);
  gradient_end_ = options.gradient_end.value_or(0);
  word_wrap_ = options.word_wrap.value_or(0);
  vertical_alignment_ = 1;
  text_effect_ = options.text_effect.value_or(0);
  border_ = options.border.value_or(0);
  auto_text_colour_ = options.auto_text_colour.value_or(0);
  effect_colour_ = options.effect_colour.value_or(0);
  transition_pending_ = transition_interval_ = transition_frames_ = 0;
  ControlOptions control_options;
  control_options.focusable = 0;
  return init_control(parent, RectF{float(left), float(top), float(width), float(height)}, kind::label,
                      options.visible.value_or(1), control_options);
}

int Ex_Label::on_event(int code, WParam wparam, LParam lparam) {
  const int filtered = filter_event(code, wparam, lparam);
  if (filtered != -1) return filtered;
  switch (code) {
    case event::create:
      measure();
      after_create();
      break;
    case event::destroy:
      text_.clear();
      effect_colour_ = 0;
      release_font();
      string_format_ = StringFormat{};
      break;
    case event::paint:
      paint();
      break;
    case event::focus_gained:
    case event::focus_lost:
      if (focusable() != 0) paint();
      break;
    case event::resized:
      measure();
      break;
    case event::full_redraw:
      if (auto_text_colour_ != 0) paint();
      break;
    case event::animation_finished:
      transition_pending_ = transition_interval_ = transition_frames_ = 0;
      animation_frames(0);
      animation_interval(0);
      break;
    default:
      break;
  }
  return -1;
}

void Ex_Label::before_draw_text(RectF&) {}
int Ex_Label::filter_event(int, WParam, LParam) { return -1; }
void Ex_Label::after_create() {}

// ---- Measuring ----

void Ex_Label::measure() {
  if (graphics() == nullptr) return;
  RectF layout{};
  if (word_wrap_ == 0) {
    const RectF area = bounds();
    layout = RectF{0, 0, area.width, font_.height()};
  }
  RectF measured{};
  if (!measure_text(*graphics(), text_, font_, layout, string_format_, measured)) return;
  measured_width_ = static_cast<int>(std::lround(measured.width));
  measured_height_ = static_cast<int>(std::lround(measured.height));
}

// ---- Caption ----

void Ex_Label::set_caption(std::u16string value, std::optional<int> effect, int frames, int interval) {
  if (effect) {
    transition_pending_ = 1;
    animation_effect(*effect);
    transition_frames_ = frames;
    transition_interval_ = interval;
  } else {
    transition_pending_ = 0;
    if (value == text_) return;
  }
  text_ = std::move(value);
  measure();
  repaint();
}

std::string Ex_Label::text(std::optional<std::string> value, std::optional<int> effect, int frames, int interval) {
  if (value) set_caption(to_utf16(*value), effect, frames, interval);
  return from_utf16(text_);
}

std::u16string Ex_Label::text_utf16(std::optional<std::u16string> value, std::optional<int> effect, int frames,
                                    int interval) {
  if (value) set_caption(std::move(*value), effect, frames, interval);
  return text_;
}

// ---- Properties ----

Argb Ex_Label::text_colour(std::optional<Argb> value) { return property(text_colour_, value); }
Argb Ex_Label::effect_colour(std::optional<Argb> value) { return property(effect_colour_, value); }
Argb Ex_Label::gradient_start(std::optional<Argb> value) { return property(gradient_start_, value); }
Argb Ex_Label::gradient_end(std::optional<Argb> value) { return property(gradient_end_, value); }
int Ex_Label::gradient_mode(std::optional<int> value) { return property(gradient_mode_, value); }
int Ex_Label::vertical_alignment(std::optional<int> value) { return property(vertical_alignment_, value); }
int Ex_Label::text_effect(std::optional<int> value) { return property(text_effect_, value); }
Argb Ex_Label::border(std::optional<Argb> value) { return property(border_, value); }
int Ex_Label::auto_text_colour(std::optional<int> value) { return property(auto_text_colour_, value); }

void Ex_Label::replace_font(Font font) {
  release_font();
  font_ = std::move(font);
  measure();
  repaint();
}

std::string Ex_Label::font_name(std::optional<std::string> value) {
  if (value) replace_font(font_or_default_family(*value, font_.size(), font_.style()));
  return font_.family();
}

int Ex_Label::font_style(std::optional<int> value) {
  if (value) replace_font(font_or_default_family(font_.family(), font_.size(), *value));
  return font_.style();
}

int Ex_Label::font_size(std::optional<int> value) {
  if (value) replace_font(font_or_default_family(font_.family(), float(*value), font_.style()));
  return static_cast<int>(font_.size());
}

const Font& Ex_Label::font(std::optional<Font> value) {
  if (value) replace_font(std::move(*value));
  return font_;
}

int Ex_Label::trimming(std::optional<int> value) {
  if (value) {
    string_format_.trimming = to_trimming(*value);
    repaint();
  }
  return static_cast<int>(string_format_.trimming);
}

int Ex_Label::format_flags(std::optional<int> value) {
  if (value) {
    string_format_.flags = *value;
    repaint();
  }
  return string_format_.flags;
}

const StringFormat& Ex_Label::string_format(std::optional<StringFormat> value) {
  if (value) {
    string_format_ = *value;
    measure();
    repaint();
  }
  return string_format_;
}

int Ex_Label::alignment(std::optional<int> value) {
  if (value) {
    string_format_.alignment = to_alignment(*value);
    repaint();
  }
  return static_cast<int>(string_format_.alignment);
}

int Ex_Label::word_wrap(std::optional<int> value) {
  if (value) {
    word_wrap_ = *value;
    string_format_.flags = word_wrap_ != 0 ? wrap_flags : no_wrap_flags;
    repaint();
  }
  return word_wrap_;
}

// The font is shared by value; dropping it leaves the framework's default font in its place.
void Ex_Label::release_font() { font_ = default_font(); }

// ---- Painting ----

RectF Ex_Label::caption_rect(const RectF& clip_rect) const {
  if (word_wrap_ != 0) {
    // Taller than the label so that a partly visible last line still draws, cut by the clip.
    const float area_height = clip_rect.height + 2 * caption_inset;
    return RectF{clip_rect.x, clip_rect.y, clip_rect.width, area_height + font_.height() + 3};
  }
  float top = clip_rect.y + caption_inset;
  if (vertical_alignment_ == 1) top = clip_rect.y + (clip_rect.height - float(measured_height_)) / 2;
  if (vertical_alignment_ == 2) top = clip_rect.y + clip_rect.height - float(measured_height_) - caption_inset;
  return RectF{std::trunc(clip_rect.x), std::trunc(top), std::trunc(clip_rect.width), float(measured_height_)};
}

void Ex_Label::paint() {
  if (transition_pending_ != 0) animation_frames(transition_frames_, transition_interval_);
  PaintContext context;
  if (!begin_paint(this, context, std::nullopt, true) || context.graphics == nullptr) return;
  Graphics& g = *context.graphics;
  const RectF area = context.area;
  if (border_ != 0) draw_border(g, area, border_);
  if (gradient_mode_ != -1) fill_gradient(g, area, gradient_start_, gradient_end_, gradient_mode_);
  if (!text_.empty()) {
    const RectF clip_rect{area.x + caption_inset, area.y + caption_inset, area.width - 2 * caption_inset,
                          area.height - 2 * caption_inset};
    set_clip_rect(g, clip_rect);
    Argb colour = text_colour_;
    if (auto_text_colour_ != 0) colour = dui::auto_text_colour(get_window(), bounds(), text_colour_);
    RectF rect = caption_rect(clip_rect);
    before_draw_text(rect);
    draw_text(g, rect, text_, font_, colour, string_format_, text_effect_,
              effect_colour_ != 0 ? std::optional<Argb>(effect_colour_) : std::nullopt);
    reset_clip(g);
    if (host() != nullptr && host()->keyboard_focus() == this) draw_border(g, area, border::dashed);
  }
  end_paint(this, context);
}

}  // namespace dui

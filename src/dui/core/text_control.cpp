#include "dui/core/text_control.h"

#include "dui/core/events.h"
#include "dui/core/framework.h"
#include "dui/core/host_window.h"

#include <cmath>

namespace dui {
namespace gfx = platform::gfx;

namespace {

constexpr int transition_frames = 4;
constexpr int transition_interval_ms = 60;
constexpr float default_font_size = 12;

// The default look: six colour/alpha pairs per state. A colour of -1 is the host's background.
struct Shade {
  Colour colour;
  int alpha;
};
constexpr Colour host_colour = -1;
enum Entry { fill, gradient_top, gradient_bottom, outer_border, inner_border, bottom_line };
// Columns: states 0, 1, 2, 3 and -1 (disabled).
constexpr Shade state_table[6][5] = {
    {{0xECECEC, 204}, {0xECECEC, 204}, {0xECECEC, 204}, {0xECECEC, 204}, {0xFFFFFF, 51}},
    {{host_colour, 0}, {host_colour, 21}, {host_colour, 153}, {host_colour, 51}, {host_colour, 51}},
    {{host_colour, 102}, {host_colour, 153}, {host_colour, 21}, {host_colour, 153}, {host_colour, 51}},
    {{0x000000, 80}, {0x000000, 70}, {0x000000, 70}, {0x000000, 80}, {0x000000, 35}},
    {{0xFFFFFF, 51}, {0xFFFFFF, 51}, {0xFFFFFF, 51}, {0xFFFFFF, 61}, {0xFFFFFF, 30}},
    {{0x000000, 25}, {0x000000, 30}, {0x000000, 10}, {0x000000, 25}, {0x000000, 0}},
};

int state_column(int state) {
  if (state == text_state::disabled) return 4;
  return state >= 0 && state <= 3 ? state : 0;
}

void shrink(RectF& rect, float by) { adjust_rect(rect, by, by, -2 * by, -2 * by); }

// Byte code of the character after the first "&"; 0 without one.
int mnemonic_code(std::string_view caption) {
  const std::size_t amp = caption.find('&');
  if (amp == std::string_view::npos || amp + 1 >= caption.size()) return 0;
  return static_cast<unsigned char>(caption[amp + 1]);
}

// No wrap, near alignment, no trimming, "&x" underlines x. The wrapper does not own the
// native format: the control keeps it.
NativeStringFormat caption_format() {
  Ex_StringFormat format;
  format.create(gfx::format_no_wrap, 0, 0);
  format.alignment(int(gfx::Alignment::near));
  format.trimming(int(gfx::Trimming::none));
  format.hotkey_prefix(int(gfx::HotkeyPrefix::show));
  return format.native();
}

// Top-level controls follow the host's corner radius; children are square.
int default_round_corners(const ControlParent& parent) {
  Ex_Window* host = parent.control == nullptr ? host_of(parent.window) : nullptr;
  return host != nullptr ? host->corner_radius() : 0;
}

}  // namespace

Ex_TextControl::~Ex_TextControl() { destroy(); }

// ---- Events ----

int Ex_TextControl::on_event(int code, WParam wparam, LParam lparam) {
  const int filtered = filter_event(code, wparam, lparam);
  if (filtered != -1) return filtered;
  switch (code) {
    case event::create:
      register_hotkey(from_utf16(text_));
      break;
    case event::destroy:
      string_format_.reset();
      release_font();
      break;
    case event::paint:
      paint(state_, false);
      break;
    case event::left_down:
      if (focusable()) paint(text_state::pressed, true);
      break;
    case event::left_up:
      if (focusable()) paint(text_state::hover, true);
      break;
    case event::focus_gained:
      paint(text_state::focused, true);
      break;
    case event::focus_lost:
    case event::mouse_leave:
      animation_frames(transition_frames);
      paint(text_state::normal, true);
      break;
    case event::mouse_enter:
      animation_frames(transition_frames);
      paint(text_state::hover, true);
      break;
    case event::full_redraw:
      if (kind() == dui::kind::text_control) paint(state_, false);
      break;
    case event::animation_finished:
      animation_frames(0);
      break;
    default:
      break;
  }
  return -1;
}

int Ex_TextControl::filter_event(int, WParam, LParam) { return -1; }
int Ex_TextControl::paint_background(PaintContext&, int) { return 0; }
int Ex_TextControl::paint_content(PaintContext&, int, RectF&, RectF&) { return 0; }

// ---- Creation ----

Ex_TextControl* Ex_TextControl::create(ControlParent parent, int left, int top, int width, int height,
                                       const TextControlOptions& options) {
  string_format_ = caption_format();
  const bool font_given = options.font_name || options.font_size || options.font_style;
  font_ = font_given ? make_font(options.font_name.value_or(default_font().family()),
                                 options.font_size.value_or(default_font_size), options.font_style.value_or(0))
                     : default_font();
  text_colour_ = options.text_colour.value_or(to_argb(0x000000, 210));
  text_effect_ = options.text_effect.value_or(0);
  text_ = to_utf16(options.text.value_or(""));
  effect_colour_ = options.effect_colour.value_or(0);
  round_corners_ = options.round_corners.value_or(default_round_corners(parent));

  ControlOptions control_options;
  control_options.focusable = 1;
  control_options.animation_interval = transition_interval_ms;
  const RectF bounds{float(left), float(top), float(width), float(height)};
  return static_cast<Ex_TextControl*>(
      init_control(parent, bounds, dui::kind::text_control, options.visible.value_or(1), control_options));
}

// ---- Properties ----

template <typename T>
T Ex_TextControl::property(T& field, const std::optional<T>& value) {
  if (value) {
    field = *value;
    repaint();
  }
  return field;
}

std::string Ex_TextControl::text(std::optional<std::string> value) {
  if (value) text_utf16(to_utf16(*value));
  return from_utf16(text_);
}

std::u16string Ex_TextControl::text_utf16(std::optional<std::u16string> value) {
  if (value && *value != text_) {
    text_ = *value;
    register_hotkey(from_utf16(text_));
    repaint();
  }
  return text_;
}

Argb Ex_TextControl::text_colour(std::optional<Argb> value) { return property(text_colour_, value); }
int Ex_TextControl::text_effect(std::optional<int> value) { return property(text_effect_, value); }
Argb Ex_TextControl::effect_colour(std::optional<Argb> value) { return property(effect_colour_, value); }
int Ex_TextControl::round_corners(std::optional<int> value) { return property(round_corners_, value); }
int Ex_TextControl::auto_text_colour(std::optional<int> value) { return property(auto_text_colour_, value); }
int Ex_TextControl::image_position(std::optional<int> value) { return property(image_position_, value); }
int Ex_TextControl::content_offset_x(std::optional<int> value) { return property(content_offset_x_, value); }
int Ex_TextControl::content_offset_y(std::optional<int> value) { return property(content_offset_y_, value); }
int Ex_TextControl::image_gap(std::optional<int> value) { return property(image_gap_, value); }

std::string Ex_TextControl::image(std::optional<std::string> value) {
  if (value) {
    picture_decoded_ = false;
    picture_ = Image{};
  }
  return property(image_, value);
}

std::string Ex_TextControl::font_name(std::optional<std::string> value) {
  if (value) replace_font(make_font(*value, font_.is_null() ? default_font_size : font_.size(), font_style()));
  return font_.family();
}

int Ex_TextControl::font_style(std::optional<int> value) {
  if (value) replace_font(make_font(font_.family(), font_.is_null() ? default_font_size : font_.size(), *value));
  return font_.style();
}

int Ex_TextControl::font_size(std::optional<float> value) {
  if (value) replace_font(make_font(font_.family(), *value, font_.style()));
  return int(font_.size());
}

Font Ex_TextControl::font(std::optional<Font> value) {
  if (value) replace_font(*value);
  return font_;
}

NativeStringFormat Ex_TextControl::string_format(std::optional<NativeStringFormat> value) {
  if (value) {
    string_format_ = *value;
    repaint();
  }
  return string_format_;
}

// Fonts are shared values: dropping the control's reference never deletes the framework's
// default font, which other controls keep using.
void Ex_TextControl::release_font() { font_ = Font{}; }

void Ex_TextControl::replace_font(Font font) {
  release_font();
  font_ = std::move(font);
  repaint();
}

Font Ex_TextControl::make_font(std::string_view family, float size, int style) const {
  Font font = Font::create(family, size, style);
  if (font.is_null() && !gfx::font_family_exists(family)) font = Font::create(default_font().family(), size, style);
  return font;
}

int Ex_TextControl::register_hotkey(std::string_view caption) {
  if (host() == nullptr || get_window() == 0) return 0;
  const LParam code = mnemonic_code(caption);
  const auto answer = platform::window::send(get_window(), host_message::register_mnemonic,
                                             reinterpret_cast<WParam>(static_cast<Ex_Control*>(this)), code);
  return answer == 1 ? 1 : 0;
}

// ---- Painting ----

const Image& Ex_TextControl::picture() {
  if (!picture_decoded_) {
    picture_ = load_image(image_);
    picture_decoded_ = true;
  }
  return picture_;
}

void Ex_TextControl::draw_default_background(Graphics& graphics, const RectF& area, int state) {
  const int column = state_column(state);
  const Colour host_background = host() != nullptr ? host()->background_colour() : 0;
  auto shade = [&](Entry entry) {
    const Shade& s = state_table[entry][column];
    return to_argb(s.colour == host_colour ? host_background : s.colour, s.alpha);
  };
  RectF r{area.x, area.y, area.width, area.height - 1};
  if (round_corners_ != 0) set_clip_path(graphics, rounded_path(area, 4));
  fill_rounded(graphics, r, 3, shade(fill));
  fill_gradient(graphics, r, shade(gradient_top), shade(gradient_bottom));
  if (round_corners_ != 0) {
    reset_clip(graphics);
    draw_rounded(graphics, r, 3, shade(outer_border));
    shrink(r, 1);
    draw_rounded(graphics, r, 3, shade(inner_border));
  } else {
    draw_border(graphics, r, shade(outer_border));
    shrink(r, 1);
    draw_border(graphics, r, shade(inner_border));
  }
  draw_line(graphics, shade(bottom_line), r.x, r.height + 2, r.width, r.height + 2);
}

RectF Ex_TextControl::measure_caption(const Graphics& graphics, const RectF& content) const {
  if (text_.empty() || !string_format_) return {};
  return measure_range(graphics, text_, font_, *string_format_, 0, int(text_.size()), content);
}

Argb Ex_TextControl::caption_colour() {
  if (auto_text_colour_ == 0) return text_colour_;
  return dui::auto_text_colour(get_window(), bounds(), text_colour_);
}

void Ex_TextControl::paint(int state, bool use_state, bool clear) {
  if (!use_state) state = state_;
  state_ = state;
  const RectF area{0, 0, std::trunc(bounds().width), std::trunc(bounds().height)};
  PaintContext context;
  if (!begin_paint(this, context, area, clear) || context.graphics == nullptr) return;
  Graphics& graphics = *context.graphics;

  if (paint_background(context, state) == 0) draw_default_background(graphics, area, state);
  RectF content = area;
  shrink(content, 1);
  set_clip_rect(graphics, content);

  const Image& image = picture();
  const RectF caption_size = measure_caption(graphics, content);
  ImageTextLayout layout = layout_image_text({image.width(), image.height()}, image_position_, area,
                                             {caption_size.width, caption_size.height}, content_offset_x_,
                                             content_offset_y_, image_gap_);
  if (state == text_state::pressed) {
    adjust_rect(layout.text, 1, 1);
    adjust_rect(layout.image, 1, 1);
  }
  const int content_answer = paint_content(context, state, layout.text, layout.image);
  if (image) draw_image_natural(graphics, image.bitmap(), layout.image, false);
  if (!text_.empty() && string_format_) {
    draw_text(graphics, layout.text, text_, font_, caption_colour(), *string_format_, text_effect_,
              effect_colour_ != 0 ? std::optional<Argb>(effect_colour_) : std::nullopt);
  }
  reset_clip(graphics);

  if (content_answer == 0 && host() != nullptr && host()->keyboard_focus() == this)
    draw_border(graphics, {area.x + 2, area.y + 2, area.width - 4, area.height - 5}, border::dashed);
  end_paint(this, context);
}

}  // namespace dui

// Ex_Label: static text in its own font, one line with vertical alignment or several lines
// with word wrap, over an optional two-colour gradient and inside an optional border. A caption
// change can run one of the control transitions. Labels take no input of their own.
#pragma once

#include "dui/core/control.h"
#include "dui/core/drawing.h"

#include <optional>
#include <string>

namespace dui {

// Optional arguments of Ex_Label::create; absent values take the defaults noted.
struct LabelOptions {
  std::string text;
  std::optional<Argb> text_colour;     // default to_argb(black, 210)
  std::optional<int> gradient_mode;    // default 0; -1 = no background
  std::optional<Argb> gradient_start;  // default 0 (transparent)
  std::optional<Argb> gradient_end;    // default 0 (transparent)
  std::optional<int> word_wrap;        // default 0
  std::optional<int> auto_text_colour; // default 0
  // Without any of the three the label uses the framework's default font.
  std::optional<std::string> font_name;
  std::optional<float> font_size;
  std::optional<int> font_style;
  std::optional<int> alignment;        // string alignment, default 0 (near)
  std::optional<int> trimming;         // string trimming, default 0 (none)
  std::optional<int> text_effect;      // default 0
  std::optional<Argb> effect_colour;   // default 0 (automatic)
  std::optional<Argb> border;          // draw_border style value, default 0 (none)
  std::optional<int> visible;          // default 1
};

class Ex_Label : public Ex_Control {
 public:
  // String-format flags of a wrapping label and of a single-line one.
  static constexpr int wrap_flags = 0x6C00;
  static constexpr int no_wrap_flags = 0x1000;

  Ex_Label() = default;
  ~Ex_Label() override;

  int on_event(int code, WParam wparam, LParam lparam) override;
  // Measures the caption into measured_width / measured_height.
  void measure();
  Ex_Control* create(ControlParent parent, int left, int top, int width, int height,
                     const LabelOptions& options = {});

  // Sets the caption when given; with an effect the change runs that transition over `frames`
  // frames of `interval` ms, even when the caption stays the same. Answers the caption.
  std::string text(std::optional<std::string> value = std::nullopt, std::optional<int> effect = std::nullopt,
                   int frames = 5, int interval = 60);
  std::u16string text_utf16(std::optional<std::u16string> value = std::nullopt,
                            std::optional<int> effect = std::nullopt, int frames = 5, int interval = 60);

  Argb text_colour(std::optional<Argb> value = std::nullopt);
  Argb effect_colour(std::optional<Argb> value = std::nullopt);
  Argb gradient_start(std::optional<Argb> value = std::nullopt);
  Argb gradient_end(std::optional<Argb> value = std::nullopt);
  int gradient_mode(std::optional<int> value = std::nullopt);
  std::string font_name(std::optional<std::string> value = std::nullopt);
  int font_style(std::optional<int> value = std::nullopt);
  int font_size(std::optional<int> value = std::nullopt);
  int trimming(std::optional<int> value = std::nullopt);
  int format_flags(std::optional<int> value = std::nullopt);
  const Font& font(std::optional<Font> value = std::nullopt);
  const StringFormat& string_format(std::optional<StringFormat> value = std::nullopt);
  int alignment(std::optional<int> value = std::nullopt);
  int word_wrap(std::optional<int> value = std::nullopt);
  int vertical_alignment(std::optional<int> value = std::nullopt);
  int text_effect(std::optional<int> value = std::nullopt);
  Argb border(std::optional<Argb> value = std::nullopt);
  int auto_text_colour(std::optional<int> value = std::nullopt);
  // Drops the label's own font; the label falls back to the framework's default font.
  void release_font();
  void paint();

  int measured_width() const { return measured_width_; }
  int measured_height() const { return measured_height_; }
  int transition_pending() const { return transition_pending_; }

 protected:
  // Hooks for derived classes.
  virtual void before_draw_text(RectF& caption_rect);
  virtual int filter_event(int code, WParam wparam, LParam lparam);
  virtual void after_create();

 private:
  RectF caption_rect(const RectF& clip_rect) const;
  void replace_font(Font font);
  void set_caption(std::u16string value, std::optional<int> effect, int frames, int interval);
  template <typename T>
  T property(T& field, std::optional<T> value);

  Font font_;
  std::u16string text_;
  Argb text_colour_ = 0;
  int gradient_mode_ = 0;
  Argb gradient_start_ = 0;
  Argb gradient_end_ = 0;
  int word_wrap_ = 0;
  int vertical_alignment_ = 1;
  int text_effect_ = 0;
  Argb border_ = 0;
  int auto_text_colour_ = 0;
  Argb effect_colour_ = 0;
  StringFormat string_format_;
  int measured_width_ = 0;
  int measured_height_ = 0;
  int transition_pending_ = 0;
  int transition_interval_ = 0;
  int transition_frames_ = 0;
};

}  // namespace dui

// Ex_TextControl: the framework's control with a caption: a text in a font, an optional picture
// beside it and the standard push-button look that follows the visual state (normal, hover,
// pressed, focused, disabled). Classes with a caption derive from it and replace the background,
// draw extra content or intercept events through the three hooks; with the hooks left alone it
// is the plain push button.
#pragma once

#include "dui/core/control.h"
#include "dui/core/drawing.h"
#include "dui/core/string_format.h"

#include <optional>
#include <string>

namespace dui {

// Visual states a text control paints.
namespace text_state {
inline constexpr int disabled = -1;
inline constexpr int normal = 0;
inline constexpr int hover = 1;
inline constexpr int pressed = 2;
inline constexpr int focused = 3;
}  // namespace text_state

// Optional arguments of Ex_TextControl::create; absent values take the defaults.
struct TextControlOptions {
  std::optional<std::string> text = std::nullopt;         // GBK; default empty
  std::optional<Argb> text_colour = std::nullopt;         // default black at alpha 210
  std::optional<std::string> font_name = std::nullopt;    // GBK family; with no font argument at all
  std::optional<float> font_size = std::nullopt;          //   the default font; else the default family,
  std::optional<int> font_style = std::nullopt;           //   12 pixels, regular
  std::optional<int> text_effect = std::nullopt;          // 3 glow, 4 outline; default none
  std::optional<Argb> effect_colour = std::nullopt;       // default 0 = automatic
  std::optional<int> round_corners = std::nullopt;        // default: the host's corner_radius (top level), else 0
  std::optional<int> visible = std::nullopt;              // default 1
};

class Ex_TextControl : public Ex_Control {
 public:
  Ex_TextControl() = default;
  ~Ex_TextControl() override;

  int on_event(int code, WParam wparam, LParam lparam) override;
  // Creates the control on a host window or a parent control; nullptr when that fails.
  Ex_TextControl* create(ControlParent parent, int left, int top, int width, int height,
                         const TextControlOptions& options = {});

  // ---- Properties: a given value is stored (and the control repaints); the current is answered.
  std::string text(std::optional<std::string> value = std::nullopt);
  std::u16string text_utf16(std::optional<std::u16string> value = std::nullopt);
  Argb text_colour(std::optional<Argb> value = std::nullopt);
  int text_effect(std::optional<int> value = std::nullopt);
  std::string font_name(std::optional<std::string> value = std::nullopt);
  int font_style(std::optional<int> value = std::nullopt);
  int font_size(std::optional<float> value = std::nullopt);
  Font font(std::optional<Font> value = std::nullopt);
  NativeStringFormat string_format(std::optional<NativeStringFormat> value = std::nullopt);
  Argb effect_colour(std::optional<Argb> value = std::nullopt);
  int round_corners(std::optional<int> value = std::nullopt);
  int auto_text_colour(std::optional<int> value = std::nullopt);
  // Encoded picture bytes (any format the decoder reads); empty = no picture.
  std::string image(std::optional<std::string> value = std::nullopt);
  int image_position(std::optional<int> value = std::nullopt);
  int content_offset_x(std::optional<int> value = std::nullopt);
  int content_offset_y(std::optional<int> value = std::nullopt);
  int image_gap(std::optional<int> value = std::nullopt);
  void release_font();

  // Paints `state` (or, without use_state, the stored one) into the control's bitmap.
  void paint(int state, bool use_state, bool clear = true);
  int state() const { return state_; }
  // Registers the character after the first "&" of the caption as the control's mnemonic with
  // its host; 1 when the host took it, 0 without a host.
  int register_hotkey(std::string_view caption);

 protected:
  // Hooks for derived classes.
  // Nonzero: the class drew the background and the default one is skipped.
  virtual int paint_background(PaintContext& context, int state);
  // Called after layout, before the picture and caption are drawn; may move both rectangles.
  // Nonzero: no focus rectangle.
  virtual int paint_content(PaintContext& context, int state, RectF& caption, RectF& picture);
  // Sees every event first; anything but -1 ends on_event with that answer.
  virtual int filter_event(int code, WParam wparam, LParam lparam);

 private:
  void draw_default_background(Graphics& graphics, const RectF& area, int state);
  const Image& picture();
  RectF measure_caption(const Graphics& graphics, const RectF& content) const;
  Argb caption_colour();
  void replace_font(Font font);
  Font make_font(std::string_view family, float size, int style) const;
  template <typename T>
  T property(T& field, const std::optional<T>& value);

  int state_ = text_state::normal;
  std::u16string text_;
  Font font_;
  int text_effect_ = 0;
  Argb text_colour_ = 0xD2000000;
  int round_corners_ = 0;
  NativeStringFormat string_format_;
  Argb effect_colour_ = 0;
  int auto_text_colour_ = 0;
  std::string image_;
  int image_position_ = 0;
  int content_offset_x_ = 0;
  int content_offset_y_ = 0;
  int image_gap_ = 0;
  // The picture decoded once per change of `image_` rather than at every paint.
  Image picture_;
  bool picture_decoded_ = false;
};

}  // namespace dui

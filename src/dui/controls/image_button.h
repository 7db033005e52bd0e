// Ex_ImageButton: the flat picture button of the main window. A text control whose background
// stays transparent until the mouse is over it or presses it, when a white glassy gradient with
// a thin dark outer and light inner border shows. It can be toggled on, which keeps the hover
// look, and it ignores focus changes. Its kind becomes 7 once created.
#pragma once

#include "dui/core/text_control.h"

#include <optional>

namespace dui {

class Ex_ImageButton : public Ex_TextControl {
 public:
  // The seven values of one background look.
  struct Look {
    Colour outer_colour;
    int outer_alpha;
    Colour inner_colour;
    int inner_alpha;
    Colour fill_colour;
    int top_alpha;
    int bottom_alpha;
  };
  static const Look lit_look;
  static const Look pressed_look;
  static const Look plain_look;
  static const Look off_look;

  Ex_ImageButton() = default;
  ~Ex_ImageButton() override;

  // Set with a different value: stores it and repaints. Answers the current value.
  int toggled(std::optional<int> value = std::nullopt);
  // The look drawn for a visual state.
  const Look& look_for(int state) const;

 protected:
  int paint_background(PaintContext& context, int state) override;
  int paint_content(PaintContext& context, int state, RectF& caption, RectF& picture) override;
  int filter_event(int code, WParam wparam, LParam lparam) override;
  // A further first look at every event for derived classes; -1 = go on.
  virtual int pre_filter_event(int code, WParam wparam, LParam lparam);

 private:
  int toggled_ = 0;
};

}  // namespace dui

// Ex_CaptionButton: a drawn caption button of a host window (close, maximise/restore,
// minimise, or one of four further buttons), drawn from the framework's caption sprite sheet in
// three states with cross-fades between them. A click posts the matching window message.
//
// install_caption_parts registers with the host window how its caption icon, title and
// buttons are made, so every host created afterwards shows them.
#pragma once

#include "dui/core/control.h"

#include <optional>

namespace dui {

// Button types (the host's feature bits).
namespace caption_button {
inline constexpr int close = 4;
inline constexpr int maximize = 8;
inline constexpr int minimize = 16;
}  // namespace caption_button

// A cell of the caption sprite sheet: 19 pixels high at y = 2.
struct SpriteCell {
  int x = 0;
  int width = 0;
};

class Ex_CaptionButton : public Ex_Control {
 public:
  static constexpr int cell_top = 2;
  static constexpr int cell_height = 19;

  Ex_CaptionButton() = default;
  ~Ex_CaptionButton() override;

  int on_event(int code, WParam wparam, LParam lparam) override;
  // Paints `state` (0 normal, 1 hover, 2 pressed) when it differs from the last one drawn or
  // when forced; `frames` > 0 fades to it over that many frames.
  void paint(int state, bool force, int frames);
  Ex_Control* create(ControlParent parent, int left, int top, int width, int height, int button_type,
                     std::optional<int> visible = std::nullopt);
  int button_type() const { return button_type_; }
  int last_state() const { return last_state_; }

  // The sprite cell a button of `type` shows in `state`; width 0 for an unknown type.
  static SpriteCell sprite_cell(int type, int state, bool window_maximized);

 private:
  void on_click();

  int button_type_ = 0;
  int last_state_ = 0;
};

// Registers the caption icon (Ex_Picture), title (Ex_Label) and buttons with the host window.
void install_caption_parts();

}  // namespace dui

// message_box: the framework's own modal message box. A drawn, borderless window in the
// framework's look with a message text, an optional 40 x 40 icon and one to three push buttons;
// it pumps messages until the box is gone and answers which button closed it, numbered like the
// system message box: 0 OK, 1 Cancel (also Esc, the close button and failure), 2 Abort, 3 Retry,
// 4 Ignore, 5 Yes, 6 No.
#pragma once

#include "dui/core/host_window.h"
#include "dui/core/text_control.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dui {

// Answers of message_box.
namespace box_result {
inline constexpr int ok = 0;
inline constexpr int cancel = 1;
inline constexpr int abort = 2;
inline constexpr int retry = 3;
inline constexpr int ignore = 4;
inline constexpr int yes = 5;
inline constexpr int no = 6;
}  // namespace box_result

// Icon codes (also the sound of the beep).
namespace box_icon {
inline constexpr int none = 0;
inline constexpr int error = 16;
inline constexpr int question = 32;
inline constexpr int warning = 48;
inline constexpr int information = 64;
inline constexpr int user = 128;
}  // namespace box_icon

// The host look of a box with custom_look; absent values take the defaults noted.
struct MessageBoxLook {
  std::optional<std::string> skin_image;     // encoded picture; default none
  std::optional<Colour> background_colour;   // default -1 (none)
  std::optional<int> window_alpha;           // default -1 (not layered)
  std::optional<int> image_placement;        // default 0
  std::optional<int> corner_radius;          // default 0
  std::optional<int> image_frame;            // default 1
  std::optional<int> blur_behind;            // default 1 when window_alpha is given, else 0
  std::optional<NineGrid> nine_grid;         // default all 0
};

// Optional arguments of message_box; absent values take the defaults noted.
struct MessageBoxOptions {
  std::optional<int> buttons;                          // button set 0-5, default 0 ("确认")
  std::optional<std::string> title;                    // default "提示："
  std::optional<int> icon;                             // box_icon code, default none
  std::function<void(WindowHandle box, int width, int height)> layout_hook;
  std::optional<bool> beep;                            // default true
  std::optional<bool> centre_on_owner;                 // default false: the work area
  std::optional<int> caption_flags;                    // host features, default 6
  std::optional<std::vector<std::string>> captions;    // replace the set's captions, rightmost first
  std::optional<int> default_button;                   // position from the right, default 1
  std::optional<bool> custom_look;                     // default false
  MessageBoxLook look;
  std::optional<int> show_effect;                      // default 0
  std::optional<int> close_effect;                     // default: the host's own
  std::optional<bool> skinned_buttons;                 // default false: plain push buttons
};

int message_box(WindowHandle owner, const std::string& text, const MessageBoxOptions& options = {});

// The captions and answers of a button set, rightmost button first; empty for an unknown set.
struct ButtonSet {
  std::vector<std::string> captions;
  std::vector<int> values;
};
ButtonSet button_set(int buttons);

// The sound played for an icon code; nothing sounds until a routine is set (tests observe it).
void set_message_beep(std::function<void(int icon)> routine);
void play_message_beep(int icon);

// The box window's background: three bands of the translucent frame strip and, on a box with
// an icon, its cell of the icon strip at (30, 40).
void draw_message_box_background(WindowHandle window, Graphics& graphics, int width, int height);

// The routine of the framework's pop-up windows (message boxes and menus): always -1.
LResult popup_message_routine(WindowHandle window, unsigned message, WParam wparam, LParam lparam);

// A push button drawn from a state sprite with rounded corners, 70 x 26; it keeps the text
// control's kind (2), so the box treats it like a plain button.
class Ex_SkinnedButton : public Ex_TextControl {
 public:
  static constexpr int width = 70;
  static constexpr int height = 26;
  ~Ex_SkinnedButton() override;

 protected:
  int paint_background(PaintContext& context, int state) override;
};

}  // namespace dui

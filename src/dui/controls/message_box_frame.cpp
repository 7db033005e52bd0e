// message_box: the box's background artwork, the skinned push button, the beep and the message
// routine shared by the framework's pop-up windows.
#include "dui/controls/message_box.h"

#include "dui/controls/popup_menu.h"
#include "dui/core/framework.h"
#include "platform/window.h"
#include "quenbo_resources.h"

namespace dui {

namespace pw = platform::window;

namespace {

constexpr float band_margin = 7;
constexpr float icon_size = 40;

// The icon strip's cell of an icon code (any unknown nonzero code shows the first cell).
float icon_cell_x(int icon) {
  switch (icon) {
    case box_icon::warning:
      return 40;
    case box_icon::question:
      return 80;
    case box_icon::information:
      return 120;
    case box_icon::user:
      return 160;
    default:
      return 0;
  }
}

std::function<void(int)>& beep_routine() {
  static std::function<void(int)> routine;
  return routine;
}

}  // namespace

void set_message_beep(std::function<void(int icon)> routine) { beep_routine() = std::move(routine); }

void play_message_beep(int icon) {
  if (beep_routine()) beep_routine()(icon);
}

void draw_message_box_background(WindowHandle window, Graphics& graphics, int width, int height) {
  Image frame = load_image(resources::msgbox_frame_png());
  if (frame) {
    const float w = float(width) - 2 * band_margin;
    const float h = float(height);
    draw_image_part(graphics, frame, RectF{band_margin, band_margin, w, 96}, RectF{0, 0, 1, 96});
    // The 21 rows above row 97, upside down, stretched over the body.
    draw_image_part(graphics, frame, RectF{band_margin, 103, w, h - 145}, RectF{0, 97, 1, -21});
    draw_image_part(graphics, frame, RectF{band_margin, h - 42, w, 35}, RectF{0, 129, 1, 31});
  }
  release_image(frame);
  if (pw::get_property(window, window_property::flags) != popup_flag::message_box) return;
  const auto icon = static_cast<int>(pw::get_property(window, window_property::msgbox));
  if (icon == 0) return;
  Image icons = load_image(resources::msgbox_icons_png());
  draw_image_part(graphics, icons, RectF{30, 40, icon_size, icon_size}, RectF{icon_cell_x(icon), 0, icon_size, icon_size});
  release_image(icons);
}

// ---- Skinned push button ----

Ex_SkinnedButton::~Ex_SkinnedButton() { destroy(); }

int Ex_SkinnedButton::paint_background(PaintContext& context, int state) {
  if (context.graphics == nullptr) return 1;
  static const Image sprite = load_image(resources::msgbox_button_png());
  int cell = 0;
  if (state == text_state::hover) cell = 1;
  if (state == text_state::pressed) cell = 2;
  if (state == text_state::focused) cell = 3;
  draw_image_part(*context.graphics, sprite, context.area,
                  RectF{0, float(cell * height), float(width), float(height)}, state == text_state::disabled ? 0.5f : 1.0f);
  return 1;
}

// ---- The pop-up windows' message routine ----

LResult popup_message_routine(WindowHandle window, unsigned message, WParam wparam, LParam lparam) {
  const auto flags = pw::get_property(window, window_property::flags);
  if (flags == popup_flag::menu) return menu_window_message(window, message, wparam, lparam);
  if (message == pw::WM_KEYDOWN && wparam == static_cast<WParam>(pw::VK_ESCAPE)) {
    pw::post(window, pw::WM_CLOSE, 0, 0);
  } else if (message == pw::WM_DESTROY) {
    if (flags == popup_flag::message_box) pw::remove_property(window, window_property::msgbox);
    pw::remove_property(window, window_property::flags);
  }
  return -1;
}

}  // namespace dui

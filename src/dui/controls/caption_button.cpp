#include "dui/controls/caption_button.h"

#include "dui/controls/label.h"
#include "dui/controls/picture.h"
#include "dui/core/framework.h"
#include "dui/core/host_window.h"
#include "platform/window.h"

#include <algorithm>
#include <array>

namespace dui {

namespace pw = platform::window;

namespace {

// Normal, hover and pressed cell x and the cell width of one button picture.
struct SpriteColumn {
  int type;
  std::array<int, 3> x;
  int width;
};

constexpr std::array<SpriteColumn, 7> sprite_columns = {{
    {caption_button::close, {0, 40, 80}, 39},
    {caption_button::maximize, {120, 149, 178}, 28},
    {caption_button::minimize, {294, 323, 352}, 28},
    {32, {381, 410, 439}, 28},
    {64, {468, 497, 526}, 28},
    {128, {555, 584, 613}, 28},
    {256, {642, 671, 700}, 28},
}};
// The maximise button of a maximised window shows the restore picture.
constexpr SpriteColumn restore_column = {caption_button::maximize, {207, 236, 265}, 28};

constexpr int hover_fade_frames = 3;
constexpr int leave_fade_frames = 4;
constexpr int fade_interval_ms = 60;

int cell_index(int state) { return state == 1 ? 1 : state == 2 ? 2 : 0; }

}  // namespace

SpriteCell Ex_CaptionButton::sprite_cell(int type, int state, bool window_maximized) {
  if (type == caption_button::maximize && window_maximized) {
    return {restore_column.x[cell_index(state)], restore_column.width};
  }
  for (const SpriteColumn& column : sprite_columns) {
    if (column.type == type) return {column.x[cell_index(state)], column.width};
  }
  return {};
}

Ex_CaptionButton::~Ex_CaptionButton() { destroy(); }

Ex_Control* Ex_CaptionButton::create(ControlParent parent, int left, int top, int width, int height,
                                     int button_type, std::optional<int> visible) {
  button_type_ = button_type;
  last_state_ = 0;
  ControlOptions options;
  options.focusable = 0;
  options.animation_interval = fade_interval_ms;
  return init_control(parent, RectF{float(left), float(top), float(width), float(height)}, kind::caption_button,
                      visible.value_or(1), options);
}

void Ex_CaptionButton::paint(int state, bool force, int frames) {
  if (state == last_state_ && !force) return;
  animation_frames(frames);
  PaintContext context;
  if (!begin_paint(this, context, std::nullopt, true) || context.graphics == nullptr) return;
  const SpriteCell cell = sprite_cell(button_type_, state, pw::is_maximized(get_window()));
  const Bitmap& sprites = caption_sprites();
  if (cell.width > 0 && !sprites.is_null()) {
    context.graphics->draw_image(sprites, context.area,
                                 RectF{float(cell.x), float(cell_top), float(cell.width), float(cell_height)});
  }
  end_paint(this, context);
  last_state_ = state;
}

void Ex_CaptionButton::on_click() {
  if (disabled() != 0) return;
  const WindowHandle window = get_window();
  switch (button_type_) {
    case caption_button::close:
      pw::post(window, pw::WM_CLOSE, 0, 0);
      break;
    case caption_button::maximize:
      pw::post(window, pw::WM_SYSCOMMAND, pw::is_maximized(window) ? pw::SC_RESTORE : pw::SC_MAXIMIZE, 0);
      break;
    case caption_button::minimize:
      if (!pw::is_minimized(window)) pw::post(window, pw::WM_SYSCOMMAND, pw::SC_MINIMIZE, 0);
      break;
    default:
      break;  // further buttons: the host's bound handlers see the click
  }
}

int Ex_CaptionButton::on_event(int code, WParam, LParam) {
  switch (code) {
    case event::destroy:
      button_type_ = last_state_ = 0;
      break;
    case event::paint:
      paint(0, true, 0);
      break;
    case event::left_down:
      paint(2, false, 0);
      break;
    case event::left_up:
      paint(1, false, 0);
      break;
    case event::mouse_enter:
      paint(1, false, hover_fade_frames);
      break;
    case event::mouse_leave:
      paint(0, false, leave_fade_frames);
      break;
    case event::click:
      on_click();
      break;
    case event::press_query:
      return 0;  // takes the press although it is not focusable
    case event::moved:
      if (button_type_ == caption_button::maximize) paint(0, true, 0);
      break;
    default:
      break;
  }
  return -1;
}

// ---- The host's caption ----

namespace {

constexpr int close_button_width = 39;
constexpr int other_button_width = 28;

IconHandle small_icon_of(WindowHandle window) {
  if (IconHandle icon = pw::get_icon(window, pw::ICON_SMALL)) return icon;
  if (IconHandle icon = pw::get_icon(window, pw::ICON_BIG)) return icon;
  return class_icon();
}

std::unique_ptr<Ex_Control> make_caption_button(Ex_Window& host, int type) {
  auto button = std::make_unique<Ex_CaptionButton>();
  const int width = type == caption_button::close ? close_button_width : other_button_width;
  if (button->create(host.window(), 0, 7, width, Ex_CaptionButton::cell_height, type) == nullptr) return nullptr;
  return button;
}

std::unique_ptr<Ex_Control> make_caption_icon(Ex_Window& host) {
  auto picture = std::make_unique<Ex_Picture>();
  PictureOptions options;
  options.focusable = 0;
  if (picture->create_from_icon(host.window(), 11, 11, 16, 16, small_icon_of(host.window()), options) == nullptr) {
    return nullptr;
  }
  return picture;
}

std::unique_ptr<Ex_Control> make_caption_title(Ex_Window& host, const std::string& title) {
  auto label = std::make_unique<Ex_Label>();
  LabelOptions options;
  options.text = title;
  options.text_colour = to_argb(0xFFFFFF, 250);
  if (label->create(host.window(), 11, 9, std::max(1, host.width() - 22), 18, options) == nullptr) return nullptr;
  return label;
}

void set_caption_title(Ex_Control& title, const std::string& text) {
  if (auto* label = dynamic_cast<Ex_Label*>(&title)) label->text(text);
}

}  // namespace

void install_caption_parts() {
  CaptionParts parts;
  parts.make_button = make_caption_button;
  parts.make_icon = make_caption_icon;
  parts.make_title = make_caption_title;
  parts.set_title = set_caption_title;
  set_caption_parts(std::move(parts));
}

}  // namespace dui

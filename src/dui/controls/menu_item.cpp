#include "dui/controls/menu_item.h"

#include "dui/controls/popup_menu.h"
#include "dui/core/framework.h"
#include "dui/core/host_window.h"
#include "platform/window.h"

#include <algorithm>
#include <cmath>

namespace dui {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

constexpr Argb separator_colour = gfx::argb(254, 183, 196, 204);
constexpr float caption_left = 30;
constexpr float submenu_arrow_room = 12;

// The colour with its red, green and blue scaled, alpha kept.
Argb scaled(Argb colour, float factor) {
  auto part = [&](std::uint8_t v) { return static_cast<std::uint8_t>(std::clamp(float(v) * factor, 0.0f, 255.0f)); };
  return gfx::argb(gfx::alpha_of(colour), part(gfx::red_of(colour)), part(gfx::green_of(colour)),
                   part(gfx::blue_of(colour)));
}

// The built-in check mark: a rounded tick in a 20 x 20 cell.
void draw_check_mark(Graphics& graphics) {
  Path tick;
  tick.add_line({6.5f, 10.5f}, {9.5f, 14});
  tick.add_line({9.5f, 14}, {15, 6.5f});
  graphics.draw_path(Pen{gfx::argb(230, 40, 110, 170), 2.2f}, tick);
}

WindowHandle window_of(const Ex_Control* control) { return control != nullptr ? control->get_window() : 0; }

}  // namespace

Ex_MenuItem::~Ex_MenuItem() { destroy(); }

Ex_Control* Ex_MenuItem::create(ControlParent parent, int left, int top, int width, int height,
                                const MenuItemRecord& record, MenuWindowState* menu_state, std::optional<int> visible) {
  record_ = record;
  menu_state_ = menu_state;
  format_ = StringFormat{};
  format_.flags = gfx::format_no_wrap;
  format_.alignment = gfx::Alignment::near;
  format_.trimming = gfx::Trimming::ellipsis_character;
  format_.hotkey_prefix = gfx::HotkeyPrefix::show;
  return init_control(parent, RectF{float(left), float(top), float(width), float(height)}, kind::menu_item,
                      visible.value_or(1));
}

MenuItemRecord Ex_MenuItem::item(std::optional<MenuItemRecord> record) {
  if (record) {
    record_ = std::move(*record);
    repaint();
  }
  return record_;
}

// ---- Events ----

int Ex_MenuItem::on_event(int code, WParam, LParam) {
  switch (code) {
    case event::create:
      register_mnemonic();
      paint(false);
      break;
    case event::destroy:
      record_ = MenuItemRecord{};
      if (menu_state_ != nullptr && menu_state_->focus == this) menu_state_->focus = nullptr;
      break;
    case event::paint:
      paint(host() != nullptr && host()->hot() == this);
      break;
    case event::mouse_enter:
      on_mouse_enter();
      break;
    case event::mouse_leave:
      paint(false);
      break;
    case event::timer:
      pw::kill_timer(get_window(), class_timer_id());
      open_or_close_submenu(false);
      break;
    case event::click:
      on_click();
      break;
    default:
      break;
  }
  return -1;
}

void Ex_MenuItem::register_mnemonic() {
  const std::string caption = from_utf16(record_.text);
  const std::size_t amp = caption.find('&');
  const int key = amp != std::string::npos && amp + 1 < caption.size()
                      ? static_cast<unsigned char>(caption[amp + 1])
                      : 0;
  if (get_window() != 0) {
    pw::send(get_window(), host_message::register_mnemonic, reinterpret_cast<WParam>(this), key);
  }
}

void Ex_MenuItem::on_mouse_enter() {
  if (menu_state_ != nullptr && menu_state_->focus != nullptr && menu_state_->focus != this) {
    Ex_Control* previous = menu_state_->focus;
    menu_state_->focus = nullptr;
    fire_event(previous, event::mouse_leave, 0, 0);
  }
  paint(true);
  if (record_.options.type != menu_item_type::separator) {
    pw::set_timer(get_window(), class_timer_id(), Ex_PopupMenu::hover_open_ms);
  }
}

void Ex_MenuItem::on_click() {
  const MenuItemOptions& o = record_.options;
  if (o.type == menu_item_type::submenu) {
    open_or_close_submenu(true);
    return;
  }
  if (o.type != menu_item_type::command) return;
  const WindowHandle window = get_window();
  pw::show(window, pw::SW_HIDE);
  const auto root = static_cast<WindowHandle>(pw::get_property(window, window_property::host));
  const WindowHandle owner = pw::owner(root);
  const LParam control_under_mouse = pw::get_property(root, window_property::event);
  if (owner != 0) pw::set_foreground(owner);
  pw::post(root, pw::WM_CLOSE, 0, 0);
  // Copies: the menu may be gone once the command has run.
  const int send_command = o.send_command;
  const int command = o.command;
  const std::function<void()> routine = o.routine;
  if (send_command != 0) {
    if (owner != 0) pw::send(owner, pw::WM_COMMAND, static_cast<WParam>(command), control_under_mouse);
  } else if (routine) {
    routine();
  }
}

// ---- Sub-menus ----

bool Ex_MenuItem::submenu_is_open() const {
  const WindowHandle window = get_window();
  if (window == 0) return false;
  const auto sub = static_cast<WindowHandle>(pw::get_property(window, window_property::sub));
  return sub != 0 && pw::exists(sub) && pw::get_property(window, window_property::act) == reinterpret_cast<LParam>(this);
}

Ex_Control* Ex_MenuItem::item_under_cursor() const {
  if (host() == nullptr) return nullptr;
  const pw::point p = pw::screen_to_client(get_window(), pw::cursor_position());
  return hit_test(host()->last_control(), p.x, p.y);
}

void Ex_MenuItem::close_open_submenu(WindowHandle submenu_window) {
  const WindowHandle window = get_window();
  pw::set_foreground(window);
  pw::remove_property(window, window_property::sub);
  pw::post(submenu_window, pw::WM_CLOSE, 0, 0);
}

void Ex_MenuItem::open_or_close_submenu(bool immediate) {
  const WindowHandle window = get_window();
  if (window == 0 || host() == nullptr) return;
  const auto sub = static_cast<WindowHandle>(pw::get_property(window, window_property::sub));
  if (sub != 0 && pw::exists(sub)) {
    auto* active = reinterpret_cast<Ex_Control*>(pw::get_property(window, window_property::act));
    if (pw::window_from_point(pw::cursor_position()) == sub) {
      // The mouse went over to the open sub-menu: it stays, its item keeps the focus.
      if (menu_state_ != nullptr) menu_state_->focus = active;
      fire_event(active, event::mouse_leave, 0, 0);
      return;
    }
    if (item_under_cursor() == active) return;
    close_open_submenu(sub);
    if (immediate) {
      open_or_close_submenu(true);
    } else {
      pw::set_timer(window, class_timer_id(), Ex_PopupMenu::hover_retry_ms);
    }
    return;
  }
  if (record_.options.type != menu_item_type::submenu || record_.options.submenu == nullptr) return;
  if (!immediate && host()->hot() != this) return;
  if (menu_state_ != nullptr) menu_state_->focus = this;
  pw::set_property(window, window_property::act, reinterpret_cast<LParam>(this));
  paint(false);
  record_.options.submenu->open_submenu(window);
  // Back from the sub-menu's loop: it is closed.
  if (is_live() && window_of(this) != 0 && !submenu_is_open()) paint(host() != nullptr && host()->hot() == this);
}

// ---- Painting ----

void Ex_MenuItem::paint_caption(Graphics& graphics, const RectF& area, Argb colour) {
  const Font& font = default_font();
  const float font_height = font.height();
  float right = area.width;
  if (record_.options.type == menu_item_type::submenu) right -= submenu_arrow_room;
  const RectF rect{caption_left, std::trunc((area.height - font_height) / 2 + 1), right - caption_left, font_height};
  const MenuItemOptions& o = record_.options;
  draw_text(graphics, rect, record_.text, font, colour, format_, o.text_effect,
            o.effect_colour != 0 ? std::optional<Argb>(o.effect_colour) : std::nullopt);
}

void Ex_MenuItem::paint_picture(Graphics& graphics) {
  const RectF cell{2, 1, 20, 20};
  if (record_.options.state == menu_item_state::checked) {
    set_clip_rect(graphics, cell);
    graphics.translate(cell.x, cell.y);
    draw_check_mark(graphics);
    graphics.reset_transform();
    reset_clip(graphics);
    return;
  }
  if (record_.options.image.empty()) return;
  Image picture = load_image(record_.options.image);
  if (!picture) return;
  set_clip_rect(graphics, cell);
  draw_image_part(graphics, picture, cell);
  reset_clip(graphics);
}

void Ex_MenuItem::paint_arrow(Graphics& graphics, const RectF& area, bool hovered) {
  const float tip = area.width - 5;
  const float middle = area.height / 2;
  const Argb fill = hovered ? to_argb(0xFFFFFF, 230) : to_argb(0x000000, 120);
  Path arrow;
  arrow.add_polygon({{tip - 4, middle - 3.5f}, {tip, middle}, {tip - 4, middle + 3.5f}});
  graphics.fill_path(solid_brush(fill), arrow);
  graphics.draw_path(make_pen(scaled(fill, 0.8f)), arrow);
}

void Ex_MenuItem::paint(bool hovered) {
  PaintContext context;
  if (!begin_paint(this, context, std::nullopt, true) || context.graphics == nullptr) return;
  Graphics& g = *context.graphics;
  const RectF area = context.area;
  const MenuItemOptions& o = record_.options;
  if (o.type == menu_item_type::separator) {
    draw_line(g, separator_colour, 0, 1, area.width - 3, 1);
    end_paint(this, context);
    return;
  }
  hovered = (hovered && disabled() == 0) || submenu_is_open();
  g.set_smoothing(true);
  Argb caption_colour = o.text_colour;
  if (hovered) {
    const RectF box{area.x, area.y, area.width - 1, area.height - 1};
    g.fill_path(solid_brush(o.hover_colour), rounded_path(area, 4));
    draw_rounded(g, box, 4, scaled(o.hover_colour, 0.82f));
    caption_colour = to_argb(0xFFFFFF, 240);
  }
  paint_caption(g, area, caption_colour);
  if (o.type == menu_item_type::submenu) paint_arrow(g, area, hovered);
  paint_picture(g);
  end_paint(this, context);
}

}  // namespace dui

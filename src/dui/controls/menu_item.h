// Ex_MenuItem: the drawn control of one pop-up menu item (kind 20): a command, a separator or
// a sub-menu entry with its caption, picture or check mark and hover look.
#pragma once

#include "dui/core/control.h"
#include "dui/core/drawing.h"

#include <functional>
#include <optional>
#include <string>

namespace dui {

class Ex_PopupMenu;

namespace menu_item_type {
inline constexpr int command = 0;
inline constexpr int separator = 1;
inline constexpr int submenu = 2;
}  // namespace menu_item_type

namespace menu_item_state {
inline constexpr int disabled = -1;
inline constexpr int normal = 0;
inline constexpr int checked = 4;
inline constexpr int unsized = 5;  // left out of the menu's size computation
}  // namespace menu_item_state

// Optional arguments of Ex_PopupMenu::add_item.
struct MenuItemOptions {
  std::string image;                     // encoded picture shown in 20 x 20
  int state = menu_item_state::normal;
  int type = menu_item_type::command;
  int send_command = 0;                  // nonzero: a click sends WM_COMMAND with `command`
  int command = 0;
  std::function<void()> routine;         // called on a click when send_command is 0
  Ex_PopupMenu* submenu = nullptr;       // the menu a sub-menu item opens
  Argb text_colour = 0xD2000000;
  int text_effect = 0;
  Argb effect_colour = 0;
  Argb hover_colour = 0xE63086C6;
};

// One item as the menu keeps it; every transfer copies it.
struct MenuItemRecord {
  std::u16string text;  // "&" marks the mnemonic
  MenuItemOptions options;
};

// What the items of one open menu window share: the item that holds the menu's focus (the
// one whose sub-menu is open or about to open).
struct MenuWindowState {
  Ex_Control* focus = nullptr;
};

class Ex_MenuItem : public Ex_Control {
 public:
  static constexpr int height_of_command = 22;
  static constexpr int height_of_separator = 3;

  Ex_MenuItem() = default;
  ~Ex_MenuItem() override;

  int on_event(int code, WParam wparam, LParam lparam) override;
  Ex_Control* create(ControlParent parent, int left, int top, int width, int height, const MenuItemRecord& record,
                     MenuWindowState* menu_state, std::optional<int> visible = std::nullopt);
  MenuItemRecord item(std::optional<MenuItemRecord> record = std::nullopt);
  // Opens this item's sub-menu, or closes another open one first. `immediate`: from a click.
  void open_or_close_submenu(bool immediate);
  void paint(bool hovered);

 private:
  void register_mnemonic();
  void on_mouse_enter();
  void on_click();
  bool submenu_is_open() const;
  Ex_Control* item_under_cursor() const;
  void close_open_submenu(WindowHandle submenu_window);
  void paint_caption(Graphics& graphics, const RectF& area, Argb colour);
  void paint_picture(Graphics& graphics);
  void paint_arrow(Graphics& graphics, const RectF& area, bool hovered);

  MenuItemRecord record_;
  StringFormat format_;
  MenuWindowState* menu_state_ = nullptr;
};

}  // namespace dui

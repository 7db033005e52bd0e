// Ex_PopupMenu: the framework's pop-up menu. Its items show in a borderless, translucent,
// topmost tool window with a soft shadow; sub-menus open beside their item after the mouse
// rests on it for 500 ms. Choosing an item closes the whole chain and either sends the item's
// command to the owner window as WM_COMMAND (lparam: the owner's control that was under the
// mouse when the menu opened) or calls the item's routine. Esc, or activating a window
// outside the chain, closes the chain.
#pragma once

#include "dui/controls/menu_item.h"
#include "dui/core/framework.h"
#include "dui/core/host_window.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dui {

class Ex_PopupMenu {
 public:
  using OpenRoutine = std::function<void(WindowHandle menu_window, int is_root)>;
  using BackgroundRoutine = Ex_Window::BackgroundCallback;

  static constexpr int minimum_width = 50;
  static constexpr int hover_open_ms = 500;
  static constexpr int hover_retry_ms = 300;

  // Opens as the root of a chain at the screen point, or at the mouse when both are 0 or
  // absent, and returns when the menu window is gone.
  void popup(WindowHandle owner, std::optional<int> x = std::nullopt, std::optional<int> y = std::nullopt);
  // Opens beside the item of the parent menu window whose sub-menu this is; nothing without one.
  void open_submenu(WindowHandle parent_menu_window);

  void add_item(const std::string& text, const MenuItemOptions& options = {});
  bool remove_item(int position);
  void clear_items() { items_.clear(); }
  // Positions count from 1; an invalid one changes nothing and answers 0 or empty.
  int item_state(int position, std::optional<int> value = std::nullopt);
  std::string item_text(int position, std::optional<std::string> value = std::nullopt);
  std::u16string item_text_utf16(int position, std::optional<std::u16string> value = std::nullopt);
  std::string item_image(int position, std::optional<std::string> value = std::nullopt);
  bool is_valid_position(int position) const { return position >= 1 && position <= int(items_.size()); }
  // Fixed width of a root menu; 0 = from the captions; below 50 counts as 50.
  void set_width(int value) { width_ = value; }
  Ex_PopupMenu* self() { return this; }
  void set_on_open(OpenRoutine routine) { on_open_ = std::move(routine); }
  void set_on_background(BackgroundRoutine routine) { on_background_ = std::move(routine); }

  const std::vector<MenuItemRecord>& items() const { return items_; }
  int item_count() const { return int(items_.size()); }

  // The size a menu of these items opens with (a root opened by popup may use the fixed width).
  platform::window::point menu_size(bool fixed_width_allowed) const;

 private:
  struct Placement {
    int x = 0, y = 0;
    int close_effect = window_effect::wipe_from_right;
  };
  void open(WindowHandle owner, WindowHandle parent_menu, const Placement& where, int width, int height);
  int caption_width(const MenuItemRecord& item) const;

  std::vector<MenuItemRecord> items_;
  int width_ = 0;
  OpenRoutine on_open_;
  BackgroundRoutine on_background_;
};

// The default menu background: a white rounded panel with a soft shadow and the picture column.
void draw_menu_background(WindowHandle window, Graphics& graphics, int width, int height);

// The menu windows' part of the framework pop-ups' message routine; always -1.
LResult menu_window_message(WindowHandle window, unsigned message, WParam wparam, LParam lparam);

// Fills the shared edit menu with the framework's cut, copy, paste, separator, select-all
// items (commands sent as WM_COMMAND).
void fill_edit_menu(Ex_PopupMenu& menu, const std::vector<EditMenuItem>& items);
// Start-up options that fill `menu` as the framework's edit menu.
FrameworkOptions framework_options_with_edit_menu(Ex_PopupMenu& menu);

}  // namespace dui

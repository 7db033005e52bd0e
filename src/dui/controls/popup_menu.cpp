#include "dui/controls/popup_menu.h"

#include "dui/controls/message_box.h"
#include "platform/window.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace dui {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

constexpr int padding_height = 16;
constexpr int caption_extra_width = 50;
constexpr int submenu_extra_width = 15;
constexpr int item_top = 8;
constexpr std::uint32_t removed_style_bits = 0x000804B0;

bool counts_for_size(const MenuItemRecord& item) { return item.options.state != menu_item_state::unsized; }

}  // namespace

// ---- Items ----

void Ex_PopupMenu::add_item(const std::string& text, const MenuItemOptions& options) {
  items_.push_back(MenuItemRecord{to_utf16(text), options});
}

bool Ex_PopupMenu::remove_item(int position) {
  if (!is_valid_position(position)) return false;
  items_.erase(items_.begin() + (position - 1));
  return true;
}

int Ex_PopupMenu::item_state(int position, std::optional<int> value) {
  if (!is_valid_position(position)) return 0;
  MenuItemOptions& o = items_[std::size_t(position - 1)].options;
  if (value) o.state = *value;
  return o.state;
}

std::u16string Ex_PopupMenu::item_text_utf16(int position, std::optional<std::u16string> value) {
  if (!is_valid_position(position)) return {};
  std::u16string& text = items_[std::size_t(position - 1)].text;
  if (value) text = std::move(*value);
  return text;
}

std::string Ex_PopupMenu::item_text(int position, std::optional<std::string> value) {
  if (!is_valid_position(position)) return {};
  std::optional<std::u16string> wide;
  if (value) wide = to_utf16(*value);
  return from_utf16(item_text_utf16(position, std::move(wide)));
}

std::string Ex_PopupMenu::item_image(int position, std::optional<std::string> value) {
  if (!is_valid_position(position)) return {};
  std::string& image = items_[std::size_t(position - 1)].options.image;
  if (value) image = std::move(*value);
  return image;
}

// ---- Size and place ----

int Ex_PopupMenu::caption_width(const MenuItemRecord& item) const {
  static Bitmap surface(1, 1);
  static Graphics measuring(surface);
  gfx::StringFormat raw;
  raw.flags = gfx::format_no_wrap;
  return int(std::ceil(measuring.measure_string(item.text, default_font(), RectF{}, raw).bounds.width));
}

pw::point Ex_PopupMenu::menu_size(bool fixed_width_allowed) const {
  int width = 0;
  int height = padding_height;
  bool has_submenu = false;
  for (const MenuItemRecord& item : items_) {
    if (!counts_for_size(item)) continue;
    if (item.options.type == menu_item_type::separator) {
      height += Ex_MenuItem::height_of_separator;
      continue;
    }
    height += Ex_MenuItem::height_of_command;
    width = std::max(width, caption_width(item) + caption_extra_width);
    has_submenu = has_submenu || item.options.type == menu_item_type::submenu;
  }
  if (fixed_width_allowed && width_ != 0) return {std::max(minimum_width, width_), height};
  if (has_submenu) width += submenu_extra_width;
  return {width, height};
}

void Ex_PopupMenu::popup(WindowHandle owner, std::optional<int> x, std::optional<int> y) {
  const pw::point size = menu_size(true);
  Placement where;
  if (x.value_or(0) == 0 && y.value_or(0) == 0) {
    const pw::point cursor = pw::cursor_position();
    const pw::rect area = pw::work_area();
    where.x = cursor.x + size.x - 5 > area.right ? cursor.x - size.x : cursor.x;
    where.y = cursor.y + size.y > area.bottom ? cursor.y - size.y + 5 : cursor.y;
  } else {
    where.x = x.value_or(0);
    where.y = y.value_or(0);
  }
  open(owner, 0, where, size.x, size.y);
}

void Ex_PopupMenu::open_submenu(WindowHandle parent_menu_window) {
  Ex_Window* parent_host = host_of(parent_menu_window);
  if (parent_host == nullptr) return;
  // The parent's item that opens this menu holds the parent menu's focus.
  auto* opener = reinterpret_cast<Ex_Control*>(pw::get_property(parent_menu_window, window_property::act));
  if (opener == nullptr || !opener->is_live()) return;
  const pw::point size = menu_size(false);
  const pw::rect parent = pw::window_rect(parent_menu_window);
  const pw::rect area = pw::work_area();
  const RectF item = opener->bounds();
  Placement where;
  where.x = parent.right - 10;
  where.y = parent.top + int(item.y) - 7;
  where.close_effect = window_effect::wipe_from_right;
  if (where.x + size.x - 5 > area.right) {
    where.x = parent.left - size.x + 10;
    where.close_effect = window_effect::wipe_from_left;
  }
  if (where.y + size.y > area.bottom) where.y = parent.top + int(item.y + item.height) - size.y + 7;
  open(0, parent_menu_window, where, size.x, size.y);
}

// ---- The menu window ----

namespace {

// The owner's control under the mouse gets the focus and is remembered for the command.
void remember_owner_control(WindowHandle root, WindowHandle owner) {
  Ex_Window* owner_host = host_of(owner);
  if (owner_host == nullptr) return;
  const pw::point cursor = pw::cursor_position();
  const pw::rect frame = pw::window_rect(owner);
  Ex_Control* control = hit_test(owner_host->last_control(), cursor.x - frame.left, cursor.y - frame.top);
  pw::set_property(root, window_property::event, reinterpret_cast<LParam>(control));
  if (control != nullptr) pw::send(owner, host_message::set_focus, 0, reinterpret_cast<LParam>(control));
}

void link_into_chain(WindowHandle window, WindowHandle owner, WindowHandle parent_menu) {
  pw::set_property(window, window_property::flags, popup_flag::menu);
  if (parent_menu == 0) {
    pw::set_property(window, window_property::host, static_cast<LParam>(window));
    if (owner != 0) remember_owner_control(window, owner);
  } else {
    pw::set_property(window, window_property::host, pw::get_property(parent_menu, window_property::host));
    pw::set_property(parent_menu, window_property::sub, static_cast<LParam>(window));
  }
}

}  // namespace

void Ex_PopupMenu::open(WindowHandle owner, WindowHandle parent_menu, const Placement& where, int width, int height) {
  FrameWindowOptions frame;
  frame.left = where.x;
  frame.top = where.y;
  frame.width = width;
  frame.height = height;
  frame.style = pw::WS_POPUP;
  frame.ex_style = pw::WS_EX_TOPMOST | pw::WS_EX_TOOLWINDOW;
  const WindowHandle window = create_frame_window(parent_menu != 0 ? parent_menu : owner, "Ex_DirectUI_Menu", frame);
  if (window == 0) return;
  link_into_chain(window, owner, parent_menu);

  auto host = std::make_unique<Ex_Window>();
  host->set_on_background(on_background_ ? on_background_ : BackgroundRoutine(draw_menu_background));
  HostOptions look;
  look.background_colour = 0x00FFFFFF;
  look.features = 0;
  look.window_alpha = 240;
  look.corner_radius = 1;
  look.resizable = 0;
  look.drag_anywhere = 0;
  host->create(window, look);
  host->set_message_hook(popup_message_routine);
  pw::set_style(window, pw::GWL_STYLE, pw::get_style(window, pw::GWL_STYLE) & ~removed_style_bits);

  MenuWindowState state;
  std::vector<std::unique_ptr<Ex_MenuItem>> controls;
  int y = item_top;
  for (const MenuItemRecord& record : items_) {
    auto control = std::make_unique<Ex_MenuItem>();
    if (record.options.type == menu_item_type::separator) {
      control->create(window, 33, y, width - 40, Ex_MenuItem::height_of_separator, record, &state);
      y += Ex_MenuItem::height_of_separator;
    } else {
      control->create(window, 8, y, width - 16, Ex_MenuItem::height_of_command, record, &state);
      y += Ex_MenuItem::height_of_command;
    }
    if (record.options.state == menu_item_state::disabled) control->disabled(1);
    controls.push_back(std::move(control));
  }

  if (on_open_) on_open_(window, parent_menu == 0 ? 1 : 0);
  if (parent_menu == 0) {
    // The sub-menu shows at once: the host's wipe-in leaves a layered window blank for now.
    host->show(window_effect::none);
  } else {
    host->set_close_effect(where.close_effect);
    // The sub-menu shows at once: the host's wipe-in leaves a layered window blank for now.
    host->show(window_effect::none);
  }
  pw::set_foreground(window);
  pw::run_until([] { return false; }, window, 0);
  controls.clear();
  if (pw::exists(window)) pw::destroy(window);  // a quit request ended the loop
  host.reset();
}

// ---- Background and messages ----

void draw_menu_background(WindowHandle, Graphics& graphics, int width, int height) {
  graphics.clear(0);
  graphics.set_smoothing(true);
  RectF box{6, 6, float(width - 12), float(height - 12)};
  graphics.fill_path(solid_brush(to_argb(0xFFFFFF, 234)), gfx::rounded_rect_path(box, 4));
  struct Ring {
    float corner;
    int alpha;
  };
  for (Ring ring : {Ring{4, 125}, Ring{7, 35}, Ring{10, 15}, Ring{13, 5}}) {
    graphics.draw_path(make_pen(to_argb(0x000000, ring.alpha)), gfx::rounded_rect_path(box, ring.corner));
    adjust_rect(box, -1, -1, 2, 2);
  }
  const RectF column{8, 8, 24, float(height - 16)};
  const Argb column_colour = gfx::argb(254, 209, 228, 236);
  graphics.fill_path(solid_brush(column_colour), gfx::rounded_rect_path(column, 3));
  graphics.draw_path(make_pen(column_colour), gfx::rounded_rect_path(column, 3));
}

namespace {

// Esc closes the menu it is typed into. A sub-menu hands the activation back to its parent
// first, so that its going does not read as a click outside the chain.
void close_on_escape(WindowHandle window) {
  const auto root = static_cast<WindowHandle>(pw::get_property(window, window_property::host));
  const WindowHandle parent = pw::owner(window);
  if (root != window && parent != 0 && pw::get_property(parent, window_property::sub) == static_cast<LParam>(window)) {
    pw::set_foreground(parent);
    pw::remove_property(parent, window_property::sub);
  }
  pw::post(window, pw::WM_CLOSE, 0, 0);
}

}  // namespace

LResult menu_window_message(WindowHandle window, unsigned message, WParam wparam, LParam lparam) {
  switch (message) {
    case pw::WM_ACTIVATE: {
      const auto activated = static_cast<WindowHandle>(lparam);
      if (pw::low_word(wparam) == pw::WA_INACTIVE && pw::get_property(activated, window_property::host) == 0) {
        pw::post(static_cast<WindowHandle>(pw::get_property(window, window_property::host)), pw::WM_CLOSE, 0, 0);
      }
      break;
    }
    case pw::WM_KEYDOWN:
      // A plain key chooses the item with that mnemonic.
      pw::send(window, pw::WM_SYSCHAR, wparam, lparam);
      if (wparam == static_cast<WParam>(pw::VK_ESCAPE)) close_on_escape(window);
      break;
    case pw::WM_DESTROY:
      for (const char* name : {window_property::host, window_property::sub, window_property::act,
                               window_property::event, window_property::flags}) {
        pw::remove_property(window, name);
      }
      break;
    default:
      break;
  }
  return -1;
}

// ---- The shared edit menu ----

void fill_edit_menu(Ex_PopupMenu& menu, const std::vector<EditMenuItem>& items) {
  for (const EditMenuItem& item : items) {
    MenuItemOptions options;
    if (item.command == 0) {
      options.type = menu_item_type::separator;
    } else {
      options.send_command = 1;
      options.command = item.command;
    }
    menu.add_item(item.text, options);
  }
}

FrameworkOptions framework_options_with_edit_menu(Ex_PopupMenu& menu) {
  FrameworkOptions options;
  options.fill_edit_menu = [&menu](const std::vector<EditMenuItem>& items) { fill_edit_menu(menu, items); };
  return options;
}

}  // namespace dui

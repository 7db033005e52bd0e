// Ordinary dialog windows built from a fixed layout: a window of the window system (a handle
// with a procedure, so a framework host can take it over) carrying standard controls (labels,
// edit boxes, push and link-style buttons, drop-down lists, progress bars, multi-line text
// boxes), timers and pop-up menus; plus the system message box.
//
// Texts in and out are GBK. Every Form member may be called from any thread: calls from other
// threads run on the user-interface thread and wait for it. Handlers run on the UI thread.
// Nothing throws; unknown control names make an operation do nothing and answer false/empty.
#pragma once

#include "platform/window.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::forms {

// ---- Layout ----------------------------------------------------------------------------------

enum class ControlKind {
  label,
  edit,           // single line
  password_edit,  // single line, input masked
  push_button,
  link_button,    // a button drawn as a hyperlink
  drop_down_list, // a combo box whose items can only be chosen
  progress_bar,   // positions 0-100
  text_box,       // multi-line, read-only, scrolls vertically
};

// A font by family and height. height < 0: the characters' pixel height (-12 is 9 points on
// a 96 dpi screen); height > 0: the line's pixel height; 0: the dialog's default. Families a
// Linux desktop lacks (微软雅黑, 宋体) resolve to an installed CJK font.
struct FontSpec {
  std::string family{};  // GBK; empty: the dialog's default family
  int height = 0;
  bool bold = false;
};

struct ControlLayout {
  std::string name;  // how the program refers to the control, e.g. "button1"
  ControlKind kind = ControlKind::label;
  int x = 0;  // client coordinates of the window
  int y = 0;
  int width = 0;
  int height = 0;
  std::string text{};                // GBK caption or initial text
  std::vector<std::string> items{};  // drop-down list items (GBK)
  FontSpec font{};
  bool visible = true;
  bool enabled = true;
};

struct TimerLayout {
  std::string name;
  unsigned interval_ms = 0;  // 0: stopped until set_timer_interval
};

struct MenuItemLayout {
  int id = 0;           // reported when chosen; not 0
  std::string caption;  // GBK
};

struct MenuLayout {
  std::string name;     // GBK, e.g. "操作"
  std::vector<MenuItemLayout> items;
};

struct FormLayout {
  int x = window::USE_DEFAULT;  // window rectangle on the screen, frame included
  int y = window::USE_DEFAULT;
  int width = 0;
  int height = 0;
  std::string caption{};  // GBK
  FontSpec font{};        // the dialog's default font (empty: 宋体 at -12)
  std::vector<ControlLayout> controls{};
  std::vector<TimerLayout> timers{};
  std::vector<MenuLayout> menus{};
};

// Left, top, width, height in client coordinates.
struct ControlPlace {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const ControlPlace&, const ControlPlace&) = default;
};

// ---- Form ------------------------------------------------------------------------------------

class Form {
 public:
  explicit Form(FormLayout layout);
  // Destroys the window if it still exists, without running the destroy handler: the program
  // is done with the form.
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Handlers; set them before load(). A click handler belongs to a button (push or link).
  void on_create(std::function<void()> handler);
  void on_click(std::string_view control, std::function<void()> handler);
  void on_timer(std::string_view timer, std::function<void()> handler);
  // Runs when the window is about to be destroyed (closed by the user or destroyed).
  void on_destroy(std::function<void()> handler);
  void on_menu(int item_id, std::function<void()> handler);

  // Creates the window with its controls, runs the creation handler, then shows it when
  // `visible`. False when it exists already or could not be created.
  bool load(bool visible = true);
  // Loads (when needed) and shows the window without owner, and returns once it has been
  // destroyed; other windows get no input meanwhile. False when it could not be loaded.
  bool run_modal();
  // Destroys the window (the destroy handler runs first).
  bool destroy();
  bool exists() const;
  window::handle handle() const;

  // The window.
  bool set_caption(std::string_view gbk);
  std::string caption() const;
  bool show(bool visible);
  bool is_visible() const;

  // Controls. text: caption of labels and buttons, content of edits and text boxes, the
  // chosen item of a drop-down list.
  bool set_text(std::string_view control, std::string_view gbk);
  bool append_text(std::string_view control, std::string_view gbk);
  std::string text(std::string_view control) const;
  bool set_items(std::string_view control, const std::vector<std::string>& gbk_items);
  std::vector<std::string> items(std::string_view control) const;
  // Index of the chosen item, -1 for none.
  bool select(std::string_view control, int index);
  int selected(std::string_view control) const;
  // Progress bars keep positions within 0-100.
  bool set_position(std::string_view control, int position);
  int position(std::string_view control) const;
  bool set_visible(std::string_view control, bool visible);
  bool is_visible(std::string_view control) const;
  bool set_enabled(std::string_view control, bool enabled);
  bool is_enabled(std::string_view control) const;
  bool move(std::string_view control, ControlPlace place);
  std::optional<ControlPlace> place(std::string_view control) const;
  bool set_font(std::string_view control, const FontSpec& font);

  bool set_timer_interval(std::string_view timer, unsigned interval_ms);

  // Clicks a button as a user would: its click handler runs now, unless the button is hidden
  // or disabled. Answers whether the handler ran.
  bool click(std::string_view control);

  // Pops up the named menu at the mouse, waits for the choice and runs its handler. Answers
  // the chosen item id, 0 when the menu was dismissed or does not exist.
  int popup_menu(std::string_view menu_name);

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// ---- System message box ----------------------------------------------------------------------

enum class MessageIcon { none, information };

// A task-modal message box without owner with one OK button; "\r\n" breaks lines. Waits until
// it is dismissed; answers false when it could not be shown.
bool message_box(std::string_view gbk_text, std::string_view gbk_title, MessageIcon icon = MessageIcon::none);

// ---- Test seams ------------------------------------------------------------------------------
namespace testing {

struct ShownMessageBox {
  std::string title;  // GBK
  std::string text;   // GBK, exactly as passed
  MessageIcon icon = MessageIcon::none;
};
// While intercepting, message boxes are recorded and answered at once instead of shown.
void intercept_message_boxes(bool on);
std::vector<ShownMessageBox> message_boxes();

struct ShownMenu {
  std::string name;                   // GBK
  std::vector<std::string> captions;  // GBK, in order
};
// While intercepting, pop-up menus are recorded and answered with the queued choices (item
// ids, 0 dismisses; an empty queue dismisses).
void intercept_menus(bool on);
void queue_menu_choice(int item_id);
std::vector<ShownMenu> menus_shown();

void clear_recorded();

}  // namespace testing

}  // namespace platform::forms

// Pop-up menus of a form: shown at the mouse, the chosen item's handler run; with a seam that
// records menus and answers queued choices instead of showing them.
#include "form_state.h"
#include "qt_bridge.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include <deque>
#include <mutex>

namespace platform::forms {

namespace {

struct Interception {
  std::mutex mutex;
  bool on = false;
  std::deque<int> choices;
  std::vector<testing::ShownMenu> shown;
};

Interception& interception() {
  static Interception instance;
  return instance;
}

// The queued choice when intercepting; nullopt when menus are really shown.
std::optional<int> intercepted_choice(const MenuLayout& menu) {
  Interception& state = interception();
  std::lock_guard lock(state.mutex);
  if (!state.on) return std::nullopt;
  testing::ShownMenu shown{menu.name, {}};
  for (const MenuItemLayout& item : menu.items) shown.captions.push_back(item.caption);
  state.shown.push_back(std::move(shown));
  int choice = 0;
  if (!state.choices.empty()) {
    choice = state.choices.front();
    state.choices.pop_front();
  }
  return choice;
}

int show_menu(const MenuLayout& menu, window::handle owner) {
  QMenu popup(detail::client_widget(owner));
  popup.setFont(detail::font_for({}, {}));
  for (const MenuItemLayout& item : menu.items) {
    QAction* action = popup.addAction(detail::to_qstring(item.caption));
    action->setData(item.id);
  }
  QAction* chosen = popup.exec(QCursor::pos());
  return chosen == nullptr ? 0 : chosen->data().toInt();
}

const MenuLayout* find_menu(const FormLayout& layout, std::string_view name) {
  for (const MenuLayout& menu : layout.menus) {
    if (menu.name == name) return &menu;
  }
  return nullptr;
}

bool has_item(const MenuLayout& menu, int id) {
  for (const MenuItemLayout& item : menu.items) {
    if (item.id == id) return true;
  }
  return false;
}

}  // namespace

int Form::popup_menu(std::string_view menu_name) {
  int chosen = 0;
  std::function<void()> handler;
  detail::run_on_ui_thread([&] {
    const MenuLayout* menu = find_menu(state_->layout, menu_name);
    if (menu == nullptr || menu->items.empty()) return;
    const std::optional<int> answer = intercepted_choice(*menu);
    chosen = answer ? *answer : show_menu(*menu, state_->window);
    if (!has_item(*menu, chosen)) chosen = 0;
    auto found = state_->on_menu.find(chosen);
    if (found != state_->on_menu.end()) handler = found->second;
  });
  if (handler) detail::run_on_ui_thread(handler);
  return chosen;
}

namespace testing {

void intercept_menus(bool on) {
  std::lock_guard lock(interception().mutex);
  interception().on = on;
}

void queue_menu_choice(int item_id) {
  std::lock_guard lock(interception().mutex);
  interception().choices.push_back(item_id);
}

std::vector<ShownMenu> menus_shown() {
  std::lock_guard lock(interception().mutex);
  return interception().shown;
}

}  // namespace testing

namespace detail {

void clear_recorded_menus() {
  std::lock_guard lock(interception().mutex);
  interception().choices.clear();
  interception().shown.clear();
}

}  // namespace detail

}  // namespace platform::forms

#include "ui_state.h"

#include "window_record.h"

#include <QGuiApplication>

#include <algorithm>

namespace platform::window::detail {

ui_state& state() {
  static ui_state s;
  return s;
}

bool real_desktop() {
  static const bool real = QGuiApplication::platformName() != "offscreen";
  return real;
}

bool input_allowed(handle window) {
  const auto& filters = state().loop_filters;
  return filters.empty() || filters.back() == 0 || filters.back() == window;
}

result call_window(handle window, unsigned message, wparam w, lparam l) {
  auto record = ui_record(window);
  if (!record) return 0;
  auto proc = record->proc;  // a copy: the procedure may be replaced while it runs
  if (!proc || !*proc) return default_procedure(window, message, w, l);
  return (*proc)(window, message, w, l);
}

void drop_from_stacking(handle window) {
  auto& order = state().stacking;
  order.erase(std::remove(order.begin(), order.end(), window), order.end());
}

void raise_in_stacking(handle window) {
  drop_from_stacking(window);
  auto& order = state().stacking;
  auto record = ui_record(window);
  if (!record) return;
  bool topmost = (record->ex_style & WS_EX_TOPMOST) != 0;
  if (topmost) {
    order.push_back(window);
    return;
  }
  // Below the first topmost window.
  auto it = std::find_if(order.begin(), order.end(), [](handle h) {
    auto r = ui_record(h);
    return r && (r->ex_style & WS_EX_TOPMOST) != 0;
  });
  order.insert(it, window);
}

}  // namespace platform::window::detail

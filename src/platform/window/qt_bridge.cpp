#include "qt_bridge.h"

#include "window_record.h"
#include "window_widget.h"

namespace platform::window {

QWidget* widget_of(handle window) {
  auto record = detail::ui_record(window);
  return record ? record->widget.data() : nullptr;
}

handle window_of(const QWidget* widget) { return detail::handle_of_widget(widget); }

QWidget* qt_bridge::client_widget(handle window) { return widget_of(window); }

}  // namespace platform::window

// Widgets of destroyed windows are deleted only when no event handler of any window widget
// is running, since a window may be destroyed from inside its own input handling.
#pragma once

class QWidget;

namespace platform::window::detail {

// Hides the widget now and deletes it at the next safe point.
void bury_later(QWidget* widget);
// Deletes the buried widgets when no widget event is being handled.
void bury_dead_widgets();

// Marks a widget event handler as running for its lifetime.
class widget_event_scope {
 public:
  widget_event_scope();
  ~widget_event_scope();
  widget_event_scope(const widget_event_scope&) = delete;
  widget_event_scope& operator=(const widget_event_scope&) = delete;
};

}  // namespace platform::window::detail

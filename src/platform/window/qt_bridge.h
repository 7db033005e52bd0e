// For the platform's own modules (forms, test seams) only: the Qt widget behind a window, so
// that standard controls can be placed on it, and the window of a widget.
#pragma once

#include "platform/window.h"

class QWidget;

namespace platform::window {

// The top-level widget of the window (nullptr for none); UI thread only.
QWidget* widget_of(handle window);
// The window whose top-level widget holds the widget (0 for none).
handle window_of(const QWidget* widget);

namespace qt_bridge {

// The widget whose (0, 0) is the window's client origin: standard controls are its children.
// They draw above the presented pixels, take their own input and die with the window.
QWidget* client_widget(handle window);

}  // namespace qt_bridge

}  // namespace platform::window

// Keeps the window records and the Qt widgets in step: geometry notifications, the system
// frame and flags, window states and the desktop's activation.
#pragma once

#include "platform/window.h"
#include "window_record.h"

namespace platform::window::detail {

// Sends WM_WINDOWPOSCHANGED when the window's rectangle differs from the one last told, and
// resizes the presented surface to the client size.
void report_geometry(handle window);
// Applies frame, tool-window, topmost and focus flags to the widget (re-showing it when the
// flags change while it is visible).
void apply_widget_flags(window_record& record);
// Decides whether the window has a system frame (style bits and WM_NCCALCSIZE).
void evaluate_frame(handle window);

void minimize_window(handle window);
void maximize_window(handle window);
void restore_window(handle window);

// Follows activation changes made by the desktop (a real display only; with offscreen
// rendering the window system's own activation is the truth).
void follow_desktop_activation();

// Size kind for WM_SIZE from the window's state.
wparam size_kind(const window_record& record);

}  // namespace platform::window::detail

// Cursors and icons made by the window system, by handle.
#pragma once

#include "window_record.h"

namespace platform::window::detail {

// Shows the window's big icon (or its small one) as the widget's icon.
void show_window_icon(const window_record& record);

}  // namespace platform::window::detail

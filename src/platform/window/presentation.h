// What a window shows, as the test seams read it back.
#pragma once

#include "window_record.h"

#include <QImage>

namespace platform::window::detail {

// The presented pixels as the desktop composes them: the global alpha of a layered window
// applied and everything outside the window region transparent.
QImage presented_image(const window_record& record);

}  // namespace platform::window::detail

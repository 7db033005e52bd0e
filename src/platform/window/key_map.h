// Qt key codes to virtual keys.
#pragma once

#include <string>

namespace platform::window::detail {

// The virtual key of a Qt key (Qt::Key), 0 for keys without one.
int virtual_key_of(int qt_key);
// The character Alt+key types when the desktop gives none: letters lower case unless Shift.
std::string alt_character_of(int virtual_key, bool shift);

}  // namespace platform::window::detail

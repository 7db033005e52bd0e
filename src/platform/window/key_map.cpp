#include "key_map.h"

#include "platform/window.h"

#include <Qt>

namespace platform::window::detail {

int virtual_key_of(int qt_key) {
  if ((qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) || (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9)) return qt_key;
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F12) return VK_F1 + (qt_key - Qt::Key_F1);
  switch (qt_key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: return 0;
  }
}

std::string alt_character_of(int virtual_key, bool shift) {
  if (virtual_key >= 'A' && virtual_key <= 'Z') return std::string(1, static_cast<char>(shift ? virtual_key : virtual_key + 32));
  if (virtual_key >= '0' && virtual_key <= '9') return std::string(1, static_cast<char>(virtual_key));
  return {};
}

}  // namespace platform::window::detail

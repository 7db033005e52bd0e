// What forms need from Qt and from the window system's Qt side: running on the UI thread,
// GBK <-> QString, fonts by family alias, and the widget behind a window handle.
#pragma once

#include "platform/forms.h"

#include <QFont>
#include <QString>

#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace platform::forms::detail {

// Runs the routine on the user-interface thread and waits for it (directly when called on
// it). False without an application object.
bool run_on_ui_thread(const std::function<void()>& routine);

// Runs the routine on the UI thread and answers its result (a default value without an
// application object).
template <typename Result>
Result on_ui_thread(const std::function<Result()>& routine) {
  Result result{};
  run_on_ui_thread([&] { result = routine(); });
  return result;
}

QString to_qstring(std::string_view gbk);
std::string to_gbk(const QString& text);

// The font of a control: its own font, else the dialog's default. Families missing on this
// desktop ("微软雅黑", "宋体") resolve to an installed CJK family.
QFont font_for(const FontSpec& wanted, const FontSpec& dialog_default);

// The widget whose (0, 0) is the window's client origin; nullptr for no window.
QWidget* client_widget(window::handle window);

// Forgets the menus recorded and the choices queued by the menu seam.
void clear_recorded_menus();

}  // namespace platform::forms::detail

// UI-thread calls, text conversion, font aliases and the window's widget.
#include "qt_bridge.h"

#include "window_record.h"
#include "window_widget.h"

#include "platform/application.h"
#include "platform/text.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMetaObject>
#include <QWidget>

#include <cmath>

namespace platform::forms::detail {

namespace {

// Families named by the program that a Linux desktop does not have, and what stands in.
QString installed_family(const QString& family) {
  static const QString cjk_fallback = QStringLiteral("WenQuanYi Micro Hei");
  if (family.isEmpty() || family == QStringLiteral("微软雅黑") || family == QStringLiteral("宋体") ||
      family == QStringLiteral("新宋体") || family == QStringLiteral("黑体")) {
    return cjk_fallback;
  }
  return QFontDatabase::hasFamily(family) ? family : cjk_fallback;
}

constexpr int default_height = -12;

}  // namespace

bool run_on_ui_thread(const std::function<void()>& routine) {
  auto* app = QCoreApplication::instance();
  if (app == nullptr) return false;
  if (application::on_ui_thread()) {
    routine();
    return true;
  }
  return QMetaObject::invokeMethod(app, routine, Qt::BlockingQueuedConnection);
}

QString to_qstring(std::string_view gbk) { return QString::fromStdString(text::gbk_to_utf8(gbk)); }

std::string to_gbk(const QString& text) { return text::utf8_to_gbk(text.toStdString()); }

QFont font_for(const FontSpec& wanted, const FontSpec& dialog_default) {
  const std::string& family = wanted.family.empty() ? dialog_default.family : wanted.family;
  int height = wanted.height != 0 ? wanted.height : dialog_default.height;
  if (height == 0) height = default_height;
  QFont font(installed_family(to_qstring(family)));
  font.setBold(wanted.bold);
  if (height < 0) {
    font.setPixelSize(-height);
  } else {
    // A positive height is the whole line: scale the character size to fit it.
    font.setPixelSize(height);
    const double line = QFontMetricsF(font).height();
    if (line > 0) font.setPixelSize(std::max(1, static_cast<int>(std::lround(height * height / line))));
  }
  return font;
}

QWidget* client_widget(window::handle window) {
  auto record = window::detail::ui_record(window);
  return record ? record->widget.data() : nullptr;
}

}  // namespace platform::forms::detail

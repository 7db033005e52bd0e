// The system message box: one OK button, modal for the whole program, optional information
// icon; with a seam that records boxes instead of showing them.
#include "qt_bridge.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>

#include <mutex>

namespace platform::forms {

namespace {

struct Interception {
  std::mutex mutex;
  bool on = false;
  std::vector<testing::ShownMessageBox> shown;
};

Interception& interception() {
  static Interception instance;
  return instance;
}

bool intercepted(std::string_view gbk_text, std::string_view gbk_title, MessageIcon icon) {
  Interception& state = interception();
  std::lock_guard lock(state.mutex);
  if (!state.on) return false;
  state.shown.push_back({std::string(gbk_title), std::string(gbk_text), icon});
  return true;
}

void show_box(std::string_view gbk_text, std::string_view gbk_title, MessageIcon icon) {
  QString text = detail::to_qstring(gbk_text);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(icon == MessageIcon::information ? QMessageBox::Information : QMessageBox::NoIcon,
                  detail::to_qstring(gbk_title), text, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
    ok->setText(QStringLiteral("确定"));
    ok->setIcon(QIcon());
  }
  box.setWindowModality(Qt::ApplicationModal);
  box.setFont(detail::font_for({}, {}));
  box.exec();
}

}  // namespace

bool message_box(std::string_view gbk_text, std::string_view gbk_title, MessageIcon icon) {
  if (intercepted(gbk_text, gbk_title, icon)) return true;
  return detail::run_on_ui_thread([&] { show_box(gbk_text, gbk_title, icon); });
}

namespace testing {

void intercept_message_boxes(bool on) {
  std::lock_guard lock(interception().mutex);
  interception().on = on;
}

std::vector<ShownMessageBox> message_boxes() {
  std::lock_guard lock(interception().mutex);
  return interception().shown;
}

void clear_recorded() {
  {
    std::lock_guard lock(interception().mutex);
    interception().shown.clear();
  }
  detail::clear_recorded_menus();
}

}  // namespace testing

}  // namespace platform::forms

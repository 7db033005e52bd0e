// The desktop: clipboard text and the default handler for addresses, with a capture seam for
// tests.
#include "platform/application.h"
#include "platform/services.h"
#include "platform/text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMetaObject>
#include <QProcess>
#include <QStringList>

#include <mutex>

namespace platform::services {

namespace {

struct Capture {
  std::mutex mutex;
  bool on = false;
  std::vector<std::string> opened;
  std::vector<std::string> clipboard;
};

Capture& capture() {
  static Capture instance;
  return instance;
}

// Records the text when capturing; answers whether it did.
bool captured(std::vector<std::string> Capture::*list, std::string_view gbk_text) {
  Capture& state = capture();
  std::lock_guard lock(state.mutex);
  if (!state.on) return false;
  (state.*list).emplace_back(gbk_text);
  return true;
}

// Runs the routine on the user-interface thread and waits for it. False without an
// application object.
bool run_on_ui_thread(const std::function<void()>& routine) {
  auto* app = QCoreApplication::instance();
  if (app == nullptr) return false;
  if (application::on_ui_thread()) {
    routine();
    return true;
  }
  return QMetaObject::invokeMethod(app, routine, Qt::BlockingQueuedConnection);
}

}  // namespace

bool set_clipboard_text(std::string_view gbk_text) {
  if (captured(&Capture::clipboard, gbk_text)) return true;
  const QString text = QString::fromStdString(text::gbk_to_utf8(gbk_text));
  bool done = false;
  bool ran = run_on_ui_thread([&] {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
      clipboard->setText(text);
      done = true;
    }
  });
  return ran && done;
}

std::string clipboard_text() {
  {
    Capture& state = capture();
    std::lock_guard lock(state.mutex);
    if (state.on) return state.clipboard.empty() ? std::string() : state.clipboard.back();
  }
  std::string utf8;
  run_on_ui_thread([&] {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) utf8 = clipboard->text().toStdString();
  });
  return text::utf8_to_gbk(utf8);
}

bool open_address(std::string_view gbk_address) {
  if (gbk_address.empty()) return false;
  if (captured(&Capture::opened, gbk_address)) return true;
  // One argument, no shell: the address is never interpreted as a command line.
  const QString address = QString::fromStdString(text::gbk_to_utf8(gbk_address));
  return QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{address});
}

namespace testing {

void capture_desktop(bool on) {
  std::lock_guard lock(capture().mutex);
  capture().on = on;
}

std::vector<std::string> opened_addresses() {
  std::lock_guard lock(capture().mutex);
  return capture().opened;
}

std::vector<std::string> clipboard_writes() {
  std::lock_guard lock(capture().mutex);
  return capture().clipboard;
}

void clear_captured() {
  std::lock_guard lock(capture().mutex);
  capture().opened.clear();
  capture().clipboard.clear();
}

}  // namespace testing

}  // namespace platform::services

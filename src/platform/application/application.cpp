#include "platform/application.h"

#include <QApplication>
#include <QThread>

#include <memory>

namespace platform::application {

void init(int& argc, char** argv) {
  static std::unique_ptr<QApplication> app;
  if (QCoreApplication::instance() == nullptr) app = std::make_unique<QApplication>(argc, argv);
}

bool on_ui_thread() {
  auto* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace platform::application

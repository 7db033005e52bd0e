#include "platform/application.h"

#include <QApplication>
#include <QThread>

namespace platform::application {
namespace {

// The application object keeps a reference to argc for its whole life, so it gets one that
// outlives main()'s.
int g_argc = 0;
QApplication* g_app = nullptr;

}  // namespace

void init(int& argc, char** argv) {
  if (QCoreApplication::instance() != nullptr) return;
  g_argc = argc;
  g_app = new QApplication(g_argc, argv);
}

void shutdown() {
  delete g_app;
  g_app = nullptr;
}

bool on_ui_thread() {
  auto* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace platform::application

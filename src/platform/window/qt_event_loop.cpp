#include "qt_event_loop.h"

#include "widget_graveyard.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

namespace platform::window::detail {

qt_event_loop::qt_event_loop() : context_(std::make_unique<QObject>()), timer_(std::make_unique<QTimer>()) {
  // Queued calls and the timer belong to the UI thread even when a worker touches the loop first.
  if (auto* app = QCoreApplication::instance()) {
    context_->moveToThread(app->thread());
    timer_->moveToThread(app->thread());
  }
  timer_->setSingleShot(true);
  timer_->setTimerType(Qt::PreciseTimer);
  QObject::connect(timer_.get(), &QTimer::timeout, context_.get(), [this] {
    if (on_timer_) on_timer_();
  });
}

qt_event_loop::~qt_event_loop() = default;

void qt_event_loop::run(const std::function<bool()>& should_stop) {
  while (!should_stop()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    bury_dead_widgets();
  }
}

void qt_event_loop::pump() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  bury_dead_widgets();
}

void qt_event_loop::wake() {
  if (QCoreApplication::instance() == nullptr) return;
  QMetaObject::invokeMethod(context_.get(), [] {}, Qt::QueuedConnection);
}

void qt_event_loop::defer(std::function<void()> call) {
  if (QCoreApplication::instance() == nullptr) return;
  QMetaObject::invokeMethod(context_.get(), std::move(call), Qt::QueuedConnection);
}

void qt_event_loop::arm_timer(int delay_ms) {
  if (delay_ms < 0) {
    timer_->stop();
    return;
  }
  timer_->start(delay_ms);
}

void qt_event_loop::set_timer_handler(std::function<void()> on_timer) { on_timer_ = std::move(on_timer); }

event_loop& ui_loop() {
  static qt_event_loop loop;
  return loop;
}

}  // namespace platform::window::detail

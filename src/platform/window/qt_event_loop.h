// The event loop on Qt: QCoreApplication's event processing, queued calls and one precise
// single-shot timer.
#pragma once

#include "event_loop.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace platform::window::detail {

class qt_event_loop final : public event_loop {
 public:
  qt_event_loop();
  ~qt_event_loop() override;

  void run(const std::function<bool()>& should_stop) override;
  void pump() override;
  void wake() override;
  void defer(std::function<void()> call) override;
  void arm_timer(int delay_ms) override;
  void set_timer_handler(std::function<void()> on_timer) override;

 private:
  std::unique_ptr<QObject> context_;  // receiver of queued calls, lives on the UI thread
  std::unique_ptr<QTimer> timer_;
  std::function<void()> on_timer_;
};

}  // namespace platform::window::detail

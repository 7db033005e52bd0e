// The event-loop implementation behind the message loop: a small interface so that the
// window system does not depend on how events are waited for (Qt's loop in this build).
#pragma once

#include <functional>

namespace platform::window::detail {

class event_loop {
 public:
  virtual ~event_loop() = default;

  // Processes events, waiting for more in between, until should_stop() answers true.
  // should_stop is checked after every batch of events.
  virtual void run(const std::function<bool()>& should_stop) = 0;
  // Processes the events that are pending now, without waiting.
  virtual void pump() = 0;
  // Any thread: makes a waiting run() check should_stop again.
  virtual void wake() = 0;
  // Any thread: runs the call on the loop's thread, in order, from its event processing.
  virtual void defer(std::function<void()> call) = 0;
  // Arms the one timer of the loop: on_timer() runs after delay_ms (replacing an earlier
  // arming); a negative delay disarms it.
  virtual void arm_timer(int delay_ms) = 0;
  virtual void set_timer_handler(std::function<void()> on_timer) = 0;
};

// The loop of the user-interface thread (created on first use, on that thread).
event_loop& ui_loop();

}  // namespace platform::window::detail

// Window timers and the clock they run by. One loop timer is armed for the earliest due
// timer; with the manual test clock nothing is armed and timers fire when the clock moves.
#pragma once

#include "platform/window.h"

#include <cstdint>
#include <vector>

namespace platform::window::detail {

class timer_scheduler {
 public:
  static timer_scheduler& instance();

  std::uintptr_t start(handle window, std::uintptr_t id, unsigned interval_ms, timer_routine routine);
  bool stop(handle window, std::uintptr_t id);
  void stop_all(handle window);
  // Fires every timer that is due by now (each at most once).
  void fire_due();
  // Manual clock: moves it forward, firing due timers at their due times in order.
  void advance(unsigned ms);
  // Arms the loop timer for the earliest due timer (nothing with the manual clock).
  void rearm();

 private:
  struct timer {
    handle window = 0;
    std::uintptr_t id = 0;
    unsigned interval = 1;
    timer_routine routine;
    std::uint64_t due = 0;
    std::uint64_t generation = 0;  // tells a restarted timer from the one that fired
  };

  timer_scheduler();
  void fire(const timer& t, std::uint32_t now);
  std::vector<timer>::iterator find(handle window, std::uintptr_t id);

  std::vector<timer> timers_;
  std::uint64_t next_generation_ = 1;
  std::uintptr_t next_free_id_ = 0x7FFF0000;
  bool firing_ = false;
};

// The clock behind tick_count(): milliseconds since start, or the manual test clock.
std::uint64_t clock_now();
void set_manual_clock(bool manual);
bool manual_clock();
void advance_manual_clock_to(std::uint64_t ms);

}  // namespace platform::window::detail

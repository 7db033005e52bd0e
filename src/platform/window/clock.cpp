#include "timer_scheduler.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform::window::detail {
namespace {

const auto clock_start = std::chrono::steady_clock::now();
std::atomic<bool> manual{false};
std::atomic<std::uint64_t> manual_now{0};

std::uint64_t real_now() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - clock_start).count());
}

}  // namespace

std::uint64_t clock_now() { return manual ? manual_now.load() : real_now(); }

void set_manual_clock(bool on) {
  if (on && !manual) manual_now = real_now();
  manual = on;
}

bool manual_clock() { return manual; }

void advance_manual_clock_to(std::uint64_t ms) {
  if (ms > manual_now) manual_now = ms;
}

}  // namespace platform::window::detail

namespace platform::window {

std::uint32_t tick_count() { return static_cast<std::uint32_t>(detail::clock_now()); }

void sleep(unsigned ms) {
  if (detail::manual_clock()) {
    detail::advance_manual_clock_to(detail::clock_now() + ms);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace platform::window

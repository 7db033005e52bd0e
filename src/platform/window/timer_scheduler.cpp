#include "timer_scheduler.h"

#include "event_loop.h"
#include "ui_state.h"
#include "window_record.h"

#include "platform/application.h"

#include <algorithm>
#include <limits>

namespace platform::window::detail {

timer_scheduler& timer_scheduler::instance() {
  static timer_scheduler scheduler;
  return scheduler;
}

timer_scheduler::timer_scheduler() {
  ui_loop().set_timer_handler([this] { fire_due(); });
}

std::vector<timer_scheduler::timer>::iterator timer_scheduler::find(handle window, std::uintptr_t id) {
  return std::find_if(timers_.begin(), timers_.end(),
                      [&](const timer& t) { return t.window == window && t.id == id; });
}

std::uintptr_t timer_scheduler::start(handle window, std::uintptr_t id, unsigned interval_ms,
                                      timer_routine routine) {
  if (window != 0 && !ui_record(window)) return 0;
  if (window == 0) {
    if (!routine) return 0;
    if (id == 0 || find(0, id) == timers_.end()) id = ++next_free_id_;
  }
  timer t;
  t.window = window;
  t.id = id;
  t.interval = std::max(1u, interval_ms);
  t.routine = std::move(routine);
  t.due = clock_now() + t.interval;
  t.generation = next_generation_++;
  auto it = find(window, id);
  if (it != timers_.end()) {
    *it = std::move(t);
  } else {
    timers_.push_back(std::move(t));
  }
  rearm();
  return id;
}

bool timer_scheduler::stop(handle window, std::uintptr_t id) {
  auto it = find(window, id);
  if (it == timers_.end()) return false;
  timers_.erase(it);
  rearm();
  return true;
}

void timer_scheduler::stop_all(handle window) {
  std::erase_if(timers_, [&](const timer& t) { return t.window == window; });
  rearm();
}

void timer_scheduler::fire(const timer& t, std::uint32_t now) {
  if (t.routine) {
    t.routine(t.window, WM_TIMER, t.id, now);
  } else {
    call_window(t.window, WM_TIMER, t.id, 0);
  }
}

// Each due timer fires once per call; its next due time counts from now, so a slow handler
// does not pile up ticks. Handlers may start and stop timers, so the list is searched again
// after every call.
void timer_scheduler::fire_due() {
  if (!application::on_ui_thread()) return;
  const std::uint64_t now = clock_now();
  std::vector<std::uint64_t> fired;
  for (;;) {
    auto it = std::find_if(timers_.begin(), timers_.end(), [&](const timer& t) {
      return t.due <= now && std::find(fired.begin(), fired.end(), t.generation) == fired.end();
    });
    if (it == timers_.end()) break;
    it->due = now + it->interval;
    fired.push_back(it->generation);
    timer copy = *it;
    fire(copy, static_cast<std::uint32_t>(now));
  }
  rearm();
}

void timer_scheduler::advance(unsigned ms) {
  const std::uint64_t target = clock_now() + ms;
  for (;;) {
    std::uint64_t next = std::numeric_limits<std::uint64_t>::max();
    for (const auto& t : timers_) next = std::min(next, t.due);
    if (next > target) break;
    advance_manual_clock_to(next);
    fire_due();
  }
  advance_manual_clock_to(target);
}

void timer_scheduler::rearm() {
  if (manual_clock() || timers_.empty()) {
    ui_loop().arm_timer(-1);
    return;
  }
  std::uint64_t next = std::numeric_limits<std::uint64_t>::max();
  for (const auto& t : timers_) next = std::min(next, t.due);
  const std::uint64_t now = clock_now();
  const std::uint64_t delay = next > now ? next - now : 0;
  ui_loop().arm_timer(static_cast<int>(std::min<std::uint64_t>(delay, 1u << 30)));
}

}  // namespace platform::window::detail

namespace platform::window {

std::uintptr_t set_timer(handle window, std::uintptr_t id, unsigned interval_ms, timer_routine routine) {
  if (!application::on_ui_thread()) return 0;
  return detail::timer_scheduler::instance().start(window, id, interval_ms, std::move(routine));
}

bool kill_timer(handle window, std::uintptr_t id) {
  if (!application::on_ui_thread()) return false;
  return detail::timer_scheduler::instance().stop(window, id);
}

}  // namespace platform::window

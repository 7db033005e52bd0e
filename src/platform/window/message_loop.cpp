// send, post and the thread's loops.
#include "event_loop.h"
#include "message_queue.h"
#include "timer_scheduler.h"
#include "ui_state.h"
#include "window_record.h"

#include "platform/application.h"

#include <atomic>

namespace platform::window {
namespace {

std::atomic<bool> quit_flag{false};
std::atomic<int> quit_code{0};

// Keeps the loop's filter on the stack while it runs.
class loop_filter_scope {
 public:
  explicit loop_filter_scope(handle modal) { detail::state().loop_filters.push_back(modal); }
  ~loop_filter_scope() { detail::state().loop_filters.pop_back(); }
  loop_filter_scope(const loop_filter_scope&) = delete;
  loop_filter_scope& operator=(const loop_filter_scope&) = delete;
};

}  // namespace

result send(handle window, unsigned message, wparam w, lparam l) {
  if (application::on_ui_thread()) return detail::call_window(window, message, w, l);
  return detail::message_queue::instance().send_and_wait(window, message, w, l);
}

bool post(handle window, unsigned message, wparam w, lparam l) {
  return detail::message_queue::instance().post(window, message, w, l);
}

int run() {
  if (!application::on_ui_thread()) return 0;
  {
    loop_filter_scope scope(0);
    detail::ui_loop().run([] { return quit_flag.load(); });
  }
  if (detail::state().loop_filters.empty()) quit_flag = false;
  return quit_code;
}

bool run_until(const std::function<bool()>& done, handle until_gone, handle modal_window) {
  if (!application::on_ui_thread()) return false;
  bool finished = false;
  auto should_stop = [&] {
    finished = (done && done()) || (until_gone != 0 && !exists(until_gone));
    return finished || quit_flag.load();
  };
  loop_filter_scope scope(modal_window);
  detail::ui_loop().run(should_stop);
  return finished;
}

bool run_modal(handle window) {
  if (!exists(window)) return true;
  return run_until({}, window, window);
}

void pump() {
  if (!application::on_ui_thread()) return;
  detail::ui_loop().pump();
  if (detail::manual_clock()) detail::timer_scheduler::instance().fire_due();
}

void wake() { detail::ui_loop().wake(); }

void post_quit(int code) {
  quit_code = code;
  quit_flag = true;
  detail::ui_loop().wake();
}

bool quit_requested() { return quit_flag; }

procedure set_procedure(handle window, procedure proc) {
  auto record = detail::ui_record(window);
  if (!record) return {};
  procedure old = record->proc ? *record->proc : procedure{};
  if (!proc) proc = default_procedure;
  record->proc = std::make_shared<const procedure>(std::move(proc));
  return old;
}

procedure get_procedure(handle window) {
  auto record = detail::ui_record(window);
  return record && record->proc ? *record->proc : procedure{};
}

result call_procedure(const procedure& proc, handle window, unsigned message, wparam w, lparam l) {
  return proc ? proc(window, message, w, l) : 0;
}

}  // namespace platform::window

namespace platform::window::detail {

// Used by the test seams to start each test with a clean loop.
void reset_quit() { quit_flag = false; }

}  // namespace platform::window::detail

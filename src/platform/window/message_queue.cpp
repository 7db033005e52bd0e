#include "message_queue.h"

#include "event_loop.h"
#include "ui_state.h"
#include "window_record.h"

#include <QCoreApplication>

namespace platform::window::detail {

message_queue& message_queue::instance() {
  static message_queue queue;
  return queue;
}

bool message_queue::post(handle window, unsigned message, wparam w, lparam l) {
  if (!exists(window)) return false;
  enqueue({window, message, w, l, nullptr});
  return true;
}

result message_queue::send_and_wait(handle window, unsigned message, wparam w, lparam l) {
  if (!exists(window) || QCoreApplication::instance() == nullptr) return 0;
  auto r = std::make_shared<reply>();
  enqueue({window, message, w, l, r});
  std::unique_lock lock(r->mutex);
  r->done_signal.wait(lock, [&] { return r->done; });
  return r->value;
}

void message_queue::forget(handle window) {
  std::deque<entry> dropped;
  {
    std::lock_guard lock(mutex_);
    std::deque<entry> kept;
    for (auto& e : entries_) (e.window == window ? dropped : kept).push_back(std::move(e));
    entries_ = std::move(kept);
  }
  for (const auto& e : dropped) answer(e.answer, 0);
}

void message_queue::enqueue(entry e) {
  bool schedule = false;
  {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(e));
    if (!scheduled_) scheduled_ = schedule = true;
  }
  if (schedule) ui_loop().defer([this] { run_one(); });
}

// Handles a batch of messages. Before each one, while more are waiting, a further turn of the
// loop is asked for (once): a nested loop inside a handler then still sees the rest of the
// queue. The batch limit lets input and paints in between long runs of posted messages.
void message_queue::run_one() {
  constexpr int batch = 64;
  {
    std::lock_guard lock(mutex_);
    scheduled_ = false;
  }
  for (int i = 0; i < batch; ++i) {
    entry e;
    bool schedule = false;
    {
      std::lock_guard lock(mutex_);
      if (entries_.empty()) return;
      e = std::move(entries_.front());
      entries_.pop_front();
      if (!entries_.empty() && !scheduled_) schedule = scheduled_ = true;
    }
    if (schedule) ui_loop().defer([this] { run_one(); });
    deliver(e);
  }
}

void message_queue::deliver(const entry& e) {
  if (e.answer) {
    answer(e.answer, call_window(e.window, e.message, e.w, e.l));
    return;
  }
  if (is_input_message(e.message) && !input_allowed(e.window)) return;
  call_window(e.window, e.message, e.w, e.l);
}

void message_queue::answer(const std::shared_ptr<reply>& r, result value) {
  if (!r) return;
  std::lock_guard lock(r->mutex);
  r->value = value;
  r->done = true;
  r->done_signal.notify_all();
}

}  // namespace platform::window::detail

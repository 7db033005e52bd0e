// The thread's queue of posted messages and of messages sent from other threads. Messages
// run one per loop event, in the order they were queued, so that nested loops keep taking
// them while an outer message is still being handled.
#pragma once

#include "platform/window.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace platform::window::detail {

class message_queue {
 public:
  static message_queue& instance();

  // Any thread. False when the window does not exist.
  bool post(handle window, unsigned message, wparam w, lparam l);
  // Any thread but the UI thread: waits for the UI thread's answer (0 for a dead window).
  result send_and_wait(handle window, unsigned message, wparam w, lparam l);
  // UI thread: drops queued messages of a destroyed window (waiting senders get 0).
  void forget(handle window);

 private:
  struct reply {
    std::mutex mutex;
    std::condition_variable done_signal;
    bool done = false;
    result value = 0;
  };
  struct entry {
    handle window = 0;
    unsigned message = 0;
    wparam w = 0;
    lparam l = 0;
    std::shared_ptr<reply> answer;  // null for posted messages
  };

  void enqueue(entry e);
  void run_one();
  static void deliver(const entry& e);
  static void answer(const std::shared_ptr<reply>& r, result value);

  std::mutex mutex_;
  std::deque<entry> entries_;
  bool scheduled_ = false;
};

}  // namespace platform::window::detail

// The fixture of the window system's tests: windows whose procedures record every message.
#pragma once

#include "platform/testing.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace window_test {

namespace pw = platform::window;
namespace pt = platform::testing;
using pw::handle;

struct message_record {
  handle window;
  unsigned message;
  pw::wparam w;
  pw::lparam l;
};

// Every window of the tests records its messages; a test may take over single messages of a
// window through `handlers` (answer std::nullopt to pass the message on to the default).
inline std::vector<message_record> journal;
inline std::map<handle, std::function<std::optional<pw::result>(unsigned, pw::wparam, pw::lparam)>> handlers;

inline pw::result recording_procedure(handle window, unsigned message, pw::wparam w, pw::lparam l) {
  journal.push_back({window, message, w, l});
  if (auto it = handlers.find(window); it != handlers.end()) {
    auto handler = it->second;  // the handler may replace itself
    if (auto answer = handler(message, w, l)) return *answer;
  }
  return pw::default_procedure(window, message, w, l);
}

class WindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pw::register_class({.name = "test_window", .style = pw::CS_DBLCLKS, .proc = recording_procedure});
    pw::register_class({.name = "test_plain", .style = 0, .proc = recording_procedure});
  }

  void SetUp() override {
    journal.clear();
    handlers.clear();
    pt::reset_input_and_loop();
  }

  void TearDown() override {
    for (handle w : created_) pw::destroy(w);
    pt::use_manual_clock(false);
    pt::set_work_area(std::nullopt);
    pt::reset_input_and_loop();
    pw::pump();
  }

  handle make_window(int x = 100, int y = 100, int width = 200, int height = 150, std::uint32_t ex_style = 0,
                     const char* cls = "test_window") {
    pw::create_params params;
    params.class_name = cls;
    params.title = "test";
    params.style = pw::WS_POPUP | pw::WS_VISIBLE;
    params.ex_style = ex_style;
    params.x = x;
    params.y = y;
    params.width = width;
    params.height = height;
    handle w = pw::create(params);
    created_.push_back(w);
    return w;
  }

  // The numbers of the messages a window got, keeping only the given ones.
  static std::vector<unsigned> messages_of(handle window, const std::set<unsigned>& wanted) {
    std::vector<unsigned> out;
    for (const auto& r : journal) {
      if (r.window == window && wanted.contains(r.message)) out.push_back(r.message);
    }
    return out;
  }

  static std::vector<message_record> records_of(handle window, unsigned message) {
    std::vector<message_record> out;
    for (const auto& r : journal) {
      if (r.window == window && r.message == message) out.push_back(r);
    }
    return out;
  }

  // Lets the loop run until the condition holds (or a generous time passed).
  static bool run_for(const std::function<bool()>& done, int timeout_ms = 5000) {
    std::atomic<bool> timed_out{false};
    const auto timer = pw::set_timer(0, 0, static_cast<unsigned>(timeout_ms), [&](auto...) { timed_out = true; });
    pw::run_until([&] { return done() || timed_out; });
    pw::kill_timer(0, timer);
    return done();
  }

  std::vector<handle> created_;
};
}  // namespace window_test

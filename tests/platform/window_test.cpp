// The window system: messages across threads, loops, timers, input, presentation.
#include "platform/testing.h"
#include "platform/window.h"
#include "qt_bridge.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

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
std::vector<message_record> journal;
std::map<handle, std::function<std::optional<pw::result>(unsigned, pw::wparam, pw::lparam)>> handlers;

pw::result recording_procedure(handle window, unsigned message, pw::wparam w, pw::lparam l) {
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

// ---- Messages across threads ---------------------------------------------------------------

TEST_F(WindowTest, CrossThreadSendAnswersWithTheUiThreadsResultAndPostsKeepTheirOrder) {
  handle w = make_window();
  const auto ui_thread = std::this_thread::get_id();
  std::vector<pw::wparam> posted;
  std::atomic<bool> handled_on_ui{true};
  handlers[w] = [&](unsigned m, pw::wparam wp, pw::lparam) -> std::optional<pw::result> {
    if (std::this_thread::get_id() != ui_thread) handled_on_ui = false;
    if (m == pw::WM_USER) return static_cast<pw::result>(wp * 2);
    if (m == pw::WM_USER + 1) posted.push_back(wp);
    return std::nullopt;
  };

  std::atomic<pw::result> answer{-1};
  std::atomic<bool> worker_done{false};
  std::thread worker([&] {
    for (pw::wparam i = 0; i < 200; ++i) pw::post(w, pw::WM_USER + 1, i);
    answer = pw::send(w, pw::WM_USER, 21);
    worker_done = true;
    pw::wake();
  });
  ASSERT_TRUE(run_for([&] { return worker_done.load(); }));
  worker.join();

  EXPECT_EQ(answer, 42);
  EXPECT_TRUE(handled_on_ui);
  ASSERT_EQ(posted.size(), 200u);
  for (std::size_t i = 0; i < posted.size(); ++i) EXPECT_EQ(posted[i], i);
}

TEST_F(WindowTest, CrossThreadSendIsAnsweredWhileTheUiThreadRunsAModalLoop) {
  handle main = make_window();
  handle box = make_window(150, 150, 100, 80);
  handlers[main] = [](unsigned m, pw::wparam wp, pw::lparam) -> std::optional<pw::result> {
    if (m == pw::WM_USER) return static_cast<pw::result>(wp + 1);
    return std::nullopt;
  };
  std::atomic<pw::result> answer{-1};
  std::thread worker([&] {
    answer = pw::send(main, pw::WM_USER, 9);
    pw::post(box, pw::WM_CLOSE);  // ends the modal loop
  });
  EXPECT_TRUE(pw::run_modal(box));
  worker.join();
  EXPECT_EQ(answer, 10);
  EXPECT_FALSE(pw::exists(box));
}

TEST_F(WindowTest, SendingToADestroyedWindowAnswersZero) {
  handle w = make_window();
  handlers[w] = [](unsigned m, pw::wparam, pw::lparam) -> std::optional<pw::result> {
    if (m == pw::WM_USER) return 7;
    return std::nullopt;
  };
  // The message waits in the queue while the window is destroyed.
  std::atomic<bool> sending{false};
  std::atomic<pw::result> answer{-1};
  std::thread worker([&] {
    sending = true;
    answer = pw::send(w, pw::WM_USER);
    pw::wake();
  });
  while (!sending) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  pw::destroy(w);
  ASSERT_TRUE(run_for([&] { return answer != -1; }));
  worker.join();
  EXPECT_EQ(answer, 0);

  std::thread late([&] { answer = pw::send(w, pw::WM_USER); });
  late.join();
  EXPECT_EQ(answer, 0);
  EXPECT_FALSE(pw::post(w, pw::WM_USER));
}

// ---- Loops -----------------------------------------------------------------------------------

TEST_F(WindowTest, ModalLoopDropsInputForOtherWindowsButKeepsTheirTimersAndPaints) {
  handle main = make_window(50, 50, 300, 200);
  handle box = make_window(100, 100, 120, 80);
  pw::set_focus(main);
  pw::set_timer(main, 1, 5);
  int step = 0;
  // Runs inside the modal loop: input for both windows and a repaint of the main window; the
  // box closes once the main window has had its paint and a few timer ticks.
  pw::set_timer(box, 2, 5, [&](handle, unsigned, std::uintptr_t, std::uint32_t) {
    if (step++ == 0) {
      journal.clear();
      pt::click(main, {10, 10});
      pt::key_down(main, 'A');
      pw::post(main, pw::WM_RBUTTONDOWN, 0, 0);
      pt::click(box, {5, 5});
      pw::invalidate(main);
    } else if (!records_of(main, pw::WM_PAINT).empty() && records_of(main, pw::WM_TIMER).size() >= 3) {
      pw::post(box, pw::WM_CLOSE);
    }
  });
  const auto guard = pw::set_timer(0, 0, 5000, [&](auto...) { pw::destroy(box); });

  EXPECT_TRUE(pw::run_modal(box));
  pw::kill_timer(0, guard);

  const std::set<unsigned> input = {pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP, pw::WM_RBUTTONDOWN, pw::WM_KEYDOWN};
  EXPECT_TRUE(messages_of(main, input).empty());
  EXPECT_EQ(messages_of(box, input), (std::vector<unsigned>{pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP}));
  EXPECT_GE(records_of(main, pw::WM_TIMER).size(), 3u);
  EXPECT_FALSE(records_of(main, pw::WM_PAINT).empty());
}

TEST_F(WindowTest, QuitEndsNestedLoopsAndThenTheOuterLoop) {
  handle w = make_window();
  bool nested_finished = true;
  pw::set_timer(w, 1, 1, [&](auto...) {
    pw::kill_timer(w, 1);
    pw::post_quit(3);
    nested_finished = pw::run_until([] { return false; });
  });
  EXPECT_EQ(pw::run(), 3);
  EXPECT_FALSE(nested_finished);
  EXPECT_FALSE(pw::quit_requested());
}

// ---- Timers ----------------------------------------------------------------------------------

TEST_F(WindowTest, TimersFireByTheClockWithAndWithoutRoutineAndStopWithTheirWindow) {
  pt::use_manual_clock(true);
  handle w = make_window();
  std::vector<std::uint32_t> routine_ticks;
  const std::uint32_t start = pw::tick_count();
  ASSERT_EQ(pw::set_timer(w, 7, 50), 7u);
  ASSERT_EQ(pw::set_timer(w, 8, 30, [&](handle win, unsigned m, std::uintptr_t id, std::uint32_t now) {
              EXPECT_EQ(win, w);
              EXPECT_EQ(m, pw::WM_TIMER);
              EXPECT_EQ(id, 8u);
              routine_ticks.push_back(now - start);
            }),
            8u);

  pt::advance_clock(100);
  EXPECT_EQ(records_of(w, pw::WM_TIMER).size(), 2u);  // at 50 and 100
  EXPECT_EQ(routine_ticks, (std::vector<std::uint32_t>{30, 60, 90}));
  for (const auto& r : records_of(w, pw::WM_TIMER)) EXPECT_EQ(r.w, 7u);

  pw::set_timer(w, 7, 50);  // the same id restarts: next at 150
  pt::advance_clock(40);
  EXPECT_EQ(records_of(w, pw::WM_TIMER).size(), 2u);
  pt::advance_clock(10);
  EXPECT_EQ(records_of(w, pw::WM_TIMER).size(), 3u);

  pw::destroy(w);
  pt::advance_clock(500);
  EXPECT_EQ(records_of(w, pw::WM_TIMER).size(), 3u);
  EXPECT_EQ(routine_ticks.size(), 5u);
  EXPECT_FALSE(pw::kill_timer(w, 7));
  EXPECT_EQ(pw::set_timer(w, 9, 10), 0u);
}

TEST_F(WindowTest, SleepAdvancesTheManualClockAndPumpFiresWhatBecameDue) {
  pt::use_manual_clock(true);
  handle w = make_window();
  const std::uint32_t start = pw::tick_count();
  pw::set_timer(w, 1, 20);
  pw::sleep(20);
  EXPECT_EQ(pw::tick_count() - start, 20u);
  EXPECT_TRUE(records_of(w, pw::WM_TIMER).empty());  // a sleeping thread handles no timer
  pw::pump();
  EXPECT_EQ(records_of(w, pw::WM_TIMER).size(), 1u);
}

TEST_F(WindowTest, ThreadTimerNeedsARoutineAndGetsItsOwnId) {
  EXPECT_EQ(pw::set_timer(0, 0, 10), 0u);
  const auto id = pw::set_timer(0, 0, 10, [](auto...) {});
  EXPECT_NE(id, 0u);
  EXPECT_TRUE(pw::kill_timer(0, id));
}

// ---- Procedures ------------------------------------------------------------------------------

TEST_F(WindowTest, SubclassedProcedureSeesMessagesFirstAndChainsToTheOldOne) {
  handle w = make_window();
  std::vector<unsigned> seen;
  pw::procedure old = pw::set_procedure(w, [&](handle win, unsigned m, pw::wparam wp, pw::lparam lp) -> pw::result {
    seen.push_back(m);
    if (m == pw::WM_USER) return 99;
    return pw::call_procedure(old, win, m, wp, lp);
  });
  ASSERT_TRUE(old);
  EXPECT_EQ(pw::send(w, pw::WM_USER), 99);
  EXPECT_TRUE(records_of(w, pw::WM_USER).empty());
  EXPECT_TRUE(pw::set_text(w, "\xD6\xD0\xCE\xC4"));  // GBK text through the chain to the default
  EXPECT_EQ(pw::get_text(w), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(records_of(w, pw::WM_SETTEXT).size(), 1u);

  // Putting the old procedure back ends the subclass.
  pw::set_procedure(w, old);
  seen.clear();
  pw::send(w, pw::WM_USER + 5);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(records_of(w, pw::WM_USER + 5).size(), 1u);
}

TEST_F(WindowTest, DefaultCloseDestroysTheWindowAndItsOwnedWindows) {
  handle owner = make_window();
  pw::create_params params;
  params.class_name = "test_window";
  params.owner = owner;
  params.style = pw::WS_POPUP | pw::WS_VISIBLE;
  handle owned = pw::create(params);
  ASSERT_NE(owned, 0u);
  pw::set_property(owner, "Ex_Wnd_Control", 1234);

  pw::post(owner, pw::WM_CLOSE);
  ASSERT_TRUE(run_for([&] { return !pw::exists(owner); }));
  EXPECT_FALSE(pw::exists(owned));
  EXPECT_EQ(messages_of(owner, {pw::WM_CLOSE, pw::WM_DESTROY, pw::WM_NCDESTROY}),
            (std::vector<unsigned>{pw::WM_CLOSE, pw::WM_DESTROY, pw::WM_NCDESTROY}));
  EXPECT_EQ(records_of(owned, pw::WM_DESTROY).size(), 1u);
  EXPECT_EQ(pw::get_property(owner, "Ex_Wnd_Control"), 0);
  EXPECT_EQ(pw::send(owner, pw::WM_USER), 0);
}

TEST_F(WindowTest, CreateFailsForUnknownClassesAndRefusingProcedures) {
  pw::create_params params;
  params.class_name = "no_such_class";
  EXPECT_EQ(pw::create(params), 0u);

  pw::register_class({.name = "refusing", .proc = [](handle w, unsigned m, pw::wparam wp, pw::lparam lp) -> pw::result {
                        return m == pw::WM_CREATE ? -1 : pw::default_procedure(w, m, wp, lp);
                      }});
  params.class_name = "refusing";
  EXPECT_EQ(pw::create(params), 0u);
  pw::class_info again;
  again.name = "refusing";
  EXPECT_FALSE(pw::register_class(again));
  again.name = "";
  EXPECT_FALSE(pw::register_class(again));
}

// ---- Properties ------------------------------------------------------------------------------

TEST_F(WindowTest, PropertiesAreSafeAcrossThreads) {
  handle w = make_window();
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([w, t] {
      const std::string name = "prop" + std::to_string(t);
      for (int i = 1; i <= 2000; ++i) {
        pw::set_property(w, name, i);
        if (pw::get_property(w, name) != i) return;
      }
    });
  }
  for (auto& worker : workers) worker.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(pw::get_property(w, "prop" + std::to_string(t)), 2000);
  EXPECT_EQ(pw::remove_property(w, "prop0"), 2000);
  EXPECT_EQ(pw::get_property(w, "prop0"), 0);
  EXPECT_EQ(pw::remove_property(w, "prop0"), 0);
  EXPECT_FALSE(pw::set_property(0, "x", 1));
}

// ---- Mouse -----------------------------------------------------------------------------------

TEST_F(WindowTest, CaptureTakesAllMouseMessagesAndTellsTheLoser) {
  handle a = make_window(100, 100, 100, 100);
  handle b = make_window(300, 100, 100, 100);
  EXPECT_EQ(pw::set_capture(a), 0u);
  pt::mouse_move(b, {5, 6});  // over b, captured by a: a's coordinates, signed
  auto moves = records_of(a, pw::WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(pw::x_of(moves[0].l), 205);
  EXPECT_EQ(pw::y_of(moves[0].l), 6);
  pt::mouse_move(a, {-20, -3});
  EXPECT_EQ(pw::x_of(records_of(a, pw::WM_MOUSEMOVE).back().l), -20);
  EXPECT_EQ(pw::y_of(records_of(a, pw::WM_MOUSEMOVE).back().l), -3);
  EXPECT_TRUE(records_of(b, pw::WM_MOUSEMOVE).empty());

  EXPECT_EQ(pw::set_capture(b), a);
  auto changed = records_of(a, pw::WM_CAPTURECHANGED);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(static_cast<handle>(changed[0].l), b);
  EXPECT_TRUE(pw::release_capture());
  EXPECT_EQ(pw::get_capture(), 0u);
  EXPECT_EQ(records_of(b, pw::WM_CAPTURECHANGED).size(), 1u);
}

TEST_F(WindowTest, MouseLeaveComesOncePerTrackingRequest) {
  handle w = make_window();
  pt::mouse_move(w, {10, 10});
  EXPECT_TRUE(pw::track_mouse_leave(w));
  pt::mouse_move(w, {20, 10});
  pt::mouse_leave(w);
  pw::pump();
  EXPECT_EQ(records_of(w, pw::WM_MOUSELEAVE).size(), 1u);

  pt::mouse_move(w, {10, 10});  // back in, not tracked: no second leave
  pt::mouse_leave(w);
  pw::pump();
  EXPECT_EQ(records_of(w, pw::WM_MOUSELEAVE).size(), 1u);

  pw::track_mouse_leave(w);  // tracking while outside answers at once
  pw::pump();
  EXPECT_EQ(records_of(w, pw::WM_MOUSELEAVE).size(), 2u);
}

TEST_F(WindowTest, MouseLeaveWaitsForTheCaptureToEnd) {
  handle w = make_window();
  pt::mouse_move(w, {10, 10});
  pw::track_mouse_leave(w);
  pw::set_capture(w);
  pt::mouse_move(w, {-50, 10});  // dragged out while captured
  pw::pump();
  EXPECT_TRUE(records_of(w, pw::WM_MOUSELEAVE).empty());
  pw::release_capture();
  pw::pump();
  EXPECT_EQ(records_of(w, pw::WM_MOUSELEAVE).size(), 1u);
}

TEST_F(WindowTest, DoubleClicksFollowTheClassStyle) {
  struct case_t {
    const char* cls;
    std::vector<unsigned> expected;
  };
  const case_t cases[] = {
      {"test_window", {pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP, pw::WM_LBUTTONDBLCLK, pw::WM_LBUTTONUP}},
      {"test_plain", {pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP, pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP}},
  };
  for (const auto& c : cases) {
    handle w = make_window(100, 100, 200, 150, 0, c.cls);
    pt::click(w, {30, 40});
    pt::mouse_double_click(w, {30, 40});
    pt::mouse_up(w, {30, 40});
    const std::set<unsigned> buttons = {pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP, pw::WM_LBUTTONDBLCLK};
    EXPECT_EQ(messages_of(w, buttons), c.expected) << c.cls;
    const auto downs = records_of(w, pw::WM_LBUTTONDOWN);
    ASSERT_FALSE(downs.empty());
    EXPECT_EQ(downs[0].w & pw::MK_LBUTTON, pw::MK_LBUTTON);
    EXPECT_EQ(pw::x_of(downs[0].l), 30);
    EXPECT_EQ(pw::y_of(downs[0].l), 40);
  }
}

TEST_F(WindowTest, WheelCarriesItsDeltaInTheHighWordAndScreenPosition) {
  handle w = make_window(100, 100, 200, 150);
  pw::set_focus(w);
  pt::mouse_wheel(w, {10, 20}, -240);
  auto wheels = records_of(w, pw::WM_MOUSEWHEEL);
  ASSERT_EQ(wheels.size(), 1u);
  EXPECT_EQ(pw::wheel_delta_of(wheels[0].w), -240);
  EXPECT_EQ(pw::x_of(wheels[0].l), 110);
  EXPECT_EQ(pw::y_of(wheels[0].l), 120);
}

TEST_F(WindowTest, DisabledWindowsGetNoInput) {
  handle w = make_window();
  EXPECT_FALSE(pw::enable(w, false));
  pt::click(w, {10, 10});
  EXPECT_TRUE(messages_of(w, {pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP}).empty());
  EXPECT_EQ(records_of(w, pw::WM_ENABLE).size(), 1u);
  EXPECT_NE(pw::get_style(w, pw::GWL_STYLE) & pw::WS_DISABLED, 0u);
  EXPECT_TRUE(pw::enable(w, true));
}

// ---- Keyboard, focus, activation ---------------------------------------------------------------

TEST_F(WindowTest, KeysGoToTheFocusAsKeyCharAndSystemMessages) {
  handle w = make_window();
  handle other = make_window(400, 100);
  pw::set_focus(w);
  pt::key_down(other, pw::VK_SHIFT);  // keys follow the focus, not the window named
  EXPECT_TRUE(pw::key_down(pw::VK_SHIFT));
  pt::key_up(other, pw::VK_SHIFT);
  EXPECT_FALSE(pw::key_down(pw::VK_SHIFT));
  pt::type_text(w, "a\xD6\xD0");  // "a" and one Chinese character: three WM_CHAR bytes
  pt::alt_key(w, 'F');

  const auto chars = records_of(w, pw::WM_CHAR);
  ASSERT_EQ(chars.size(), 3u);
  EXPECT_EQ(chars[0].w, 'a');
  EXPECT_EQ(chars[1].w, 0xD6u);
  EXPECT_EQ(chars[2].w, 0xD0u);
  const auto syschars = records_of(w, pw::WM_SYSCHAR);
  ASSERT_EQ(syschars.size(), 1u);
  EXPECT_EQ(syschars[0].w, 'f');
  EXPECT_EQ(messages_of(w, {pw::WM_KEYDOWN, pw::WM_KEYUP, pw::WM_SYSKEYDOWN, pw::WM_SYSKEYUP}),
            (std::vector<unsigned>{pw::WM_KEYDOWN, pw::WM_KEYUP, pw::WM_SYSKEYDOWN, pw::WM_SYSKEYDOWN,
                                   pw::WM_SYSKEYUP, pw::WM_SYSKEYUP}));
  EXPECT_EQ(records_of(w, pw::WM_SYSKEYDOWN)[1].w, static_cast<pw::wparam>('F'));
  EXPECT_TRUE(records_of(other, pw::WM_KEYDOWN).empty());
}

TEST_F(WindowTest, ActivationAndFocusMessagesNameTheOtherWindow) {
  handle a = make_window(100, 100);
  handle b = make_window(400, 100);
  pw::set_active(a);
  journal.clear();
  EXPECT_EQ(pw::set_active(b), a);
  auto deactivated = records_of(a, pw::WM_ACTIVATE);
  auto activated = records_of(b, pw::WM_ACTIVATE);
  ASSERT_EQ(deactivated.size(), 1u);
  ASSERT_EQ(activated.size(), 1u);
  EXPECT_EQ(deactivated[0].w, pw::WA_INACTIVE);
  EXPECT_EQ(static_cast<handle>(deactivated[0].l), b);
  EXPECT_EQ(activated[0].w, pw::WA_ACTIVE);
  EXPECT_EQ(static_cast<handle>(activated[0].l), a);
  // The default of WM_ACTIVATE moves the focus along.
  EXPECT_EQ(pw::get_focus(), b);
  EXPECT_EQ(records_of(a, pw::WM_KILLFOCUS).size(), 1u);
  EXPECT_EQ(records_of(b, pw::WM_SETFOCUS)[0].w, a);
  EXPECT_EQ(pw::get_foreground(), b);

  // A press in the inactive window activates it.
  pt::click(a, {5, 5});
  EXPECT_EQ(pw::get_active(), a);
}

TEST_F(WindowTest, ShowingWithoutActivationKeepsTheActiveWindow) {
  handle a = make_window();
  pw::set_active(a);
  pw::create_params params;
  params.class_name = "test_window";
  params.style = pw::WS_POPUP;
  handle hidden = pw::create(params);
  created_.push_back(hidden);
  EXPECT_FALSE(pw::is_visible(hidden));
  EXPECT_FALSE(pw::show(hidden, pw::SW_SHOWNA));
  EXPECT_TRUE(pw::is_visible(hidden));
  EXPECT_EQ(pw::get_active(), a);
  EXPECT_EQ(records_of(hidden, pw::WM_SHOWWINDOW).size(), 1u);
  EXPECT_TRUE(pw::show(hidden, pw::SW_HIDE));
  EXPECT_FALSE(pw::is_visible(hidden));
}

// ---- Geometry, styles, move and size loops --------------------------------------------------------

TEST_F(WindowTest, CaptionPressStartsTheMoveLoopAndBordersTheSizeLoop) {
  handle w = make_window(100, 100, 200, 150);
  handlers[w] = [w](unsigned m, pw::wparam, pw::lparam l) -> std::optional<pw::result> {
    if (m == pw::WM_NCHITTEST) {
      const pw::point p = pw::screen_to_client(w, {pw::x_of(l), pw::y_of(l)});
      return p.y < 20 ? pw::HTCAPTION : pw::HTCLIENT;
    }
    if (m == pw::WM_GETMINMAXINFO) {
      reinterpret_cast<pw::min_max_info*>(l)->min_track_size = {120, 90};
      return 0;
    }
    return std::nullopt;
  };
  pt::mouse_down(w, {10, 10});
  pt::mouse_move(w, {40, 30});  // the window follows: +30, +20
  pt::mouse_up(w, {10, 10});    // the same screen point, now that the window moved
  EXPECT_EQ(pw::window_rect(w), (pw::rect{130, 120, 330, 270}));
  EXPECT_TRUE(messages_of(w, {pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP, pw::WM_MOUSEMOVE}).empty());
  EXPECT_FALSE(records_of(w, pw::WM_MOVE).empty());

  // Sizing from the left border down to the minimum width the window allows.
  pt::mouse_down(w, {100, 100});  // client press: no loop
  pt::mouse_up(w, {100, 100});
  pw::send(w, pw::WM_SYSCOMMAND, pw::SC_SIZE + pw::WMSZ_LEFT);
  pt::mouse_move(w, {190, 100});
  pt::mouse_up(w, {190, 100});
  EXPECT_EQ(pw::window_rect(w), (pw::rect{210, 120, 330, 270}));
  const auto sizes = records_of(w, pw::WM_SIZE);
  ASSERT_FALSE(sizes.empty());
  EXPECT_EQ(pw::x_of(sizes.back().l), 120);
  EXPECT_EQ(pw::y_of(sizes.back().l), 150);
}

TEST_F(WindowTest, MaximizeFollowsMinMaxInfoAndRestoreGoesBack) {
  pt::set_work_area(pw::rect{0, 0, 1920, 1040});
  EXPECT_EQ(pw::work_area(), (pw::rect{0, 0, 1920, 1040}));
  handle w = make_window(100, 100, 200, 150);
  handlers[w] = [](unsigned m, pw::wparam, pw::lparam l) -> std::optional<pw::result> {
    if (m != pw::WM_GETMINMAXINFO) return std::nullopt;
    auto* info = reinterpret_cast<pw::min_max_info*>(l);
    info->max_size = {info->max_size.x + 14, info->max_size.y + 14};
    info->max_position = {-7, -7};
    return 0;
  };
  pw::send(w, pw::WM_SYSCOMMAND, pw::SC_MAXIMIZE);
  EXPECT_TRUE(pw::is_maximized(w));
  EXPECT_EQ(pw::window_rect(w), (pw::rect{-7, -7, 1927, 1047}));
  EXPECT_EQ(records_of(w, pw::WM_SIZE).back().w, pw::SIZE_MAXIMIZED);
  pw::send(w, pw::WM_SYSCOMMAND, pw::SC_RESTORE);
  EXPECT_FALSE(pw::is_maximized(w));
  EXPECT_EQ(pw::window_rect(w), (pw::rect{100, 100, 300, 250}));
  pw::send(w, pw::WM_SYSCOMMAND, pw::SC_MINIMIZE);
  EXPECT_TRUE(pw::is_minimized(w));
  EXPECT_EQ(records_of(w, pw::WM_SIZE).back().w, pw::SIZE_MINIMIZED);
}

TEST_F(WindowTest, AWindowThatDrawsItsOwnFrameLosesTheSystemFrame) {
  pw::create_params params;
  params.class_name = "test_window";
  params.style = pw::WS_OVERLAPPEDWINDOW;
  handle w = pw::create(params);
  created_.push_back(w);
  EXPECT_TRUE(pw::has_frame(w));
  handlers[w] = [](unsigned m, pw::wparam wp, pw::lparam) -> std::optional<pw::result> {
    if (m == pw::WM_NCCALCSIZE && wp == 1) return 1;
    return std::nullopt;
  };
  const std::uint32_t old = pw::set_style(w, pw::GWL_STYLE, pw::WS_POPUP | pw::WS_THICKFRAME);
  EXPECT_EQ(old & pw::WS_CAPTION, pw::WS_CAPTION);
  EXPECT_FALSE(pw::has_frame(w));
  EXPECT_EQ(records_of(w, pw::WM_STYLECHANGED).size(), 1u);
  EXPECT_EQ(pw::get_style(w, pw::GWL_STYLE) & pw::WS_THICKFRAME, pw::WS_THICKFRAME);
}

TEST_F(WindowTest, ScreenAndClientCoordinatesAndWindowFromPoint) {
  handle below = make_window(100, 100, 200, 150);
  handle above = make_window(150, 120, 50, 50, pw::WS_EX_TOPMOST);
  EXPECT_EQ(pw::client_to_screen(below, {5, 7}), (pw::point{105, 107}));
  EXPECT_EQ(pw::screen_to_client(below, {105, 107}), (pw::point{5, 7}));
  EXPECT_EQ(pw::client_rect(below), (pw::rect{0, 0, 200, 150}));
  EXPECT_EQ(pw::window_from_point({160, 130}), above);
  EXPECT_EQ(pw::window_from_point({110, 110}), below);
  EXPECT_EQ(pw::window_from_point({10, 10}), 0u);
  pw::set_active(below);  // activation does not lift a window over a topmost one
  EXPECT_EQ(pw::window_from_point({160, 130}), above);
}

// ---- Presentation ----------------------------------------------------------------------------

TEST_F(WindowTest, LayeredWindowShowsItsPixelsWithTheirAlpha) {
  handle w = make_window(100, 100, 4, 2, pw::WS_EX_LAYERED);
  // Premultiplied: opaque red, half-transparent green, transparent, opaque white.
  const std::uint32_t pixels[8] = {0xFFFF0000, 0x80008000, 0x00000000, 0xFFFFFFFF,
                                   0xFF0000FF, 0x40404040, 0x00000000, 0xFF000000};
  const pw::pixel_view view{pixels, 4, 2, 16};
  ASSERT_TRUE(pw::present_layered(w, view));
  auto shown = pt::presented_pixels(w);
  ASSERT_EQ(shown.width, 4);
  ASSERT_EQ(shown.height, 2);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(shown.pixels[static_cast<std::size_t>(i)], pixels[i]) << i;

  ASSERT_TRUE(pw::present_layered(w, view, 128));  // a global alpha scales every channel
  shown = pt::presented_pixels(w);
  EXPECT_EQ(shown.at(0, 0), 0x80800000u);
  EXPECT_EQ(shown.at(1, 0), 0x40004000u);
  EXPECT_EQ(shown.at(2, 0), 0u);
  EXPECT_EQ(pt::present_count(w), 2);

  handle opaque = make_window(300, 100, 4, 2);
  EXPECT_FALSE(pw::present_layered(opaque, view));
  EXPECT_FALSE(pw::present_layered(w, {nullptr, 4, 2, 16}));
  EXPECT_FALSE(pw::present_layered(w, {pixels, 4, 2, 8}));  // stride shorter than a row
}

TEST_F(WindowTest, PresentingARectangleCopiesOnlyItAndAnOpaqueWindowIgnoresAlpha) {
  handle w = make_window(100, 100, 4, 4);
  std::vector<std::uint32_t> first(16, 0xFF102030u);
  pw::present_rect(w, {first.data(), 4, 4, 16}, {0, 0, 4, 4});
  std::vector<std::uint32_t> second(16, 0x40101010u);
  ASSERT_TRUE(pw::present_rect(w, {second.data(), 4, 4, 16}, {1, 1, 3, 2}));
  const auto shown = pt::presented_pixels(w);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      const bool inside = x >= 1 && x < 3 && y == 1;
      EXPECT_EQ(shown.at(x, y), inside ? 0xFF101010u : 0xFF102030u) << x << "," << y;
    }
  }
  // Rectangles reaching past the buffer are cut, never read out of bounds.
  EXPECT_TRUE(pw::present_rect(w, {second.data(), 2, 2, 16}, {-5, -5, 100, 100}));
}

TEST_F(WindowTest, RegionCutsTheCornersOfWhatIsShownAndHitTesting) {
  handle w = make_window(100, 100, 40, 40, pw::WS_EX_LAYERED);
  std::vector<std::uint32_t> pixels(40 * 40, 0xFF336699u);
  ASSERT_TRUE(pw::set_region_round_rect(w, {0, 0, 40, 40}, 20, 20));
  pw::present_layered(w, {pixels.data(), 40, 40, 160});
  const auto shown = pt::presented_pixels(w);
  EXPECT_EQ(shown.at(0, 0), 0u);
  EXPECT_EQ(shown.at(39, 39), 0u);
  EXPECT_EQ(shown.at(20, 20), 0xFF336699u);
  EXPECT_EQ(shown.at(20, 0), 0xFF336699u);
  EXPECT_EQ(pw::window_from_point({100, 100}), 0u);
  EXPECT_EQ(pw::window_from_point({120, 120}), w);
  EXPECT_FALSE(pt::save_window_png(w, "window_test_region").empty());
  ASSERT_TRUE(pw::clear_region(w));
  EXPECT_EQ(pt::presented_pixels(w).at(0, 0), 0xFF336699u);
}

TEST_F(WindowTest, AbsurdSizesAreCutInsteadOfAllocated) {
  handle w = make_window(0, 0, 1000000, 10);
  ASSERT_NE(w, 0u);
  EXPECT_EQ(pw::client_rect(w), (pw::rect{0, 0, 8192, 10}));
  EXPECT_TRUE(pw::move(w, 0, 0, -50, 2000000000));
  EXPECT_EQ(pw::client_rect(w), (pw::rect{0, 0, 0, 8192}));
  EXPECT_TRUE(pw::move(w, 0, 0, 20, 20));
  EXPECT_TRUE(pw::set_region_round_rect(w, {-1000000, -1000000, 1000000, 1000000}, 40, 40));
  const std::uint32_t pixel = 0xFFFFFFFF;
  EXPECT_FALSE(pw::present_rect(w, {&pixel, -1, 1, 4}, {0, 0, 1, 1}));
  EXPECT_TRUE(pw::present_rect(w, {&pixel, 1, 1, 4}, {0, 0, 1, 1}));
  EXPECT_EQ(pt::presented_pixels(w).at(0, 0), 0xFFFFFFFFu);
}

TEST_F(WindowTest, InvalidateCoalescesIntoOnePaint) {
  handle w = make_window();
  pw::pump();
  journal.clear();
  pw::invalidate(w);
  pw::invalidate(w);
  pw::invalidate(w);
  pw::pump();
  EXPECT_EQ(records_of(w, pw::WM_PAINT).size(), 1u);
}

// ---- Cursors and icons -------------------------------------------------------------------------

TEST_F(WindowTest, CursorsAndIcons) {
  EXPECT_NE(pw::load_cursor(pw::IDC_SIZEWE), 0u);
  EXPECT_EQ(pw::load_cursor(12345), 0u);
  const std::uint32_t picture[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x00000000};
  const pw::cursor made = pw::create_cursor({picture, 2, 2, 8}, {1, 1});
  ASSERT_NE(made, 0u);
  const pw::cursor before = pw::set_cursor(made);
  EXPECT_EQ(pw::set_cursor(pw::load_cursor(pw::IDC_HAND)), made);
  pw::set_cursor(before);
  EXPECT_TRUE(pw::destroy_cursor(made));

  handle w = make_window();
  const pw::icon i = pw::create_icon({picture, 2, 2, 8});
  ASSERT_NE(i, 0u);
  EXPECT_EQ(pw::set_icon(w, pw::ICON_SMALL, i), 0u);
  EXPECT_EQ(pw::get_icon(w, pw::ICON_SMALL), i);
  const auto pixels = pw::icon_pixels(i);
  EXPECT_EQ(pixels.width, 2);
  EXPECT_EQ(pixels.at(1, 0), 0xFF00FF00u);
  EXPECT_TRUE(pw::destroy_icon(i));
  EXPECT_TRUE(pw::icon_pixels(i).pixels.empty());
}

// ---- Input from Qt ------------------------------------------------------------------------------

TEST_F(WindowTest, QtMouseEventsBecomeMessagesAndAWindowMayDestroyItselfInItsHandler) {
  handle w = make_window(100, 100, 200, 150);
  handlers[w] = [w](unsigned m, pw::wparam, pw::lparam) -> std::optional<pw::result> {
    if (m == pw::WM_LBUTTONUP) pw::destroy(w);
    return std::nullopt;
  };
  QPointer<QWidget> widget = pw::widget_of(w);
  ASSERT_TRUE(widget);
  const QPointF local(12, 34);
  QMouseEvent press(QEvent::MouseButtonPress, local, local + QPointF(100, 100), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, local + QPointF(100, 100), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &release);

  const auto downs = records_of(w, pw::WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(pw::x_of(downs[0].l), 12);
  EXPECT_EQ(pw::y_of(downs[0].l), 34);
  EXPECT_EQ(records_of(w, pw::WM_LBUTTONUP).size(), 1u);
  EXPECT_FALSE(pw::exists(w));
  pw::pump();  // the widget goes once no handler of it runs any more
  EXPECT_TRUE(widget.isNull());
}

TEST_F(WindowTest, QtKeyEventsBecomeKeyAndGbkCharacterMessages) {
  handle w = make_window();
  pw::set_focus(w);
  QWidget* widget = pw::widget_of(w);
  QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QCoreApplication::sendEvent(widget, &letter);
  QKeyEvent chinese(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\u4e2d"));
  QCoreApplication::sendEvent(widget, &chinese);
  QKeyEvent escape(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &escape);

  EXPECT_EQ(records_of(w, pw::WM_KEYDOWN).at(0).w, static_cast<pw::wparam>('A'));
  EXPECT_EQ(records_of(w, pw::WM_KEYUP).at(0).w, static_cast<pw::wparam>(pw::VK_ESCAPE));
  std::vector<pw::wparam> chars;
  for (const auto& r : records_of(w, pw::WM_CHAR)) chars.push_back(r.w);
  EXPECT_EQ(chars, (std::vector<pw::wparam>{'a', 0xD6, 0xD0}));
}

// ---- Calls from the wrong thread -----------------------------------------------------------------

TEST_F(WindowTest, UiThreadOnlyCallsFromOtherThreadsDoNothing) {
  handle w = make_window();
  std::thread worker([&] {
    pw::create_params params;
    params.class_name = "test_window";
    EXPECT_EQ(pw::create(params), 0u);
    EXPECT_FALSE(pw::destroy(w));
    EXPECT_EQ(pw::set_timer(w, 1, 10), 0u);
    EXPECT_FALSE(pw::show(w, pw::SW_HIDE));
    EXPECT_TRUE(pw::exists(w));
  });
  worker.join();
  EXPECT_TRUE(pw::is_visible(w));
}

}  // namespace

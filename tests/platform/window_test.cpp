// The window system: messages across threads, loops, timers, procedures, properties.
#include "window_test_fixture.h"

#include <chrono>
#include <string>
#include <thread>

namespace window_test {
namespace {

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
}  // namespace window_test

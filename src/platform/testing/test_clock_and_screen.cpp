// The manual clock, the fake work area and resetting state between tests.
#include "platform/testing.h"

#include "timer_scheduler.h"
#include "ui_state.h"

namespace platform::window::detail {
void reset_quit();
}

namespace platform::testing {

namespace wd = platform::window::detail;

void use_manual_clock(bool manual) {
  wd::set_manual_clock(manual);
  wd::timer_scheduler::instance().rearm();
}

void advance_clock(unsigned ms) {
  if (!wd::manual_clock()) return;
  wd::timer_scheduler::instance().advance(ms);
}

void set_work_area(std::optional<platform::window::rect> area) { wd::state().fake_work_area = area; }

void reset_input_and_loop() {
  wd::reset_quit();
  auto& s = wd::state();
  s.keys.fill(false);
  s.injected_cursor.reset();
  s.present_observer = nullptr;
}

}  // namespace platform::testing

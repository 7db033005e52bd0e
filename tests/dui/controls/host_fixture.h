// A host window for control tests: a frameless 600 x 400 window with a grey background,
// no caption parts, a manual clock and clean input state.
#pragma once

#include "dui/core/framework.h"
#include "dui/core/host_window.h"
#include "platform/testing.h"
#include "platform/window.h"

#include <gtest/gtest.h>

namespace dui::test {

class HostFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    init_framework();
    platform::testing::reset_input_and_loop();
    platform::testing::use_manual_clock(true);
    FrameWindowOptions options;
    options.width = 600;
    options.height = 400;
    options.show = true;
    window_ = create_frame_window(0, "test", options);
    ASSERT_NE(window_, 0u);
    HostOptions host_options;
    host_options.background_colour = 0x00806040;
    host_options.features = 0;
    host_options.drag_anywhere = 0;
    ASSERT_TRUE(host_.create(window_, host_options));
  }
  void TearDown() override {
    platform::window::destroy(window_);
    platform::testing::use_manual_clock(false);
  }

  // Mouse input in host-window coordinates, delivered at once.
  void move(int x, int y) { platform::testing::mouse_move(window_, {x, y}); pump(); }
  void press(int x, int y, platform::testing::button b = platform::testing::button::left) {
    platform::testing::mouse_down(window_, {x, y}, b);
    pump();
  }
  void release(int x, int y, platform::testing::button b = platform::testing::button::left) {
    platform::testing::mouse_up(window_, {x, y}, b);
    pump();
  }
  // Lets queued messages run, including those the first round posts.
  void pump() {
    for (int round = 0; round < 6; ++round) platform::window::pump();
  }
  void advance(unsigned ms) {
    platform::testing::advance_clock(ms);
    pump();
  }

  WindowHandle window_ = 0;
  Ex_Window host_;
};

}  // namespace dui::test

// Ex_Picture: draw modes, animated frames on the host's timer, zero delays, image changes.
#include "dui/controls/picture.h"

#include "controls_fixture.h"

#include <gtest/gtest.h>

namespace {

using dui_test::ControlsFixture;
namespace gfx = platform::gfx;

constexpr gfx::Argb red = 0xFFFF0000;
constexpr gfx::Argb green = 0xFF00FF00;
constexpr gfx::Argb blue = 0xFF0000FF;

class PictureTest : public ControlsFixture {
 protected:
  gfx::Argb shown(dui::Ex_Picture& picture) { return picture.bitmap()->pixel(5, 5) | 0xFF000000u; }
};

TEST_F(PictureTest, AnimatedGifShowsEachFrameForTheDelayOfTheFrameThatFollows) {
  make_host();
  dui::Ex_Picture picture;
  dui::PictureOptions options;
  options.playing = 1;
  ASSERT_NE(picture.create(window, 10, 10, 20, 20, dui_test::three_frame_gif(10, 20, 30), options), nullptr);
  ASSERT_EQ(picture.frame_total(), 3);
  EXPECT_EQ(picture.delays(), (std::vector<int>{10, 20, 30}));
  struct Step {
    unsigned wait_ms;
    gfx::Argb before, after;
  };
  EXPECT_EQ(shown(picture), red);
  for (Step s : {Step{200, red, green}, Step{300, green, blue}, Step{100, blue, red}, Step{200, red, green}}) {
    advance(s.wait_ms - 1);
    EXPECT_EQ(shown(picture), s.before);
    advance(1);
    EXPECT_EQ(shown(picture), s.after);
  }
  // Stopped, the next tick ends the timer and the picture keeps its frame.
  picture.playing(0);
  const gfx::Argb still = shown(picture);
  advance(1000);
  EXPECT_EQ(shown(picture), still);
}

TEST_F(PictureTest, ZeroDelaysBecomeTenthsOfASecondWhenFixed) {
  make_host();
  dui::Ex_Picture picture;
  dui::PictureOptions options;
  options.playing = 1;
  options.fix_zero_delays = 1;
  picture.create(window, 0, 0, 20, 20, dui_test::three_frame_gif(0, 0, 0), options);
  EXPECT_EQ(picture.delays(), (std::vector<int>{10, 10, 10}));
  advance(100);
  EXPECT_EQ(shown(picture), green);
  advance(100);
  EXPECT_EQ(shown(picture), blue);
}

TEST_F(PictureTest, StillPictureRunsNoTimer) {
  make_host();
  dui::Ex_Picture picture;
  dui::PictureOptions options;
  options.playing = 1;
  picture.create(window, 0, 0, 20, 20, dui_test::solid_png(4, 4, red), options);
  EXPECT_EQ(picture.frame_total(), 1);
  EXPECT_EQ(picture.delays(), std::vector<int>{10});
  const int frames_before = platform::testing::present_count(window);
  advance(2000);
  EXPECT_EQ(platform::testing::present_count(window), frames_before);
  EXPECT_EQ(shown(picture), red);
}

TEST_F(PictureTest, DrawModesPlaceTheImage) {
  make_host();
  // A 4 x 4 red square in a 20 x 20 picture: is (1, 1), (10, 10) and (18, 18) painted?
  struct Case {
    int mode;
    dui::GridRect grid;
    bool top_left, centre, bottom_right;
  };
  const Case cases[] = {
      {dui::draw_mode::natural, {}, true, false, false},
      {dui::draw_mode::stretched, {}, true, true, true},
      {dui::draw_mode::centred, {}, false, true, false},
      {dui::draw_mode::nine_grid, {}, true, false, false},  // empty grid: natural size
      {dui::draw_mode::nine_grid, {1, 1, 3, 3}, true, true, true},
      {9, {}, false, false, false},
  };
  for (const Case& c : cases) {
    dui::Ex_Picture picture;
    dui::PictureOptions options;
    options.draw_mode = c.mode;
    options.grid_rect = c.grid;
    picture.create(window, 0, 0, 20, 20, dui_test::solid_png(4, 4, red), options);
    auto painted = [&](int x, int y) { return gfx::alpha_of(picture.bitmap()->pixel(x, y)) > 0; };
    EXPECT_EQ(painted(1, 1), c.top_left) << "mode " << c.mode;
    EXPECT_EQ(painted(10, 10), c.centre) << "mode " << c.mode;
    EXPECT_EQ(painted(18, 18), c.bottom_right) << "mode " << c.mode;
  }
}

TEST_F(PictureTest, ImageChangeWithEffectHoldsFramesUntilTheTransitionEnds) {
  make_host();
  dui::Ex_Picture picture;
  dui::PictureOptions options;
  options.playing = 1;
  picture.create(window, 0, 0, 20, 20, dui_test::solid_png(4, 4, red), options);
  picture.image(dui_test::three_frame_gif(10, 10, 10), dui::transition::cross_fade, 5, 60);
  EXPECT_EQ(picture.image_transition(), dui::transition::cross_fade);
  EXPECT_TRUE(picture.transition_running());
  EXPECT_EQ(shown(picture), red);  // the new image's first frame
  advance(5 * 60);
  EXPECT_EQ(picture.image_transition(), -1);
  EXPECT_FALSE(picture.transition_running());
  advance(100);
  EXPECT_NE(shown(picture), red);  // frames move on again
}

TEST_F(PictureTest, IconPictureIsAStillImage) {
  make_host();
  gfx::Bitmap square(16, 16);
  square.fill(green);
  const gfx::PixelView pixels = square.pixels();
  const platform::window::icon icon = platform::window::create_icon({pixels.pixels, 16, 16, pixels.bytes_per_line});
  ASSERT_NE(icon, 0u);
  dui::Ex_Picture picture;
  ASSERT_NE(picture.create_from_icon(window, 0, 0, 20, 20, icon), nullptr);
  EXPECT_EQ(picture.frame_total(), 1);
  EXPECT_EQ(picture.delays(), std::vector<int>{10});
  EXPECT_EQ(picture.image(), "");
  EXPECT_EQ(shown(picture), green);
  platform::window::destroy_icon(icon);
}

TEST_F(PictureTest, UndecodableBytesShowNothing) {
  make_host();
  dui::Ex_Picture picture;
  ASSERT_NE(picture.create(window, 0, 0, 20, 20, "not a picture"), nullptr);
  EXPECT_EQ(picture.frame_total(), 0);
  EXPECT_EQ(picture.current_frame(), 0);
  EXPECT_EQ(picture.image(), "not a picture");
  picture.playing(1);
  advance(500);
  EXPECT_EQ(gfx::alpha_of(picture.bitmap()->pixel(5, 5)), 0);
}

}  // namespace

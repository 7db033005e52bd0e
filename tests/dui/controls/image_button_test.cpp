// Ex_ImageButton: kind, the looks by state, toggling and ignored focus events.
#include "dui/controls/image_button.h"

#include "controls_fixture.h"

#include <gtest/gtest.h>

namespace {

namespace gfx = platform::gfx;

// Counts the paint requests the button gets.
class CountingButton : public dui::Ex_ImageButton {
 public:
  ~CountingButton() override { destroy(); }
  int paints = 0;

 protected:
  int pre_filter_event(int code, dui::WParam, dui::LParam) override {
    if (code == dui::event::paint) ++paints;
    return -1;
  }
};

class ImageButtonTest : public dui_test::ControlsFixture {
 protected:
  void SetUp() override {
    ControlsFixture::SetUp();
    dui::HostOptions options;
    options.background_colour = 0x202020;  // a dark background
    make_host(400, 300, options);
    button.create(window, 20, 20, 80, 40);
  }
  void TearDown() override {
    button.destroy();
    ControlsFixture::TearDown();
  }
  int alpha_at(int x, int y) { return gfx::alpha_of(button.bitmap()->pixel(x, y)); }

  CountingButton button;
};

TEST_F(ImageButtonTest, IsKindSevenOnceCreated) { EXPECT_EQ(button.kind(), dui::kind::image_button); }

TEST_F(ImageButtonTest, LooksFollowTheState) {
  // Fill alpha near the top and the bottom of the face, and the outer border's alpha.
  struct Case {
    int state;
    bool visible;
    bool brighter_at_top;
  };
  for (Case c : {Case{dui::text_state::normal, false, false}, Case{dui::text_state::hover, true, true},
                 Case{dui::text_state::pressed, true, false}, Case{dui::text_state::focused, false, false},
                 Case{dui::text_state::disabled, false, false}}) {
    button.paint(c.state, true);
    const int top = alpha_at(40, 3);
    const int bottom = alpha_at(40, 35);
    const int border = alpha_at(40, 0);
    if (!c.visible) {
      EXPECT_EQ(top + bottom + border, 0) << "state " << c.state;
      continue;
    }
    EXPECT_GT(border, 0) << "state " << c.state;
    EXPECT_EQ(top > bottom, c.brighter_at_top) << "state " << c.state;
  }
}

TEST_F(ImageButtonTest, ToggledKeepsTheLitLookAndRepaintsOnlyOnChange) {
  const int before = button.paints;
  EXPECT_EQ(button.toggled(1), 1);
  EXPECT_EQ(button.paints, before + 1);
  button.toggled(1);
  EXPECT_EQ(button.paints, before + 1);
  button.paint(dui::text_state::normal, true);
  EXPECT_GT(alpha_at(40, 3), alpha_at(40, 35));
  button.destroy();
  EXPECT_EQ(button.toggled(), 0);
}

TEST_F(ImageButtonTest, FocusEventsAreIgnored) {
  button.paint(dui::text_state::hover, true);
  EXPECT_EQ(dui::fire_event(&button, dui::event::focus_gained, 0, 0), 0);
  EXPECT_EQ(dui::fire_event(&button, dui::event::focus_lost, 0, 0), 0);
  EXPECT_EQ(button.state(), dui::text_state::hover);
  EXPECT_FALSE(button.transition_running());
}

TEST_F(ImageButtonTest, HoverFadesInTheGlassyLook) {
  dui::fire_event(&button, dui::event::mouse_enter, 0, 0);
  EXPECT_TRUE(button.transition_running());
  advance(4 * 60);
  EXPECT_FALSE(button.transition_running());
  EXPECT_EQ(button.state(), dui::text_state::hover);
  EXPECT_GT(alpha_at(40, 3), 0);
}

}  // namespace

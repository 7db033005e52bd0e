// Ex_ScrollBar: geometry, clamping, arrow auto-repeat, thumb dragging and repaint economy.
#include "dui/controls/scroll_bar.h"

#include "host_fixture.h"

#include <vector>

namespace dui::test {
namespace {

// A horizontal bar of 100 x 10 at (20, 50) that records what its owner hears.
class ScrollBarTest : public HostFixture {
 protected:
  void make_bar(ScrollBarOptions options = {}) {
    ASSERT_NE(bar_.create(window_, left, top, 100, 10, options), nullptr);
    bar_.owner_routine([this](Ex_Control*, int position) { heard_.push_back(position); });
  }
  void TearDown() override {
    bar_.destroy();
    HostFixture::TearDown();
  }
  // Host coordinates of a point of the bar.
  int x(float bar_x) const { return left + int(bar_x); }
  int y() const { return top + 5; }

  static constexpr int left = 20;
  static constexpr int top = 50;
  Ex_ScrollBar bar_;
  std::vector<int> heard_;
};

TEST_F(ScrollBarTest, HorizontalLayoutAndThumbLength) {
  make_bar();
  EXPECT_EQ(bar_.first_arrow_rect().x, 0);
  EXPECT_EQ(bar_.first_arrow_rect().right() - 1, 8);
  EXPECT_EQ(bar_.second_arrow_rect().x, 91);
  EXPECT_EQ(bar_.second_arrow_rect().right() - 1, 99);
  EXPECT_EQ(bar_.track_rect().x, 10);
  EXPECT_EQ(bar_.track_rect().width, 80);
  EXPECT_EQ(bar_.thumb_length(), 35);  // 80 * 80 / 180
  bar_.maximum(320);
  EXPECT_EQ(bar_.current_thumb_length(), 30);  // 16 raised to the least length
  bar_.maximum(0);
  EXPECT_EQ(bar_.current_thumb_length(), 0);
}

TEST_F(ScrollBarTest, VerticalLayout) {
  ScrollBarOptions options;
  options.orientation = 2;
  ASSERT_NE(bar_.create(window_, 0, 0, 10, 100, options), nullptr);
  EXPECT_EQ(bar_.first_arrow_rect().height, 9);
  EXPECT_EQ(bar_.second_arrow_rect().y, 91);
  EXPECT_EQ(bar_.track_rect().y, 10);
  EXPECT_EQ(bar_.track_rect().height, 80);
  EXPECT_EQ(bar_.thumb_length(), 35);
}

TEST_F(ScrollBarTest, PositionIsClampedToTheRange) {
  make_bar();
  bar_.maximum(320);
  struct Case {
    int given, stored;
  };
  for (const Case c : {Case{500, 320}, Case{-5, 0}, Case{120, 120}, Case{320, 320}}) {
    EXPECT_EQ(bar_.position(c.given), c.stored) << c.given;
  }
  bar_.maximum(50);
  EXPECT_EQ(bar_.position(), 50);  // lowered with the maximum
  bar_.minimum(60);
  EXPECT_EQ(bar_.position(), 60);
  EXPECT_TRUE(heard_.empty());  // the owner is told only about the user's moves
}

TEST_F(ScrollBarTest, ThumbFollowsThePosition) {
  make_bar();
  bar_.position(100);
  EXPECT_FLOAT_EQ(bar_.thumb_rect().x, 10 + 80 - 35);
  EXPECT_EQ(static_cast<int>(bar_.position_at(10)), 0);
  EXPECT_EQ(static_cast<int>(bar_.position_at(55)), 100);
  EXPECT_EQ(static_cast<int>(bar_.position_at(10 + 22.5)), 50);
}

TEST_F(ScrollBarTest, HeldFirstArrowStopsAtMinimum) {
  ScrollBarOptions options;
  options.position = 3;
  options.step = 5;
  make_bar(options);
  press(x(4), y());
  advance(99);
  EXPECT_EQ(bar_.position(), 3);  // the first step comes 100 ms after the press
  advance(1);
  EXPECT_EQ(bar_.position(), 0);
  EXPECT_EQ(heard_, std::vector<int>{0});
  advance(500);
  EXPECT_EQ(heard_, std::vector<int>{0});  // the timer stopped at the end
  release(x(4), y());
}

TEST_F(ScrollBarTest, HeldSecondArrowRepeatsEvery100msUntilReleased) {
  ScrollBarOptions options;
  options.step = 10;
  make_bar(options);
  press(x(95), y());
  advance(300);
  EXPECT_EQ(heard_, (std::vector<int>{10, 20, 30}));
  release(x(95), y());
  advance(300);
  EXPECT_EQ(bar_.position(), 30);
}

TEST_F(ScrollBarTest, DraggingTheThumbTellsTheOwnerLiveOrAtRelease) {
  for (int live : {1, 0}) {
    SCOPED_TRACE(live);
    ScrollBarOptions options;
    options.live_tracking = live;
    make_bar(options);
    heard_.clear();
    press(x(20), y());  // on the thumb (10 .. 45), 10 pixels into it
    EXPECT_EQ(bar_.pressed_part(), Ex_ScrollBar::thumb);
    move(x(42), y());   // thumb start 32: (32 - 10) / (45 / 100)
    EXPECT_EQ(bar_.position(), 48);
    move(x(200), y());
    EXPECT_EQ(bar_.position(), 100);
    EXPECT_EQ(heard_, (live ? std::vector<int>{48, 100} : std::vector<int>{}));
    release(x(200), y());
    EXPECT_EQ(heard_, (live ? std::vector<int>{48, 100} : std::vector<int>{100}));
    EXPECT_EQ(bar_.pressed_part(), Ex_ScrollBar::none);
    bar_.destroy();
  }
}

TEST_F(ScrollBarTest, RepaintsOnlyWhenTheLitPartChanges) {
  make_bar();
  move(x(60), y());  // track
  EXPECT_EQ(bar_.last_state(), Ex_ScrollBar::track_part);
  const int painted = bar_.paint_count();
  move(x(70), y());  // still the track
  EXPECT_EQ(bar_.paint_count(), painted);
  move(x(20), y());  // the thumb
  EXPECT_EQ(bar_.last_state(), Ex_ScrollBar::thumb);
  EXPECT_GT(bar_.paint_count(), painted);
}

TEST_F(ScrollBarTest, NothingToScrollMeansNoThumbAndNoOwnerCalls) {
  ScrollBarOptions options;
  options.maximum = 0;
  make_bar(options);
  EXPECT_EQ(bar_.thumb_length(), 0);
  press(x(95), y());
  advance(300);
  release(x(95), y());
  EXPECT_TRUE(heard_.empty());
  EXPECT_EQ(bar_.last_state(), Ex_ScrollBar::none);
}

}  // namespace
}  // namespace dui::test

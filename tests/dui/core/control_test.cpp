// The control base: bindings, delivery, moving, the tree, composition, hit testing,
// transitions and destruction.
#include "host_fixture.h"

#include <cstdlib>

namespace dui_test {
namespace {

using dui::Ex_Control;
using dui::RectF;

class ControlTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    make_host();
  }
};

TEST_F(ControlTest, RebindingKeepsThePlaceAnd515MatchesOnlyDoubleClicks) {
  auto c = probe(window, {10, 10, 50, 20});
  std::vector<std::string> calls;
  c->bind_event(515, Ex_Control::EventHandler([&](Ex_Control*, int, dui::WParam, dui::LParam) { calls.push_back("A"); }));
  c->bind_event(513, Ex_Control::EventHandler([&](Ex_Control*, int, dui::WParam, dui::LParam) { calls.push_back("B"); }));
  // Replaces A and stays in front of the 513 binding.
  c->bind_event(515, Ex_Control::EventHandler([&](Ex_Control*, int, dui::WParam, dui::LParam) { calls.push_back("C"); }));

  dui::fire_event(c.get(), 513, 0, 0);
  dui::fire_event(c.get(), 513, dui::event::double_click_mark, 0);
  dui::fire_event(c.get(), 515, 0, 0);  // 515 itself is never a match

  EXPECT_EQ(calls, (std::vector<std::string>{"B", "C"}));
  EXPECT_EQ(c->count(513), 2);  // on_event sees both presses as 513
}

TEST_F(ControlTest, HandlersOfPartsGetTheirParentFirst) {
  auto parent = probe(window, {10, 10, 100, 100});
  auto child = probe(parent.get(), {20, 20, 30, 30});
  Ex_Control* got_parent = nullptr;
  Ex_Control* got_control = nullptr;
  Ex_Control* plain = nullptr;
  child->bind_event(dui::event::click, Ex_Control::ChildEventHandler([&](Ex_Control* p, Ex_Control* c, int code,
                                                                          dui::WParam, dui::LParam lparam) {
                      got_parent = p;
                      got_control = c;
                      EXPECT_EQ(code, dui::event::click);
                      EXPECT_EQ(lparam, 7);
                    }));
  parent->bind_event(dui::event::click,
                     Ex_Control::EventHandler([&](Ex_Control* c, int, dui::WParam, dui::LParam) { plain = c; }));

  EXPECT_EQ(dui::fire_event(child.get(), dui::event::click, 0, 7), -1);
  dui::fire_event(parent.get(), dui::event::click, 0, 0);

  EXPECT_EQ(got_parent, parent.get());
  EXPECT_EQ(got_control, child.get());
  EXPECT_EQ(plain, parent.get());
  EXPECT_EQ(dui::fire_event(nullptr, dui::event::click, 0, 0), 0);
}

TEST_F(ControlTest, UnchangedGeometryRaisesNothing) {
  auto c = probe(window, {10, 10, 50, 20});
  c->seen.clear();
  EXPECT_EQ(c->width(50), 50);
  c->move(10, 10, 50, 20);
  c->bounds(RectF{10, 10, 50, 20});
  EXPECT_TRUE(c->seen.empty());

  c->width(60);
  EXPECT_EQ(c->codes({dui::event::resized, dui::event::paint, dui::event::moved}),
            (std::vector<int>{dui::event::resized, dui::event::paint, dui::event::moved}));
  EXPECT_EQ(c->bitmap()->width(), 60);
  EXPECT_FLOAT_EQ(c->previous_bounds().width, 50);
}

TEST_F(ControlTest, DescendantsMoveWithTheirParent) {
  auto parent = probe(window, {10, 10, 200, 200});
  auto child = probe(parent.get(), {20, 30, 50, 50});
  auto grandchild = probe(child.get(), {25, 35, 10, 10});
  parent->move(20, 15);

  EXPECT_EQ(child->bounds().x, 30);
  EXPECT_EQ(child->bounds().y, 35);
  EXPECT_EQ(child->bounds().width, 50);
  EXPECT_EQ(grandchild->bounds().x, 35);
  EXPECT_EQ(grandchild->bounds().y, 40);
  EXPECT_EQ(grandchild->previous_bounds().width, 0);  // only the moved control notes its old place
  EXPECT_EQ(parent->previous_bounds().x, 10);
}

TEST_F(ControlTest, TreeLinksFollowZOrderAndParentChanges) {
  auto a = probe(window, {0, 0, 10, 10});
  auto b = probe(window, {0, 0, 10, 10});
  auto only_child = probe(a.get(), {0, 0, 5, 5});
  EXPECT_EQ(host->first_control(), a.get());
  EXPECT_EQ(host->last_control(), b.get());

  only_child->set_z_order(2);
  EXPECT_EQ(a->first_child(), only_child.get());
  EXPECT_EQ(a->last_child(), only_child.get());

  b->set_z_order(2);  // to the bottom
  EXPECT_EQ(host->first_control(), b.get());
  EXPECT_EQ(b->next(), a.get());
  EXPECT_EQ(a->prev(), b.get());
  EXPECT_EQ(host->last_control(), a.get());

  a->set_parent(only_child.get());  // its own subtree: refused
  EXPECT_EQ(a->get_parent(), nullptr);

  b->destroy();
  only_child->set_parent(nullptr);
  EXPECT_EQ(a->first_child(), nullptr);
  EXPECT_EQ(host->first_control(), a.get());
  EXPECT_EQ(host->last_control(), only_child.get());
  EXPECT_EQ(only_child->prev(), a.get());
}

TEST_F(ControlTest, InitTwiceChangesNothingAndAStaleParentCreatesNothing) {
  auto c = probe(window, {0, 0, 10, 10});
  const std::size_t events = c->seen.size();
  EXPECT_EQ(c->init_control(window, {5, 5, 20, 20}, 2, 1), c.get());
  EXPECT_EQ(c->seen.size(), events);
  EXPECT_EQ(c->bounds().x, 0);

  auto parent = probe(window, {0, 0, 10, 10});
  parent->destroy();
  ProbeControl orphan;
  EXPECT_EQ(orphan.create(parent.get(), {0, 0, 5, 5}), nullptr);
  EXPECT_FALSE(orphan.is_live());
  EXPECT_TRUE(orphan.seen.empty());
  ProbeControl nowhere;
  EXPECT_EQ(nowhere.create(dui::WindowHandle{0}, {0, 0, 5, 5}), nullptr);
}

TEST_F(ControlTest, DisabledControlIsComposedAtHalfAlphaAndNeverHit) {
  auto c = probe(window, {50, 50, 40, 40}, 0xFFFF0000);
  auto child = probe(c.get(), {60, 60, 10, 10}, 0xFF0000FF);
  c->disabled(1);
  pump();
  const gfx::Argb p = pixel(52, 52);  // red at 127 over white
  EXPECT_NEAR(gfx::red_of(p), 255, 1);
  EXPECT_NEAR(gfx::green_of(p), 128, 2);
  EXPECT_EQ(dui::hit_test(host->last_control(), 52, 52), nullptr);
  EXPECT_EQ(dui::hit_test(host->last_control(), 62, 62), nullptr);

  c->answers[dui::event::disabled_look] = 0;  // the class draws its own disabled look
  c->invalidate();
  pump();
  EXPECT_EQ(pixel(52, 52), 0xFFFF0000u);

  c->disabled(0);
  EXPECT_EQ(dui::hit_test(host->last_control(), 62, 62), child.get());
  EXPECT_EQ(dui::hit_test(host->last_control(), 52, 52), c.get());
  EXPECT_EQ(dui::hit_test(host->last_control(), 90, 52), nullptr);  // right edge is outside
  c->visible(0);
  pump();
  EXPECT_EQ(dui::hit_test(host->last_control(), 62, 62), nullptr);
  EXPECT_EQ(pixel(62, 62) & 0xFFFFFFu, 0xFFFFFFu);  // the white background
}

TEST_F(ControlTest, CompositionTouchesOnlyTheDirtyRectangle) {
  auto left = probe(window, {20, 20, 40, 40}, 0xFF00FF00);
  auto right = probe(window, {100, 20, 40, 40}, 0xFF00FF00);
  pump();
  left->set_colour(0xFF0000FF);
  right->set_colour(0xFF0000FF);
  left->suspend_refresh();
  right->suspend_refresh();
  left->repaint();
  right->repaint();
  host->recompose(RectF{20, 20, 40, 40}, false);
  EXPECT_EQ(pixel(30, 30), 0xFF0000FFu);
  EXPECT_EQ(pixel(110, 30), 0xFF00FF00u);  // not recomposed yet
}

TEST_F(ControlTest, CrossFadeBlendsTheNewImageInOverFourFrames) {
  platform::testing::use_manual_clock(true);
  auto c = probe(window, {40, 40, 30, 30}, 0xFFFF0000);
  pump();
  c->animation_frames(4, 10);
  c->set_colour(0xFF0000FF);
  c->repaint();
  EXPECT_EQ(c->count(dui::event::animation_started), 1);
  EXPECT_EQ(pixel(50, 50), 0xFFFF0000u);  // the first frame comes one interval later

  for (int expected : {63, 127, 191}) {
    platform::testing::advance_clock(10);
    const gfx::Argb p = pixel(50, 50);
    EXPECT_NEAR(gfx::blue_of(p), expected, 1);
    EXPECT_NEAR(gfx::red_of(p), 255 - expected, 1);
  }
  platform::testing::advance_clock(10);
  EXPECT_EQ(pixel(50, 50), 0xFF0000FFu);
  EXPECT_EQ(c->count(dui::event::animation_finished), 1);
  EXPECT_EQ(c->previous_image(), nullptr);
  EXPECT_EQ(c->animation_frame(), 4);
}

TEST_F(ControlTest, SlideDownMovesBothImagesByTheFrameOffset) {
  platform::testing::use_manual_clock(true);
  dui::ControlOptions options;
  options.animation_effect = dui::transition::slide_down;
  auto c = probe(window, {40, 40, 40, 40}, 0xFFFF0000, options);
  pump();
  c->animation_frames(4, 10);
  c->set_colour(0xFF0000FF);
  c->repaint();
  platform::testing::advance_clock(10);  // offset 10: new image on top 10 rows
  EXPECT_EQ(pixel(50, 45), 0xFF0000FFu);
  EXPECT_EQ(pixel(50, 55), 0xFFFF0000u);
  EXPECT_EQ(pixel(50, 85) & 0xFFFFFFu, 0xFFFFFFu);  // nothing outside the control's bounds
}

TEST_F(ControlTest, DestroyLeavesTheHostWithoutReferences) {
  auto c = probe(window, {20, 20, 40, 40});
  platform::testing::mouse_move(window, {30, 30});
  platform::testing::mouse_down(window, {30, 30});
  pump();
  ASSERT_EQ(host->pressed(), c.get());
  ASSERT_EQ(host->focus(), c.get());
  ASSERT_EQ(host->hot(), c.get());

  c->post_event(dui::event::click, 0, 0);
  c->destroy();
  EXPECT_EQ(host->pressed(), nullptr);
  EXPECT_EQ(host->button_down(), 0);
  EXPECT_EQ(host->focus(), nullptr);
  EXPECT_EQ(host->hot(), nullptr);
  EXPECT_EQ(c->get_handle(), nullptr);
  c->seen.clear();
  platform::testing::mouse_up(window, {30, 30});
  pump();  // the posted click finds the control gone
  EXPECT_TRUE(c->seen.empty());
  c->destroy();  // twice: nothing

  // A control deleted outright with an event still queued and a class timer running.
  auto d = probe(window, {20, 20, 40, 40});
  d->post_event(dui::event::click, 0, 0);
  pw::set_timer(window, wref(d.get()), 1);
  d.reset();
  pump();
  pw::send(window, pw::WM_TIMER, 12345, 0);  // not a control of this host
  SUCCEED();
}

TEST_F(ControlTest, DisablingTheFocusedControlDropsTheFocus) {
  auto c = probe(window, {20, 20, 40, 40});
  host->set_focus(c.get(), false);
  ASSERT_EQ(host->focus(), c.get());
  c->seen.clear();
  c->disabled(1);
  EXPECT_EQ(host->focus(), nullptr);
  pump();  // focus lost and mouse leave are posted
  EXPECT_EQ(c->codes({dui::event::focus_lost, dui::event::mouse_leave}),
            (std::vector<int>{dui::event::focus_lost, dui::event::mouse_leave}));
  host->set_focus(c.get(), false);  // a disabled control takes no focus
  EXPECT_EQ(host->focus(), nullptr);
}

TEST_F(ControlTest, PropertiesSendTheirEvents) {
  auto c = probe(window, {20, 20, 40, 40});
  c->seen.clear();
  c->visible(0);
  c->visible(0);
  c->alpha(100);
  c->tag(std::string("x"));
  EXPECT_EQ(c->codes({dui::event::hidden, dui::event::shown, dui::event::alpha_changed}),
            (std::vector<int>{dui::event::hidden, dui::event::alpha_changed}));
  EXPECT_EQ(c->last(dui::event::alpha_changed)->lparam, 100);
  EXPECT_EQ(c->tag(), "x");
  EXPECT_EQ(c->alpha(999), 255);
  c->answers[dui::event::focus_query] = 1;
  EXPECT_TRUE(c->has_focus());
}

}  // namespace
}  // namespace dui_test

// Host painting: the background (skin, opacity, shape, frame), animations timed through the
// manual clock, the fade-in, the average colour and moves while the host is busy.
#include "host_fixture.h"

#include <atomic>
#include <thread>

namespace dui_test {
namespace {

using dui::Ex_Control;
namespace pt = platform::testing;

// An opaque gradient picture, PNG-encoded.
std::string skin_png(int width, int height) {
  gfx::Bitmap skin(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      skin.set_pixel(x, y, gfx::argb(255, static_cast<std::uint8_t>(40 + x % 200), 90, static_cast<std::uint8_t>(200 - y % 150)));
    }
  }
  return skin.encode_png();
}

std::string solid_png(int width, int height, gfx::Argb colour) {
  gfx::Bitmap picture(width, height);
  picture.fill(colour);
  return picture.encode_png();
}

class HostPaintingTest : public HostFixture {
 protected:
  std::vector<dui::AnimationFrame> frames;
  void observe() {
    dui::set_animation_observer([this](const dui::AnimationFrame& f) { frames.push_back(f); });
  }
  std::vector<unsigned> sleeps() const {
    std::vector<unsigned> out;
    for (const auto& f : frames) out.push_back(f.sleep_ms);
    return out;
  }
};

TEST_F(HostPaintingTest, LayeredSkinCarriesTheWindowAlphaAndRepaintsIdentically) {
  dui::HostOptions options;
  options.window_alpha = 250;
  options.skin_image = skin_png(400, 300);
  options.background_colour = -1;
  make_host(300, 200, options);
  const gfx::Bitmap first = host->background_copy();
  for (int y = 10; y < 190; y += 7) {
    for (int x = 10; x < 290; x += 7) {
      ASSERT_EQ(gfx::alpha_of(first.pixel(x, y)), 250) << x << "," << y;
    }
  }
  host->set_background(skin_png(400, 300), std::nullopt, dui::background_mode::present);
  const gfx::Bitmap second = host->background_copy();
  for (int y = 0; y < 200; y += 3) {
    for (int x = 0; x < 300; x += 3) ASSERT_EQ(first.pixel(x, y), second.pixel(x, y)) << x << "," << y;
  }
  // The whole window goes to the screen as one layered update.
  EXPECT_EQ(gfx::alpha_of(pt::presented_pixels(window).at(100, 100) >> 0), 250);
}

TEST_F(HostPaintingTest, LayeredWindowIsUpdatedOncePerRepaint) {
  dui::HostOptions options;
  options.window_alpha = 255;
  make_host(300, 200, options);
  auto a = probe(window, {20, 20, 40, 40}, 0xFF00FF00);
  pump();
  for (bool queued : {true, false}) {
    const int before = pt::present_count(window);
    if (queued) {
      a->repaint();  // the paint queues its area and the queue flushes
    } else {
      a->invalidate();  // recomposed at once
      pump();
    }
    EXPECT_EQ(pt::present_count(window) - before, 1) << queued;
  }
  const auto shown = pt::presented_pixels(window);
  EXPECT_EQ(shown.at(30, 30), 0xFF00FF00u);
}

TEST_F(HostPaintingTest, CornerRadiusShapesFrameAndClip) {
  struct Case {
    int radius;
    bool corner_painted;   // pixel (6, 6): inside the shape
    bool frame_line;       // pixel (6, 100): the grey frame line over the white skin
    bool clip_region;
  };
  for (const Case& c : {Case{0, true, true, true}, Case{1, true, false, false}, Case{7, false, true, true}}) {
    dui::HostOptions options;
    options.corner_radius = c.radius;
    options.skin_image = solid_png(300, 200, 0xFFFFFFFF);
    options.image_frame = 0;
    make_host(300, 200, options);
    const gfx::Bitmap& bg = host->background_copy();
    EXPECT_EQ(gfx::alpha_of(bg.pixel(6, 6)) != 0, c.corner_painted) << c.radius;
    EXPECT_EQ(gfx::red_of(bg.pixel(6, 100)) < 200, c.frame_line) << c.radius;
    EXPECT_EQ(gfx::red_of(bg.pixel(20, 100)), 255) << c.radius;
    EXPECT_EQ(host->clip_region() != nullptr, c.clip_region) << c.radius;
    host.reset();
    pw::destroy(window);
    window = 0;
  }
}

TEST_F(HostPaintingTest, ShowEffectsTakeTenTimedSteps) {
  pt::use_manual_clock(true);
  struct Case {
    int effect;
    std::vector<unsigned> sleeps;
  };
  const std::vector<unsigned> even(10, 20);
  for (const Case& c : {Case{1, even}, Case{3, even}, Case{6, even}, Case{7, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1}}}) {
    make_host(300, 200);
    frames.clear();
    observe();
    const std::uint32_t start = pw::tick_count();
    host->show(c.effect, 200);
    EXPECT_EQ(sleeps(), c.sleeps) << c.effect;
    ASSERT_EQ(frames.size(), 10u);
    EXPECT_EQ(frames[0].alpha, 0);
    EXPECT_EQ(frames[9].alpha, 225);
    unsigned total = 0;
    for (unsigned s : c.sleeps) total += s;
    EXPECT_EQ(pw::tick_count() - start, total);
    EXPECT_EQ(host->busy(), 0);
    host.reset();
    pw::destroy(window);
    window = 0;
  }
}

TEST_F(HostPaintingTest, WipesRevealFromTheirEdge) {
  pt::use_manual_clock(true);
  struct Case {
    int effect;
    pw::point shown;   // inside the revealed part at step 6
    pw::point hidden;  // beyond the revealed part and its 100-line fringe
  };
  // 300 x 400: step 6 reveals 150 columns (or 200 rows) from the starting edge.
  for (const Case& c : {Case{3, {100, 100}, {290, 100}}, Case{4, {200, 100}, {10, 100}}, Case{5, {150, 150}, {150, 350}},
                        Case{6, {150, 250}, {150, 50}}}) {
    make_host(300, 400);
    int shown_alpha = -1, hidden_alpha = -1;
    dui::set_animation_observer([&](const dui::AnimationFrame& f) {
      if (f.step != 6) return;
      const auto pixels = pt::presented_pixels(window);
      shown_alpha = static_cast<int>(pixels.at(c.shown.x, c.shown.y) >> 24);
      hidden_alpha = static_cast<int>(pixels.at(c.hidden.x, c.hidden.y) >> 24);
    });
    host->show(c.effect, 100);
    EXPECT_NEAR(shown_alpha, 125, 2) << c.effect;
    EXPECT_EQ(hidden_alpha, 0) << c.effect;
    host.reset();
    pw::destroy(window);
    window = 0;
  }
}

TEST_F(HostPaintingTest, PopCloseDrawsTwentyFramesEndingAtAlpha15) {
  pt::use_manual_clock(true);
  make_host(300, 200);
  std::vector<int> shown_alpha;  // what the window showed in its centre at each frame
  dui::set_animation_observer([&](const dui::AnimationFrame& f) {
    frames.push_back(f);
    shown_alpha.push_back(static_cast<int>(pt::presented_pixels(window).at(150, 100) >> 24));
  });
  host->set_close_effect(dui::window_effect::pop);
  pw::send(window, pw::WM_CLOSE);
  ASSERT_EQ(frames.size(), 20u);
  EXPECT_NEAR(shown_alpha.front(), 243, 2);
  EXPECT_NEAR(shown_alpha.back(), 15, 1);
  EXPECT_TRUE(frames.back().closing);
  EXPECT_EQ(frames.back().alpha, 15);
  EXPECT_EQ(frames[0].sleep_ms, 15u);
  EXPECT_EQ(frames[9].sleep_ms, 10u);
  EXPECT_FALSE(pw::exists(window));
  window = 0;
}

TEST_F(HostPaintingTest, FadeInKeepsTheHostBusyForFiveStepsAndMovesWaitWithoutSpinning) {
  pt::use_manual_clock(true);
  make_host(300, 200);
  auto c = probe(window, {20, 20, 40, 40}, 0xFF0000FF);
  pump();
  host->set_background(std::nullopt, 0x0000FF, dui::background_mode::fade_in);  // red
  EXPECT_EQ(host->busy(), 1);
  c->move(100, 100);  // on the window's thread: returns at once
  EXPECT_EQ(c->bounds().x, 100);
  for (int step = 0; step < 4; ++step) {
    pt::advance_clock(50);
    EXPECT_EQ(host->busy(), 1) << step;
  }
  pt::advance_clock(50);
  EXPECT_EQ(host->busy(), 0);
  EXPECT_EQ(pixel(110, 110), 0xFF0000FFu);             // the control at its new place
  EXPECT_EQ(pixel(30, 30) & 0xFFFFFFu, 0xFF0000u);     // red background where it was
}

TEST_F(HostPaintingTest, WorkerThreadBuildsControlsAndItsMoveWaitsForTheBusyHost) {
  make_host(300, 200);
  auto c = std::make_unique<ProbeControl>(0xFF0000FF);
  std::atomic<bool> moved{false};
  host->set_background(std::nullopt, 0x0000FF, dui::background_mode::fade_in);  // busy for five ticks
  std::thread worker([&] {
    c->create(window, {20, 20, 40, 40});
    c->move(100, 100);  // refused while the host is busy; retried until it is free
    moved = true;
    pw::wake();
  });
  const bool finished = pw::run_until([&] { return moved.load(); });
  worker.join();
  ASSERT_TRUE(finished);
  EXPECT_EQ(c->event_thread, std::this_thread::get_id());  // events ran on the window's thread
  EXPECT_GT(c->count(dui::event::moved), 1);                // the first answers were refusals
  EXPECT_EQ(host->busy(), 0);
  EXPECT_EQ(pixel(110, 110), 0xFF0000FFu);
}

TEST_F(HostPaintingTest, HostGoneDuringAFadeInLeavesNoTimerBehind) {
  pt::use_manual_clock(true);
  make_host(300, 200);
  host->set_background(std::nullopt, 0x0000FF, dui::background_mode::fade_in);
  host.reset();              // the window stays, its host goes
  pt::advance_clock(500);    // the fade timer must not reach the freed host
  EXPECT_TRUE(pw::exists(window));
}

TEST_F(HostPaintingTest, AverageColourAndBackgroundSource) {
  gfx::Bitmap two(2, 1);
  two.set_pixel(0, 0, 0xFFFF0000);
  two.set_pixel(1, 0, 0xFF0000FF);
  EXPECT_EQ(dui::average_colour(two), 0x7F007F);
  EXPECT_EQ(dui::average_colour(gfx::Bitmap()), 0);

  dui::HostOptions options;
  options.skin_image = skin_png(50, 40);
  options.background_colour = -1;
  make_host(200, 150, options);
  ASSERT_NE(host->background_image(), nullptr);
  const dui::Colour skin_average = host->background_colour();
  EXPECT_EQ(skin_average, dui::average_colour(*host->background_image()));

  pw::create_params params;
  params.class_name = "HostTestWindow";
  params.width = 100;
  params.height = 80;
  const pw::handle second_window = pw::create(params);
  dui::HostOptions borrowing;
  borrowing.background_source = window;
  dui::Ex_Window second;
  ASSERT_TRUE(second.create(second_window, borrowing));
  EXPECT_EQ(second.background_image(), host->background_image());
  EXPECT_EQ(second.background_colour(), skin_average);
  EXPECT_FALSE(dui::set_blur(second_window, 6, 6, 95, 75, 6, 7, 255));
  pw::destroy(second_window);
}

}  // namespace
}  // namespace dui_test

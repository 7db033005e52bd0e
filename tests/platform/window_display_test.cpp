// The window system: geometry, styles, the move and size loops, presentation, cursors, icons.
#include "window_test_fixture.h"

namespace window_test {
namespace {

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

  std::vector<std::uint32_t> frame_alphas;  // every frame can be watched as it is presented
  pt::watch_presentations([&](handle window) { frame_alphas.push_back(pt::presented_pixels(window).at(0, 0) >> 24); });
  pw::present_layered(w, view, 64);
  pw::present_layered(w, view, 32);
  EXPECT_EQ(frame_alphas, (std::vector<std::uint32_t>{64, 32}));
  EXPECT_EQ(pt::present_count(w), 4);

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

}  // namespace
}  // namespace window_test

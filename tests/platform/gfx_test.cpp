#include "platform/gfx.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

using namespace platform::gfx;
using platform::text::utf8_to_gbk;

namespace {

constexpr Argb kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

// Where tests leave pictures for a person to look at.
std::string artifact(const std::string& name) {
  const char* dir = std::getenv("QUENBO_TEST_ARTIFACTS");
  std::filesystem::path base = dir ? dir : std::filesystem::temp_directory_path().string();
  std::filesystem::create_directories(base);
  return (base / name).string();
}

::testing::AssertionResult near_colour(Argb actual, Argb expected, int tolerance = 3) {
  auto close = [&](int a, int b) { return std::abs(a - b) <= tolerance; };
  if (close(alpha_of(actual), alpha_of(expected)) && close(red_of(actual), red_of(expected)) &&
      close(green_of(actual), green_of(expected)) && close(blue_of(actual), blue_of(expected)))
    return ::testing::AssertionSuccess();
  char text[80];
  std::snprintf(text, sizeof text, "0x%08X is not near 0x%08X", actual, expected);
  return ::testing::AssertionFailure() << text;
}

// Pixels of one row of a bitmap that are not transparent.
int painted_in_row(const Bitmap& b, int y, int from = 0, int to = -1) {
  if (to < 0) to = b.width();
  int n = 0;
  for (int x = from; x < to; ++x) n += alpha_of(b.pixel(x, y)) != 0;
  return n;
}

Font cjk_font(float size = 16, int style = font_regular) { return Font::create(utf8_to_gbk("微软雅黑"), size, style); }

// ----- bitmaps ---------------------------------------------------------------------------

TEST(GfxBitmap, StoresColoursPremultipliedAndAnswersThemStraight) {
  Bitmap b(4, 3);
  ASSERT_FALSE(b.is_null());
  EXPECT_EQ(b.pixel(0, 0), 0u);
  b.set_pixel(1, 1, 0x80FF8000);
  EXPECT_TRUE(near_colour(b.pixel(1, 1), 0x80FF8000, 2));
  EXPECT_EQ(b.pixels().row(1)[1], 0x80804000u);  // premultiplied inside
  EXPECT_EQ(b.pixel(-1, 0), 0u);
  EXPECT_EQ(b.pixel(4, 0), 0u);
}

TEST(GfxBitmap, RefusesZeroAndHugeSizes) {
  for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 4}, {Bitmap::max_side + 1, 1}, {100000, 100000}}) {
    Bitmap b(w, h);
    EXPECT_TRUE(b.is_null()) << w << "x" << h;
    Graphics g(b);  // a graphics on nothing draws nothing
    g.fill_rect(Brush::solid(kRed), {0, 0, 10, 10});
    g.draw_string(std::string_view("x"), cjk_font(), {0, 0, 10, 10}, {}, Brush::solid(kRed));
    EXPECT_TRUE(g.is_null());
  }
}

TEST(GfxBitmap, CloneAreaIsClippedToTheBitmap) {
  Bitmap b(10, 10);
  b.set_pixel(8, 8, kRed);
  Bitmap part = b.clone_area({5, 5, 20, 20});
  ASSERT_EQ(part.width(), 5);
  ASSERT_EQ(part.height(), 5);
  EXPECT_EQ(part.pixel(3, 3), kRed);
  EXPECT_TRUE(b.clone_area({20, 20, 5, 5}).is_null());
  Bitmap copy = b;  // copies are independent
  copy.set_pixel(8, 8, kBlue);
  EXPECT_EQ(b.pixel(8, 8), kRed);
}

// ----- paths -----------------------------------------------------------------------------

TEST(GfxPath, RoundedRectangleIsFourArcsInsideTheRectangle) {
  struct Case {
    RectF rect;
    float corner;
    RectF bounds;
    PointF inside, outside;
  };
  const Case cases[] = {
      // Right arcs start at x = 92, bottom arcs at y = 22; the figure ends at right - 1.
      {{0, 0, 100, 30}, 7, {0, 0, 99, 29}, {50, 15}, {0.3f, 0.3f}},
      {{10, 20, 50, 40}, 4, {10, 20, 49, 39}, {11, 40}, {58.9f, 58.9f}},
      {{0, 0, 100, 30}, 0, {0, 0, 99, 29}, {0.2f, 0.2f}, {99.5f, 15}},
      {{0, 0, 6, 6}, 3, {0, 0, 5, 5}, {2.5f, 2.5f}, {5.5f, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.corner);
    Path path = rounded_rect_path(c.rect, c.corner);
    RectF b = path.bounds();
    EXPECT_NEAR(b.x, c.bounds.x, 0.01);
    EXPECT_NEAR(b.y, c.bounds.y, 0.01);
    EXPECT_NEAR(b.width, c.bounds.width, 0.01);
    EXPECT_NEAR(b.height, c.bounds.height, 0.01);
    EXPECT_TRUE(path.contains(c.inside));
    EXPECT_FALSE(path.contains(c.outside));
  }
}

TEST(GfxPath, ArcsRunClockwiseFromTheXAxis) {
  // A quarter from 0 to 90 degrees on the circle of radius 10 around (10, 10): from the
  // rightmost point down to the bottom point.
  Path path;
  path.add_arc({0, 0, 20, 20}, 0, 90);
  std::vector<PointF> points = path.flattened();
  ASSERT_GE(points.size(), 2u);
  EXPECT_NEAR(points.front().x, 20, 0.01);
  EXPECT_NEAR(points.front().y, 10, 0.01);
  EXPECT_NEAR(points.back().x, 10, 0.01);
  EXPECT_NEAR(points.back().y, 20, 0.01);
  for (PointF p : points) EXPECT_GE(p.y, 10 - 0.01);  // stays in the lower half
}

TEST(GfxPath, RoundedFillLeavesTheCornersTransparent) {
  Bitmap b(40, 20);
  Graphics g(b);
  g.fill_path(Brush::solid(kRed), rounded_rect_path({0, 0, 40, 20}, 8));
  EXPECT_EQ(b.pixel(0, 0), 0u);
  EXPECT_EQ(b.pixel(38, 18), 0u);
  EXPECT_EQ(b.pixel(20, 10), kRed);
  EXPECT_EQ(b.pixel(20, 0), kRed);  // edges at pixel centres: the top row is covered
  EXPECT_EQ(b.pixel(39, 10), 0u);   // the figure ends at right - 1
}

// ----- brushes and pens ------------------------------------------------------------------

TEST(GfxBrush, LinearGradientRunsFromEdgeToEdgeAndFlipsBeyond) {
  Bitmap b(200, 10);
  Graphics g(b);
  g.fill_rect(Brush::linear({0, 0, 100, 10}, kRed, kBlue, LinearMode::horizontal), {0, 0, 200, 10});
  EXPECT_TRUE(near_colour(b.pixel(0, 5), kRed, 4));
  EXPECT_TRUE(near_colour(b.pixel(99, 5), kBlue, 4));
  EXPECT_TRUE(near_colour(b.pixel(50, 5), 0xFF800080, 4));
  EXPECT_TRUE(near_colour(b.pixel(150, 5), b.pixel(50, 5), 4));  // mirrored copy
  EXPECT_TRUE(near_colour(b.pixel(199, 5), kRed, 4));

  Bitmap v(10, 100);
  Graphics gv(v);
  gv.fill_rect(Brush::linear({0, 0, 10, 100}, 0x00FFFFFF, kWhite, LinearMode::vertical), {0, 0, 10, 100});
  EXPECT_LE(alpha_of(v.pixel(5, 0)), 4);
  EXPECT_GE(alpha_of(v.pixel(5, 99)), 251);
}

TEST(GfxBrush, PathGradientPaintsOnlyInsideItsPath) {
  // A glow spot: a white ellipse, nearly opaque in the centre, faint at the rim.
  Bitmap b(36, 36);
  Graphics g(b);
  Path ellipse;
  ellipse.add_ellipse({0, 0, 36, 36});
  g.fill_rect(Brush::path_gradient(ellipse, 0xFEFFFFFF, 0x32FFFFFF), {0, 0, 36, 36});
  EXPECT_GE(alpha_of(b.pixel(18, 18)), 240);
  EXPECT_NEAR(alpha_of(b.pixel(18, 1)), 50 + 204 / 18, 10);  // one pixel inside the rim
  EXPECT_EQ(b.pixel(1, 1), 0u);
}

TEST(GfxPen, DashStylesRepeatInPenWidths) {
  struct Case {
    DashStyle style;
    const char* pattern;  // painted (#) and empty (.) pixels from x = 0
  };
  const Case cases[] = {
      {DashStyle::solid, "############"},
      {DashStyle::dash, "###.###.###."},
      {DashStyle::dot, "#.#.#.#.#.#."},
      {DashStyle::dash_dot, "###.#.###.#."},
      {DashStyle::dash_dot_dot, "###.#.#.###."},
  };
  for (const Case& c : cases) {
    Bitmap b(20, 3);
    Graphics g(b);
    g.draw_line({kRed, 1, c.style}, {0, 1}, {12, 1});
    std::string seen;
    for (int x = 0; x < 12; ++x) seen += alpha_of(b.pixel(x, 1)) ? '#' : '.';
    EXPECT_EQ(seen, c.pattern) << int(c.style);
    EXPECT_EQ(painted_in_row(b, 0) + painted_in_row(b, 2), 0);  // one pixel thin, on the row
  }
}

TEST(GfxPen, OnePixelOutlinesAtIntegerCoordinatesAreCrisp) {
  for (bool antialias : {false, true}) {
    SCOPED_TRACE(antialias);
    Bitmap b(12, 12);
    Graphics g(b);
    g.set_smoothing(antialias);
    g.draw_rect({kRed, 1}, {0, 0, 9, 9});
    for (int x : {0, 9}) EXPECT_EQ(b.pixel(x, 5), kRed) << x;
    for (int y : {0, 9}) EXPECT_EQ(b.pixel(5, y), kRed) << y;
    EXPECT_EQ(b.pixel(1, 5), 0u);
    EXPECT_EQ(b.pixel(10, 5), 0u);
    EXPECT_EQ(b.pixel(5, 10), 0u);
  }
}

// ----- clipping --------------------------------------------------------------------------

TEST(GfxClip, ExclusiveOrLeavesOutTheOverlap) {
  Bitmap b(100, 100);
  Graphics g(b);
  g.set_clip(RectF{0, 0, 100, 100});
  g.set_clip(RectF{0, 0, 100, 20}, CombineMode::exclusive_or);
  RectF bounds = g.visible_clip_bounds();
  EXPECT_EQ(bounds.y, 20);
  EXPECT_EQ(bounds.height, 80);
  g.fill_rect(Brush::solid(kRed), {0, 0, 100, 100});
  EXPECT_EQ(b.pixel(50, 10), 0u);
  EXPECT_EQ(b.pixel(50, 19), 0u);
  EXPECT_EQ(b.pixel(50, 20), kRed);
  EXPECT_EQ(b.pixel(99, 99), kRed);
}

TEST(GfxClip, CombineModesReplaceIntersectAndReset) {
  Bitmap b(50, 50);
  Graphics g(b);
  g.set_clip(RectF{0, 0, 30, 30});
  g.set_clip(RectF{10, 10, 30, 30}, CombineMode::intersect);
  g.clear(kRed);
  EXPECT_EQ(b.pixel(5, 5), 0u);
  EXPECT_EQ(b.pixel(15, 15), kRed);
  EXPECT_EQ(b.pixel(35, 35), 0u);

  g.set_clip(RectF{40, 40, 10, 10});  // replace
  g.clear(kBlue);
  EXPECT_EQ(b.pixel(15, 15), kRed);
  EXPECT_EQ(b.pixel(45, 45), kBlue);

  g.reset_clip();
  EXPECT_FALSE(g.has_clip());
  RectF all = g.visible_clip_bounds();
  EXPECT_EQ(all.width, 50);
  EXPECT_EQ(all.height, 50);

  // A curved region set again after a reset clips again.
  Region round = Region::from_round_rect(6, 6, 40, 40, 8, 8);
  for (int pass = 0; pass < 2; ++pass) {
    g.reset_clip();
    g.clear(0);
    g.set_clip(round);
    g.clear(kRed);
    EXPECT_EQ(b.pixel(6, 6), 0u) << pass;
    EXPECT_EQ(b.pixel(20, 20), kRed) << pass;
  }
}

TEST(GfxClip, ClipStaysOnTheBitmapWhenTheOriginMoves) {
  Bitmap b(50, 50);
  Graphics g(b);
  g.translate(10, 10);
  g.set_clip(RectF{0, 0, 10, 10});  // pixels 10..19
  g.translate(5, 5);
  RectF bounds = g.visible_clip_bounds();  // in the moved coordinates
  EXPECT_EQ(bounds.x, -5);
  EXPECT_EQ(bounds.width, 10);
  g.fill_rect(Brush::solid(kRed), {-15, -15, 50, 50});
  EXPECT_EQ(b.pixel(9, 9), 0u);
  EXPECT_EQ(b.pixel(10, 10), kRed);
  EXPECT_EQ(b.pixel(19, 19), kRed);
  EXPECT_EQ(b.pixel(20, 20), 0u);
}

TEST(GfxClip, PathClipAndPathFillCoverTheSamePixels) {
  Path shape = rounded_rect_path({0, 0, 40, 20}, 8);
  for (bool antialias : {false, true}) {
    SCOPED_TRACE(antialias);
    Bitmap filled(40, 20), clipped(40, 20);
    Graphics f(filled), c(clipped);
    f.set_smoothing(antialias);
    c.set_smoothing(antialias);
    f.fill_path(Brush::solid(kRed), shape);
    c.set_clip(shape);
    c.clear(kRed);
    EXPECT_EQ(filled.encode_png(), clipped.encode_png());
    EXPECT_EQ(clipped.pixel(0, 0), 0u);
    EXPECT_EQ(clipped.pixel(20, 10), kRed);
    RectF bounds = c.visible_clip_bounds();
    EXPECT_EQ(bounds.x, 0);
    EXPECT_EQ(bounds.width, antialias ? 40 : 39);
  }
  Region r = Region::from_path(shape);
  EXPECT_FALSE(r.contains(0, 0));
  EXPECT_TRUE(r.contains(20, 0));
  EXPECT_FALSE(r.contains(39, 10));  // the figure ends at right - 1
}

TEST(GfxClip, RoundRectRegionsLeaveOutCornersAndTheRightAndBottomEdges) {
  Region r = Region::from_round_rect(6, 6, 31, 21, 8, 8);
  EXPECT_FALSE(r.contains(6, 6));
  EXPECT_TRUE(r.contains(18, 6));
  EXPECT_TRUE(r.contains(6, 13));
  EXPECT_TRUE(r.contains(30, 13));
  EXPECT_FALSE(r.contains(31, 13));
  EXPECT_FALSE(r.contains(18, 21));
  RectF b = r.bounds();
  EXPECT_EQ(b.x, 6);
  EXPECT_EQ(b.width, 25);
  int area = 0;
  for (const Rect& part : r.rects()) area += part.width * part.height;
  EXPECT_LT(area, 25 * 15);
  EXPECT_GT(area, 25 * 15 - 4 * 16);
  EXPECT_TRUE(Region::from_round_rect(5, 5, 5, 9, 2, 2).is_empty());
}

// ----- images ----------------------------------------------------------------------------

TEST(GfxImage, OpacityScalesTheAlpha) {
  Bitmap red(4, 4);
  red.fill(kRed);
  for (int opacity : {255, 128, 51}) {
    SCOPED_TRACE(opacity);
    Argb expected = (Argb(opacity) << 24) | 0xFF0000;
    Bitmap drawn(4, 4), blended(4, 4);
    Graphics g(drawn);
    g.draw_image(red, 0, 0, opacity / 255.0f);
    blend_pixels(blended, 0, 0, red, {0, 0, 4, 4}, opacity);
    EXPECT_TRUE(near_colour(drawn.pixel(2, 2), expected, 2));
    EXPECT_TRUE(near_colour(blended.pixel(2, 2), expected, 2));
  }
  // Over white, half-opaque red gives pink.
  Bitmap white(4, 4);
  white.fill(kWhite);
  blend_pixels(white, 0, 0, red, {0, 0, 4, 4}, 128);
  EXPECT_TRUE(near_colour(white.pixel(1, 1), 0xFFFF7F7F, 2));
}

TEST(GfxImage, SourceRectanglesScaleAndMirror) {
  // A 2 x 2 source: red, blue / white, transparent.
  Bitmap src(2, 2);
  src.set_pixel(0, 0, kRed);
  src.set_pixel(1, 0, kBlue);
  src.set_pixel(0, 1, kWhite);
  Bitmap big(4, 4);
  Graphics g(big);
  g.set_interpolation(Interpolation::nearest);
  g.draw_image(src, RectF{0, 0, 4, 4});
  EXPECT_EQ(big.pixel(1, 1), kRed);
  EXPECT_EQ(big.pixel(2, 1), kBlue);
  EXPECT_EQ(big.pixel(1, 2), kWhite);
  EXPECT_EQ(big.pixel(3, 3), 0u);

  // Source (0, 2, 2, -2): the two rows above row 2, upside down.
  Bitmap flipped(2, 2);
  Graphics gf(flipped);
  gf.set_interpolation(Interpolation::nearest);
  gf.draw_image(src, RectF{0, 0, 2, 2}, RectF{0, 2, 2, -2});
  EXPECT_EQ(flipped.pixel(0, 0), kWhite);
  EXPECT_EQ(flipped.pixel(0, 1), kRed);
}

TEST(GfxImage, CopyPixelsReplacesAndClips) {
  Bitmap target(4, 4);
  target.fill(kWhite);
  Bitmap src(4, 4);
  src.set_pixel(0, 0, 0x80FF0000);
  copy_pixels(target, 2, 2, src, {0, 0, 4, 4});  // only 2 x 2 land inside
  EXPECT_TRUE(near_colour(target.pixel(2, 2), 0x80FF0000, 2));
  EXPECT_EQ(target.pixel(3, 3), 0u);
  EXPECT_EQ(target.pixel(1, 1), kWhite);
}

TEST(GfxImage, GraphicsTakeTurnsOnOneBitmap) {
  Bitmap b(10, 10);
  Graphics first(b), second(b);
  first.fill_rect(Brush::solid(kRed), {0, 0, 3, 3});
  second.fill_rect(Brush::solid(kBlue), {5, 5, 3, 3});
  first.fill_rect(Brush::solid(kWhite), {0, 5, 3, 3});
  EXPECT_EQ(b.pixel(1, 1), kRed);
  EXPECT_EQ(b.pixel(6, 6), kBlue);
  EXPECT_EQ(b.pixel(1, 6), kWhite);
}

TEST(GfxImage, IconUsesItsAlphaOrElseItsMask) {
  IconPixels masked{2, 1, {0x00FF0000, 0x000000FF}, {0, 1}};
  Bitmap m = icon_to_bitmap(masked);
  EXPECT_EQ(m.pixel(0, 0), kRed);
  EXPECT_EQ(m.pixel(1, 0), 0u);
  IconPixels with_alpha{2, 1, {0x80FF0000, 0x000000FF}, {1, 1}};
  Bitmap a = icon_to_bitmap(with_alpha);
  EXPECT_TRUE(near_colour(a.pixel(0, 0), 0x80FF0000, 2));
  EXPECT_EQ(a.pixel(1, 0), 0u);
  EXPECT_TRUE(icon_to_bitmap({3, 3, {1, 2}, {}}).is_null());  // too few pixels
}

// ----- decoding --------------------------------------------------------------------------

std::string from_hex(std::string_view hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += char(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
  return bytes;
}

// Image data of a 2 x 2 frame in one colour index: LZW codes of 3 bits with a clear code
// before each pixel, so that the code table never grows.
std::string gif_pixels(int index) {
  const int codes[] = {4, index, 4, index, 4, index, 4, index, 5};
  std::string packed;
  unsigned bits = 0, count = 0;
  for (int code : codes) {
    bits |= unsigned(code) << count;
    count += 3;
    while (count >= 8) {
      packed += char(bits & 0xFF);
      bits >>= 8;
      count -= 8;
    }
  }
  if (count) packed += char(bits);
  return std::string("\x02", 1) + char(packed.size()) + packed + std::string("\0", 1);
}

// An animated GIF89a of 2 x 2 pixels: one frame per (colour index, delay in 1/100 s).
std::string make_gif(const std::vector<std::pair<int, int>>& frames) {
  std::string gif = "GIF89a";
  gif += std::string("\x02\x00\x02\x00\x81\x00\x00", 7);  // screen 2x2, global table of 4
  gif += std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12);  // red green blue white
  gif += std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
  for (auto [index, delay] : frames) {
    gif += std::string("\x21\xF9\x04\x00", 4) + char(delay & 0xFF) + char(delay >> 8) + std::string("\x00\x00", 2);
    gif += std::string("\x2C\x00\x00\x00\x00\x02\x00\x02\x00\x00", 10);
    gif += gif_pixels(index);
  }
  return gif + ";";
}

TEST(GfxDecode, GifFramesAndDelays) {
  AnimatedImage image = AnimatedImage::decode(make_gif({{0, 20}, {1, 30}, {2, 10}}));
  ASSERT_FALSE(image.is_null());
  EXPECT_EQ(image.width(), 2);
  EXPECT_EQ(image.frame_count(), 3);
  EXPECT_EQ(image.frame_delays(), (std::vector<int>{20, 30, 10}));
  const Argb colours[] = {kRed, 0xFF00FF00, kBlue};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(image.select_frame(i));
    EXPECT_EQ(image.frame().pixel(1, 1), colours[i]) << i;
  }
  EXPECT_FALSE(image.select_frame(3));
  EXPECT_EQ(image.active_frame(), 2);
  EXPECT_EQ(decode_bitmap(make_gif({{3, 5}})).pixel(0, 0), kWhite);
}

TEST(GfxDecode, PngJpegAndBmpBytes) {
  Bitmap original(3, 2);
  original.set_pixel(0, 0, kRed);
  original.set_pixel(2, 1, 0x80000000 | 0x0000FF);
  Bitmap png = decode_bitmap(original.encode_png());
  ASSERT_EQ(png.width(), 3);
  EXPECT_EQ(png.pixel(0, 0), kRed);
  EXPECT_TRUE(near_colour(png.pixel(2, 1), 0x800000FF, 2));

  // 4 x 2 red JPEG.
  std::string jpeg = from_hex(
      "ffd8ffe000104a46494600010100000100010000ffdb0043000201010101010201010102020202020403020202020504040304060506"
      "060605060606070908060709070606080b08090a0a0a0a0a06080b0c0b0a0c090a0a0affdb004301020202020202050303050a070607"
      "0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0a0affc00011"
      "080002000403011100021101031101ffc40014000100000000000000000000000000000008ffc4001410010000000000000000000000"
      "0000000000ffc4001501010100000000000000000000000000000809ffc40014110100000000000000000000000000000000ffda000c"
      "03010002110311003f00178a6bf8ffd9");
  Bitmap jpg = decode_bitmap(jpeg);
  ASSERT_EQ(jpg.width(), 4);
  EXPECT_TRUE(near_colour(jpg.pixel(1, 1), kRed, 6));

  // 1 x 1 BMP, 24 bits, one blue pixel.
  std::string bmp = from_hex(
      "424d3a0000000000000036000000280000000100000001000000010018000000000004000000130b0000130b00000000000000000000"
      "ff000000");
  EXPECT_EQ(decode_bitmap(bmp).pixel(0, 0), kBlue);
  EXPECT_EQ(image_size(jpeg).width, 4);
  EXPECT_EQ(image_size(jpeg).height, 2);
  EXPECT_TRUE(AnimatedImage::decode(jpeg).frame_delays().empty());
}

TEST(GfxDecode, CorruptBytesGiveNullImages) {
  std::string png = Bitmap(8, 8).encode_png();
  const std::string inputs[] = {
      "",
      "not an image at all",
      png.substr(0, png.size() / 2),                                      // truncated
      std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, '\xFF'),      // header then junk
      std::string("GIF89a\xFF\xFF\xFF\xFF\x81\x00\x00", 13),             // absurd size
  };
  for (const std::string& bytes : inputs) {
    SCOPED_TRACE(bytes.size());
    EXPECT_TRUE(decode_bitmap(bytes).is_null());
    AnimatedImage image = AnimatedImage::decode(bytes);
    EXPECT_TRUE(image.is_null());
    EXPECT_EQ(image.frame_count(), 0);
    EXPECT_TRUE(image.frame().is_null());
  }
}

// ----- fonts -----------------------------------------------------------------------------

TEST(GfxFont, WindowsFamiliesResolveAndUnknownOnesAreReported) {
  for (const char* name : {"微软雅黑", "宋体", "Microsoft YaHei", "SimSun", "Tahoma", "Arial", "Sans", "wenquanyi micro hei"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(font_family_exists(utf8_to_gbk(name)));
    EXPECT_FALSE(Font::create(utf8_to_gbk(name), 12).is_null());
  }
  EXPECT_EQ(resolve_font_family(utf8_to_gbk("宋体")), "WenQuanYi Micro Hei");
  EXPECT_FALSE(font_family_exists("No Such Family"));
  EXPECT_TRUE(Font::create("No Such Family", 12).is_null());
  EXPECT_TRUE(Font::create("", 12).is_null());
  EXPECT_TRUE(cjk_font(0).is_null());
  EXPECT_TRUE(cjk_font(-3).is_null());

  Font f = cjk_font(12.5f, font_bold | font_underline);
  EXPECT_EQ(f.family(), utf8_to_gbk("微软雅黑"));
  EXPECT_EQ(f.size(), 12.5f);
  EXPECT_EQ(f.style(), font_bold | font_underline);
  EXPECT_GT(f.height(), 12.5f);
  EXPECT_LT(f.height(), 20.0f);
}

// ----- text ------------------------------------------------------------------------------

TEST(GfxText, ChineseTextIsDrawnWithTheCjkFont) {
  Bitmap b(320, 60);
  b.fill(kWhite);
  Graphics g(b);
  g.set_text_hint(TextHint::antialias_grid_fit);
  Font font = cjk_font(20);
  std::string text = utf8_to_gbk("Quenbo资源社区 编程源码");
  g.draw_string(text, font, {4, 4, 312, 52}, {}, Brush::solid(0xD2000000));
  EXPECT_TRUE(b.save_png(artifact("gfx_chinese_text.png")));

  // Each Chinese character leaves ink in its own cell.
  std::vector<RectF> boxes = g.measure_ranges(text, font, {4, 4, 312, 52}, {}, {{6, 1}, {7, 1}, {11, 1}});
  for (const RectF& box : boxes) {
    ASSERT_FALSE(box.empty());
    int ink = 0;
    for (int y = int(box.y); y < int(box.bottom()); ++y)
      for (int x = int(box.x); x < int(box.right()); ++x) ink += b.pixel(x, y) != kWhite;
    EXPECT_GT(ink, 20);
  }
}

TEST(GfxText, MeasuringGivesTheBoxLinesAndCharacters) {
  Bitmap b(10, 10);
  Graphics g(b);
  Font font = cjk_font(12);
  StringFormat no_wrap{format_no_wrap};
  TextMeasure one = g.measure_string(std::string_view("Hello"), font, {0, 0, 0, 0}, no_wrap);
  EXPECT_EQ(one.lines_filled, 1);
  EXPECT_EQ(one.characters_fitted, 5);
  EXPECT_NEAR(one.bounds.height, font.height(), 0.01);
  EXPECT_GT(one.bounds.width, 20);

  // Two explicit lines; the box is as wide as the wider one.
  TextMeasure two = g.measure_string(std::string_view("Hello\r\nHello world"), font, {0, 0, 0, 0}, no_wrap);
  EXPECT_EQ(two.lines_filled, 2);
  EXPECT_NEAR(two.bounds.height, 2 * font.height(), 0.01);
  EXPECT_GT(two.bounds.width, one.bounds.width);

  TextMeasure empty = g.measure_string(std::string_view(""), font, {3, 4, 50, 50}, {});
  EXPECT_EQ(empty.lines_filled, 0);
  EXPECT_EQ(empty.bounds.width, 0);
  EXPECT_EQ(empty.bounds.x, 3);
  EXPECT_EQ(g.measure_string(std::string_view("x"), Font(), {0, 0, 50, 50}, {}).lines_filled, 0);
}

TEST(GfxText, WordWrapBreaksAtWordsAndLineLimitKeepsWholeLines) {
  Bitmap b(10, 10);
  Graphics g(b);
  Font font = cjk_font(12);
  std::string text = "alpha beta gamma delta epsilon zeta eta theta";
  float h = font.height();

  TextMeasure wrapped = g.measure_string(text, font, {0, 0, 90, 0}, {});
  EXPECT_GE(wrapped.lines_filled, 4);
  EXPECT_LE(wrapped.bounds.width, 90);
  EXPECT_EQ(wrapped.characters_fitted, int(text.size()));
  // Words stay whole: "epsilon" lies on one line.
  RectF epsilon = g.measure_ranges(text, font, {0, 0, 90, 0}, {}, {{23, 7}})[0];
  EXPECT_NEAR(epsilon.height, h, 0.01);

  struct Case {
    int flags;
    int lines;
  };
  for (Case c : {Case{0, 3}, Case{format_line_limit, 2}}) {
    TextMeasure m = g.measure_string(text, font, {0, 0, 90, 2.5f * h}, {c.flags});
    EXPECT_EQ(m.lines_filled, c.lines) << c.flags;
    EXPECT_LT(m.characters_fitted, int(text.size())) << c.flags;
  }
  // A word wider than the line is cut; every piece fits.
  TextMeasure cut = g.measure_string(std::string_view("abcdefghijklmnopqrstuvwxyz"), font, {0, 0, 40, 0}, {});
  EXPECT_GE(cut.lines_filled, 3);
  EXPECT_LE(cut.bounds.width, 40);

  // Chinese wraps between characters, but a comma never begins a line.
  std::string chinese = utf8_to_gbk("欢迎来到资源社区，分享你的资源，获得金币，谢谢");
  for (float width : {40.f, 50.f, 60.f, 70.f, 80.f, 90.f}) {
    RectF layout{0, 0, width, 0};
    EXPECT_GE(g.measure_string(chinese, font, layout, {}).lines_filled, 2) << width;
    for (int comma : {8, 15, 20}) {
      RectF box = g.measure_ranges(chinese, font, layout, {}, {{comma, 1}})[0];
      EXPECT_GT(box.x, 12.0f / 6 + 1) << width << " " << comma;
    }
  }

  // Without wrapping the one line holds everything (cut off by the clip when drawn).
  TextMeasure one_line = g.measure_string(text, font, {0, 0, 90, 2.5f * h}, {format_no_wrap});
  EXPECT_EQ(one_line.lines_filled, 1);
  EXPECT_LE(one_line.bounds.width, 90);
}

TEST(GfxText, EllipsisTrimsTextThatDoesNotFit) {
  Bitmap b(200, 30);
  Graphics g(b);
  Font font = cjk_font(12);
  std::string text = utf8_to_gbk("一个很长很长的资源标题需要省略");
  RectF cell{0, 0, 80, 20};
  StringFormat ellipsis{format_no_wrap | format_measure_trailing_spaces, Alignment::near, Alignment::near,
                        Trimming::ellipsis_character};
  StringFormat untrimmed = ellipsis;
  untrimmed.trimming = Trimming::none;

  RectF whole = g.measure_ranges(text, font, cell, untrimmed, {{0, 15}})[0];
  EXPECT_GT(whole.right(), cell.right());
  std::vector<RectF> trimmed = g.measure_ranges(text, font, cell, ellipsis, {{0, 15}, {14, 1}});
  EXPECT_LE(trimmed[0].right(), cell.right());
  EXPECT_TRUE(trimmed[1].empty());  // the last character gave way to the ellipsis

  // The ellipsis is drawn right after the last visible character.
  g.draw_string(text, font, cell, ellipsis, Brush::solid(0xFF000000));
  int last_ink = 0;
  for (int x = 0; x < b.width(); ++x)
    for (int y = 0; y < b.height(); ++y)
      if (alpha_of(b.pixel(x, y))) last_ink = x;
  EXPECT_GT(last_ink, trimmed[0].right());
  EXPECT_LT(last_ink, cell.right());
  b.save_png(artifact("gfx_ellipsis.png"));

  // Text that fits is left alone.
  EXPECT_FALSE(g.measure_ranges(std::string_view("ok"), font, cell, ellipsis, {{1, 1}})[0].empty());
}

TEST(GfxText, HotkeyPrefixUnderlinesOrHidesTheMarkedCharacter) {
  Font font = cjk_font(16);
  StringFormat show{format_no_wrap, Alignment::near, Alignment::near, Trimming::none, HotkeyPrefix::show};
  StringFormat hide = show;
  hide.hotkey_prefix = HotkeyPrefix::hide;
  StringFormat plain = show;
  plain.hotkey_prefix = HotkeyPrefix::none;

  Bitmap shown(80, 30), hidden(80, 30), reference(80, 30);
  Graphics(shown).draw_string(std::string_view("A&B"), font, {0, 0, 80, 30}, show, Brush::solid(0xFF000000));
  Graphics(hidden).draw_string(std::string_view("A&B"), font, {0, 0, 80, 30}, hide, Brush::solid(0xFF000000));
  Graphics(reference).draw_string(std::string_view("AB"), font, {0, 0, 80, 30}, plain, Brush::solid(0xFF000000));
  shown.save_png(artifact("gfx_hotkey_shown.png"));

  // Hidden: exactly "AB". Shown: "AB" plus a line under B only.
  EXPECT_EQ(hidden.encode_png(), reference.encode_png());
  Graphics g(shown);
  RectF a = g.measure_ranges(std::string_view("A&B"), font, {0, 0, 80, 30}, show, {{0, 1}})[0];
  RectF b = g.measure_ranges(std::string_view("A&B"), font, {0, 0, 80, 30}, show, {{2, 1}})[0];
  int extra_under_b = 0, extra_under_a = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) {
      if (shown.pixel(x, y) == reference.pixel(x, y)) continue;
      (x >= int(b.x) && x < int(b.right()) ? extra_under_b : extra_under_a)++;
      EXPECT_GT(y, int(b.y + b.height / 2));
    }
  EXPECT_GT(extra_under_b, 3);
  EXPECT_EQ(extra_under_a, 0);
  EXPECT_LT(a.right(), b.x + 1);

  // "&&" is one "&"; with the prefix off "&" is an ordinary character.
  Bitmap scratch(1, 1);
  Graphics m(scratch);
  float amp = m.measure_string(std::string_view("A&B"), font, {}, plain).bounds.width;
  EXPECT_NEAR(m.measure_string(std::string_view("A&&B"), font, {}, show).bounds.width, amp, 0.01);
  EXPECT_LT(m.measure_string(std::string_view("A&B"), font, {}, show).bounds.width, amp);
}

TEST(GfxText, AlignmentPlacesLinesInTheLayoutRectangle) {
  Bitmap b(1, 1);
  Graphics g(b);
  Font font = cjk_font(12);
  RectF layout{10, 10, 200, 60};
  float margin = 12.0f / 6;
  struct Case {
    Alignment horizontal, vertical;
    float left_edge, top_edge;  // expected left of the glyphs and top of the line, or -1
  };
  for (auto h : {Alignment::near, Alignment::centre, Alignment::far}) {
    for (auto v : {Alignment::near, Alignment::centre, Alignment::far}) {
      StringFormat f{format_no_wrap, h, v};
      RectF box = g.measure_ranges(std::string_view("Hi"), font, layout, f, {{0, 2}})[0];
      float left = h == Alignment::near    ? layout.x + margin
                   : h == Alignment::far   ? layout.right() - margin - box.width
                                           : layout.x + (layout.width - box.width) / 2;
      float top = v == Alignment::near    ? layout.y
                  : v == Alignment::far   ? layout.bottom() - font.height()
                                          : layout.y + (layout.height - font.height()) / 2;
      EXPECT_NEAR(box.x, left, 0.01) << int(h) << int(v);
      EXPECT_NEAR(box.y, top, 0.01) << int(h) << int(v);
    }
  }
}

TEST(GfxRobustness, NonsenseGeometryAndTextDrawNothingAndDoNotCrash) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  const RectF bad_rects[] = {{nan, 0, 10, 10}, {0, 0, inf, 10}, {0, 0, -5, -5}, {0, 0, 0, 0}, {-1e30f, -1e30f, 2e30f, 2e30f}};
  Bitmap b(20, 20);
  Graphics g(b);
  Font font = cjk_font(12);
  std::string long_text(100000, 'x');
  for (const RectF& r : bad_rects) {
    g.set_clip(r, CombineMode::intersect);
    g.reset_clip();
    g.fill_rect(Brush::linear(r, kRed, kBlue, LinearMode::forward_diagonal), r);
    g.fill_ellipse(Brush::solid(kRed), r);
    g.draw_rect({kRed, nan}, r);
    g.draw_image(b, r, r, 0.5f);
    Path p;
    p.add_arc(r, nan, 90);
    p.add_rounded_rect(r, inf);
    g.draw_path({kRed, 1}, p);
    g.draw_string(long_text, font, r, {}, Brush::solid(kRed));
    g.measure_ranges(std::string_view("abc"), font, r, {}, {{-5, 100}, {2, -1}, {1 << 30, 1 << 30}});
  }
  EXPECT_EQ(b.pixel(10, 10) >> 24, 0xFFu);  // only the huge finite rectangle painted
  EXPECT_TRUE(Font::create("x", inf).is_null());
  EXPECT_EQ(g.measure_string(long_text, font, {0, 0, 50, 0}, {}).characters_fitted, int(long_text.size()));
  // Invalid GBK becomes replacement characters, not a failure.
  EXPECT_EQ(g.measure_string(std::string_view("\x81\xFF\x80", 3), font, {}, {}).lines_filled, 1);
}

}  // namespace

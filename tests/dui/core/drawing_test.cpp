// The drawing routines: colours, shapes, borders, pictures, layout and text effects.
#include "dui/core/drawing.h"

#include "dui/core/framework.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace gfx = platform::gfx;
using dui::Argb;
using dui::RectF;

// Reads one pixel as non-premultiplied ARGB.
Argb at(const gfx::Bitmap& bitmap, int x, int y) { return bitmap.pixel(x, y); }
int alpha_at(const gfx::Bitmap& bitmap, int x, int y) { return gfx::alpha_of(bitmap.pixel(x, y)); }

int painted_pixels(const gfx::Bitmap& bitmap) {
  int count = 0;
  for (int y = 0; y < bitmap.height(); ++y)
    for (int x = 0; x < bitmap.width(); ++x) count += alpha_at(bitmap, x, y) != 0;
  return count;
}

class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override { dui::init_framework(); }
};

// ---- Colours ----

struct ArgbCase {
  dui::Colour colour;
  std::optional<int> alpha;
  Argb expected;
};

TEST(ToArgb, SwapsRedAndBlueAndStoresFullAlphaAs254) {
  const ArgbCase cases[] = {
      {65280, 255, 0xFE00FF00},       {0xFF0000, 255, 0xFE0000FF},     {0xFFFFFF, 0, 0x00FFFFFF},
      {0xFFFFFF, 255, 0xFEFFFFFF},    {0xFFFFFF, 250, 0xFAFFFFFF},     {0x123456, std::nullopt, 0xFE563412},
      {0x0000FF, 254, 0xFEFF0000},    {0x000000, 210, 0xD2000000},     {0x000000, 300, 0xFE000000},
      {0x000000, -5, 0x00000000},
  };
  for (const ArgbCase& c : cases) EXPECT_EQ(dui::to_argb(c.colour, c.alpha), c.expected) << std::hex << c.colour;
}

TEST(ArgbParts, SplitsTheChannels) {
  const dui::ArgbParts p = dui::argb_parts(0x80112233);
  EXPECT_EQ(p.alpha, 0x80);
  EXPECT_EQ(p.red, 0x11);
  EXPECT_EQ(p.green, 0x22);
  EXPECT_EQ(p.blue, 0x33);
}

TEST(IsDark, ThresholdIsBrightness192) {
  EXPECT_FALSE(dui::is_dark(0xFEC0C0C0));
  EXPECT_TRUE(dui::is_dark(0xFEBFBFBF));
  EXPECT_TRUE(dui::is_dark(0xFF0000FF));   // pure blue is dark
  EXPECT_FALSE(dui::is_dark(0xFFFFFF00));  // yellow is light
  EXPECT_FALSE(dui::background_is_dark(0, {0, 0, 10, 10}));  // no host
}

// ---- Shapes ----

bool has_point_near(const std::vector<gfx::PointF>& points, float x, float y) {
  for (const gfx::PointF& p : points)
    if (std::fabs(p.x - x) < 0.3f && std::fabs(p.y - y) < 0.3f) return true;
  return false;
}

TEST(RoundedPath, RightArcsAt92AndBottomArcsAt22ForCorner7) {
  gfx::Path path = dui::rounded_path({0, 0, 100, 30}, 7);
  const RectF bounds = path.bounds();
  EXPECT_NEAR(bounds.x, 0, 0.01);
  EXPECT_NEAR(bounds.right(), 99, 0.01);
  EXPECT_NEAR(bounds.bottom(), 29, 0.01);
  const std::vector<gfx::PointF> outline = path.flattened();
  // Each arc's ends touch the edges half a corner in from its box: right boxes at x 92..99,
  // bottom boxes at y 22..29.
  EXPECT_TRUE(has_point_near(outline, 95.5f, 0));
  EXPECT_TRUE(has_point_near(outline, 99, 3.5f));
  EXPECT_TRUE(has_point_near(outline, 99, 25.5f));
  EXPECT_TRUE(has_point_near(outline, 95.5f, 29));
  EXPECT_TRUE(has_point_near(outline, 3.5f, 29));
  EXPECT_FALSE(path.contains({98.8f, 0.2f}));  // cut corner
  EXPECT_TRUE(path.contains({91, 1}));
}

TEST(RoundedPath, CornerZeroIsThePlainRectangle) {
  gfx::Path path = dui::rounded_path({2, 3, 10, 10}, 0);
  EXPECT_TRUE(path.contains({2.1f, 3.1f}));
  EXPECT_NEAR(path.bounds().right(), 11, 0.01);
}

TEST(DrawBorder, FlatStyleDrawsTheRectangleOneSmaller) {
  gfx::Bitmap bitmap(12, 12);
  gfx::Graphics graphics(bitmap);
  dui::draw_border(graphics, {0, 0, 10, 10}, dui::border::flat);
  EXPECT_EQ(at(bitmap, 0, 0), dui::to_argb(6579300));
  EXPECT_EQ(at(bitmap, 9, 5), dui::to_argb(6579300));
  EXPECT_EQ(at(bitmap, 5, 9), dui::to_argb(6579300));
  EXPECT_EQ(alpha_at(bitmap, 10, 5), 0);
  EXPECT_EQ(alpha_at(bitmap, 5, 5), 0);
}

struct BorderCase {
  Argb style;
  Argb top;     // colour on the top edge (alpha and channels)
  Argb bottom;  // colour on the bottom edge
};

TEST(DrawBorder, EachStyleColoursItsEdges) {
  const BorderCase cases[] = {
      {dui::border::sunken, 0xA0000000, 0xF5FFFFFF},
      {dui::border::raised, 0xF5FFFFFF, 0xA8000000},
      {dui::border::flat, 0xFE646464, 0xFE646464},
      {0xFF00FF00, 0xFF00FF00, 0xFF00FF00},  // any other value is the colour itself
  };
  for (const BorderCase& c : cases) {
    gfx::Bitmap bitmap(20, 20);
    gfx::Graphics graphics(bitmap);
    dui::draw_border(graphics, {0, 0, 20, 20}, c.style, std::nullopt, 2.0f);
    EXPECT_EQ(at(bitmap, 8, 0), c.top) << c.style;
    EXPECT_EQ(at(bitmap, 8, 19), c.bottom) << c.style;
    EXPECT_EQ(alpha_at(bitmap, 8, 8), 0) << c.style;
  }
  gfx::Bitmap untouched(20, 20);
  gfx::Graphics graphics(untouched);
  dui::draw_border(graphics, {0, 0, 20, 20}, dui::border::none);
  EXPECT_EQ(painted_pixels(untouched), 0);
}

TEST(DrawBorder, DashedStyleLeavesGaps) {
  gfx::Bitmap bitmap(40, 10);
  gfx::Graphics graphics(bitmap);
  dui::draw_border(graphics, {0, 0, 40, 10}, dui::border::dashed);
  int painted = 0;
  for (int x = 0; x < 39; ++x) painted += alpha_at(bitmap, x, 0) != 0;
  EXPECT_GT(painted, 10);
  EXPECT_LT(painted, 35);
  EXPECT_EQ(alpha_at(bitmap, 1, 0), 120);
}

TEST(FillGradient, RunsFromTopToBottomOverOnePixelLess) {
  gfx::Bitmap bitmap(10, 21);
  gfx::Graphics graphics(bitmap);
  dui::fill_gradient(graphics, {0, 0, 10, 21}, 0xFF000000, 0xFFFFFFFF);
  EXPECT_LT(gfx::red_of(at(bitmap, 4, 1)), 40);
  EXPECT_GT(gfx::red_of(at(bitmap, 4, 19)), 215);
  EXPECT_EQ(alpha_at(bitmap, 9, 10), 0);   // the last column stays empty
  EXPECT_EQ(alpha_at(bitmap, 4, 20), 0);   // and the last row
}

TEST(SpotGlow, BrightCentreFadingToTheRim) {
  gfx::Bitmap bitmap(60, 60);
  gfx::Graphics graphics(bitmap);
  graphics.set_smoothing(true);
  dui::spot_glow(graphics, {30, 30});
  EXPECT_GT(alpha_at(bitmap, 30, 30), 230);
  EXPECT_LT(alpha_at(bitmap, 46, 30), 110);
  EXPECT_GT(alpha_at(bitmap, 46, 30), 30);
  EXPECT_EQ(alpha_at(bitmap, 13, 13), 0);  // outside the circle
  EXPECT_EQ(gfx::red_of(at(bitmap, 30, 30)), 255);
}

// ---- Pictures ----

gfx::Bitmap solid(int w, int h, Argb colour) {
  gfx::Bitmap b(w, h);
  b.fill(colour);
  return b;
}

TEST(DrawImageAlpha, PartialOpacityDrawsOneToOneAndFullOpacityScales) {
  gfx::Bitmap picture = solid(10, 10, 0xFFFF0000);
  gfx::Bitmap faded(30, 30);
  {
    gfx::Graphics graphics(faded);
    dui::draw_image_alpha(graphics, picture, {5, 5, 20, 20}, 127);
  }
  EXPECT_NEAR(alpha_at(faded, 6, 6), 127, 1);
  EXPECT_EQ(alpha_at(faded, 16, 16), 0);  // 1:1, the picture is only 10 wide

  gfx::Bitmap scaled(30, 30);
  {
    gfx::Graphics graphics(scaled);
    dui::draw_image_alpha(graphics, picture, {5, 5, 20, 20}, 255);
  }
  EXPECT_EQ(at(scaled, 20, 20), 0xFFFF0000u);
  EXPECT_EQ(alpha_at(scaled, 26, 26), 0);
}

TEST(DrawImageNatural, OwnSizeAtTheCornerOrCentred) {
  gfx::Bitmap picture = solid(4, 4, 0xFF0000FF);
  gfx::Bitmap target(20, 20);
  gfx::Graphics graphics(target);
  dui::draw_image_natural(graphics, picture, {2.7f, 2.7f, 16, 16}, false);
  EXPECT_EQ(at(target, 2, 2), 0xFF0000FFu);
  EXPECT_EQ(alpha_at(target, 6, 6), 0);
  dui::draw_image_natural(graphics, picture, {0, 0, 20, 20}, true);
  EXPECT_EQ(at(target, 8, 8), 0xFF0000FFu);
  EXPECT_EQ(at(target, 11, 11), 0xFF0000FFu);
  EXPECT_EQ(alpha_at(target, 12, 12), 0);
}

TEST(DrawNineGrid, CornersKeepTheirSizeEdgesAndCentreStretch) {
  // 9 x 9 picture of 3 x 3 cells, each its own colour.
  const Argb cell_colour[3][3] = {{0xFF100000, 0xFF200000, 0xFF300000},
                                  {0xFF400000, 0xFF500000, 0xFF600000},
                                  {0xFF700000, 0xFF800000, 0xFF900000}};
  gfx::Bitmap picture(9, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) picture.set_pixel(x, y, cell_colour[y / 3][x / 3]);
  gfx::Bitmap target(40, 30);
  gfx::Graphics graphics(target);
  graphics.set_interpolation(gfx::Interpolation::nearest);
  dui::draw_nine_grid(graphics, picture, {0, 0, 40, 30}, {3, 3, 3, 3});
  EXPECT_EQ(at(target, 1, 1), cell_colour[0][0]);
  EXPECT_EQ(at(target, 20, 1), cell_colour[0][1]);
  EXPECT_EQ(at(target, 38, 1), cell_colour[0][2]);
  EXPECT_EQ(at(target, 1, 15), cell_colour[1][0]);
  EXPECT_EQ(at(target, 20, 15), cell_colour[1][1]);
  EXPECT_EQ(at(target, 38, 28), cell_colour[2][2]);
  EXPECT_EQ(at(target, 37, 27), cell_colour[2][2]);  // corner unscaled: 3 x 3 at the far end
  EXPECT_EQ(at(target, 37, 26), cell_colour[1][2]);
  EXPECT_EQ(at(target, 36, 27), cell_colour[2][1]);

  gfx::Bitmap faded(40, 30);
  gfx::Graphics faded_graphics(faded);
  dui::draw_nine_grid(faded_graphics, picture, {0, 0, 40, 30}, {3, 3, 3, 3}, 102);
  EXPECT_NEAR(alpha_at(faded, 20, 15), 102, 1);
  dui::draw_nine_grid(faded_graphics, gfx::Bitmap{}, {0, 0, 40, 30}, {3, 3, 3, 3});  // null: nothing
}

TEST(CloneImageArea, CopiesThePart) {
  gfx::Bitmap picture(10, 10);
  picture.set_pixel(6, 7, 0xFF00FF00);
  gfx::Bitmap part = dui::clone_image_area(picture, {5, 5, 4, 4});
  EXPECT_EQ(part.width(), 4);
  EXPECT_EQ(part.pixel(1, 2), 0xFF00FF00u);
}

TEST(IconToBitmap, KeepsTheIconsPixelsAndAlpha) {
  std::vector<std::uint32_t> pixels(16 * 16, 0x80400000);  // premultiplied: red 128 at alpha 128
  pixels[0] = 0xFF00FF00;
  const platform::window::icon icon = platform::window::create_icon({pixels.data(), 16, 16, 16 * 4});
  ASSERT_NE(icon, 0u);
  gfx::Bitmap bitmap = dui::icon_to_bitmap(icon);
  ASSERT_EQ(bitmap.width(), 16);
  EXPECT_EQ(bitmap.pixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(gfx::alpha_of(bitmap.pixel(5, 5)), 0x80);
  EXPECT_NEAR(gfx::red_of(bitmap.pixel(5, 5)), 128, 2);
  platform::window::destroy_icon(icon);
  EXPECT_TRUE(dui::icon_to_bitmap(0).is_null());
}

// ---- Layout ----

struct LayoutCase {
  int mode;
  RectF container;
  int dx, dy;
  RectF image;
  RectF text;
};

void expect_rect(const RectF& actual, const RectF& expected, const char* what, int mode) {
  EXPECT_EQ(actual.x, expected.x) << what << " mode " << mode;
  EXPECT_EQ(actual.y, expected.y) << what << " mode " << mode;
  EXPECT_EQ(actual.width, expected.width) << what << " mode " << mode;
  EXPECT_EQ(actual.height, expected.height) << what << " mode " << mode;
}

TEST(LayoutImageText, EveryModeWithA16PixelPictureAnd40By14Caption) {
  const RectF box{0, 0, 100, 30};
  const LayoutCase cases[] = {
      {0, box, 0, 0, {20, 7, 16, 16}, {40, 8, 42, 16}},
      {0, box, 3, 2, {23, 9, 16, 16}, {43, 10, 42, 16}},
      {1, box, 0, 0, {64, 7, 16, 16}, {20, 8, 42, 16}},
      {2, box, 0, 0, {42, -2, 16, 16}, {30, 18, 42, 16}},
      {3, box, 0, 0, {42, 7, 16, 16}, {30, 8, 42, 16}},
      {3, {50, 0, 100, 30}, 0, 0, {92, 7, 16, 16}, {80, 8, 42, 16}},  // centred on each other anywhere
      {4, box, 0, 0, {0, 7, 16, 16}, {20, 8, 80, 16}},
      {5, box, 0, 0, {84, 7, 16, 16}, {0, 8, 80, 16}},
      {6, box, 0, 0, {42, 0, 16, 16}, {30, 20, 45, 16}},
      {7, box, 0, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const LayoutCase& c : cases) {
    dui::ImageTextLayout layout = dui::layout_image_text({16, 16}, c.mode, c.container, {40, 14}, c.dx, c.dy, 4);
    expect_rect(layout.image, c.image, "image", c.mode);
    expect_rect(layout.text, c.text, "text", c.mode);
  }
}

TEST(LayoutImageText, FractionsAreCutToWholePixels) {
  dui::ImageTextLayout layout = dui::layout_image_text({0, 0}, 0, {0, 0, 101, 31}, {40.6f, 14.4f}, 0, 0, 0);
  EXPECT_EQ(layout.image.x, 30);  // (101 - 40.6) / 2 = 30.2
  EXPECT_EQ(layout.text.width, 42);
  EXPECT_EQ(layout.text.y, 8);  // (31 - 14.4) / 2 = 8.3
}

// ---- Text ----

TEST_F(DrawingTest, MeasureRangeFindsThePartOfTheText) {
  gfx::Bitmap bitmap(200, 40);
  gfx::Graphics graphics(bitmap);
  gfx::StringFormat format;
  format.flags = gfx::format_no_wrap;
  const RectF all = dui::measure_range(graphics, u"资源社区", dui::default_font(), format, 0, 4, {0, 0, 200, 40});
  const RectF tail = dui::measure_range(graphics, u"资源社区", dui::default_font(), format, 2, 2, {0, 0, 200, 40});
  EXPECT_GT(all.width, 40);
  EXPECT_GT(tail.x, all.x + 20);
  EXPECT_NEAR(tail.right(), all.right(), 1.0);
  EXPECT_EQ(dui::measure_range(graphics, u"", dui::default_font(), format, 0, 0, {0, 0, 200, 40}).width, 0);
}

TEST_F(DrawingTest, GlowAndOutlineDrawAHaloInTheEffectColour) {
  gfx::StringFormat format;
  format.flags = gfx::format_no_wrap;
  int painted[5] = {};
  for (int effect : {0, 3, 4}) {
    gfx::Bitmap bitmap(80, 30);
    gfx::Graphics graphics(bitmap);
    graphics.set_smoothing(true);
    dui::draw_text(graphics, {10.9f, 8.9f, 60, 16}, std::string("资源"), dui::default_font(), 0xFF000000, format, effect);
    painted[effect] = painted_pixels(bitmap);
    if (effect == 4) {
      // Left of the first glyph the outline shows in the default colour for dark text: white.
      bool white_halo = false;
      for (int y = 8; y < 26; ++y)
        white_halo |= alpha_at(bitmap, 11, y) > 0 && gfx::red_of(at(bitmap, 11, y)) == 255;
      EXPECT_TRUE(white_halo);
    }
  }
  EXPECT_GT(painted[0], 30);
  EXPECT_GT(painted[4], painted[0] + 20);
  EXPECT_GT(painted[3], painted[4]);  // the blur spreads further than the outline
}

TEST_F(DrawingTest, GivenEffectColourIsUsed) {
  gfx::StringFormat format;
  gfx::Bitmap bitmap(80, 30);
  gfx::Graphics graphics(bitmap);
  dui::draw_text(graphics, {10, 8, 60, 16}, std::string("A"), dui::default_font(), 0x00000000, format,
                 dui::text_effect::outline, 0xFF00FF00);
  bool green = false;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 80; ++x) green |= at(bitmap, x, y) == 0xFF00FF00u;
  EXPECT_TRUE(green);
}

// ---- Geometry ----

TEST(Geometry, TouchingRectanglesDoNotOverlap) {
  const RectF a{0, 0, 10, 10};
  EXPECT_TRUE(dui::rects_overlap(a, {9, 9, 5, 5}));
  EXPECT_FALSE(dui::rects_overlap(a, {10, 0, 5, 5}));
  EXPECT_FALSE(dui::rects_overlap(a, {0, 10, 5, 5}));
  EXPECT_FALSE(dui::rects_overlap(a, {-5, 0, 5, 5}));
  EXPECT_TRUE(dui::rects_overlap(a, {-5, -5, 30, 30}));
}

TEST(Geometry, PointInRectIncludesTheLeftTopEdgesOnly) {
  const RectF r{10, 10, 5, 5};
  EXPECT_TRUE(dui::point_in_rect(r, 10, 10));
  EXPECT_TRUE(dui::point_in_rect(r, 14.9f, 14.9f));
  EXPECT_FALSE(dui::point_in_rect(r, 15, 12));
  EXPECT_FALSE(dui::point_in_rect(r, 12, 15));
  EXPECT_FALSE(dui::point_in_rect(r, 9.99f, 12));
}

TEST(Geometry, WordsAndRectangleHelpers) {
  const std::intptr_t packed = platform::window::make_lparam(-3, 700);
  EXPECT_EQ(dui::low_word(packed), -3);
  EXPECT_EQ(dui::high_word(packed), 700);
  RectF r = dui::make_rect(1, 2, 3, 4);
  dui::adjust_rect(r, 1, 0, -1, 2);
  EXPECT_EQ(r.x, 2);
  EXPECT_EQ(r.width, 2);
  EXPECT_EQ(r.height, 6);
}

TEST(Clipping, RectanglesCombine) {
  gfx::Bitmap bitmap(20, 20);
  gfx::Graphics graphics(bitmap);
  dui::set_clip_rect(graphics, {0, 0, 10, 10});
  dui::set_clip_rect(graphics, {5, 5, 10, 10}, 1);
  const RectF clip = dui::visible_clip_bounds(graphics);
  EXPECT_EQ(clip.x, 5);
  EXPECT_EQ(clip.width, 5);
  dui::reset_clip(graphics);
  EXPECT_EQ(dui::visible_clip_bounds(graphics).width, 20);
  dui::set_clip_path(graphics, dui::rounded_path({0, 0, 20, 20}, 6));
  graphics.clear(0xFFFFFFFF);
  EXPECT_EQ(alpha_at(bitmap, 0, 0), 0);
  EXPECT_EQ(alpha_at(bitmap, 10, 10), 255);
}

}  // namespace

namespace {

// A sheet of the primitives for a person to look at (saved under the test artifacts).
TEST_F(DrawingTest, SheetOfPrimitives) {
  gfx::Bitmap sheet(420, 220);
  gfx::Graphics g(sheet);
  g.set_smoothing(true);
  g.clear(0xFFF4F6F8);
  dui::fill_gradient(g, {10, 10, 120, 60}, dui::to_argb(0xD08040), dui::to_argb(0x703010));
  dui::fill_rounded(g, {140, 10, 120, 60}, 12, dui::to_argb(0x50B030, 200));
  dui::draw_rounded(g, {270, 10, 120, 60}, 12, dui::to_argb(0x3050D0), gfx::DashStyle::solid, 2.0f);
  const Argb styles[] = {dui::border::sunken, dui::border::raised, dui::border::flat, dui::border::dashed, 0xFFE04040};
  for (int i = 0; i < 5; ++i) dui::draw_border(g, {10.0f + i * 80, 85, 70, 30}, styles[i]);
  dui::fill_rect(g, {10, 130, 190, 80}, 0xFF2B3A55);
  dui::spot_glow(g, {60, 170});
  gfx::StringFormat format;
  format.flags = gfx::format_no_wrap;
  dui::draw_text(g, {90, 150, 110, 20}, std::string("发光 Glow"), dui::default_font(), 0xFFFFFFFF, format,
                 dui::text_effect::glow);
  dui::draw_text(g, {220, 150, 110, 20}, std::string("描边 Outline"), dui::default_font(), 0xFF202020, format,
                 dui::text_effect::outline, 0xFFFFD040);
  gfx::Bitmap tile(9, 9);
  tile.fill(0xFF4080C0);
  for (int k = 3; k < 6; ++k)
    for (int j = 3; j < 6; ++j) tile.set_pixel(j, k, 0xFFE0F0FF);
  dui::draw_nine_grid(g, tile, {340, 130, 70, 80}, {3, 3, 3, 3}, 200);
  const char* dir = std::getenv("QUENBO_TEST_ARTIFACTS");
  const std::string folder = dir != nullptr ? dir : std::filesystem::temp_directory_path().string();
  std::filesystem::create_directories(folder);
  EXPECT_TRUE(sheet.save_png(folder + "/drawing_primitives.png"));
}

}  // namespace

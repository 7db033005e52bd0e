// Framework start-up and the process-wide utilities.
#include "dui/core/framework.h"

#include "platform/testing.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace pw = platform::window;
using dui::Image;

// Two 2 x 2 frames, red for 10/100 s then blue for 20/100 s.
const unsigned char animated_gif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x02, 0x00, 0x02, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x21, 0xf9, 0x04, 0x00, 0x0a, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b, 0x4e, 0x45, 0x54, 0x53, 0x43, 0x41,
    0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x02,
    0x00, 0x00, 0x02, 0x02, 0x84, 0x51, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x14, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00,
    0x00, 0x00, 0x02, 0x00, 0x02, 0x00, 0x80, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x02, 0x02, 0x84, 0x51, 0x00,
    0x3b};

std::string png_of_size(int width, int height) {
  platform::gfx::Bitmap bitmap(width, height);
  bitmap.fill(0xFF336699);
  return bitmap.encode_png();
}

class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dui::FrameworkOptions options;
    options.fill_edit_menu = [this](const std::vector<dui::EditMenuItem>& items) { menu_items = items; };
    first_init = !dui::framework_initialised();
    ASSERT_TRUE(dui::init_framework(options));
  }
  void TearDown() override {
    for (pw::handle w : windows) pw::destroy(w);
    platform::testing::set_work_area(std::nullopt);
  }
  pw::handle make_window(const std::string& title = "t") {
    pw::handle w = dui::create_frame_window(0, title);
    windows.push_back(w);
    return w;
  }

  bool first_init = false;
  std::vector<dui::EditMenuItem> menu_items;
  std::vector<pw::handle> windows;
};

TEST_F(FrameworkTest, InitialisationMakesTheGlobals) {
  EXPECT_FALSE(dui::default_font().is_null());
  EXPECT_FLOAT_EQ(dui::default_font().size(), 12.0f);
  EXPECT_EQ(dui::default_font().style(), 0);
  EXPECT_NE(dui::default_cursor(), 0u);
  EXPECT_EQ(dui::caption_sprites().width(), 730);
  EXPECT_EQ(dui::caption_sprites().height(), 23);
  EXPECT_TRUE(pw::class_exists(dui::window_class_name));
  EXPECT_EQ(dui::os_major_version(), 6);
  EXPECT_EQ(dui::system_font_face(dui::SystemFont::caption), "宋体");
}

TEST_F(FrameworkTest, EditMenuIsFilledOnceWithCutCopyPasteSeparatorSelectAll) {
  const std::vector<dui::EditMenuItem>& items = dui::edit_menu_items();
  ASSERT_EQ(items.size(), 5u);
  const int commands[] = {88, 67, 86, 0, 65};
  for (std::size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i].command, commands[i]) << i;
  EXPECT_EQ(items[0].text, "剪切(&T)");
  EXPECT_EQ(items[4].text, "全部选择(&A)");
  // Only the first initialisation fills the menu; later calls leave it alone.
  EXPECT_EQ(menu_items.size(), first_init ? 5u : 0u);
}

TEST_F(FrameworkTest, HostOfReadsTheControlProperty) {
  pw::handle w = make_window();
  ASSERT_NE(w, 0u);
  EXPECT_EQ(dui::host_of(w), nullptr);
  EXPECT_EQ(dui::host_of(0), nullptr);
  int marker = 0;
  pw::set_property(w, dui::window_property::control, reinterpret_cast<std::intptr_t>(&marker));
  EXPECT_EQ(reinterpret_cast<void*>(dui::host_of(w)), &marker);
}

TEST_F(FrameworkTest, TextConversionsRoundTripGbk) {
  const std::string text = "资源A";
  EXPECT_EQ(dui::to_utf16(text), u"资源A");
  EXPECT_EQ(dui::from_utf16(u"资源A"), text);
  EXPECT_EQ(dui::utf16_length(text), 3);
  EXPECT_EQ(dui::utf16_length(""), 0);
}

TEST_F(FrameworkTest, WindowTextIsCutAt511Characters) {
  std::string long_title;
  for (int i = 0; i < 600; ++i) long_title += "资";
  pw::handle w = make_window(long_title);
  const std::string text = dui::window_text(w);
  EXPECT_EQ(text.size(), 511u * 2);
  EXPECT_EQ(dui::window_text(make_window("标题")), "标题");
}

TEST_F(FrameworkTest, FrameWindowIsCentredInTheWorkArea) {
  platform::testing::set_work_area(pw::rect{100, 50, 1100, 850});
  const dui::WorkArea area = dui::work_area();
  EXPECT_EQ(area.left, 100);
  EXPECT_EQ(area.width, 1000);
  EXPECT_EQ(area.height, 800);

  pw::handle plain = make_window();
  EXPECT_EQ(pw::window_rect(plain), (pw::rect{100 + 310, 50 + 275, 100 + 310 + 380, 50 + 275 + 250}));
  EXPECT_EQ(pw::class_name(plain), dui::window_class_name);
  EXPECT_FALSE(pw::is_visible(plain));

  dui::FrameWindowOptions sized;
  sized.width = 201;
  sized.height = 101;
  sized.top = 7;
  pw::handle w = dui::create_frame_window(0, "x", sized);
  windows.push_back(w);
  EXPECT_EQ(pw::window_rect(w), (pw::rect{100 + 399, 7, 100 + 399 + 201, 7 + 101}));

  dui::FrameWindowOptions height_only;  // a height without a width does not count
  height_only.height = 40;
  height_only.show = true;
  pw::handle h = dui::create_frame_window(0, "x", height_only);
  windows.push_back(h);
  EXPECT_EQ(pw::window_rect(h).height(), 250);
  EXPECT_TRUE(pw::is_visible(h));
}

TEST_F(FrameworkTest, MakeTopmostAndRunModalUntilTheWindowIsGone) {
  pw::handle w = make_window();
  EXPECT_TRUE(dui::make_topmost(w));
  EXPECT_TRUE(pw::is_topmost(w));
  EXPECT_FALSE(dui::make_topmost(0));
  pw::post(w, pw::WM_CLOSE);
  dui::run_modal(w);
  EXPECT_FALSE(pw::exists(w));
}

TEST_F(FrameworkTest, MeasureTextCoversTheWholeText) {
  platform::gfx::Bitmap bitmap(200, 50);
  platform::gfx::Graphics graphics(bitmap);
  platform::gfx::StringFormat format;
  format.flags = platform::gfx::format_no_wrap;
  dui::RectF one, two;
  ASSERT_TRUE(dui::measure_text(graphics, "资源", dui::default_font(), {0, 0, 200, 50}, format, one));
  ASSERT_TRUE(dui::measure_text(graphics, "资源资源", dui::default_font(), {0, 0, 200, 50}, format, two));
  EXPECT_GT(one.width, 12.0f);
  EXPECT_GT(two.width, one.width + 12.0f);
  EXPECT_GE(one.height, 12.0f);
}

struct LoadCase {
  const char* name;
  bool strip_signature;
  bool add_signature;
  bool loads;
};

class LoadImageTest : public FrameworkTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadImageTest, PngWithAndWithoutItsSignature) {
  const LoadCase& c = GetParam();
  std::string bytes = png_of_size(7, 5);
  if (c.strip_signature) bytes.erase(0, 8);
  for (bool keep : {false, true}) {
    Image image = dui::load_image(bytes, c.add_signature, keep);
    ASSERT_EQ(!image.is_null(), c.loads) << c.name << " keep " << keep;
    if (!c.loads) continue;
    EXPECT_EQ(dui::image_width(image), 7);
    EXPECT_EQ(dui::image_height(image), 5);
    EXPECT_EQ(image.bitmap().pixel(3, 2), 0xFF336699u);
    EXPECT_EQ(image.keeps_stream(), keep);
  }
}

INSTANTIATE_TEST_SUITE_P(Signatures, LoadImageTest,
                         ::testing::Values(LoadCase{"whole file", false, false, true},
                                           LoadCase{"stored without signature", true, true, true},
                                           LoadCase{"signature missing", true, false, false},
                                           LoadCase{"signature twice", false, true, false}),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_F(FrameworkTest, LoadImageRejectsEmptyAndGarbage) {
  EXPECT_TRUE(dui::load_image(std::string_view{}).is_null());
  EXPECT_TRUE(dui::load_image(std::string_view{}, true).is_null());
  EXPECT_TRUE(dui::load_image(std::string("not a picture at all"), false, true).is_null());
  Image nothing;
  EXPECT_EQ(nothing.frame_count(), 0);
  EXPECT_FALSE(nothing.select_frame(0));
}

TEST_F(FrameworkTest, KeptStreamKeepsEveryFrameOfAnAnimation) {
  const std::string_view bytes(reinterpret_cast<const char*>(animated_gif), sizeof animated_gif);
  Image animated = dui::load_image(bytes, false, true);
  ASSERT_FALSE(animated.is_null());
  EXPECT_EQ(animated.frame_count(), 2);
  EXPECT_EQ(animated.frame_delays(), (std::vector<int>{10, 20}));
  EXPECT_EQ(animated.bitmap().pixel(0, 0), 0xFFFF0000u);
  EXPECT_TRUE(animated.select_frame(1));
  EXPECT_EQ(animated.bitmap().pixel(0, 0), 0xFF0000FFu);
  EXPECT_FALSE(animated.select_frame(2));

  Image still = dui::load_image(bytes, false, false);
  EXPECT_EQ(still.frame_count(), 1);
  EXPECT_EQ(still.bitmap().pixel(1, 1), 0xFFFF0000u);

  dui::release_image(animated);
  EXPECT_TRUE(animated.is_null());
}

TEST_F(FrameworkTest, DrawImagePartTakesTheWholeImageWithoutASource) {
  Image image = dui::load_image(png_of_size(4, 4));
  platform::gfx::Bitmap target(8, 8);
  platform::gfx::Graphics graphics(target);
  dui::draw_image_part(graphics, image, {0, 0, 8, 8});
  EXPECT_EQ(target.pixel(7, 7), 0xFF336699u);
  dui::draw_image_part(graphics, Image{}, {0, 0, 8, 8});  // nothing to draw, no crash
}

}  // namespace

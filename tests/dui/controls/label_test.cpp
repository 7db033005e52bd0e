// Ex_Label: caption placement, repaint rules, transitions, wrapping and backgrounds.
#include "dui/controls/label.h"

#include "controls_fixture.h"

#include <gtest/gtest.h>

namespace {

using dui_test::ControlsFixture;

// Records where the caption goes and how often the label is asked to paint.
class ProbeLabel : public dui::Ex_Label {
 public:
  ~ProbeLabel() override { destroy(); }
  dui::RectF caption;
  int paint_requests = 0;

 protected:
  void before_draw_text(dui::RectF& rect) override { caption = rect; }
  int filter_event(int code, dui::WParam, dui::LParam) override {
    if (code == dui::event::paint) ++paint_requests;
    return -1;
  }
};

class LabelTest : public ControlsFixture {};

TEST_F(LabelTest, SingleLineCaptionFollowsVerticalAlignment) {
  make_host();
  ProbeLabel label;
  dui::LabelOptions options;
  options.text = "标签";
  options.font_size = 14.0f;
  ASSERT_NE(label.create(window, 10, 10, 100, 40, options), nullptr);
  // A 16-pixel caption in the 36-pixel inner area that starts at y = 2.
  ASSERT_EQ(label.measured_height(), 16);
  struct Case {
    int alignment;
    float top;
  };
  for (Case c : {Case{0, 4}, Case{1, 12}, Case{2, 20}}) {
    label.vertical_alignment(c.alignment);
    EXPECT_EQ(label.caption.y, c.top) << "alignment " << c.alignment;
    EXPECT_EQ(label.caption.height, 16.0f);
  }
}

TEST_F(LabelTest, SameCaptionRepaintsOnlyWithAnEffect) {
  make_host();
  ProbeLabel label;
  dui::LabelOptions options;
  options.text = "相同";
  label.create(window, 0, 0, 80, 24, options);
  const int before = label.paint_requests;
  label.text(std::string("相同"));
  EXPECT_EQ(label.paint_requests, before);

  label.text(std::string("相同"), dui::transition::slide_down, 5, 60);
  EXPECT_EQ(label.paint_requests, before + 1);
  EXPECT_TRUE(label.transition_running());
  advance(5 * 60);
  EXPECT_FALSE(label.transition_running());
  EXPECT_EQ(label.transition_pending(), 0);
  // Without an effect a change repaints at once again.
  label.text(std::string("不同"));
  EXPECT_FALSE(label.transition_running());
  EXPECT_EQ(label.text(), "不同");
}

TEST_F(LabelTest, WordWrapBreaksLinesAndTheClipCutsTheRest) {
  make_host();
  dui::Ex_Label label;
  dui::LabelOptions options;
  options.text = "这是一段很长的说明文字，需要换行才能显示完整的内容";
  options.word_wrap = 1;
  options.text_colour = 0xFF000000;
  label.create(window, 0, 0, 60, 34, options);
  EXPECT_EQ(label.format_flags(), dui::Ex_Label::wrap_flags);
  const std::vector<int> rows = dui_test::inked_rows(*label.bitmap());
  ASSERT_FALSE(rows.empty());
  EXPECT_GE(rows.front(), 2);
  EXPECT_LE(rows.back(), 31);       // two-pixel inset at the bottom
  EXPECT_GE(rows.back(), 20);       // a second, partly visible line
  label.word_wrap(0);
  EXPECT_EQ(label.format_flags(), dui::Ex_Label::no_wrap_flags);
}

TEST_F(LabelTest, GradientModeMinusOneLeavesTheBackgroundTransparent) {
  make_host();
  struct Case {
    int mode;
    bool filled;
  };
  for (Case c : {Case{-1, false}, Case{0, true}, Case{1, true}}) {
    dui::Ex_Label label;
    dui::LabelOptions options;
    options.gradient_mode = c.mode;
    options.gradient_start = 0xFFFF0000;
    options.gradient_end = 0xFF0000FF;
    label.create(window, 0, 0, 40, 20, options);
    EXPECT_EQ(platform::gfx::alpha_of(label.bitmap()->pixel(10, 10)) != 0, c.filled) << "mode " << c.mode;
  }
}

TEST_F(LabelTest, AutoTextColourFollowsTheHostBackground) {
  make_host(400, 300, [] {
    dui::HostOptions o;
    o.background_colour = 0x000000;
    return o;
  }());
  dui::Ex_Label label;
  dui::LabelOptions options;
  options.text = "■■■■";
  options.auto_text_colour = 1;
  options.font_size = 16.0f;
  label.create(window, 0, 0, 80, 24, options);
  bool white = false;
  for (int x = 0; x < 80 && !white; ++x) {
    for (int y = 0; y < 24 && !white; ++y) {
      const auto p = label.bitmap()->pixel(x, y);
      white = platform::gfx::alpha_of(p) > 150 && platform::gfx::red_of(p) > 200;
    }
  }
  EXPECT_TRUE(white);
}

TEST_F(LabelTest, FontChangesKeepTheDefaultFontAndMeasureAgain) {
  make_host();
  dui::Ex_Label label;
  dui::LabelOptions options;
  options.text = "字体";
  label.create(window, 0, 0, 120, 40, options);
  const int small = label.measured_width();
  EXPECT_EQ(label.font_size(24), 24);
  EXPECT_GT(label.measured_width(), small);
  label.font_name(std::string("不存在的字体"));
  EXPECT_EQ(label.font_size(), 24);
  label.release_font();
  EXPECT_FLOAT_EQ(dui::default_font().size(), 12.0f);
}

}  // namespace

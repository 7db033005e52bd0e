// message_box: geometry, text fitting, button sets and captions, answers by mouse and keys,
// the result slot, looks and the skinned button.
#include "dui/controls/message_box.h"

#include "dui/controls/caption_button.h"
#include "dui/controls/label.h"
#include "controls_fixture.h"

#include <gtest/gtest.h>

namespace {

namespace pw = platform::window;
namespace pt = platform::testing;
using dui_test::Script;

struct Box {
  pw::handle window = 0;
  int width = 0;
  int height = 0;
};

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pt::reset_input_and_loop();
    dui::init_framework();
    dui::install_caption_parts();
    pt::set_work_area(pw::rect{0, 0, 1000, 800});
  }
  void TearDown() override {
    dui::set_message_beep(nullptr);
    dui::set_caption_parts({});
    pt::set_work_area(std::nullopt);
    pt::reset_input_and_loop();
  }

  // Runs a box; `act` runs inside its modal loop once it is shown and must end it.
  int run_box(const std::string& text, dui::MessageBoxOptions options, std::function<void(const Box&)> act,
              pw::handle owner = 0) {
    options.layout_hook = [this](pw::handle w, int width, int height) { box = {w, width, height}; };
    Script script;
    // Waits for the box to be up and active (another loop may run the steps earlier).
    std::function<void()> when_shown = [&] {
      if (box.window == 0 || !pw::is_visible(box.window) || pw::get_active() != box.window) {
        script.then(when_shown);
        return;
      }
      act(box);
    };
    script.then(when_shown);
    return dui::message_box(owner, text, options);
  }

  static std::vector<dui::Ex_TextControl*> buttons(pw::handle window) {
    std::vector<dui::Ex_TextControl*> out;
    for (dui::Ex_Control* c : dui_test::controls_of(window)) {
      if (c->kind() == dui::kind::text_control) out.push_back(dynamic_cast<dui::Ex_TextControl*>(c));
    }
    return out;
  }
  static dui::Ex_Label* label(pw::handle window) {
    for (dui::Ex_Control* c : dui_test::controls_of(window)) {
      auto* l = dynamic_cast<dui::Ex_Label*>(c);
      if (l != nullptr && c != dui::host_of(window)->title_label()) return l;
    }
    return nullptr;
  }
  static float text_width(const std::string& text, float* height = nullptr) {
    platform::gfx::Bitmap surface(1, 1);
    platform::gfx::Graphics g(surface);
    const auto bounds = g.measure_string(text, dui::default_font(), {}, {}).bounds;
    if (height != nullptr) *height = bounds.height;
    return bounds.width;
  }

  Box box;
};

TEST_F(MessageBoxTest, DefaultBoxIsCentredWithTextAndOneButton) {
  dui::MessageBoxOptions options;
  options.icon = dui::box_icon::information;
  const int answer = run_box("资源已失效", options, [](const Box& b) {
    EXPECT_EQ(pw::window_rect(b.window), (pw::rect{340, 325, 660, 475}));
    EXPECT_EQ(pw::get_text(b.window), "提示：");
    dui::Ex_Label* text = label(b.window);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->left(), 85);
    EXPECT_EQ(text->top(), 47);
    EXPECT_EQ(text->word_wrap(), 1);
    const auto list = buttons(b.window);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->text(), "确认");
    EXPECT_EQ(list[0]->left(), 237);
    EXPECT_EQ(list[0]->top(), 115);
    EXPECT_EQ(list[0]->width(), 70);
    EXPECT_EQ(list[0]->height(), 24);
    EXPECT_EQ(list[0]->host()->focus(), list[0]);
    pt::click(b.window, {250, 125});
  });
  EXPECT_EQ(answer, dui::box_result::ok);
  EXPECT_FALSE(pw::exists(box.window));
}

TEST_F(MessageBoxTest, EscapeAndTheCloseButtonAnswerCancel) {
  struct Case {
    const char* how;
    std::function<void(const Box&)> act;
  };
  const Case cases[] = {
      {"escape", [](const Box& b) { pt::key_down(b.window, pw::VK_ESCAPE); }},
      {"close button",
       [](const Box& b) {
         dui::Ex_Control* close = dui::host_of(b.window)->caption_buttons().at(0);
         pt::click(b.window, {close->left() + 5, close->top() + 5});
       }},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run_box("确定要删除吗？", {}, c.act), dui::box_result::cancel) << c.how;
  }
}

TEST_F(MessageBoxTest, LongAndTallTextsGrowTheBox) {
  const std::string wide = "这是一行很长很长的提示文字，它比文字区域宽得多，所以提示框会变宽";
  const float wide_width = text_width(wide);
  ASSERT_GT(wide_width, 200.0f);
  const std::string lines = "第一行\r\n第二行\r\n第三行";
  float lines_height = 0;
  text_width(lines, &lines_height);
  ASSERT_GE(lines_height, 30.0f);
  ASSERT_LE(lines_height, 50.0f);
  struct Case {
    std::string text;
    int icon;
    int width, text_left, text_top, text_width;
  };
  const Case cases[] = {
      {wide, 64, int(wide_width + 120), 85, 47, int(wide_width + 10)},
      {wide, 0, int(wide_width + 60), 30, 47, int(wide_width + 10)},
      {"短", 0, 320, 30, 47, 260},
      {lines, 64, 320, 85, 43, 200},
  };
  for (const Case& c : cases) {
    dui::MessageBoxOptions options;
    options.icon = c.icon;
    run_box(c.text, options, [&](const Box& b) {
      EXPECT_EQ(b.width, c.width) << c.text;
      EXPECT_EQ(pw::window_rect(b.window).width(), c.width);
      dui::Ex_Label* text = label(b.window);
      ASSERT_NE(text, nullptr);
      EXPECT_EQ(text->left(), c.text_left);
      EXPECT_EQ(text->top(), c.text_top) << c.text;
      EXPECT_EQ(text->width(), c.text_width) << c.text;
      EXPECT_EQ(buttons(b.window).at(0)->left(), c.width - 75 - 8);
      pt::key_down(b.window, pw::VK_ESCAPE);
    });
  }
}

TEST_F(MessageBoxTest, YesNoCancelAnswersByMnemonicAndEscape) {
  struct Case {
    std::function<void(pw::handle)> press;
    int answer;
  };
  const Case cases[] = {
      {[](pw::handle w) { pt::alt_key(w, 'y'); }, dui::box_result::yes},
      {[](pw::handle w) { pt::alt_key(w, 'n'); }, dui::box_result::no},
      {[](pw::handle w) { pt::key_down(w, pw::VK_ESCAPE); }, dui::box_result::cancel},
      {[](pw::handle w) { pt::key_down(w, pw::VK_RETURN); }, dui::box_result::cancel},  // focus: rightmost
  };
  for (const Case& c : cases) {
    dui::MessageBoxOptions options;
    options.buttons = 3;
    options.icon = dui::box_icon::question;
    const int answer = run_box("是否保存更改？", options, [&](const Box& b) {
      const auto list = buttons(b.window);
      ASSERT_EQ(list.size(), 3u);
      // Left to right: yes, no, cancel.
      EXPECT_EQ(list[2]->text(), "是(&Y)");
      EXPECT_EQ(list[1]->text(), "否(&N)");
      EXPECT_EQ(list[0]->text(), "取消");
      EXPECT_LT(list[2]->left(), list[1]->left());
      EXPECT_LT(list[1]->left(), list[0]->left());
      EXPECT_EQ(list[2]->tag().substr(list[2]->tag().find('|')), "|5|3");
      c.press(b.window);
    });
    EXPECT_EQ(answer, c.answer);
  }
}

TEST_F(MessageBoxTest, GivenCaptionsReplaceTheSetsCaptionsButKeepItsAnswers) {
  dui::MessageBoxOptions options;
  options.buttons = 1;
  options.captions = std::vector<std::string>{"放弃", "继续"};
  options.default_button = 2;
  const int answer = run_box("继续上传？", options, [](const Box& b) {
    const auto list = buttons(b.window);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->text(), "放弃");
    EXPECT_EQ(list[1]->text(), "继续");
    EXPECT_EQ(list[1]->host()->focus(), list[1]);
    pt::key_down(b.window, pw::VK_RETURN);
  });
  EXPECT_EQ(answer, dui::box_result::ok);
}

TEST_F(MessageBoxTest, ResizingTheBoxKeepsTheButtonsAtTheBottomRight) {
  dui::MessageBoxOptions options;
  options.buttons = 1;
  run_box("调整大小", options, [](const Box& b) {
    const pw::rect r = pw::window_rect(b.window);
    pw::move(b.window, r.left, r.top, 400, 200);
    const auto list = buttons(b.window);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->left(), 400 - 75 - 10);
    EXPECT_EQ(list[1]->left(), 400 - 150 - 10);
    EXPECT_EQ(list[1]->top(), 200 - 35);
    pt::key_down(b.window, pw::VK_ESCAPE);
  });
}

TEST_F(MessageBoxTest, ATagNamingAnotherSlotWritesNothing) {
  const int answer = run_box("标签", {}, [](const Box& b) {
    dui::Ex_TextControl* button = buttons(b.window).at(0);
    button->tag("12345|0|1");
    pt::click(b.window, {button->left() + 5, button->top() + 5});
  });
  EXPECT_EQ(answer, dui::box_result::cancel);
}

TEST_F(MessageBoxTest, SkinnedButtonsAreTextControlsOf70By26) {
  dui::MessageBoxOptions options;
  options.skinned_buttons = true;
  options.buttons = 4;
  const int answer = run_box("皮肤按钮", options, [](const Box& b) {
    const auto list = buttons(b.window);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->width(), 70);
    EXPECT_EQ(list[0]->height(), 26);
    pt::click(b.window, {list[1]->left() + 5, list[1]->top() + 5});
  });
  EXPECT_EQ(answer, dui::box_result::yes);
}

TEST_F(MessageBoxTest, BeepsWithTheIconUnlessToldNot) {
  std::vector<int> beeps;
  dui::set_message_beep([&](int icon) { beeps.push_back(icon); });
  for (bool beep : {true, false}) {
    dui::MessageBoxOptions options;
    options.icon = dui::box_icon::warning;
    options.beep = beep;
    run_box("注意", options, [](const Box& b) { pt::key_down(b.window, pw::VK_ESCAPE); });
  }
  run_box("无图标", {}, [](const Box& b) { pt::key_down(b.window, pw::VK_ESCAPE); });
  EXPECT_EQ(beeps, std::vector<int>{dui::box_icon::warning});
}

TEST_F(MessageBoxTest, OwnerHostLendsItsLook) {
  pw::handle owner = dui::create_frame_window(0, "owner", [] {
    dui::FrameWindowOptions o;
    o.width = 400;
    o.height = 300;
    o.show = true;
    return o;
  }());
  dui::Ex_Window owner_host;
  dui::HostOptions look;
  look.background_colour = 0x00336699;
  look.window_alpha = 180;
  look.features = 0;
  ASSERT_TRUE(owner_host.create(owner, look));
  dui::MessageBoxOptions options;
  options.centre_on_owner = true;
  run_box("借用外观", options, [&](const Box& b) {
    dui::Ex_Window* host = dui::host_of(b.window);
    EXPECT_EQ(host->window_alpha(), 180);
    EXPECT_EQ(host->background_colour(), 0x00336699);
    const pw::rect o = pw::window_rect(owner);
    EXPECT_EQ(pw::window_rect(b.window).left, o.left + (o.width() - 320) / 2);
    pt::key_down(b.window, pw::VK_ESCAPE);
  }, owner);
  pw::destroy(owner);
}

TEST_F(MessageBoxTest, TheOwnerGetsNoInputWhileTheBoxIsUp) {
  dui::FrameWindowOptions frame;
  frame.width = 300;
  frame.height = 200;
  frame.show = true;
  pw::handle owner = dui::create_frame_window(0, "owner", frame);
  dui::Ex_Window owner_host;
  dui::HostOptions look;
  look.features = 0;
  look.background_colour = 0xFFFFFF;
  ASSERT_TRUE(owner_host.create(owner, look));
  dui_test::ProbeControl probe;
  probe.create(owner, {10, 10, 100, 100});
  run_box("模态", {}, [&](const Box& b) {
    pt::click(owner, {50, 50});
    pt::key_down(owner, 'A');
    pt::key_down(b.window, pw::VK_ESCAPE);
  }, owner);
  EXPECT_EQ(probe.count(dui::event::left_down), 0);
  EXPECT_EQ(probe.count(pw::WM_KEYDOWN), 0);
  probe.destroy();
  pw::destroy(owner);
}

TEST_F(MessageBoxTest, ScreenshotOfABoxWithIconAndThreeButtons) {
  dui::MessageBoxOptions options;
  options.buttons = 3;
  options.icon = dui::box_icon::question;
  options.title = "保存资源";
  run_box("资源尚未保存，是否在关闭前保存更改？\r\n选择“取消”可返回继续编辑。", options, [](const Box& b) {
    pw::pump();
    EXPECT_FALSE(pt::save_window_png(b.window, "message_box_three_buttons").empty());
    pt::key_down(b.window, pw::VK_ESCAPE);
  });
}

}  // namespace

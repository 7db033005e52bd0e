// Ex_CaptionButton: the window messages a click posts, fades, and the host's caption parts.
#include "dui/controls/caption_button.h"

#include "dui/controls/label.h"
#include "dui/controls/picture.h"
#include "controls_fixture.h"

#include <gtest/gtest.h>

namespace {

using dui_test::ControlsFixture;
namespace pw = platform::window;

class CaptionButtonTest : public ControlsFixture {
 protected:
  // Records the close and system-command messages the window receives.
  void record_commands() {
    host->set_message_hook([this](pw::handle, unsigned message, dui::WParam wparam, dui::LParam) -> dui::LResult {
      if (message == pw::WM_SYSCOMMAND) commands.push_back(wparam);
      if (message == pw::WM_CLOSE) {
        commands.push_back(pw::WM_CLOSE);
        return 0;  // keep the window for the test
      }
      return -1;
    });
  }
  void click(dui::Ex_CaptionButton& button) {
    dui::fire_event(&button, dui::event::click, 0, 0);
    pump();
  }
  std::vector<dui::WParam> commands;
};

TEST_F(CaptionButtonTest, MaximiseButtonPostsMaximiseThenRestore) {
  make_host();
  record_commands();
  dui::Ex_CaptionButton button;
  ASSERT_NE(button.create(window, 300, 7, 28, 19, dui::caption_button::maximize), nullptr);
  click(button);
  ASSERT_TRUE(pw::is_maximized(window));
  click(button);
  EXPECT_EQ(commands, (std::vector<dui::WParam>{pw::SC_MAXIMIZE, pw::SC_RESTORE}));
  EXPECT_FALSE(pw::is_maximized(window));
}

TEST_F(CaptionButtonTest, ClicksPostByButtonType) {
  make_host();
  record_commands();
  struct Case {
    int type;
    bool minimised_first;
    std::vector<dui::WParam> expected;
  };
  const Case cases[] = {
      {dui::caption_button::close, false, {pw::WM_CLOSE}},
      {dui::caption_button::minimize, false, {pw::SC_MINIMIZE}},
      {dui::caption_button::minimize, true, {}},
      {32, false, {}},
  };
  for (const Case& c : cases) {
    pw::show(window, c.minimised_first ? pw::SW_MINIMIZE : pw::SW_RESTORE);
    pump();
    commands.clear();
    dui::Ex_CaptionButton button;
    button.create(window, 300, 7, 28, 19, c.type);
    click(button);
    EXPECT_EQ(commands, c.expected) << "type " << c.type;
  }
}

TEST_F(CaptionButtonTest, DisabledButtonPostsNothing) {
  make_host();
  record_commands();
  dui::Ex_CaptionButton button;
  button.create(window, 300, 7, 39, 19, dui::caption_button::close);
  button.disabled(1);
  click(button);
  EXPECT_TRUE(commands.empty());
}

TEST_F(CaptionButtonTest, HoverFadesInOverThreeFramesAndOutOverFour) {
  make_host();
  dui::Ex_CaptionButton button;
  button.create(window, 300, 7, 28, 19, dui::caption_button::minimize);
  dui::fire_event(&button, dui::event::mouse_enter, 0, 0);
  EXPECT_EQ(button.last_state(), 1);
  EXPECT_TRUE(button.transition_running());
  advance(2 * 60);
  EXPECT_TRUE(button.transition_running());
  advance(60);
  EXPECT_FALSE(button.transition_running());
  dui::fire_event(&button, dui::event::mouse_leave, 0, 0);
  advance(3 * 60);
  EXPECT_TRUE(button.transition_running());
  advance(60);
  EXPECT_FALSE(button.transition_running());
  EXPECT_EQ(button.last_state(), 0);
  // Presses repaint at once.
  dui::fire_event(&button, dui::event::left_down, 0, 0);
  EXPECT_EQ(button.last_state(), 2);
  EXPECT_FALSE(button.transition_running());
}

TEST_F(CaptionButtonTest, HostCaptionShowsIconTitleAndButtons) {
  dui::install_caption_parts();
  dui::HostOptions options;
  options.features = 1 | 2 | 4 | 16;
  options.background_colour = 0x8C5E2F;
  make_host(600, 400, options);
  ASSERT_EQ(host->caption_buttons().size(), 2u);
  EXPECT_EQ(host->caption_buttons()[0]->left(), 555);
  EXPECT_EQ(host->caption_buttons()[0]->width(), 39);
  EXPECT_EQ(host->caption_buttons()[1]->left(), 527);
  EXPECT_EQ(host->caption_buttons()[1]->top(), 7);
  auto* title = dynamic_cast<dui::Ex_Label*>(host->title_label());
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), "host");
  EXPECT_EQ(title->left(), 28);
  pw::set_text(window, "新标题");
  EXPECT_EQ(title->text(), "新标题");
  auto* icon = dynamic_cast<dui::Ex_Picture*>(host->icon_picture());
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->focusable(), 0);
  pump();
  EXPECT_FALSE(platform::testing::save_window_png(window, "host_caption").empty());
}

}  // namespace

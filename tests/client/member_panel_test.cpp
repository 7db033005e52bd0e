// The member panel on a host window against the test server: log-in first, the member's texts,
// and the panel refreshed by a log-in, a transfer and a submission.
#include "client/member_panel.h"

#include "browser_fixture.h"
#include "dialogs/login_window.h"
#include "dialogs/submit_window.h"
#include "dialogs/transfer_window.h"
#include "platform/forms.h"

#include <stdlib.h>

#include <filesystem>

namespace {

namespace forms = platform::forms;
namespace window = platform::window;

class MemberPanelTest : public client_test::BrowserFixture {
 protected:
  MemberPanelTest() : BrowserFixture(test_support::ScratchDatabase::Contents::schema) {}

  void SetUp() override {
    BrowserFixture::SetUp();
    char pattern[] = "/tmp/member_panel_test.XXXXXX";
    dir_ = ::mkdtemp(pattern);
    platform::services::testing::set_program_directory(dir_);
    forms::testing::intercept_message_boxes(true);
    forms::testing::clear_recorded();
    client::program_state().program_version = "1.7";
    client::program_state().main_window_handle = window_;
    client::install_member_panel({screens_, &stand_ins_[3], &stand_ins_[4], &stand_ins_[5]});
    ASSERT_TRUE(db_.run("INSERT INTO Quenbo登录验证 (账号,密码,Quenbo币,投稿量,回执消息) VALUES "
                        "('alice6','secret1','2','0','欢迎加入Quenbo资源社区'),('bob001','secret1','5','0','');"))
        << db_.error();
    client::show_list_screen(screens_);
    forget_statements();
  }
  void TearDown() override {
    forms::testing::intercept_message_boxes(false);
    platform::services::testing::set_program_directory(std::nullopt);
    std::filesystem::remove_all(dir_);
    BrowserFixture::TearDown();
  }
  void log_in_directly() {
    client::program_state().current_account = "alice6";
    client::program_state().logged_in = 1;
  }
  std::vector<std::string> panel_texts() {
    return {stand_ins_[3].text(), stand_ins_[4].text(), stand_ins_[5].text()};
  }
  void expect_member_screen() {
    EXPECT_EQ(list_.visible(), 0);
    EXPECT_EQ(stand_ins_[0].visible(), 0);
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(stand_ins_[i].visible(), 1) << i;
  }

  std::string dir_;
};

TEST_F(MemberPanelTest, BeforeALogInTheLogInWindowOpensAndTheListStays) {
  static window::rect seen;
  seen = {};
  const std::uintptr_t closer = window::set_timer(0, 0, 20, [](window::handle, unsigned, std::uintptr_t, std::uint32_t) {
    const window::handle active = window::get_active();
    if (active == 0 || active == client::program_state().main_window_handle) return;
    seen = window::window_rect(active);
    window::post(active, window::WM_CLOSE);
  });
  client::program_state().show_member_panel();
  window::kill_timer(0, closer);
  // The window that came up had the log-in window's size.
  dialogs::LoginWindow reference(client::member_dialog_context());
  ASSERT_TRUE(reference.load());
  const window::rect login_size = window::window_rect(reference.form().handle());
  EXPECT_EQ(seen.width(), login_size.width());
  EXPECT_EQ(seen.height(), login_size.height());
  EXPECT_GT(seen.width(), 0);
  EXPECT_EQ(client::program_state().logged_in, 0);
  EXPECT_EQ(list_.visible(), 1);
  EXPECT_EQ(stand_ins_[0].visible(), 1);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(stand_ins_[i].visible(), 0) << i;
  EXPECT_TRUE(statements().empty());
}

TEST_F(MemberPanelTest, ShowsTheMembersTextsExactlyAsRead) {
  log_in_directly();
  client::show_member_panel();
  EXPECT_EQ(panel_texts(), (std::vector<std::string>{"Quenbo币：2", "投稿量：0", "消息：欢迎加入Quenbo资源社区"}));
  expect_member_screen();
}

TEST_F(MemberPanelTest, LogInThroughTheProgramShowsThePanelAndTheCaption) {
  dialogs::LoginWindow login(client::member_dialog_context());
  ASSERT_TRUE(login.load());
  login.form().set_text(dialogs::login_controls::account, "alice6");
  login.form().set_text(dialogs::login_controls::password, "secret1");
  ASSERT_TRUE(login.form().click(dialogs::login_controls::submit));
  EXPECT_EQ(client::program_state().logged_in, 1);
  EXPECT_EQ(client::program_state().current_account, "alice6");
  EXPECT_EQ(panel_texts()[0], "Quenbo币：2");
  expect_member_screen();
  EXPECT_EQ(window::get_text(window_), "Quenbo资源社区   1.7 beta  - 正式版 id alice6");
}

TEST_F(MemberPanelTest, TransferAndSubmissionRefreshThePanel) {
  log_in_directly();
  client::show_member_panel();
  dialogs::TransferWindow transfer(client::member_dialog_context());
  ASSERT_TRUE(transfer.load());
  ASSERT_TRUE(db_.run("UPDATE Quenbo登录验证 SET Quenbo币='10' WHERE 账号='alice6';"));
  transfer.form().set_text(dialogs::transfer_controls::recipient, "bob001");
  transfer.form().set_text(dialogs::transfer_controls::amount, "3");
  ASSERT_TRUE(transfer.form().click(dialogs::transfer_controls::confirm));
  EXPECT_EQ(panel_texts()[0], "Quenbo币：6");
  EXPECT_EQ(panel_texts()[2], "消息：您刚刚向用户： bob001 汇款 3 个Quenbo币");

  dialogs::SubmitWindow submit(client::member_dialog_context());
  ASSERT_TRUE(submit.load());
  submit.form().set_text(dialogs::submit_controls::title, "标题");
  ASSERT_TRUE(submit.form().click(dialogs::submit_controls::confirm));
  EXPECT_EQ(panel_texts()[2], "消息：你有一条投稿正在审核中，请耐心等待！");
  expect_member_screen();
}

}  // namespace

// The log-in window against the test server: the checks in their order with their titles,
// exact name comparison, account states, config.conf, log-in effects and registration.
#include "dialogs/login_window.h"

#include "member_dialogs_fixture.h"

#include <sys/stat.h>

#include <sstream>

namespace {

using dialogs::LoginWindow;
using dialogs_test::MemberDialogsTest;
namespace forms = platform::forms;
namespace controls = dialogs::login_controls;

class LoginWindowTest : public MemberDialogsTest {
 protected:
  // Opens a window, fills both edits, switches to registration when asked, clicks button 1.
  void submit(std::string_view account, std::string_view password, bool registering = false) {
    window_ = std::make_unique<LoginWindow>(context());
    ASSERT_TRUE(window_->load());
    forms::Form& form = window_->form();
    form.set_text(controls::account, account);
    form.set_text(controls::password, password);
    if (registering) {
      ASSERT_TRUE(form.click(controls::register_link));
    }
    ASSERT_TRUE(form.click(controls::submit));
  }
  std::vector<std::string> config_lines() {
    std::vector<std::string> lines;
    std::istringstream content(platform::services::read_file(dialogs::remembered_account_file()).value_or(""));
    for (std::string line; std::getline(content, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }
  void expect_only_message(std::string_view text, std::string_view title) {
    const auto shown = boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, text);
    EXPECT_EQ(shown[0].title, title);
    EXPECT_EQ(shown[0].icon, forms::MessageIcon::none);
  }

  std::unique_ptr<LoginWindow> window_;
};

TEST_F(LoginWindowTest, FormHasItsSizeAndStartsInLogInMode) {
  const forms::FormLayout layout = LoginWindow::layout();
  EXPECT_EQ(layout.width, 231);
  EXPECT_EQ(layout.height, 164);
  LoginWindow window(context());
  ASSERT_TRUE(window.load());
  EXPECT_EQ(window.form().text(controls::submit), "登录");
  ASSERT_TRUE(window.form().click(controls::register_link));
  EXPECT_EQ(window.form().text(controls::submit), "注册");
  EXPECT_EQ(window.form().text(controls::register_link), "注册");

  // Any other caption is no mode at all.
  add_member("alice6", "secret1", 2);
  window.form().set_text(controls::account, "alice6");
  window.form().set_text(controls::password, "secret1");
  window.form().set_text(controls::submit, "确定");
  forget_statements();
  ASSERT_TRUE(window.form().click(controls::submit));
  EXPECT_TRUE(boxes().empty());
  EXPECT_TRUE(statements().empty());
  EXPECT_EQ(session_.logged_in, 0);
}

TEST_F(LoginWindowTest, ShortAccountOrPasswordIsRefusedUnderTheModesTitle) {
  struct Case { std::string account, password; bool registering; std::string title; };
  for (const Case& c : {Case{"abcde", "secret1", false, "信息："}, Case{"abcdef", "12345", false, "信息："},
                        Case{"abcde", "secret1", true, "提示："}, Case{"abcdef", "", true, "提示："}}) {
    forms::testing::clear_recorded();
    forget_statements();
    submit(c.account, c.password, c.registering);
    expect_only_message("账号密码不能少于6位", c.title);
    EXPECT_TRUE(statements().empty()) << c.account;
  }
}

TEST_F(LoginWindowTest, ThreeChineseCharactersAreLongEnough) {
  submit("张三丰", "密码密码", true);
  expect_only_message("账号注册成功", "提示：");
  forms::testing::clear_recorded();
  ASSERT_TRUE(window_->form().click(controls::submit));
  EXPECT_TRUE(boxes().empty());
  EXPECT_EQ(session_.current_account, "张三丰");
}

TEST_F(LoginWindowTest, AccountStatesAndTheOrderOfPasswordAndBan) {
  struct Case { std::string account, state, typed_password, message; };
  const std::vector<Case> cases = {
      {"normal1", "正常", "secret1", ""},
      {"empty01", "", "secret1", ""},
      {"frozen1", "冻结", "secret1", ""},
      {"banned1", "封禁", "secret1", "帐号已被封禁，封号原因：恶意刷取Quenbo币或恶意投稿"},
      {"banned2", "封禁", "wrong99", "密码错误"},
      {"normal2", "正常", "wrong99", "密码错误"},
      {"nobody1", "", "secret1", "账号不存在"},
  };
  for (const Case& c : cases) {
    if (c.account != "nobody1") add_member(c.account, "secret1", 2, c.state);
  }
  for (const Case& c : cases) {
    forms::testing::clear_recorded();
    session_ = {};
    submit(c.account, c.typed_password);
    if (c.message.empty()) {
      EXPECT_TRUE(boxes().empty()) << c.account;
      EXPECT_EQ(session_.logged_in, 1) << c.account;
    } else {
      expect_only_message(c.message, "信息：");
      EXPECT_EQ(session_.logged_in, 0) << c.account;
      EXPECT_TRUE(window_->form().exists());
    }
  }
}

TEST_F(LoginWindowTest, NamesCompareExactlyWhateverTheServersCollation) {
  make_names_case_insensitive();
  add_member("alice6", "secret1", 2);
  submit("ALICE6", "secret1");
  expect_only_message("账号不存在", "信息：");

  // Registration goes on to the insert, which the case-insensitive key then refuses.
  forms::testing::clear_recorded();
  forget_statements();
  submit("ALICE6", "secret1", true);
  expect_only_message("账号注册失败", "提示：");
  bool insert_sent = false;
  for (const std::string& s : statements()) insert_sent |= s.rfind("insert into Quenbo登录验证 set 账号='ALICE6'", 0) == 0;
  EXPECT_TRUE(insert_sent);
}

TEST_F(LoginWindowTest, SuccessfulLogInRemembersTheAccountAndHandsOverToTheMainWindow) {
  add_member("alice6", "secret1", 2);
  submit("alice6", "secret1");
  EXPECT_TRUE(boxes().empty());
  EXPECT_EQ(session_.current_account, "alice6");
  EXPECT_EQ(session_.logged_in, 1);
  EXPECT_TRUE(hint_hidden_);
  EXPECT_EQ(panel_logged_in_, std::vector<int>{1});
  EXPECT_FALSE(window_->form().exists());
  EXPECT_EQ(main_caption_, "Quenbo资源社区   1.7 beta  - 正式版 id alice6");

  EXPECT_EQ(config_lines(), (std::vector<std::string>{"[Config]", "account=alice6", "password=secret1"}));
  struct stat info{};
  ASSERT_EQ(::stat(platform::services::native_path(dialogs::remembered_account_file()).c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  LoginWindow next(context());
  ASSERT_TRUE(next.load());
  EXPECT_EQ(next.form().text(controls::account), "alice6");
  EXPECT_EQ(next.form().text(controls::password), "secret1");
  EXPECT_EQ(next.form().text(controls::submit), "登录");
}

TEST_F(LoginWindowTest, FailedLogInWritesNoConfigAndWithoutOneTheEditsStartEmpty) {
  LoginWindow window(context());
  ASSERT_TRUE(window.load());
  EXPECT_EQ(window.form().text(controls::account), "");
  EXPECT_EQ(window.form().text(controls::password), "");
  submit("alice6", "secret1");
  EXPECT_FALSE(platform::services::file_exists(dialogs::remembered_account_file()));
}

TEST_F(LoginWindowTest, RegistrationCreatesTheMemberAndReturnsToLogInMode) {
  submit("newbie1", "pass123", true);
  expect_only_message("账号注册成功", "提示：");
  EXPECT_EQ(column("newbie1", "密码"), "pass123");
  EXPECT_EQ(column("newbie1", "Quenbo币"), "2");
  EXPECT_EQ(column("newbie1", "投稿量"), "0");
  EXPECT_EQ(column("newbie1", "帐号状态"), "正常");
  EXPECT_EQ(column("newbie1", "回执消息"), "欢迎加入Quenbo资源社区");
  EXPECT_EQ(db_.value("SELECT 回执消息 FROM 审核回执 WHERE ID='newbie1'"), "快去分享资源赚Quenbo币下载资源吧！");
  EXPECT_EQ(session_.logged_in, 0);
  EXPECT_FALSE(platform::services::file_exists(dialogs::remembered_account_file()));

  forms::Form& form = window_->form();
  ASSERT_TRUE(form.exists());
  EXPECT_EQ(form.text(controls::submit), "登录");
  EXPECT_EQ(form.text(controls::account), "newbie1");
  forms::testing::clear_recorded();
  ASSERT_TRUE(form.click(controls::submit));
  EXPECT_EQ(session_.current_account, "newbie1");

  forms::testing::clear_recorded();
  submit("newbie1", "other12", true);
  expect_only_message("注册失败，该账号已被注册", "提示：");
}

TEST_F(LoginWindowTest, QuotesInNamesAndPasswordsAreStoredAsTyped) {
  submit("o'brien", "pa'ss\\1", true);
  expect_only_message("账号注册成功", "提示：");
  forms::testing::clear_recorded();
  ASSERT_TRUE(window_->form().click(controls::submit));
  EXPECT_TRUE(boxes().empty());
  EXPECT_EQ(session_.current_account, "o'brien");
  EXPECT_EQ(config_lines(), (std::vector<std::string>{"[Config]", "account=o'brien", "password=pa'ss\\1"}));
}

TEST_F(LoginWindowTest, WithoutAConnectionNothingGetsIn) {
  connection_.reset();
  submit("alice6", "secret1");
  expect_only_message("账号不存在", "信息：");
  forms::testing::clear_recorded();
  submit("alice6", "secret1", true);
  expect_only_message("账号注册失败", "提示：");
}

}  // namespace

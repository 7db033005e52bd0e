// Submissions against the test server: the form check by GBK byte lengths, the stored proposal
// with its category, the member's row afterwards, and a refused insert.
#include "dialogs/submit_window.h"

#include "member_dialogs_fixture.h"

namespace {

using dialogs::SubmitWindow;
using dialogs_test::MemberDialogsTest;
namespace forms = platform::forms;
namespace controls = dialogs::submit_controls;

constexpr std::string_view success_message = "投稿成功，进入官方审核\r\n审核时间为12小时内！";

class SubmitWindowTest : public MemberDialogsTest {
 protected:
  void SetUp() override {
    MemberDialogsTest::SetUp();
    add_member("alice1", "secret1", 2);
    session_ = {.current_account = "alice1", .logged_in = 1};
  }
  // Opens a window, fills it in and clicks "确定".
  void submit(std::string_view title, std::string_view description, std::string_view address = {},
              int category = -1) {
    forms::testing::clear_recorded();
    window_ = std::make_unique<SubmitWindow>(context());
    ASSERT_TRUE(window_->load());
    forms::Form& form = window_->form();
    form.set_text(controls::title, title);
    form.set_text(controls::description, description);
    form.set_text(controls::address, address);
    if (category >= 0) form.select(controls::category, category);
    ASSERT_TRUE(form.click(controls::confirm));
  }
  std::string submissions() { return db_.value("SELECT COUNT(*) FROM 投稿审核"); }

  std::unique_ptr<SubmitWindow> window_;
};

TEST_F(SubmitWindowTest, FormHasItsSizeAndTheFirstCategoryChosen) {
  EXPECT_EQ(SubmitWindow::layout().width, 380);
  EXPECT_EQ(SubmitWindow::layout().height, 170);
  SubmitWindow window(context());
  ASSERT_TRUE(window.load());
  EXPECT_EQ(window.form().items(controls::category),
            (std::vector<std::string>{"编程源码", "软件辅助", "活动线报", "精品资源"}));
  EXPECT_EQ(window.form().selected(controls::category), 0);
  EXPECT_EQ(window.form().text(controls::category), "编程源码");
}

TEST_F(SubmitWindowTest, TitleOrDescriptionMustBeLongEnoughInBytes) {
  struct Case { std::string title, description; bool accepted; };
  const std::vector<Case> cases = {
      {"a", "abcde", false}, {"", "", false}, {"a", "abcdef", true},
      {"ab", "", true},      {"中", "", true}, {"", "说明文字", true},
  };
  int stored = 0;
  for (const Case& c : cases) {
    forget_statements();
    submit(c.title, c.description);
    const std::string label = c.title + "/" + c.description;
    if (c.accepted) {
      ++stored;
      EXPECT_EQ(message_texts(), std::vector<std::string>{std::string(success_message)}) << label;
      EXPECT_FALSE(window_->form().exists()) << label;
    } else {
      EXPECT_EQ(message_texts(), std::vector<std::string>{"请认真填写要发布的资源"}) << label;
      EXPECT_TRUE(statements().empty()) << label;
      EXPECT_TRUE(window_->form().exists()) << label;
    }
    EXPECT_EQ(boxes().at(0).icon, forms::MessageIcon::information) << label;
    EXPECT_EQ(boxes().at(0).title, "信息：") << label;
    EXPECT_EQ(submissions(), std::to_string(stored)) << label;
  }
}

TEST_F(SubmitWindowTest, ProposalIsStoredAsTypedAndTheMemberToldToWait) {
  submit("好工具", "一个's说明", "", 1);
  EXPECT_EQ(db_.value("SELECT CONCAT_WS('|',ID,标题,说明,地址,审核状态,分类) FROM 投稿审核"),
            "alice1|好工具|一个's说明||审核中|软件辅助");
  EXPECT_EQ(column("alice1", "正在审核的资源"), "1");
  EXPECT_EQ(column("alice1", "回执消息"), "你有一条投稿正在审核中，请耐心等待！");
  EXPECT_EQ(column("alice1", "投稿量"), "0");
  EXPECT_EQ(panel_logged_in_, std::vector<int>{1});
  EXPECT_FALSE(window_->form().exists());
}

TEST_F(SubmitWindowTest, RefusedInsertKeepsTheWindowAndSendsNothingElse) {
  ASSERT_TRUE(db_.run("DROP TABLE 投稿审核;"));
  forget_statements();
  submit("标题", "说明说明", "http://example.invalid/x");
  const auto shown = boxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "投稿失败，原因可能是：服务器地址错误，或网络问题");
  EXPECT_EQ(shown[0].icon, forms::MessageIcon::none);
  EXPECT_EQ(statements().size(), 1u);
  EXPECT_TRUE(panel_logged_in_.empty());
  ASSERT_TRUE(window_->form().exists());
  EXPECT_EQ(window_->form().text(controls::title), "标题");
}

}  // namespace

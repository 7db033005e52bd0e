// Coin transfers against the test server: the checks in their order, the fee, the receipts,
// amounts below one, a credit the server refuses, and concurrent transfers keeping every coin.
#include "dialogs/transfer_window.h"

#include "member_dialogs_fixture.h"

#include <thread>

namespace {

using dialogs::TransferOutcome;
using dialogs::TransferWindow;
using dialogs_test::MemberDialogsTest;
namespace forms = platform::forms;
namespace controls = dialogs::transfer_controls;

constexpr std::string_view success_message = "转账成功\r\n温馨提示：Quenbo币以后将支持商城物品购买啦！敬请期待";

class TransferWindowTest : public MemberDialogsTest {
 protected:
  void SetUp() override {
    MemberDialogsTest::SetUp();
    session_ = {.current_account = "alice1", .logged_in = 1};
    window_ = std::make_unique<TransferWindow>(context());
    ASSERT_TRUE(window_->load());
  }
  void transfer(std::string_view recipient, std::string_view amount) {
    forms::testing::clear_recorded();
    window_->form().set_text(controls::recipient, recipient);
    window_->form().set_text(controls::amount, amount);
    ASSERT_TRUE(window_->form().click(controls::confirm));
  }
  int coins(std::string_view account) { return std::stoi(column(account, "Quenbo币")); }
  bool any_update_sent() {
    for (const std::string& s : statements()) {
      if (s.rfind("update ", 0) == 0) return true;
    }
    return false;
  }

  std::unique_ptr<TransferWindow> window_;
};

TEST_F(TransferWindowTest, FormHasItsSize) {
  EXPECT_EQ(TransferWindow::layout().width, 320);
  EXPECT_EQ(TransferWindow::layout().height, 153);
}

TEST_F(TransferWindowTest, ChecksAndTheFee) {
  struct Case {
    int balance;
    std::string recipient, amount, message;
    int sender_after, recipient_after;  // recipient starts with 5
  };
  const std::vector<Case> cases = {
      {10, "bob1", "9", std::string(success_message), 0, 14},
      {10, "bob1", "3abc", std::string(success_message), 6, 8},
      {10, "bob1", "10", "你的账户余额不足", 10, 5},
      {10, "bob1", "11", "你的账户余额不足", 10, 5},
      {5, "alice1", "9", "你的账户余额不足", 5, 5},  // the balance is checked before the name
      {10, "alice1", "5", "不能给自己转账", 10, 5},
      {10, "nobody", "5", "该收款账户不存在，转账失败", 10, 5},
      {10, "bob1", "", "转账金额必须大于0", 10, 5},
      {10, "bob1", "0", "转账金额必须大于0", 10, 5},
      {10, "bob1", "-3", "转账金额必须大于0", 10, 5},
      {10, "bob1", "abc", "转账金额必须大于0", 10, 5},
  };
  add_member("alice1", "secret1", 0);
  add_member("bob1", "secret1", 0);
  for (const Case& c : cases) {
    ASSERT_TRUE(db_.run("UPDATE Quenbo登录验证 SET Quenbo币='" + std::to_string(c.balance) + "' WHERE 账号='alice1';"));
    ASSERT_TRUE(db_.run("UPDATE Quenbo登录验证 SET Quenbo币='5' WHERE 账号='bob1';"));
    forget_statements();
    panel_logged_in_.clear();
    transfer(c.recipient, c.amount);
    const std::string label = c.recipient + " " + c.amount;
    EXPECT_EQ(message_texts(), std::vector<std::string>{c.message}) << label;
    EXPECT_EQ(boxes().at(0).title, "信息：");
    EXPECT_EQ(coins("alice1"), c.sender_after) << label;
    EXPECT_EQ(coins("bob1"), c.recipient_after) << label;
    const bool done = c.message == success_message;
    EXPECT_EQ(panel_logged_in_.size(), done ? 1u : 0u) << label;
    EXPECT_EQ(any_update_sent(), done) << label;
    if (c.message == "转账金额必须大于0") {
      EXPECT_TRUE(statements().empty()) << label;
    }
  }
  EXPECT_TRUE(window_->form().exists());
}

TEST_F(TransferWindowTest, ReceiptsQuoteTheAmountAsTyped) {
  add_member("alice1", "secret1", 10);
  add_member("bob1", "secret1", 0);
  transfer("bob1", "3abc");
  EXPECT_EQ(column("bob1", "回执消息"), "用户：alice1向您汇款3abcQuenbo币");
  EXPECT_EQ(column("alice1", "回执消息"), "您刚刚向用户： bob1 汇款 3abc 个Quenbo币");
  transfer("bob1", "2");
  EXPECT_EQ(column("bob1", "回执消息"), "用户：alice1向您汇款2Quenbo币");
  EXPECT_EQ(coins("alice1"), 3);
  EXPECT_EQ(coins("bob1"), 5);
}

TEST_F(TransferWindowTest, RecipientNameMustMatchExactly) {
  make_names_case_insensitive();
  add_member("alice1", "secret1", 10);
  add_member("bob1", "secret1", 5);
  transfer("Bob1", "3");
  EXPECT_EQ(message_texts(), std::vector<std::string>{"该收款账户不存在，转账失败"});
  EXPECT_EQ(coins("alice1"), 10);
  EXPECT_EQ(coins("bob1"), 5);
}

TEST_F(TransferWindowTest, RefusedCreditLeavesBothBalances) {
  add_member("alice1", "secret1", 10);
  add_member("bob1", "secret1", 5);
  ASSERT_TRUE(db_.run(
      "CREATE TRIGGER 拒收 BEFORE UPDATE ON Quenbo登录验证 FOR EACH ROW IF NEW.账号='bob1' AND NEW.Quenbo币<>OLD.Quenbo币 "
      "THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='refused'; END IF;"))
      << db_.error();
  transfer("bob1", "3");
  EXPECT_EQ(message_texts(), std::vector<std::string>{"转账失败"});
  EXPECT_EQ(coins("alice1"), 10);
  EXPECT_EQ(coins("bob1"), 5);
  EXPECT_EQ(column("alice1", "回执消息"), "");
  EXPECT_TRUE(panel_logged_in_.empty());
}

TEST_F(TransferWindowTest, RecipientLockedByAnotherClientLeavesBothBalances) {
  add_member("alice1", "secret1", 10);
  add_member("bob1", "secret1", 5);
  ASSERT_TRUE(client::db_execute(connection_.get(), "SET SESSION innodb_lock_wait_timeout=1"));
  client::ConnectionPtr other = db_.connect();
  ASSERT_TRUE(client::db_execute(other.get(), "START TRANSACTION"));
  ASSERT_TRUE(client::db_execute(other.get(), "SELECT * FROM Quenbo登录验证 WHERE 账号='bob1' FOR UPDATE"));
  client::db_get_record_set(other.get());
  transfer("bob1", "3");
  client::db_execute(other.get(), "ROLLBACK");
  EXPECT_EQ(message_texts(), std::vector<std::string>{"转账失败"});
  EXPECT_EQ(coins("alice1"), 10);
  EXPECT_EQ(coins("bob1"), 5);
}

TEST_F(TransferWindowTest, RefusedDebitEndsSilently) {
  add_member("alice1", "secret1", 10);
  add_member("bob1", "secret1", 5);
  ASSERT_TRUE(db_.run(
      "CREATE TRIGGER 冻结 BEFORE UPDATE ON Quenbo登录验证 FOR EACH ROW IF NEW.账号='alice1' "
      "THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='frozen'; END IF;"))
      << db_.error();
  transfer("bob1", "3");
  EXPECT_TRUE(boxes().empty());
  EXPECT_EQ(coins("alice1"), 10);
  EXPECT_EQ(coins("bob1"), 5);
}

TEST_F(TransferWindowTest, WithoutAConnectionNothingHappensSilently) {
  EXPECT_EQ(dialogs::transfer_coins(nullptr, "alice1", "bob1", "3"), TransferOutcome::silent_failure);
}

// Two members sending coins to each other at the same time on connections of their own: each
// finished transfer costs exactly its fee, whatever the interleaving.
TEST_F(TransferWindowTest, ConcurrentTransfersNeitherCreateNorLoseCoins) {
  add_member("alice1", "secret1", 1000);
  add_member("bob1", "secret1", 1000);
  std::atomic<int> done{0};
  auto send_back_and_forth = [&](std::string from, std::string to) {
    client::ConnectionPtr own = db_.connect();
    for (int i = 0; i < 15; ++i) {
      if (dialogs::transfer_coins(own.get(), from, to, "2") == TransferOutcome::done) ++done;
    }
  };
  std::thread a(send_back_and_forth, "alice1", "bob1");
  std::thread b(send_back_and_forth, "bob1", "alice1");
  a.join();
  b.join();
  EXPECT_GT(done.load(), 0);
  EXPECT_EQ(coins("alice1") + coins("bob1"), 2000 - done.load());
}

}  // namespace

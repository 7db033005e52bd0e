#include "browser_fixture.h"

#include "client/resource_actions.h"

#include <thread>

namespace {

namespace services = platform::services;

class ResourceActions : public client_test::BrowserFixture {
 protected:
  static constexpr const char* kAddress = "https://example.org/res?id=1";

  void SetUp() override {
    BrowserFixture::SetUp();
    ASSERT_TRUE(db_.run("UPDATE Quenbo登录验证 SET Quenbo币='1' WHERE 账号='demo';\n"));
    client::program_state().current_account = "demo";
    forget_statements();
  }
  std::string coins(const std::string& account) {
    return db_.value("SELECT Quenbo币 FROM Quenbo登录验证 WHERE 账号='" + account + "'");
  }
  std::string receipt(const std::string& account) {
    return db_.value("SELECT 回执消息 FROM Quenbo登录验证 WHERE 账号='" + account + "'");
  }
  bool any_write() {
    for (const std::string& s : statements()) {
      if (s.rfind("update", 0) == 0 || s.rfind("insert", 0) == 0) return true;
    }
    return false;
  }
  std::vector<std::string> opened() { return services::testing::opened_addresses(); }
  using Strings = std::vector<std::string>;
};

TEST_F(ResourceActions, TheOfficialAccountsResourcesOpenWithoutAnyStatement) {
  list_row("quenbo", kAddress);
  client::open_resource(list_);
  EXPECT_EQ(opened(), Strings{kAddress});
  EXPECT_TRUE(statements().empty());
  EXPECT_EQ(coins("demo"), "1");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ResourceActions, OnesOwnResourceReadsTheBalanceAndWritesNothing) {
  list_row("demo", kAddress);
  client::open_resource(list_);
  EXPECT_EQ(opened(), Strings{kAddress});
  EXPECT_EQ(statements(), Strings{"select * from Quenbo登录验证 where 账号='demo'"});
  EXPECT_EQ(client::program_state().reader_balance, "1");
}

TEST_F(ResourceActions, TheLastCoinMovesToThePublisherWithAReceipt) {
  const std::int64_t before = client::text_to_int(coins("linmo"));
  list_row("linmo", kAddress);
  client::open_resource(list_);
  EXPECT_EQ(opened(), Strings{kAddress});
  EXPECT_EQ(client::program_state().last_opened_address, kAddress);
  EXPECT_EQ(coins("demo"), "0");
  EXPECT_EQ(coins("linmo"), client::int_to_text(before + 1));
  EXPECT_EQ(receipt("demo"), "您刚刚打开了： linmo 上传的资源已从账户扣除1个Quenbo币");
  const Strings sent = statements();
  for (const char* expected : {"update Quenbo登录验证 set Quenbo币='0' where 账号='demo'",
                               "START TRANSACTION", "COMMIT"}) {
    EXPECT_NE(std::find(sent.begin(), sent.end(), expected), sent.end()) << expected;
  }
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ResourceActions, WithoutACoinNothingIsOpenedOrWritten) {
  for (const char* balance : {"0", "", "abc", "-3"}) {
    SCOPED_TRACE(balance);
    ASSERT_TRUE(db_.run(std::string("UPDATE Quenbo登录验证 SET Quenbo币='") + balance + "' WHERE 账号='demo';\n"));
    messages_.clear();
    forget_statements();
    list_row("linmo", kAddress);
    client::open_resource(list_);
    EXPECT_EQ(messages_, Strings{"您的Quenbo币不足，无法打开该资源"});
    EXPECT_TRUE(opened().empty());
    EXPECT_FALSE(any_write());
  }
}

TEST_F(ResourceActions, AVisitorWhoHasNotLoggedInCannotPay) {
  client::program_state().current_account.clear();
  list_row("linmo", kAddress);
  client::open_resource(list_);
  EXPECT_EQ(messages_, Strings{"您的Quenbo币不足，无法打开该资源"});
  EXPECT_TRUE(opened().empty());
}

TEST_F(ResourceActions, NoSelectedRowSendsNothing) {
  list_row("linmo", kAddress);
  list_.selected_row(0);
  ASSERT_EQ(list_.selected_row(), 0);
  client::open_resource(list_);
  EXPECT_EQ(messages_, Strings{"请选择要打开的资源项目"});
  EXPECT_TRUE(statements().empty());
  EXPECT_TRUE(opened().empty());
}

TEST_F(ResourceActions, OnlyWebAddressesAreOpened) {
  struct Case {
    const char* address;
    bool web;
  } cases[] = {
      {"http://example.org/", true},       {"HTTPS://example.org/a b", false},
      {"https://example.org/a", true},     {"ftp://files.example.org/x.zip", true},
      {"file:///etc/passwd", false},       {"/usr/bin/xterm", false},
      {"C:\\Windows\\calc.exe", false},    {"http://", false},
      {"javascript:alert(1)", false},      {"", false},
      {"http:///etc/passwd", false},       {"ftp://a\nb", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(client::is_web_address(c.address), c.web);
  }
  list_row("quenbo", "file:///etc/passwd");
  client::open_resource(list_);
  list_row("linmo", "/usr/bin/xterm");
  client::open_resource(list_);
  EXPECT_EQ(messages_, Strings(2, "该资源地址不是网页地址，已阻止打开"));
  EXPECT_TRUE(opened().empty());
  EXPECT_TRUE(statements().empty());
  EXPECT_EQ(coins("demo"), "1");
  client::copy_resource_address(list_);
  EXPECT_EQ(services::testing::clipboard_writes(), Strings{"/usr/bin/xterm"});
}

TEST_F(ResourceActions, AMissingPublisherCostsTheReaderNothing) {
  list_row("nobody", kAddress);
  client::open_resource(list_);
  EXPECT_EQ(opened(), Strings{kAddress});
  EXPECT_EQ(coins("demo"), "1");
  EXPECT_EQ(db_.value("SELECT COUNT(*) FROM Quenbo登录验证 WHERE 账号='nobody'"), "0");
}

TEST_F(ResourceActions, QuotesInNamesReachTheServerEscaped) {
  client::program_state().current_account = "demo' OR '1'='1";
  list_row("linmo", kAddress);
  client::open_resource(list_);
  EXPECT_EQ(messages_, Strings{"您的Quenbo币不足，无法打开该资源"});
  EXPECT_EQ(coins("linmo"), "14");
}

// Readers opening the same publisher's resource at once, each on a connection of its own, as
// separate clients would: every coin paid arrives.
TEST_F(ResourceActions, ConcurrentChargesNeitherCreateNorLoseCoins) {
  constexpr int kReaders = 4;
  constexpr int kOpens = 3;
  std::string accounts;
  for (int i = 0; i < kReaders; ++i) {
    ASSERT_TRUE(db_.run("INSERT INTO Quenbo登录验证 (账号, Quenbo币) VALUES ('r" + std::to_string(i) + "', '10');\n"));
  }
  const std::int64_t publisher_before = client::text_to_int(coins("linmo"));
  std::vector<std::thread> readers;
  for (int i = 0; i < kReaders; ++i) {
    readers.emplace_back([&, i] {
      client::ConnectionPtr own = db_.connect();
      const std::string reader = "r" + std::to_string(i);
      for (int k = 0; k < kOpens; ++k) {
        client::db_transaction(own.get(), [&] {
          std::string balance, publisher_balance;
          client::db_execute(own.get(), client::sql::account_select(own.get(), reader));
          auto rows = client::db_get_record_set(own.get());
          client::db_read_field(rows.get(), "Quenbo币", balance);
          client::db_execute(own.get(), client::sql::account_select(own.get(), "linmo"));
          rows = client::db_get_record_set(own.get());
          client::db_read_field(rows.get(), "Quenbo币", publisher_balance);
          const bool ok =
              client::sql::db_update(own.get(), client::sql::balance_update(own.get(), reader, client::text_to_int(balance) - 1)) &&
              client::sql::db_update(own.get(), client::sql::balance_update(own.get(), "linmo", client::text_to_int(publisher_balance) + 1));
          return ok ? client::TransactionEnd::commit : client::TransactionEnd::roll_back;
        });
      }
    });
  }
  // Meanwhile this client opens linmo's resource on the main connection.
  list_row("linmo", kAddress);
  client::open_resource(list_);
  for (std::thread& t : readers) t.join();
  std::int64_t paid = 1 - client::text_to_int(coins("demo"));
  for (int i = 0; i < kReaders; ++i) paid += 10 - client::text_to_int(coins("r" + std::to_string(i)));
  // A charge that lost every retry to the others leaves both balances as they were.
  EXPECT_EQ(client::text_to_int(coins("linmo")) - publisher_before, paid);
  EXPECT_TRUE(coins("demo") == "0" || coins("demo") == "1") << coins("demo");
}

TEST_F(ResourceActions, CopyPutsExactlyTheAddressOnTheClipboard) {
  list_row("linmo", "https://example.org/资源?a=1&b='2'");
  client::copy_resource_address(list_);
  list_.selected_row(0);
  client::copy_resource_address(list_);
  EXPECT_EQ(services::testing::clipboard_writes(), (Strings{"https://example.org/资源?a=1&b='2'", ""}));
  EXPECT_EQ(messages_, Strings(2, "复制地址成功"));
  EXPECT_TRUE(statements().empty());
}

}  // namespace

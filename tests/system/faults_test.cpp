// Faults as a user meets them: no database at start, the server stopped in the middle of a
// session and started again, a hanging database port or statistics page. The program keeps
// running, says what went wrong, loses nothing and works again on a new connection.
#include "client/browser_fixture.h"
#include "client/member_panel.h"
#include "client/resource_actions.h"
#include "client/visit_stats.h"
#include "dialogs/download.h"
#include "dialogs/login_window.h"
#include "dialogs/program_control.h"
#include "dialogs/submit_window.h"
#include "dialogs/transfer_window.h"
#include "hostile_corpus.h"
#include "http_test_server.h"
#include "ledger_server.h"
#include "platform/forms.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <map>

namespace {

namespace forms = platform::forms;
using client::sql::Category;

const std::vector<std::string> kTables = {"Quenbo登录验证", "审核回执", "投稿审核", "精品资源", "编程源码",
                                          "软件辅助",       "活动线报", "Quenbo盒子设置"};
constexpr std::string_view kSubmitFailed = "投稿失败，原因可能是：服务器地址错误，或网络问题";

std::uint32_t now_ms() { return platform::services::milliseconds_since_start(); }

// Member actions driven through their windows on the program's connection.
class FaultsFixture : public client_test::BrowserFixture {
 protected:
  void SetUp() override {
    BrowserFixture::SetUp();
    char pattern[] = "/tmp/faults_test.XXXXXX";
    dir_ = ::mkdtemp(pattern);
    platform::services::testing::set_program_directory(dir_);
    forms::testing::intercept_message_boxes(true);
    forms::testing::clear_recorded();
    client::install_member_panel({screens_, &stand_ins_[3], &stand_ins_[4], &stand_ins_[5]});
    ASSERT_TRUE(db_.run("INSERT INTO Quenbo登录验证 (账号,密码,Quenbo币,ID) VALUES "
                        "('alice1','secret1','100','alice1'),('bob001','secret1','5','bob001');"))
        << db_.error();
  }
  void TearDown() override {
    forms::testing::intercept_message_boxes(false);
    platform::services::testing::set_program_directory(std::nullopt);
    std::filesystem::remove_all(dir_);
    BrowserFixture::TearDown();
  }

  std::map<std::string, std::vector<std::string>> tables(client::Connection* probe) {
    std::map<std::string, std::vector<std::string>> all;
    for (const std::string& t : kTables) all[t] = hostile::snapshot(probe, t);
    return all;
  }
  // The message boxes shown since the last call.
  static std::vector<std::string> shown() {
    std::vector<std::string> texts;
    for (const auto& box : forms::testing::message_boxes()) texts.push_back(box.text);
    forms::testing::clear_recorded();
    return texts;
  }
  std::vector<std::string> main_messages() {
    std::vector<std::string> texts;
    texts.swap(messages_);
    return texts;
  }

  void log_in(const std::string& account, const std::string& password) {
    dialogs::LoginWindow window(client::member_dialog_context());
    ASSERT_TRUE(window.load(false));
    window.form().set_text(dialogs::login_controls::account, account);
    window.form().set_text(dialogs::login_controls::password, password);
    ASSERT_TRUE(window.form().click(dialogs::login_controls::submit));
  }
  void transfer(const std::string& recipient, const std::string& amount) {
    dialogs::TransferWindow window(client::member_dialog_context());
    ASSERT_TRUE(window.load(false));
    window.form().set_text(dialogs::transfer_controls::recipient, recipient);
    window.form().set_text(dialogs::transfer_controls::amount, amount);
    ASSERT_TRUE(window.form().click(dialogs::transfer_controls::confirm));
  }
  void submit(const std::string& title) {
    dialogs::SubmitWindow window(client::member_dialog_context());
    ASSERT_TRUE(window.load(false));
    window.form().set_text(dialogs::submit_controls::title, title);
    window.form().set_text(dialogs::submit_controls::description, "说明说明说明");
    window.form().set_text(dialogs::submit_controls::address, "http://example.test/x");
    ASSERT_TRUE(window.form().click(dialogs::submit_controls::confirm));
  }
  int load(Category category) { return client::category_loader().load(category, connection(), screens_); }

  // Every member action and category click on a connection that cannot reach the server:
  // nothing crashes, every refusal is told, the list empties and nobody gets logged in.
  void expect_every_action_refused(const std::string& label) {
    client::program_state().current_account = "";
    client::program_state().logged_in = 0;
    log_in("alice1", "secret1");
    EXPECT_EQ(client::program_state().logged_in, 0) << label;
    const auto login_messages = shown();
    EXPECT_EQ(login_messages.size(), 1u) << label << ": log-in";
    login_says_no_account_ = login_messages == std::vector<std::string>{"账号不存在"};

    client::program_state().current_account = "alice1";
    client::program_state().logged_in = 1;
    transfer("bob001", "3");
    observed_transfer_messages_ = shown();
    submit("标题标题");
    EXPECT_EQ(shown(), std::vector<std::string>{std::string(kSubmitFailed)}) << label;
    // "打开" on another member's resource, with a balance read before the fault.
    client::program_state().reader_balance = "5";
    platform::services::testing::clear_captured();
    list_row("bob001", "http://example.test/r");
    client::open_resource(list_);
    opened_without_charge_ = platform::services::testing::opened_addresses().size();
    for (Category c : {Category::featured, Category::source_code, Category::software_tools, Category::offers}) {
      EXPECT_EQ(load(c), 0) << label;
      EXPECT_EQ(list_.row_count(), 0) << label;
    }
    client::program_state().logged_in = 0;
  }

  std::string dir_;
  std::vector<std::string> observed_transfer_messages_;
  bool login_says_no_account_ = false;
  std::size_t opened_without_charge_ = 0;
};

class FaultsTest : public FaultsFixture {};

TEST_F(FaultsTest, WithoutAConnectionEveryActionIsRefusedAndNothingIsWritten) {
  client::ConnectionPtr probe = db_.connect();
  const auto before = tables(probe.get());
  client::program_state().main_connection.reset();
  forget_statements();
  expect_every_action_refused("no connection");
  EXPECT_TRUE(statements().empty());
  EXPECT_EQ(tables(probe.get()), before);
  // The member panel keeps the balance last read without a connection.
  client::program_state().current_account = "alice1";
  client::program_state().logged_in = 1;
  client::show_member_panel();
  EXPECT_EQ(stand_ins_[3].text(), "Quenbo币：" + client::program_state().reader_balance);
  EXPECT_TRUE(shown().empty());
  std::printf("without a connection: transfer shows %zu message(s); log-in says the account does not exist: %d; "
              "opened unpaid: %zu\n",
              observed_transfer_messages_.size(), login_says_no_account_ ? 1 : 0, opened_without_charge_);
}

// A database port that never answers and a statistics page that never answers: start-up's
// steps each give up within their time-outs.
TEST(FaultsAtStart, HangingDatabaseAndStatisticsPageGiveUpWithinTheirTimeOuts) {
  test_support::HungPort hung;
  test_support::ScratchDatabase db(test_support::ScratchDatabase::Contents::schema);
  ASSERT_TRUE(db.ok()) << db.error();

  std::uint32_t started = now_ms();
  EXPECT_EQ(client::db_connect("127.0.0.1", db.server().user, db.server().password, db.name(),
                               static_cast<unsigned>(hung.port())),
            nullptr);
  EXPECT_LT(now_ms() - started, 15000u);

  client::VisitCounterSettings settings;
  settings.database = {"127.0.0.1", db.server().user, db.server().password, db.name(),
                       static_cast<unsigned>(test_support::HttpTestServer::closed_port())};
  settings.ip_page_url = "http://127.0.0.1:" + std::to_string(hung.port()) + "/ip";
  started = now_ms();
  EXPECT_EQ(client::count_visit("Tallyx12345678", settings), "Tallyx12345678");
  EXPECT_LT(now_ms() - started, 15000u);

  // The database reachable, the page hanging: the visit is still counted, within the time-out.
  ASSERT_TRUE(db.run("INSERT INTO Tallyx账号数据 (SID, PV, IP) VALUES ('Tallyx12345678','7','1.2.3.4');\n"
                     "INSERT INTO 统计状态 (SID, 状态) VALUES ('Tallyx12345678','正常');\n"))
      << db.error();
  settings.database.port = db.server().port;
  settings.connect_timeout_ms = 1000;
  settings.total_timeout_ms = 2000;
  started = now_ms();
  client::count_visit("Tallyx12345678", settings);
  EXPECT_LT(now_ms() - started, 2000u + 3000u);
  EXPECT_EQ(db.value("SELECT PV FROM Tallyx账号数据"), "8");
}

// An update server whose port never answers: the download gives up at its connect time-out,
// says so and leaves no file behind.
TEST(FaultsAtStart, HangingUpdateServerGivesUpAndSaysSo) {
  test_support::HungPort hung;
  char pattern[] = "/tmp/faults_update.XXXXXX";
  const std::string dir = ::mkdtemp(pattern);
  std::vector<std::string> messages;
  std::vector<int> endings;
  dialogs::testing::set_message_routine([&](std::string_view text) { messages.emplace_back(text); });
  dialogs::testing::set_end_routine([&](int code) { endings.push_back(code); });
  const std::uint32_t started = now_ms();
  const std::int32_t result = dialogs::download_file("http://127.0.0.1:" + std::to_string(hung.port()) + "/new",
                                                     dir + "/new", {}, 0, false);
  EXPECT_LT(now_ms() - started, 10000u + 5000u);
  EXPECT_NE(result, dialogs::download_complete);
  EXPECT_EQ(messages, std::vector<std::string>{"不能打开该URL!"});
  EXPECT_EQ(endings, std::vector<int>{0});
  EXPECT_TRUE(std::filesystem::is_empty(dir));
  dialogs::testing::set_message_routine(nullptr);
  dialogs::testing::set_end_routine(nullptr);
  std::filesystem::remove_all(dir);
}

// A private server of this test's own, stopped with the project's script between two actions.
class FaultsServerStopTest : public FaultsFixture {
 protected:
  static void SetUpTestSuite() {
    server_ = new ledger::PrivateServer();
    std::string error;
    started_ = server_->start(error);
    if (!started_) std::fprintf(stderr, "private server: %s\n", error.c_str());
    const char* old = std::getenv("QUENBO_TEST_DB_PORT");
    previous_port_ = old ? old : "";
    ::setenv("QUENBO_TEST_DB_PORT", std::to_string(server_->port()).c_str(), 1);
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
    if (previous_port_.empty()) {
      ::unsetenv("QUENBO_TEST_DB_PORT");
    } else {
      ::setenv("QUENBO_TEST_DB_PORT", previous_port_.c_str(), 1);
    }
  }
  void SetUp() override {
    ASSERT_TRUE(started_);
    FaultsFixture::SetUp();
  }
  static bool db_script(const std::string& arguments) {
    const std::string command = std::string(QUENBO_SCRIPTS_DIR) + "/db " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  }
  static bool stop_server() { return db_script("stop --dir '" + server_->directory() + "'"); }
  static bool start_server() {
    return db_script("start --dir '" + server_->directory() + "' --port " + std::to_string(server_->port()));
  }

  static inline ledger::PrivateServer* server_ = nullptr;
  static inline bool started_ = false;
  static inline std::string previous_port_;
};

TEST_F(FaultsServerStopTest, ActionsWhileStoppedAreRefusedNothingIsLostANewConnectionWorks) {
  log_in("alice1", "secret1");
  ASSERT_EQ(client::program_state().logged_in, 1);
  EXPECT_TRUE(shown().empty());
  transfer("bob001", "3");
  ASSERT_EQ(shown().size(), 1u);
  const int featured = load(Category::featured);
  EXPECT_GT(featured, 0);
  client::ConnectionPtr probe = db_.connect();
  const auto before = tables(probe.get());

  ASSERT_TRUE(stop_server());
  main_messages();
  expect_every_action_refused("server stopped");
  std::printf("server stopped: transfer shows %zu message(s); log-in says the account does not exist: %d; "
              "opened unpaid: %zu; main messages: %zu\n",
              observed_transfer_messages_.size(), login_says_no_account_ ? 1 : 0, opened_without_charge_,
              main_messages().size());
  ASSERT_TRUE(start_server());

  // The data store does not reconnect: the program's connection stays broken after the server is back.
  const int on_old_connection = load(Category::featured);
  std::printf("category load on the old connection after the restart: %d rows\n", on_old_connection);

  // Everything written before the stop is there, and a new connection works for every action.
  probe = db_.connect();
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(tables(probe.get()), before);
  client::program_state().main_connection = db_.connect();
  ASSERT_NE(connection(), nullptr);
  EXPECT_EQ(load(Category::featured), featured);
  EXPECT_EQ(list_.row_count(), featured);
  client::program_state().logged_in = 0;
  log_in("alice1", "secret1");
  EXPECT_EQ(client::program_state().logged_in, 1);
  EXPECT_TRUE(shown().empty());
  transfer("bob001", "3");
  EXPECT_EQ(shown().size(), 1u);
  // The scratch database's own connection was dropped too: read on the new one.
  const auto coins = [&](const std::string& account) {
    std::string value;
    client::db_execute(probe.get(), "SELECT Quenbo币 FROM Quenbo登录验证 WHERE 账号='" + account + "'");
    client::RecordSetPtr rows = client::db_get_record_set(probe.get());
    client::db_read_column(rows.get(), 0, value);
    return value;
  };
  EXPECT_EQ(coins("bob001"), "11");
  EXPECT_EQ(coins("alice1"), "92");
}

}  // namespace

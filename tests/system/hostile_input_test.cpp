// Hostile texts typed into every field and sent back by the database in every cell: nothing
// crashes, no other row changes, refusals are told, and accepted texts are stored byte for byte.
#include "client/browser_fixture.h"
#include "client/main_content.h"
#include "client/main_window.h"
#include "client/member_panel.h"
#include "dialogs/program_control.h"
#include "dui/controls/caption_button.h"
#include "http_test_server.h"
#include "dialogs/login_window.h"
#include "dialogs/submit_window.h"
#include "dialogs/transfer_window.h"
#include "hostile_corpus.h"
#include "platform/forms.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <map>

namespace {

namespace forms = platform::forms;
using hostile::added;
using hostile::corpus;
using hostile::hex;
using hostile::Hostile;

const std::vector<std::string> kTables = {"Quenbo登录验证", "审核回执", "投稿审核", "精品资源", "编程源码",
                                          "软件辅助",       "活动线报", "Quenbo盒子设置"};

// Byte-for-byte equality; a failure shows the start of both texts in hex.
::testing::AssertionResult same(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << actual.size() << " bytes " << hex(actual.substr(0, 64)) << " instead of "
                                       << expected.size() << " bytes " << hex(expected.substr(0, 64));
}

class HostileInputTest : public client_test::BrowserFixture {
 protected:
  HostileInputTest() : BrowserFixture(test_support::ScratchDatabase::Contents::demo) {}

  void SetUp() override {
    BrowserFixture::SetUp();
    probe_ = db_.connect();
    ASSERT_NE(probe_, nullptr);
    char pattern[] = "/tmp/hostile_input_test.XXXXXX";
    dir_ = ::mkdtemp(pattern);
    platform::services::testing::set_program_directory(dir_);
    forms::testing::intercept_message_boxes(true);
    forms::testing::clear_recorded();
    ASSERT_TRUE(db_.run("INSERT INTO Quenbo登录验证 (账号,密码,Quenbo币,ID) VALUES "
                        "('alice1','secret1','100000','alice1'),('bob001','secret1','5','bob001');"))
        << db_.error();
  }
  void TearDown() override {
    forms::testing::intercept_message_boxes(false);
    platform::services::testing::set_program_directory(std::nullopt);
    std::filesystem::remove_all(dir_);
    BrowserFixture::TearDown();
  }

  dialogs::MemberContext context() {
    return {.main_connection = connection(), .session = &session_, .program_version = "1.7"};
  }
  std::map<std::string, std::vector<std::string>> tables() {
    std::map<std::string, std::vector<std::string>> all;
    for (const std::string& t : kTables) all[t] = hostile::snapshot(probe_.get(), t);
    return all;
  }
  // The hex of an account's receipt.
  std::string receipt_hex(const std::string& account) {
    return db_.value("SELECT HEX(回执消息) FROM Quenbo登录验证 WHERE 账号='" + account + "'");
  }
  static std::vector<std::string> messages() {
    std::vector<std::string> texts;
    for (const auto& box : forms::testing::message_boxes()) texts.push_back(box.text);
    return texts;
  }
  // Tables other than `except` are as before.
  static void expect_unchanged(const std::map<std::string, std::vector<std::string>>& before,
                               const std::map<std::string, std::vector<std::string>>& after,
                               const std::vector<std::string>& except, const std::string& label) {
    for (const auto& [table, rows] : before) {
      if (std::find(except.begin(), except.end(), table) != except.end()) continue;
      EXPECT_TRUE(after.at(table) == rows) << label << ": " << table << " changed (" << rows.size() << " rows before, " << after.at(table).size() << " after)";
    }
  }

  // Sets an edit's text and answers what the edit holds (what a user could have typed).
  static std::string type(forms::Form& form, std::string_view control, const std::string& text) {
    form.set_text(control, text);
    return form.text(control);
  }
  // A GBK server can hold what the edit holds: valid unless it is the corpus's invalid text kept as given.
  static bool as_given(const std::string& held, const std::string& given, const Hostile& h) {
    return held != given || given != h.text || h.valid_gbk;
  }

  client::ConnectionPtr probe_;
  std::string dir_;
  dialogs::AccountSession session_;
};

TEST_F(HostileInputTest, AccountAndPasswordRegisterAndLogInOrAreRefused) {
  int n = 0;
  for (const Hostile& h : corpus()) {
    // The text as the account, then as the password of a plain account.
    const std::string plain = "pw" + std::to_string(100000 + n++);
    for (const auto& [account, password] : {std::pair{h.text, std::string("secret1")}, std::pair{plain, h.text}}) {
      const std::string label = h.name + (account == h.text ? " as account" : " as password");
      const auto before = tables();
      forms::testing::clear_recorded();
      session_ = {};
      dialogs::LoginWindow window(context());
      ASSERT_TRUE(window.load(false));
      const std::string typed_account = type(window.form(), dialogs::login_controls::account, account);
      const std::string typed_password = type(window.form(), dialogs::login_controls::password, password);
      ASSERT_TRUE(window.form().click(dialogs::login_controls::register_link));
      ASSERT_TRUE(window.form().click(dialogs::login_controls::submit));
      const auto after = tables();
      const auto shown = messages();
      ASSERT_EQ(shown.size(), 1u) << label;
      const bool holdable = as_given(typed_account, account, h) && as_given(typed_password, password, h) &&
                            typed_account.size() <= 64 && typed_password.size() <= 64;
      const bool long_enough = typed_account.size() >= 6 && typed_password.size() >= 6;
      if (shown[0] == "账号注册成功") {
        EXPECT_TRUE(holdable && long_enough) << label;
        const auto new_accounts = added(before.at("Quenbo登录验证"), after.at("Quenbo登录验证"));
        ASSERT_EQ(new_accounts.size(), 1u) << label;
        EXPECT_TRUE(new_accounts[0].rfind(hex(typed_account) + "|" + hex(typed_password) + "|", 0) == 0) << label;
        EXPECT_EQ(after.at("Quenbo登录验证").size(), before.at("Quenbo登录验证").size() + 1) << label;
        EXPECT_EQ(added(before.at("审核回执"), after.at("审核回执")).size(), 1u) << label;
        expect_unchanged(before, after, {"Quenbo登录验证", "审核回执"}, label);
        // The stored account and password log in.
        forms::testing::clear_recorded();
        ASSERT_TRUE(window.form().click(dialogs::login_controls::submit));
        EXPECT_TRUE(messages().empty()) << label;
        EXPECT_EQ(session_.logged_in, 1) << label;
        EXPECT_TRUE(same(session_.current_account, typed_account)) << label;
      } else {
        EXPECT_FALSE(holdable && long_enough) << label << ": " << shown[0];
        EXPECT_TRUE(shown[0] == "账号密码不能少于6位" || shown[0] == "账号注册失败") << label << ": " << shown[0];
        expect_unchanged(before, after, {}, label);
        // Logging in with what was refused finds nothing.
        forms::testing::clear_recorded();
        window.form().set_text(dialogs::login_controls::submit, dialogs::login_caption);
        ASSERT_TRUE(window.form().click(dialogs::login_controls::submit));
        EXPECT_EQ(session_.logged_in, 0) << label;
        ASSERT_EQ(messages().size(), 1u) << label;
      }
    }
  }
}

TEST_F(HostileInputTest, RecipientAndAmountMoveExactlyTheCoinsOrNothing) {
  session_ = {.current_account = "alice1", .logged_in = 1};
  dialogs::TransferWindow window(context());
  ASSERT_TRUE(window.load(false));
  for (const Hostile& h : corpus()) {
    // The text as the recipient (no such member), then after a leading amount of 1.
    for (const auto& [recipient, amount] : {std::pair{h.text, std::string("5")}, std::pair{std::string("bob001"), "1" + h.text}}) {
      const std::string label = h.name + (recipient == h.text ? " as recipient" : " as amount");
      const auto before = tables();
      const std::string alice = db_.value("SELECT Quenbo币 FROM Quenbo登录验证 WHERE 账号='alice1'");
      const std::string bob = db_.value("SELECT Quenbo币 FROM Quenbo登录验证 WHERE 账号='bob001'");
      const std::string alice_receipt = receipt_hex("alice1");
      const std::string bob_receipt = receipt_hex("bob001");
      forms::testing::clear_recorded();
      const std::string typed_recipient = type(window.form(), dialogs::transfer_controls::recipient, recipient);
      const std::string typed_amount = type(window.form(), dialogs::transfer_controls::amount, amount);
      ASSERT_TRUE(window.form().click(dialogs::transfer_controls::confirm));
      const auto after = tables();
      const auto shown = messages();
      ASSERT_EQ(shown.size(), 1u) << label;
      if (shown[0].rfind("转账成功", 0) == 0) {
        EXPECT_EQ(typed_recipient, "bob001") << label;
        EXPECT_EQ(std::stoll(db_.value("SELECT Quenbo币 FROM Quenbo登录验证 WHERE 账号='alice1'")), std::stoll(alice) - 2) << label;
        EXPECT_EQ(std::stoll(db_.value("SELECT Quenbo币 FROM Quenbo登录验证 WHERE 账号='bob001'")), std::stoll(bob) + 1) << label;
        // Receipts hold 500 characters; a longer one is refused and the old one stays.
        const bool fits = typed_amount.size() < 400;
        EXPECT_TRUE(receipt_hex("bob001") == (fits ? hex("用户：alice1向您汇款" + typed_amount + "Quenbo币") : bob_receipt)) << label;
        EXPECT_TRUE(receipt_hex("alice1") == (fits ? hex("您刚刚向用户： bob001 汇款 " + typed_amount + " 个Quenbo币") : alice_receipt))
            << label;
        EXPECT_EQ(after.at("Quenbo登录验证").size(), before.at("Quenbo登录验证").size()) << label;
        expect_unchanged(before, after, {"Quenbo登录验证"}, label);
      } else {
        // A receipt the server can hold is never refused.
        EXPECT_FALSE(recipient == "bob001" && as_given(typed_amount, amount, h) && typed_amount.size() < 400) << label << ": " << shown[0];
        EXPECT_TRUE(shown[0] == "该收款账户不存在，转账失败" || shown[0] == "转账失败") << label << ": " << shown[0];
        expect_unchanged(before, after, {}, label);
      }
    }
  }
}

TEST_F(HostileInputTest, TitleDescriptionAndAddressAreStoredByteForByteOrRefused) {
  session_ = {.current_account = "alice1", .logged_in = 1};
  for (const Hostile& h : corpus()) {
    for (int field = 0; field < 3; ++field) {
      std::array<std::string, 3> typed = {"标题标题", "说明说明说明", "http://example.test/a"};
      typed[field] = h.text;
      const std::string label = h.name + " in field " + std::to_string(field);
      const auto before = tables();
      forms::testing::clear_recorded();
      dialogs::SubmitWindow window(context());
      ASSERT_TRUE(window.load(false));
      const std::string given = typed[field];
      typed[0] = type(window.form(), dialogs::submit_controls::title, typed[0]);
      typed[1] = type(window.form(), dialogs::submit_controls::description, typed[1]);
      typed[2] = type(window.form(), dialogs::submit_controls::address, typed[2]);
      ASSERT_TRUE(window.form().click(dialogs::submit_controls::confirm));
      const auto after = tables();
      const auto shown = messages();
      ASSERT_EQ(shown.size(), 1u) << label;
      const std::size_t limits[3] = {200, 65535, 1000};
      const bool holdable = as_given(typed[field], given, h) && typed[field].size() <= limits[field];
      if (shown[0].rfind("投稿成功", 0) == 0) {
        EXPECT_TRUE(holdable) << label;
        const auto rows = added(before.at("投稿审核"), after.at("投稿审核"));
        ASSERT_EQ(rows.size(), 1u) << label;
        EXPECT_TRUE(rows[0].rfind(hex("alice1") + "|" + hex(typed[0]) + "|" + hex(typed[1]) + "|" + hex(typed[2]) + "|", 0) == 0)
            << label;
        expect_unchanged(before, after, {"投稿审核", "Quenbo登录验证"}, label);
        EXPECT_EQ(after.at("Quenbo登录验证").size(), before.at("Quenbo登录验证").size()) << label;
      } else {
        EXPECT_FALSE(holdable) << label << ": " << shown[0];
        EXPECT_EQ(shown[0], "投稿失败，原因可能是：服务器地址错误，或网络问题") << label;
        expect_unchanged(before, after, {}, label);
      }
    }
  }
  // Nothing typed at all is refused before the database.
  const auto before = tables();
  forms::testing::clear_recorded();
  dialogs::SubmitWindow window(context());
  ASSERT_TRUE(window.load(false));
  ASSERT_TRUE(window.form().click(dialogs::submit_controls::confirm));
  EXPECT_EQ(messages(), std::vector<std::string>{"请认真填写要发布的资源"});
  expect_unchanged(before, tables(), {}, "empty form");
}

// The edits turn invalid GBK into other text; the raw bytes sent straight to the program's own
// statements and transfer must be stored exactly or refused with nothing changed.
TEST_F(HostileInputTest, RawBytesReachTheStatementsOnlyAsQuotedValues) {
  client::Connection* c = connection();
  int n = 0;
  for (const Hostile& h : corpus()) {
    const std::string account = "raw" + std::to_string(100000 + n++) + h.text;
    auto before = tables();
    if (client::sql::db_insert(c, client::sql::account_insert(c, account, h.text))) {
      const auto rows = added(before.at("Quenbo登录验证"), tables().at("Quenbo登录验证"));
      ASSERT_EQ(rows.size(), 1u) << h.name;
      EXPECT_TRUE(rows[0].rfind(hex(account) + "|" + hex(h.text) + "|" + hex("2") + "|", 0) == 0) << h.name;
      EXPECT_TRUE(h.valid_gbk) << h.name;
      expect_unchanged(before, tables(), {"Quenbo登录验证"}, h.name + " account");
    } else {
      EXPECT_FALSE(h.valid_gbk && account.size() <= 64 && h.text.size() <= 64) << h.name;
      expect_unchanged(before, tables(), {}, h.name + " account");
    }

    before = tables();
    const dialogs::TransferOutcome to_nobody = dialogs::transfer_coins(c, "alice1", h.text, "5");
    EXPECT_TRUE(to_nobody == dialogs::TransferOutcome::no_such_recipient || to_nobody == dialogs::TransferOutcome::failed)
        << h.name;
    expect_unchanged(before, tables(), {}, h.name + " recipient");
    const dialogs::TransferOutcome paid = dialogs::transfer_coins(c, "alice1", "bob001", "1" + h.text);
    if (paid == dialogs::TransferOutcome::done) {
      EXPECT_EQ(tables().at("Quenbo登录验证").size(), before.at("Quenbo登录验证").size()) << h.name;
      const bool fits = h.valid_gbk && h.text.size() < 400;
      if (fits) {
        EXPECT_EQ(receipt_hex("bob001"), hex("用户：alice1向您汇款1" + h.text + "Quenbo币")) << h.name;
      }
    } else {
      ADD_FAILURE() << h.name << ": transfer of 1 not done";
    }

    before = tables();
    if (client::sql::db_insert(c, client::sql::submission_insert(c, "alice1", h.text, h.text, h.text, h.text))) {
      const auto rows = added(before.at("投稿审核"), tables().at("投稿审核"));
      ASSERT_EQ(rows.size(), 1u) << h.name;
      EXPECT_TRUE(rows[0].rfind(hex("alice1") + "|" + hex(h.text) + "|" + hex(h.text) + "|" + hex(h.text) + "|", 0) == 0)
          << h.name;
      EXPECT_TRUE(h.valid_gbk) << h.name;
      expect_unchanged(before, tables(), {"投稿审核"}, h.name + " submission");
    } else {
      EXPECT_FALSE(h.valid_gbk && h.text.size() <= 16) << h.name;
      expect_unchanged(before, tables(), {}, h.name + " submission");
    }
  }
}

TEST_F(HostileInputTest, ResourceCellsAndReceiptsComeBackByteForByte) {
  client::install_member_panel({screens_, &stand_ins_[3], &stand_ins_[4], &stand_ins_[5]});
  client::program_state().current_account = "alice1";
  client::program_state().logged_in = 1;
  client::Connection* c = probe_.get();
  for (const Hostile& h : corpus()) {
    if (!h.valid_gbk) continue;
    // A description holds up to 65535 bytes (cut at a character boundary).
    const std::string description = h.text.substr(0, 65534);
    const std::string e = client::db_escape(c, description);
    ASSERT_TRUE(client::db_execute(c, "DELETE FROM 编程源码")) << h.name;
    // Cells limited in width get the text cut to fit.
    const std::string short_text = h.text.substr(0, 60);
    const std::string es = client::db_escape(c, short_text);
    ASSERT_TRUE(client::db_insert(c, "编程源码", "ID='" + es + "',标题='" + es + "',说明='" + e + "',地址='" + es + "'"))
        << h.name;
    EXPECT_EQ(client::category_loader().load(client::sql::Category::source_code, connection(), screens_), 1) << h.name;
    ASSERT_EQ(list_.row_count(), 1) << h.name;
    EXPECT_TRUE(same(list_.get_cell_text(1, 1), short_text)) << h.name;
    EXPECT_TRUE(same(list_.get_cell_text(1, 2), short_text)) << h.name;
    EXPECT_TRUE(same(list_.get_cell_text(1, 4), description)) << h.name;
    EXPECT_TRUE(same(list_.get_cell_text(1, 5), short_text)) << h.name;

    const std::string receipt = h.text.substr(0, 500);
    ASSERT_TRUE(client::db_update(c, "Quenbo登录验证", "回执消息='" + client::db_escape(c, receipt) + "'", "账号='alice1'"))
        << h.name;
    client::show_member_panel();
    EXPECT_TRUE(same(stand_ins_[5].text(), "消息：" + receipt)) << h.name;
  }
  EXPECT_TRUE(messages_.empty());
}

// The settings row read at start: announcement, update notes and download address reach the
// program exactly as stored, the window runs and says nothing.
class HostileSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db_.ok()) << db_.error();
    dui::install_caption_parts();
    dui::init_framework();
    platform::testing::reset_input_and_loop();
    client::reset_program_state();
    directory_ = std::filesystem::temp_directory_path() / ("hostile-settings-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory_);
    previous_directory_ = std::filesystem::current_path();
    std::filesystem::current_path(directory_);
    platform::services::testing::set_program_directory(directory_.string());
    test_support::HttpReply page;
    page.body = "[127.0.0.1]";
    page_.serve("/ip", page);
    options_.database = {db_.server().host, db_.server().user, db_.server().password, db_.name(), db_.server().port};
    options_.visit_counter.database = options_.database;
    options_.visit_counter.ip_page_url = page_.url("/ip");
    options_.show_effect_ms = 60;
    client::testing::set_main_message_routine([this](std::string_view text) { messages_.emplace_back(text); });
    dialogs::testing::set_end_routine([this](int code) { exit_codes_.push_back(code); });
    forms::testing::intercept_message_boxes(true);
    forms::testing::clear_recorded();
  }
  void TearDown() override {
    client::destroy_program_objects();
    client::reset_program_state();
    client::testing::set_main_message_routine({});
    dialogs::testing::set_end_routine({});
    forms::testing::intercept_message_boxes(false);
    platform::services::testing::set_program_directory(std::nullopt);
    std::filesystem::current_path(previous_directory_);
    std::filesystem::remove_all(directory_);
  }

  test_support::ScratchDatabase db_{test_support::ScratchDatabase::Contents::demo};
  test_support::HttpTestServer page_;
  client::StartupOptions options_;
  std::filesystem::path directory_;
  std::filesystem::path previous_directory_;
  std::vector<std::string> messages_;
  std::vector<int> exit_codes_;
};

TEST_F(HostileSettingsTest, SettingsCellsReachTheProgramByteForByte) {
  client::ConnectionPtr c = db_.connect();
  ASSERT_NE(c, nullptr);
  const std::string version = db_.value("SELECT 版本 FROM Quenbo盒子设置 WHERE 语句='0'");
  for (const Hostile& h : corpus()) {
    if (!h.valid_gbk) continue;
    const std::string announcement = h.text.substr(0, 65534);
    const std::string address = h.text.substr(0, 1000);
    ASSERT_TRUE(client::db_update(c.get(), "Quenbo盒子设置",
                                  "公告='" + client::db_escape(c.get(), announcement) + "',更新内容='" +
                                      client::db_escape(c.get(), announcement) + "',下载地址='" +
                                      client::db_escape(c.get(), address) + "'",
                                  "语句='0'"))
        << h.name;
    messages_.clear();
    client::destroy_program_objects();
    client::reset_program_state();
    client::construct_program_objects();
    {
      client::MainWindow window(options_);
      ASSERT_TRUE(window.load()) << h.name;
      for (int round = 0; round < 3; ++round) platform::window::pump();
      EXPECT_EQ(window.startup_result(), client::StartupResult::running) << h.name;
      EXPECT_TRUE(same(client::program_state().announcement_text, announcement)) << h.name;
      EXPECT_TRUE(same(client::program_state().update_notes, announcement)) << h.name;
      EXPECT_TRUE(same(client::program_state().download_url, address)) << h.name;
      EXPECT_EQ(client::program_state().latest_version, version) << h.name;
      EXPECT_TRUE(same(client::main_objects().main_labels[client::label_index::announcement].text(), "公告：" + announcement))
          << h.name;
      EXPECT_TRUE(messages_.empty()) << h.name;
      EXPECT_TRUE(exit_codes_.empty()) << h.name;
    }
  }
}

}  // namespace

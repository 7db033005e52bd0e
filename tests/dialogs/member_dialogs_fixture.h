// A scratch community database, a program directory of its own, a logged-out session and the
// message boxes and statements that the member dialogs caused.
#pragma once

#include "client/datastore.h"
#include "dialogs/account_session.h"
#include "platform/forms.h"
#include "platform/services.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace dialogs_test {

namespace forms = platform::forms;

class MemberDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db_.ok()) << db_.error();
    connection_ = db_.connect();
    ASSERT_NE(connection_, nullptr);
    char pattern[] = "/tmp/member_dialogs_test.XXXXXX";
    dir_ = ::mkdtemp(pattern);
    platform::services::testing::set_program_directory(dir_);
    forms::testing::intercept_message_boxes(true);
    forms::testing::clear_recorded();
    // Only what the dialogs send on their connection, not the test's own look-ups.
    client::db_set_statement_observer([this](const client::Connection* sender, std::string_view text, bool) {
      std::lock_guard lock(mutex_);
      if (sender != connection_.get()) return;
      statements_.emplace_back(text);
    });
  }
  void TearDown() override {
    client::db_set_statement_observer({});
    forms::testing::intercept_message_boxes(false);
    platform::services::testing::set_program_directory(std::nullopt);
    std::filesystem::remove_all(dir_);
  }

  // The routines record what they were asked to do.
  dialogs::MemberContext context() {
    return {.main_connection = connection_.get(),
            .session = &session_,
            .program_version = "1.7",
            .show_member_panel = [this] { panel_logged_in_.push_back(session_.logged_in); },
            .hide_hint_line = [this] { hint_hidden_ = true; },
            .set_main_caption = [this](std::string_view caption) { main_caption_ = caption; }};
  }

  void add_member(std::string_view account, std::string_view password, int coins,
                  std::string_view state = "正常") {
    ASSERT_TRUE(db_.run("INSERT INTO Quenbo登录验证 (账号,密码,Quenbo币,帐号状态) VALUES ('" + std::string(account) +
                        "','" + std::string(password) + "','" + std::to_string(coins) + "','" +
                        std::string(state) + "');"))
        << db_.error();
  }
  // A column of an account's row.
  std::string column(std::string_view account, std::string_view name) {
    return db_.value("SELECT `" + std::string(name) + "` FROM Quenbo登录验证 WHERE 账号='" + std::string(account) + "'");
  }
  // Matches account names without regard to case, as a server may be set up to.
  void make_names_case_insensitive() {
    ASSERT_TRUE(db_.run("ALTER TABLE Quenbo登录验证 MODIFY 账号 VARCHAR(64) CHARACTER SET gbk COLLATE gbk_chinese_ci NOT NULL;"))
        << db_.error();
  }

  static std::vector<forms::testing::ShownMessageBox> boxes() { return forms::testing::message_boxes(); }
  static std::vector<std::string> message_texts() {
    std::vector<std::string> texts;
    for (const auto& box : boxes()) texts.push_back(box.text);
    return texts;
  }
  std::vector<std::string> statements() {
    std::lock_guard lock(mutex_);
    return statements_;
  }
  void forget_statements() {
    std::lock_guard lock(mutex_);
    statements_.clear();
  }

  test_support::ScratchDatabase db_;
  client::ConnectionPtr connection_;
  std::string dir_;
  dialogs::AccountSession session_;
  std::vector<int> panel_logged_in_;  // logged_in at each member panel refresh
  bool hint_hidden_ = false;
  std::string main_caption_;

 private:
  std::mutex mutex_;
  std::vector<std::string> statements_;
};

}  // namespace dialogs_test

#include "client/visit_stats.h"

#include "client/statements.h"
#include "http_test_server.h"
#include "platform/services.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

namespace {

using client::text_between;
using test_support::HttpReply;
using test_support::ScratchDatabase;

TEST(TextBetween, Cases) {
  struct Case {
    const char* text;
    const char* left;
    const char* right;
    const char* expected;
  } cases[] = {
      {"a[b]c", "[", "]", "b"},
      {"a]b[c", "[", "]", ""},
      {"x=\"one\" y=\"two\"", "#引号", "#引号", "one"},
      {"no brackets", "[", "]", ""},
      {"[]", "[", "]", ""},
      {"您的IP是：[1.2.3.4] 来自：本地", "[", "]", "1.2.3.4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(text_between(c.text, c.left, c.right), c.expected);
  }
  EXPECT_EQ(text_between("[a] [b]", "[", "]", 3), "b");
  EXPECT_EQ(text_between("<B>x</b>", "<b>", "</b>", 0, true), "x");
  EXPECT_EQ(text_between("<B>x</b>", "<b>", "</b>"), "");
}

class CountVisit : public ::testing::Test {
 protected:
  static constexpr const char* kSite = "Tallyx12345678";

  void SetUp() override {
    ASSERT_TRUE(db_.ok()) << db_.error();
    ASSERT_TRUE(page_.listening());
    platform::services::testing::set_local_date(platform::services::LocalDate{2026, 9, 21});
    settings_.database = {db_.server().host, db_.server().user, db_.server().password, db_.name(),
                          db_.server().port};
    settings_.ip_page_url = page_.url("/ip");
  }
  void TearDown() override { platform::services::testing::set_local_date(std::nullopt); }

  void site(const char* pv, const char* ip, const char* state) {
    ASSERT_TRUE(db_.run(std::string("INSERT INTO Tallyx账号数据 (SID, PV, IP) VALUES ('") + kSite +
                        "','" + pv + "','" + ip + "');\n"
                        "INSERT INTO 统计状态 (SID, 状态) VALUES ('" + kSite + "','" + state +
                        "');\n"))
        << db_.error();
  }
  void page_shows(const std::string& address) {
    HttpReply reply;
    reply.body = "<html>您的IP是：[" + address + "] 来自：本地</html>";
    page_.serve("/ip", reply);
  }
  std::string pv() { return db_.value("SELECT PV FROM Tallyx账号数据"); }
  std::string logged() {
    return db_.value("SELECT GROUP_CONCAT(CONCAT(SID,'|',IP,'|',日期)) FROM TallyxIP数据库");
  }

  ScratchDatabase db_;
  test_support::HttpTestServer page_;
  client::VisitCounterSettings settings_;
};

TEST_F(CountVisit, CountsTheViewAndLogsANewAddressWithTheDate) {
  site("41", "1.2.3.4", "正常");
  page_shows("5.6.7.8");
  EXPECT_EQ(client::count_visit(kSite, settings_), kSite);
  EXPECT_EQ(pv(), "42");
  EXPECT_EQ(logged(), std::string(kSite) + "|5.6.7.8|9月21");
  ASSERT_EQ(page_.requests().size(), 1u);
  EXPECT_EQ(page_.last_request().rfind("GET /ip HTTP/1.0\r\n", 0), 0u) << page_.last_request();
}

TEST_F(CountVisit, TheStoredAddressIsNotLoggedAgain) {
  site("41", "1.2.3.4", "正常");
  page_shows("1.2.3.4");
  client::count_visit(kSite, settings_);
  EXPECT_EQ(pv(), "42");
  EXPECT_EQ(logged(), "");
}

TEST_F(CountVisit, OnlyTheNormalStateCounts) {
  for (const char* state : {"停用", "", "正常 "}) {
    SCOPED_TRACE(state);
    db_.run("DELETE FROM Tallyx账号数据;\nDELETE FROM 统计状态;\n");
    site("41", "1.2.3.4", state);
    page_shows("5.6.7.8");
    client::count_visit(kSite, settings_);
    EXPECT_EQ(pv(), "41");
    EXPECT_EQ(logged(), "");
    EXPECT_TRUE(page_.requests().empty());
  }
}

TEST_F(CountVisit, AnUnreachablePageDoesNotHoldUpStartUp) {
  site("7", "1.2.3.4", "正常");
  HttpReply hanging;
  hanging.delay_ms = 2000;
  page_.serve("/ip", hanging);
  settings_.total_timeout_ms = 500;
  client::count_visit(kSite, settings_);
  EXPECT_EQ(pv(), "8");
  // No address could be read: the empty address differs from the stored one and is logged.
  EXPECT_EQ(logged(), std::string(kSite) + "||9月21");
}

TEST_F(CountVisit, WithoutADatabaseNothingIsFetched) {
  page_shows("5.6.7.8");
  settings_.database.port = static_cast<unsigned>(test_support::HttpTestServer::closed_port());
  client::count_visit(kSite, settings_);
  EXPECT_EQ(client::stats_connection(), nullptr);
  EXPECT_TRUE(page_.requests().empty());
}

}  // namespace

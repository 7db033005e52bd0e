// The community database that scripts/db builds from scripts/sql, read as the client reads it.
#include "client/datastore.h"
#include "client/statements.h"
#include "deployment.h"
#include "platform/text.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

using namespace client;
using test_support::ScratchDatabase;

namespace {

std::string first_value(Connection* c, std::string_view statement, std::string_view column) {
  std::string value;
  db_execute(c, statement);
  RecordSetPtr rows = db_get_record_set(c);
  db_read_field(rows.get(), column, value);
  return value;
}

TEST(CommunityDatabase, DemoDataReadsBackAsGbkThroughTheCatalogue) {
  ScratchDatabase db(ScratchDatabase::Contents::demo);
  ASSERT_TRUE(db.ok()) << db.error();
  ConnectionPtr connection = db.connect();
  ASSERT_TRUE(connection);
  Connection* c = connection.get();

  EXPECT_EQ(first_value(c, sql::settings_select(), "版本"), "1.7");
  const std::string announcement = first_value(c, sql::settings_select(), "公告");
  EXPECT_TRUE(platform::text::is_valid_gbk(announcement));
  EXPECT_EQ(announcement.rfind("欢迎来到Quenbo资源社区", 0), 0u);

  EXPECT_EQ(first_value(c, sql::account_select(c, "quenbo"), "账号"), "quenbo");
  EXPECT_EQ(first_value(c, sql::account_select(c, "spammer"), "帐号状态"), "封禁");
  EXPECT_EQ(first_value(c, sql::stats_state_select(c, deployment::stats_site_id), "状态"), "正常");
  EXPECT_EQ(first_value(c, sql::stats_account_select(c, deployment::stats_site_id), "PV"), "0");

  std::int64_t resources = 0;
  for (sql::Category category : {sql::Category::featured, sql::Category::source_code,
                                 sql::Category::software_tools, sql::Category::offers}) {
    const std::string table(sql::category_table(category));
    std::string count;
    db_execute(c, sql::category_count(category));
    RecordSetPtr counted = db_get_record_set(c);
    ASSERT_TRUE(db_read_column(counted.get(), 0, count)) << table;
    EXPECT_GE(text_to_int(count), 10) << table;
    resources += text_to_int(count);
    // Every row has its own update time, so newest-first is one order.
    EXPECT_EQ(db.value("select count(distinct 更新时间) from " + table), count) << table;
    const std::string newest = first_value(c, sql::category_list(category), "更新时间");
    EXPECT_EQ(db.value("select max(更新时间) from " + table), newest) << table;
  }
  EXPECT_GE(resources, 40);
  EXPECT_LE(resources, 80);
}

TEST(CommunityDatabase, NewMembersCanBeAddressedByIdAsTheReceiptsDo) {
  ScratchDatabase db;
  ASSERT_TRUE(db.ok()) << db.error();
  ConnectionPtr connection = db.connect();
  ASSERT_TRUE(connection);
  Connection* c = connection.get();
  ASSERT_TRUE(sql::db_insert(c, sql::account_insert(c, "newbie", "secret1")));
  ASSERT_TRUE(sql::db_update(c, sql::transfer_received_receipt_update(c, "alice", "newbie", "3")));
  ASSERT_TRUE(sql::db_update(c, sql::under_review_update(c, "newbie")));
  db_execute(c, sql::account_select(c, "newbie"));
  RecordSetPtr rows = db_get_record_set(c);
  std::string receipt, under_review, coins;
  db_read_field(rows.get(), "回执消息", receipt);
  db_read_field(rows.get(), "正在审核的资源", under_review);
  db_read_field(rows.get(), "Quenbo币", coins);
  EXPECT_EQ(receipt, "用户：alice向您汇款3Quenbo币");
  EXPECT_EQ(under_review, "1");
  EXPECT_EQ(coins, "2");
}

}  // namespace

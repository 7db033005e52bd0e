// The statement catalogue: every statement's exact text, as sent to (and accepted by) the server.
#include "client/statements.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

#include <functional>

using namespace client;
using test_support::ScratchDatabase;

namespace {

struct CatalogueCase {
  std::string expected;
  std::function<bool(Connection*)> send;
};

std::function<bool(Connection*)> execute(std::string text) {
  return [text](Connection* c) { return db_execute(c, text); };
}
std::function<bool(Connection*)> send(sql::Insert statement) {
  return [statement](Connection* c) { return sql::db_insert(c, statement); };
}
std::function<bool(Connection*)> send(sql::Update statement) {
  return [statement](Connection* c) { return sql::db_update(c, statement); };
}

TEST(StatementCatalogue, EveryStatementIsSentExactlyAsCatalogued) {
  ScratchDatabase db(ScratchDatabase::Contents::demo);
  ASSERT_TRUE(db.ok()) << db.error();
  ConnectionPtr connection = db.connect();
  ASSERT_TRUE(connection);
  Connection* c = connection.get();
  using sql::Category;

  const CatalogueCase cases[] = {
      {"select * from Quenbo盒子设置 where 语句='0'", execute(sql::settings_select())},
      {"SELECT COUNT(*) FROM 精品资源", execute(sql::category_count(Category::featured))},
      {"SELECT COUNT(*) FROM 编程源码", execute(sql::category_count(Category::source_code))},
      {"SELECT COUNT(*) FROM 软件辅助", execute(sql::category_count(Category::software_tools))},
      {"SELECT COUNT(*) FROM 活动线报", execute(sql::category_count(Category::offers))},
      {"SELECT * from 精品资源 ORDER BY 更新时间 DESC", execute(sql::category_list(Category::featured))},
      {"SELECT * from 编程源码 ORDER BY 更新时间 DESC", execute(sql::category_list(Category::source_code))},
      {"SELECT * from 软件辅助 ORDER BY 更新时间 DESC", execute(sql::category_list(Category::software_tools))},
      {"SELECT * from 活动线报 ORDER BY 更新时间 DESC", execute(sql::category_list(Category::offers))},
      {"select * from Quenbo登录验证 where 账号='alice'", execute(sql::account_select(c, "alice"))},
      {"update Quenbo登录验证 set Quenbo币='5' where 账号='alice'", send(sql::balance_update(c, "alice", 5))},
      {"update Quenbo登录验证 set 回执消息='您刚刚打开了： bob 上传的资源已从账户扣除1个Quenbo币' where 账号='alice'",
       send(sql::open_receipt_update(c, "alice", "bob"))},
      {"insert into Quenbo登录验证 set 账号='carol',密码='secret1',Quenbo币='2',投稿量='0',帐号状态='正常',"
       "回执消息='欢迎加入Quenbo资源社区'",
       send(sql::account_insert(c, "carol", "secret1"))},
      {"insert into 审核回执 set ID='carol',回执消息='快去分享资源赚Quenbo币下载资源吧！'",
       send(sql::welcome_receipt_insert(c, "carol"))},
      {"update Quenbo登录验证 set Quenbo币='-1' where 账号='bob'", send(sql::balance_update(c, "bob", -1))},
      {"update Quenbo登录验证 set 回执消息='用户：alice向您汇款3Quenbo币' where ID='bob'",
       send(sql::transfer_received_receipt_update(c, "alice", "bob", "3"))},
      {"update Quenbo登录验证 set 回执消息='您刚刚向用户： bob 汇款 3 个Quenbo币' where 账号='alice'",
       send(sql::transfer_sent_receipt_update(c, "alice", "bob", "3"))},
      {"insert into 投稿审核 set ID='alice',标题='好资源',说明='很好用',地址='http://a.example/x',"
       "审核状态='审核中',分类='编程源码'",
       send(sql::submission_insert(c, "alice", "好资源", "很好用", "http://a.example/x", "编程源码"))},
      {"update Quenbo登录验证 set 正在审核的资源='1' where ID='alice'", send(sql::under_review_update(c, "alice"))},
      {"update Quenbo登录验证 set 回执消息='你有一条投稿正在审核中，请耐心等待！' where 账号='alice'",
       send(sql::submission_receipt_update(c, "alice"))},
      {"select * from Tallyx账号数据 where SID='10001'", execute(sql::stats_account_select(c, "10001"))},
      {"select * from 统计状态 where SID='10001'", execute(sql::stats_state_select(c, "10001"))},
      {"update Tallyx账号数据 set SID='10001',PV='42' where SID='10001'",
       send(sql::page_views_update(c, "10001", 42))},
      {"insert into TallyxIP数据库 set SID='10001',IP='1.2.3.4',日期='9月21'",
       send(sql::visit_address_insert(c, "10001", "1.2.3.4", 9, 21))},
  };
  for (const CatalogueCase& item : cases) {
    EXPECT_TRUE(item.send(c)) << item.expected << " refused: " << db_last_error(c);
    EXPECT_EQ(db_last_statement(c), item.expected);
  }
}

TEST(StatementCatalogue, TextsMatchWhatTheOperationsSend) {
  const sql::Update update = sql::balance_update(nullptr, "alice", 7);
  EXPECT_EQ(sql::text(update), "update Quenbo登录验证 set Quenbo币='7' where 账号='alice'");
  EXPECT_EQ(sql::text(sql::Update{sql::kAccounts, "Quenbo币='7'", ""}), "update Quenbo登录验证 set Quenbo币='7'");
  EXPECT_EQ(sql::text(sql::welcome_receipt_insert(nullptr, "bob")),
            "insert into 审核回执 set ID='bob',回执消息='快去分享资源赚Quenbo币下载资源吧！'");
}

TEST(StatementCatalogue, ValuesAreEscapedAlikeWithOrWithoutAConnection) {
  ScratchDatabase db;
  ASSERT_TRUE(db.ok()) << db.error();
  ConnectionPtr connection = db.connect();
  ASSERT_TRUE(connection);
  const std::pair<const char*, const char*> cases[] = {
      {"o'neil", "o\\'neil"},
      {"a\\b", "a\\\\b"},
      {"\xD5\x5C", "\xD5\x5C"},          // a whole GBK character stays as it is
      {"\xBF'", "\\\xBF\\'"},            // a lone lead byte is escaped before the quote
      {"x\"\n", "x\\\"\\n"},
  };
  for (const auto& [value, escaped] : cases) {
    EXPECT_EQ(db_escape(connection.get(), value), escaped) << value;
    EXPECT_EQ(db_escape(nullptr, value), escaped) << value;
  }
  EXPECT_EQ(sql::account_select(nullptr, "o'neil"), sql::account_select(connection.get(), "o'neil"));
}

}  // namespace

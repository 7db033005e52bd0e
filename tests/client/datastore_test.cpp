// The data store against the real test server: sending, reading rules, escaping, threads.
#include "client/datastore.h"
#include "client/statements.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include <atomic>
#include <latch>
#include <limits>
#include <thread>
#include <vector>

using namespace client;
using test_support::ScratchDatabase;

namespace {

class DataStore : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db.ok()) << db.error();
    connection = db.connect();
    ASSERT_TRUE(connection) << "cannot connect to " << db.name();
  }
  void TearDown() override { db_set_statement_observer(nullptr); }

  // Three resources, newest first: 新 (with a NULL description), 中, 旧.
  void add_three_resources() {
    ASSERT_TRUE(db.run(
        "INSERT INTO 精品资源 (ID, 标题, 更新时间, 说明, 地址) VALUES "
        "('a', '旧', '2024-01-01 10:00:00', '说明旧', 'http://old'),"
        "('b', '新', '2024-03-01 10:00:00', NULL, 'http://new'),"
        "('c', '中', '2024-02-01 10:00:00', '说明中', 'http://mid');"))
        << db.error();
  }

  RecordSetPtr query(std::string_view statement) {
    EXPECT_TRUE(db_execute(connection.get(), statement)) << db_last_error(connection.get());
    return db_get_record_set(connection.get());
  }

  std::string read(RecordSet* rows, std::string_view column) {
    std::string value = "<unset>";
    db_read_field(rows, column, value);
    return value;
  }

  ScratchDatabase db;
  ConnectionPtr connection;
};

TEST_F(DataStore, ReadsTheRowUnderTheCursorUntilNextRowMovesOn) {
  add_three_resources();
  RecordSetPtr rows = query(sql::category_list(sql::Category::featured));
  ASSERT_TRUE(rows);
  // Repeated reads of different columns come from the same row.
  EXPECT_EQ(read(rows.get(), "标题"), "新");
  EXPECT_EQ(read(rows.get(), "地址"), "http://new");
  EXPECT_EQ(read(rows.get(), "标题"), "新");
  EXPECT_EQ(read(rows.get(), "更新时间"), "2024-03-01 10:00:00");

  for (const char* title : {"新", "中", "旧"}) {
    EXPECT_EQ(read(rows.get(), "标题"), title);
    EXPECT_TRUE(db_next_row(rows.get()));
  }

  // Past the end: no row left to pass over, and reads see the last row.
  EXPECT_FALSE(db_next_row(rows.get()));
  EXPECT_EQ(read(rows.get(), "标题"), "旧");
  EXPECT_EQ(read(rows.get(), "ID"), "a");
}

TEST_F(DataStore, NullReadsEmptyAndFailedReadsKeepTheVariable) {
  add_three_resources();
  RecordSetPtr rows = query(sql::category_list(sql::Category::featured));
  std::string value = "kept";
  EXPECT_TRUE(db_read_field(rows.get(), "说明", value));  // SQL NULL
  EXPECT_EQ(value, "");

  struct Miss {
    const char* column;
    int index;
  };
  // Unknown names (compared byte for byte, so "id" is not "ID") and indexes outside the columns.
  for (const Miss& miss : {Miss{"标题x", 6}, Miss{"id", -1}, Miss{"", 100}}) {
    value = "kept";
    EXPECT_FALSE(db_read_field(rows.get(), miss.column, value)) << miss.column;
    EXPECT_FALSE(db_read_column(rows.get(), miss.index, value)) << miss.index;
    EXPECT_EQ(value, "kept");
  }
  EXPECT_TRUE(db_read_column(rows.get(), 0, value));
  EXPECT_EQ(value, "b");
}

TEST_F(DataStore, AQueryWithoutRowsLeavesTheVariableAsItWas) {
  RecordSetPtr rows = query(sql::account_select(connection.get(), "nobody"));
  ASSERT_TRUE(rows);
  std::string account = "somebody";
  EXPECT_FALSE(db_read_field(rows.get(), "账号", account));
  EXPECT_EQ(account, "somebody");
  EXPECT_FALSE(db_next_row(rows.get()));
  EXPECT_FALSE(db_read_field(rows.get(), "账号", account));
  EXPECT_EQ(account, "somebody");
}

TEST_F(DataStore, CountIsReadByColumnIndex) {
  add_three_resources();
  RecordSetPtr rows = query(sql::category_count(sql::Category::featured));
  std::string count;
  EXPECT_TRUE(db_read_column(rows.get(), 0, count));
  EXPECT_EQ(count, "3");
}

TEST_F(DataStore, RecordSetsAreIndependentAndOutliveTheirConnection) {
  add_three_resources();
  RecordSetPtr first = query(sql::category_list(sql::Category::featured));
  RecordSetPtr second = query(sql::category_list(sql::Category::featured));
  ASSERT_TRUE(db_next_row(first.get()));
  EXPECT_EQ(read(first.get(), "标题"), "中");
  EXPECT_EQ(read(second.get(), "标题"), "新");
  // The record set is handed over once; a statement without result leaves none.
  EXPECT_FALSE(db_get_record_set(connection.get()));
  ASSERT_TRUE(db_update(connection.get(), "精品资源", "标题='改'", "ID='zz'"));
  EXPECT_FALSE(db_get_record_set(connection.get()));

  connection.reset();
  EXPECT_EQ(read(second.get(), "地址"), "http://new");
}

TEST_F(DataStore, RefusedStatementsAnswerFalseWithTheServersErrorAndNoRecordSet) {
  ASSERT_TRUE(db_execute(connection.get(), sql::settings_select()));
  EXPECT_FALSE(db_execute(connection.get(), "select * from 没有这张表"));
  EXPECT_EQ(db_last_error(connection.get()), 1146u);
  EXPECT_FALSE(db_get_record_set(connection.get()));
  EXPECT_FALSE(db_execute(connection.get(), "selec nonsense"));
  EXPECT_EQ(db_last_error(connection.get()), 1064u);
  ASSERT_TRUE(db_execute(connection.get(), "select 1"));
  EXPECT_EQ(db_last_error(connection.get()), 0u);
}

TEST_F(DataStore, StatementEndsAtItsFirstZeroByte) {
  const std::string text("select 7 as n\0 garbage", 22);
  RecordSetPtr rows = query(text);
  EXPECT_EQ(read(rows.get(), "n"), "7");
  EXPECT_EQ(db_last_statement(connection.get()), "select 7 as n");
}

TEST_F(DataStore, InsertAndUpdateSendTheExactText) {
  EXPECT_TRUE(db_insert(connection.get(), "审核回执", "ID='bob'"));
  EXPECT_EQ(db_last_statement(connection.get()), "insert into 审核回执 set ID='bob'");
  ASSERT_TRUE(db.run("INSERT INTO Quenbo登录验证 (账号, Quenbo币) VALUES ('alice', '1'), ('carol', '1');"));

  EXPECT_TRUE(db_update(connection.get(), "Quenbo登录验证", "Quenbo币='5'", "账号='alice'"));
  EXPECT_EQ(db_last_statement(connection.get()), "update Quenbo登录验证 set Quenbo币='5' where 账号='alice'");
  EXPECT_EQ(db.value("select Quenbo币 from Quenbo登录验证 where 账号='carol'"), "1");

  // No matching row: accepted, nothing changed.
  EXPECT_TRUE(db_update(connection.get(), "Quenbo登录验证", "Quenbo币='9'", "账号='nobody'"));
  EXPECT_EQ(db.value("select count(*) from Quenbo登录验证 where Quenbo币='9'"), "0");

  // An empty condition ends the text after the assignments and changes every row.
  EXPECT_TRUE(db_update(connection.get(), "Quenbo登录验证", "Quenbo币='3'", ""));
  EXPECT_EQ(db_last_statement(connection.get()), "update Quenbo登录验证 set Quenbo币='3'");
  EXPECT_EQ(db.value("select count(*) from Quenbo登录验证 where Quenbo币='3'"), "2");
}

TEST_F(DataStore, NullConnectionAndRecordSetDoNothing) {
  int seen = 0;
  db_set_statement_observer([&](const Connection*, std::string_view, bool) { ++seen; });
  EXPECT_FALSE(db_execute(nullptr, "select 1"));
  EXPECT_FALSE(db_get_record_set(nullptr));
  EXPECT_FALSE(db_insert(nullptr, "审核回执", "ID='bob'"));
  EXPECT_FALSE(db_update(nullptr, "审核回执", "ID='bob'", "ID='x'"));
  EXPECT_FALSE(db_transaction(nullptr, [] { return TransactionEnd::commit; }));
  EXPECT_EQ(db_last_statement(nullptr), "");
  EXPECT_FALSE(db_lock(nullptr).owns_lock());
  std::string value = "kept";
  EXPECT_FALSE(db_read_field(nullptr, "ID", value));
  EXPECT_FALSE(db_read_column(nullptr, 0, value));
  EXPECT_FALSE(db_next_row(nullptr));
  EXPECT_EQ(value, "kept");
  EXPECT_EQ(seen, 0);
}

TEST_F(DataStore, ConnectFailsOnBadCredentialsAndUnansweringServers) {
  const auto& server = db.server();
  EXPECT_FALSE(db_connect(server.host, server.user, "wrong-pw", db.name(), server.port));
  EXPECT_FALSE(db_connect(server.host, server.user, server.password, "no_such_db", server.port));

  // A listener that never answers the handshake: the connect gives up on its own.
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  socklen_t length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(db_connect("127.0.0.1", "u", "p", "d", ntohs(address.sin_port)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  close(listener);
}

TEST_F(DataStore, ObserverSeesEveryStatementWithItsOutcome) {
  std::vector<std::pair<std::string, bool>> seen;
  db_set_statement_observer([&](const Connection* c, std::string_view text, bool accepted) {
    EXPECT_EQ(c, connection.get());
    seen.emplace_back(text, accepted);
  });
  db_execute(connection.get(), "select 1");
  db_execute(connection.get(), "selec 1");
  db_set_statement_observer(nullptr);
  db_execute(connection.get(), "select 2");
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{{"select 1", true}, {"selec 1", false}}));
}

// Values that could end a quoted literal early if they were not escaped for GBK.
TEST_F(DataStore, HostileGbkValuesAreStoredByteForByteAndTouchNoOtherRow) {
  ASSERT_TRUE(db.run("INSERT INTO Quenbo登录验证 (账号, 密码, Quenbo币) VALUES ('bystander', 'pw', '50');"));
  const std::string values[] = {
      "\xD5\x5C",               // a character whose second byte is the backslash
      "\xD5\x5C'",              // ... followed by a quote
      "it's",
      "back\\slash\\",
      "' OR '1'='1",
      "\xBF\x5C' OR '1'='1",    // 0xBF 0x5C is a character; the quote after it is a quote
      "\xC3\xFB\"\n\r\x1A%_",
  };
  for (const std::string& value : values) {
    SCOPED_TRACE(value);
    const std::string name = "m" + value;
    ASSERT_TRUE(sql::db_insert(connection.get(), sql::account_insert(connection.get(), name, value)))
        << db_last_error(connection.get());
    RecordSetPtr rows = query(sql::account_select(connection.get(), name));
    EXPECT_EQ(read(rows.get(), "账号"), name);
    EXPECT_EQ(read(rows.get(), "密码"), value);
    EXPECT_EQ(read(rows.get(), "ID"), name);

    ASSERT_TRUE(sql::db_update(connection.get(), sql::balance_update(connection.get(), name, 77)));
    ASSERT_TRUE(sql::db_update(connection.get(), sql::open_receipt_update(connection.get(), name, value)));
    EXPECT_EQ(db.value("select count(*) from Quenbo登录验证 where Quenbo币='77'"), "1");
    ASSERT_TRUE(db_update(connection.get(), "Quenbo登录验证", "Quenbo币='0'", "Quenbo币='77'"));
  }
  EXPECT_EQ(db.value("select count(*) from Quenbo登录验证"), std::to_string(1 + std::size(values)));

  // The 0xBF 0x27 pair is not GBK: the server refuses to store it, and as a condition it
  // matches nothing; either way the quote after 0xBF never ends the literal.
  const std::string pair = "\xBF' OR '1'='1";
  EXPECT_FALSE(sql::db_insert(connection.get(), sql::account_insert(connection.get(), pair, pair)));
  EXPECT_EQ(db_last_error(connection.get()), 1366u);
  EXPECT_TRUE(sql::db_update(connection.get(), sql::balance_update(connection.get(), pair, 77)));
  EXPECT_EQ(db.value("select count(*) from Quenbo登录验证 where Quenbo币='77'"), "0");

  EXPECT_EQ(db.value("select count(*) from Quenbo登录验证"), std::to_string(1 + std::size(values)));
  EXPECT_EQ(db.value("select 密码 from Quenbo登录验证 where 账号='bystander'"), "pw");
  EXPECT_EQ(db.value("select Quenbo币 from Quenbo登录验证 where 账号='bystander'"), "50");
  EXPECT_EQ(db.value("select 回执消息 from Quenbo登录验证 where 账号='bystander'"), "");
}

TEST_F(DataStore, ThreadsSharingAConnectionEachGetTheirOwnResults) {
  constexpr int kThreads = 4, kRounds = 40;
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        const std::string expected = std::to_string(t * 1000 + round);
        db_execute(connection.get(), "select " + expected + " as n");
        RecordSetPtr rows = db_get_record_set(connection.get());
        std::string value;
        if (!db_read_field(rows.get(), "n", value) || value != expected) ++wrong;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST_F(DataStore, AHeldConnectionMakesOtherThreadsWait) {
  std::atomic<bool> sent{false};
  std::thread other;
  {
    ConnectionLock lock = db_lock(connection.get());
    other = std::thread([&] {
      db_execute(connection.get(), "select 1");
      sent = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_FALSE(sent.load());
  }
  other.join();
  EXPECT_TRUE(sent.load());
}

TEST_F(DataStore, TransactionCommitsOrRollsBackAsTheBodySays) {
  ASSERT_TRUE(db.run("INSERT INTO Quenbo登录验证 (账号, Quenbo币) VALUES ('alice', '10');"));
  auto set_balance = [&](int coins) {
    return sql::db_update(connection.get(), sql::balance_update(connection.get(), "alice", coins));
  };
  EXPECT_FALSE(db_transaction(connection.get(), [&] {
    set_balance(1);
    return TransactionEnd::roll_back;
  }));
  EXPECT_EQ(db.value("select Quenbo币 from Quenbo登录验证 where 账号='alice'"), "10");

  // A refused statement that retrying cannot help: rolled back once, its error kept.
  int runs = 0;
  EXPECT_FALSE(db_transaction(connection.get(), [&] {
    ++runs;
    set_balance(2);
    return db_execute(connection.get(), "select * from 没有这张表") ? TransactionEnd::commit
                                                                     : TransactionEnd::roll_back;
  }));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(db_last_error(connection.get()), 1146u);
  EXPECT_EQ(db.value("select Quenbo币 from Quenbo登录验证 where 账号='alice'"), "10");

  EXPECT_TRUE(db_transaction(connection.get(), [&] {
    return set_balance(3) ? TransactionEnd::commit : TransactionEnd::roll_back;
  }));
  EXPECT_EQ(db.value("select Quenbo币 from Quenbo登录验证 where 账号='alice'"), "3");
}

TEST_F(DataStore, DeadlockedTransactionIsRunAgainAndNoCoinIsLost) {
  ASSERT_TRUE(db.run("INSERT INTO Quenbo登录验证 (账号, Quenbo币) VALUES ('x', '10'), ('y', '10');"));
  ConnectionPtr other = db.connect();
  ASSERT_TRUE(other);
  std::latch both_hold_one_row(2);
  std::atomic<int> runs{0};
  // Each adds a coin to both rows, in opposite orders: the first round deadlocks.
  auto add_to_both = [&](Connection* c, const char* first, const char* second) {
    bool first_round = true;
    return db_transaction(c, [&] {
      ++runs;
      const auto add = [&](const char* who) {
        return db_execute(c, std::string("update Quenbo登录验证 set Quenbo币=Quenbo币+1 where 账号='") + who + "'");
      };
      if (!add(first)) return TransactionEnd::roll_back;
      if (first_round) {
        first_round = false;
        both_hold_one_row.arrive_and_wait();
      }
      return add(second) ? TransactionEnd::commit : TransactionEnd::roll_back;
    });
  };
  bool committed_a = false, committed_b = false;
  std::thread a([&] { committed_a = add_to_both(connection.get(), "x", "y"); });
  std::thread b([&] { committed_b = add_to_both(other.get(), "y", "x"); });
  a.join();
  b.join();
  EXPECT_TRUE(committed_a);
  EXPECT_TRUE(committed_b);
  EXPECT_GE(runs.load(), 3);
  EXPECT_EQ(db.value("select Quenbo币 from Quenbo登录验证 where 账号='x'"), "12");
  EXPECT_EQ(db.value("select Quenbo币 from Quenbo登录验证 where 账号='y'"), "12");
}

TEST(TextNumbers, LeadingDecimalIntegerAndPlainDecimal) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  const std::pair<const char*, std::int64_t> cases[] = {
      {"42", 42}, {"-7", -7}, {"+3", 3}, {"  12abc", 12}, {"1.5", 1}, {"abc", 0}, {"", 0},
      {"-", 0}, {"0x10", 0}, {"99999999999999999999", kMax}, {"-99999999999999999999", kMin},
      {"币5", 0},
  };
  for (const auto& [text, number] : cases) EXPECT_EQ(text_to_int(text), number) << text;
  EXPECT_EQ(int_to_text(-12), "-12");
  EXPECT_EQ(int_to_text(0), "0");
}

}  // namespace

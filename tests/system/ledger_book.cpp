#include "ledger_book.h"

#include "client/statements.h"
#include "platform/text.h"

#include <map>
#include <optional>
#include <string_view>

namespace ledger {
namespace {

constexpr std::size_t kViolationsKept = 25;

constexpr std::string_view kJournalTable =
    "CREATE TABLE ledger_journal ("
    " seq BIGINT UNSIGNED NOT NULL AUTO_INCREMENT PRIMARY KEY,"
    " op VARCHAR(32) NULL, account VARCHAR(64) NOT NULL,"
    " old_coins VARCHAR(20) NOT NULL, new_coins VARCHAR(20) NOT NULL,"
    " old_receipt VARCHAR(500) NOT NULL, new_receipt VARCHAR(500) NOT NULL"
    ") ENGINE=InnoDB DEFAULT CHARSET=gbk COLLATE=gbk_nopad_bin";

constexpr std::string_view kJournalTrigger =
    "CREATE TRIGGER ledger_journal_on_update AFTER UPDATE ON `Quenbo登录验证` FOR EACH ROW"
    " INSERT INTO ledger_journal (op, account, old_coins, new_coins, old_receipt, new_receipt)"
    " VALUES (@ledger_op, NEW.`账号`, OLD.`Quenbo币`, NEW.`Quenbo币`, OLD.`回执消息`, NEW.`回执消息`)";

struct JournalRow {
  std::string seq, op, account, old_coins, new_coins, old_receipt, new_receipt;
};

// A row an operation must leave: a balance change (receipt untouched) or a receipt (coins
// untouched).
struct ExpectedRow {
  std::string account;
  std::int64_t delta = 0;
  std::optional<std::string> receipt;
};

std::string utf8(std::string_view gbk) { return platform::text::gbk_to_utf8(gbk); }

bool is_plain_number(const std::string& text) {
  return !text.empty() && client::int_to_text(client::text_to_int(text)) == text;
}

std::string first_value(client::Connection* connection, std::string_view query) {
  std::string value;
  if (client::db_execute(connection, query)) {
    client::RecordSetPtr rows = client::db_get_record_set(connection);
    client::db_read_column(rows.get(), 0, value);
  }
  return value;
}

std::vector<JournalRow> read_journal(client::Connection* connection, bool& read) {
  std::vector<JournalRow> rows;
  const std::string count = first_value(connection, "SELECT COUNT(*) FROM ledger_journal");
  read = client::db_execute(connection,
                            "SELECT seq, op, account, old_coins, new_coins, old_receipt, new_receipt"
                            " FROM ledger_journal ORDER BY seq") && !count.empty();
  client::RecordSetPtr set = client::db_get_record_set(connection);
  for (std::int64_t i = 0; read && i < client::text_to_int(count); ++i) {
    JournalRow row;
    const std::pair<const char*, std::string*> columns[] = {
        {"seq", &row.seq},           {"op", &row.op},
        {"account", &row.account},   {"old_coins", &row.old_coins},
        {"new_coins", &row.new_coins}, {"old_receipt", &row.old_receipt},
        {"new_receipt", &row.new_receipt}};
    for (const auto& [column, value] : columns) client::db_read_field(set.get(), column, *value);
    rows.push_back(std::move(row));
    client::db_next_row(set.get());
  }
  return rows;
}

std::string open_receipt(const Operation& op) {
  return "您刚刚打开了： " + op.counterpart + " 上传的资源已从账户扣除1个Quenbo币";
}
std::string received_receipt(const Operation& op) {
  return "用户：" + op.actor + "向您汇款" + op.amount_text + "Quenbo币";
}
std::string sent_receipt(const Operation& op) {
  return "您刚刚向用户： " + op.counterpart + " 汇款 " + op.amount_text + " 个Quenbo币";
}

// The rows in the order the program writes them.
std::vector<ExpectedRow> expected_rows(const Operation& op) {
  if (op.kind == OperationKind::open) {
    return {{op.actor, -1, std::nullopt}, {op.counterpart, +1, std::nullopt}, {op.actor, 0, open_receipt(op)}};
  }
  const std::int64_t amount = client::text_to_int(op.amount_text);
  return {{op.actor, -(amount + 1), std::nullopt},
          {op.counterpart, amount, std::nullopt},
          {op.counterpart, 0, received_receipt(op)},
          {op.actor, 0, sent_receipt(op)}};
}

bool matches(const JournalRow& row, const ExpectedRow& expected) {
  const std::int64_t delta = client::text_to_int(row.new_coins) - client::text_to_int(row.old_coins);
  if (row.account != expected.account || delta != expected.delta) return false;
  return expected.receipt ? row.new_receipt == *expected.receipt && row.new_coins == row.old_coins
                          : row.new_receipt == row.old_receipt;
}

bool matches_all(const std::vector<const JournalRow*>& rows, const std::vector<ExpectedRow>& expected) {
  if (rows.size() != expected.size()) return false;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!matches(*rows[i], expected[i])) return false;
  }
  return true;
}

std::string describe(const JournalRow& row) {
  std::string text = "#" + row.seq + " " + utf8(row.account) + " " + row.old_coins + "->" + row.new_coins;
  if (row.new_receipt != row.old_receipt) text += " \"" + utf8(row.new_receipt) + "\"";
  return text;
}

// Each member's rows, in commit order, must lead without a gap from its initial balance to its
// final one: a lost update or a change outside the journal breaks the chain.
void check_chains(const std::vector<JournalRow>& journal, const std::vector<Member>& members,
                  const std::map<std::string, std::string>& final_coins, Verdict& verdict) {
  std::map<std::string, std::int64_t> running;
  for (const Member& member : members) running[member.account] = member.initial_coins;
  for (const JournalRow& row : journal) {
    auto it = running.find(row.account);
    if (it == running.end()) {
      verdict.add("journal row for a row that is no member: " + describe(row));
      continue;
    }
    if (!is_plain_number(row.old_coins) || client::text_to_int(row.old_coins) != it->second) {
      verdict.add("broken chain (expected old balance " + std::to_string(it->second) + "): " + describe(row));
    }
    if (!is_plain_number(row.new_coins) || client::text_to_int(row.new_coins) < 0) {
      verdict.add("balance written that is negative or not a number: " + describe(row));
    }
    it->second = client::text_to_int(row.new_coins);
  }
  for (const auto& [account, coins] : running) {
    const auto final_it = final_coins.find(account);
    if (final_it != final_coins.end() && client::text_to_int(final_it->second) != coins) {
      verdict.add("final balance of " + utf8(account) + " is " + final_it->second + ", its journal ends at " +
                  std::to_string(coins));
    }
  }
}

void check_operation(const Operation& op, const std::vector<const JournalRow*>& rows, Verdict& verdict) {
  const bool applied = matches_all(rows, expected_rows(op));
  const bool untouched = rows.empty();
  const char* told = op.outcome == Outcome::succeeded ? "succeeded" : op.outcome == Outcome::failed ? "failed" : "indeterminate";
  const bool consistent = op.outcome == Outcome::succeeded ? applied
                          : op.outcome == Outcome::failed  ? untouched
                                                           : applied || untouched;
  if (!consistent) {
    std::string detail = op.tag + " " + utf8(op.actor) + "->" + utf8(op.counterpart) + " reported " + told +
                         " but left " + std::to_string(rows.size()) + " journal rows";
    for (const JournalRow* row : rows) detail += "; " + describe(*row);
    verdict.add(detail);
    return;
  }
  if (applied && op.outcome == Outcome::indeterminate) ++verdict.indeterminate_applied;
  if (applied && op.kind == OperationKind::transfer) ++verdict.transfers_applied;
}

std::map<std::string, std::string> read_final_coins(client::Connection* connection,
                                                    const std::vector<Member>& members, Verdict& verdict) {
  std::map<std::string, std::string> coins;
  for (const Member& member : members) {
    std::string value;
    if (!client::db_execute(connection, client::sql::account_select(connection, member.account))) {
      verdict.add("cannot read the row of " + utf8(member.account));
      continue;
    }
    client::RecordSetPtr row = client::db_get_record_set(connection);
    if (!client::db_read_field(row.get(), "Quenbo币", value)) {
      verdict.add("the row of " + utf8(member.account) + " is gone");
      continue;
    }
    if (!is_plain_number(value) || client::text_to_int(value) < 0) {
      verdict.add("final balance of " + utf8(member.account) + " is \"" + utf8(value) + "\"");
    }
    coins[member.account] = value;
    verdict.final_total += client::text_to_int(value);
  }
  const std::string rows = first_value(connection, "SELECT COUNT(*) FROM `Quenbo登录验证`");
  if (client::text_to_int(rows) != static_cast<std::int64_t>(members.size())) {
    verdict.add("the accounts table holds " + rows + " rows, not " + std::to_string(members.size()));
  }
  return coins;
}

}  // namespace

void Verdict::add(std::string violation) {
  ++violations;
  if (first_violations.size() < kViolationsKept) first_violations.push_back(std::move(violation));
}

std::string tag_session_statement(const std::string& tag) { return "SET @ledger_op='" + tag + "'"; }

bool open_book(client::Connection* connection, const std::vector<Member>& members, std::string& error) {
  for (const Member& member : members) {
    const std::string insert = "INSERT INTO `Quenbo登录验证` (`账号`,`密码`,`Quenbo币`) VALUES ('" +
                               client::db_escape(connection, member.account) + "','ledger','" +
                               client::int_to_text(member.initial_coins) + "')";
    if (!client::db_execute(connection, insert)) {
      error = "member refused: " + std::to_string(client::db_last_error(connection));
      return false;
    }
  }
  if (!client::db_execute(connection, kJournalTable) || !client::db_execute(connection, kJournalTrigger)) {
    error = "journal refused: " + std::to_string(client::db_last_error(connection));
    return false;
  }
  return true;
}

Snapshot read_snapshot(client::Connection* connection) {
  Snapshot snapshot;
  if (!client::db_execute(connection, "START TRANSACTION WITH CONSISTENT SNAPSHOT")) return snapshot;
  const bool balances = client::db_execute(
      connection, "SELECT SUM(CAST(`Quenbo币` AS SIGNED)), SUM(CAST(`Quenbo币` AS SIGNED) < 0) FROM `Quenbo登录验证`");
  client::RecordSetPtr sums = client::db_get_record_set(connection);
  std::string total, negatives;
  client::db_read_column(sums.get(), 0, total);
  client::db_read_column(sums.get(), 1, negatives);
  const std::string transfers =
      first_value(connection, "SELECT COUNT(DISTINCT op) FROM ledger_journal WHERE op LIKE 'T%'");
  const bool committed = client::db_execute(connection, "COMMIT");
  snapshot.read = balances && committed && !total.empty() && !transfers.empty();
  snapshot.total_coins = client::text_to_int(total);
  snapshot.negative_balances = client::text_to_int(negatives);
  snapshot.transfers_applied = client::text_to_int(transfers);
  return snapshot;
}

Verdict verify_book(client::Connection* connection, const std::vector<Member>& members,
                    const std::vector<Operation>& operations) {
  Verdict verdict;
  const std::map<std::string, std::string> final_coins = read_final_coins(connection, members, verdict);
  bool journal_read = false;
  const std::vector<JournalRow> journal = read_journal(connection, journal_read);
  if (!journal_read) verdict.add("cannot read the journal");

  std::map<std::string, std::vector<const JournalRow*>> rows_by_op;
  for (const JournalRow& row : journal) rows_by_op[row.op].push_back(&row);
  for (const Operation& op : operations) {
    auto it = rows_by_op.find(op.tag);
    check_operation(op, it == rows_by_op.end() ? std::vector<const JournalRow*>{} : it->second, verdict);
    if (it != rows_by_op.end()) rows_by_op.erase(it);
  }
  for (const auto& [tag, rows] : rows_by_op) {
    verdict.add("journal rows of no reported operation (" + (tag.empty() ? std::string("untagged") : tag) +
                "): " + describe(*rows.front()));
  }
  check_chains(journal, members, final_coins, verdict);

  std::int64_t initial_total = 0;
  for (const Member& member : members) initial_total += member.initial_coins;
  if (verdict.final_total != initial_total - verdict.transfers_applied) {
    verdict.add("total is " + std::to_string(verdict.final_total) + ", expected " + std::to_string(initial_total) +
                " less one fee for each of " + std::to_string(verdict.transfers_applied) + " transfers");
  }
  return verdict;
}

}  // namespace ledger

// Transfers go through the program's own transfer_coins (the core of TransferWindow's "确定").
// Until the program's coin charge of "打开" can be called without a list and a window, the same
// transaction is run here: the catalogue's statements in the program's order inside one
// db_transaction, so the stress test exercises the data store and the server the same way.
#include "ledger_actions.h"

#include "client/statements.h"
#include "dialogs/coin_transfer.h"

#include <string>

namespace ledger {

namespace sql = client::sql;
using client::TransactionEnd;

namespace {

// The row of a member; false when it could not be read or does not exist.
bool read_member(client::Connection* connection, std::string_view name, std::string& account,
                 std::string& coins) {
  if (!client::db_execute(connection, sql::account_select(connection, name))) return false;
  client::RecordSetPtr row = client::db_get_record_set(connection);
  return client::db_read_field(row.get(), "账号", account) &&
         client::db_read_field(row.get(), "Quenbo币", coins);
}

TransactionEnd commit_if(bool all_written) {
  return all_written ? TransactionEnd::commit : TransactionEnd::roll_back;
}

}  // namespace

bool open_resource(client::Connection* connection, std::string_view reader, std::string_view publisher) {
  return client::db_transaction(connection, [&] {
    std::string reader_row, reader_coins, publisher_row, publisher_coins;
    if (!read_member(connection, reader, reader_row, reader_coins)) return TransactionEnd::roll_back;
    const std::int64_t coins = client::text_to_int(reader_coins);
    if (coins < 1) return TransactionEnd::roll_back;
    if (!read_member(connection, publisher, publisher_row, publisher_coins) || publisher_row != publisher) {
      return TransactionEnd::roll_back;
    }
    return commit_if(
        sql::db_update(connection, sql::balance_update(connection, reader, coins - 1)) &&
        sql::db_update(connection, sql::balance_update(connection, publisher,
                                                       client::text_to_int(publisher_coins) + 1)) &&
        sql::db_update(connection, sql::open_receipt_update(connection, reader, publisher)));
  });
}

bool transfer(client::Connection* connection, std::string_view sender, std::string_view recipient,
              std::string_view amount_text) {
  return dialogs::transfer_coins(connection, sender, recipient, amount_text) == dialogs::TransferOutcome::done;
}

}  // namespace ledger

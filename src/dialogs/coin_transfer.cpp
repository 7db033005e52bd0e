// A coin transfer as one SERIALIZABLE transaction of the catalogue's statements.
#include "dialogs/coin_transfer.h"

#include "client/statements.h"
#include "dialogs/account_row.h"

#include <limits>

namespace dialogs {

namespace sql = client::sql;
using client::TransactionEnd;

namespace {

constexpr std::int64_t fee = 1;

// Errors after which the server has dropped the whole transaction: a deadlock, a record
// changed since it was read, a lost connection. Another run of the transaction may succeed.
bool transaction_broken(unsigned error) {
  return error == 1213 || error == 1020 || error == 2006 || error == 2013;
}

struct TransferRequest {
  std::string_view account;
  std::string_view recipient;
  std::string_view amount_text;
  std::int64_t amount = 0;
};

// Steps inside the transaction; anything but `done` is rolled back.
TransferOutcome run_transfer(client::Connection* connection, const TransferRequest& request) {
  const AccountRow sender = read_account_row(connection, request.account);
  if (!sender.found) return TransferOutcome::silent_failure;
  const std::int64_t balance = client::text_to_int(sender.coins);
  if (request.amount >= balance) return TransferOutcome::insufficient_balance;
  if (request.recipient == request.account) return TransferOutcome::to_self;

  const AccountRow recipient = read_account_row(connection, request.recipient);
  // A refused select says nothing about the recipient.
  if (!recipient.found && client::db_last_error(connection) != 0) return TransferOutcome::failed;
  if (!recipient.found || recipient.account != request.recipient) return TransferOutcome::no_such_recipient;
  const AccountRow recipient_again = read_account_row(connection, request.recipient);
  if (!recipient_again.found) return TransferOutcome::failed;
  const std::int64_t recipient_balance = client::text_to_int(recipient_again.coins);
  if (recipient_balance > std::numeric_limits<std::int64_t>::max() - request.amount) return TransferOutcome::failed;

  if (!sql::db_update(connection, sql::balance_update(connection, request.account, balance - request.amount - fee))) {
    return TransferOutcome::silent_failure;
  }
  if (!sql::db_update(connection,
                      sql::balance_update(connection, request.recipient, recipient_balance + request.amount))) {
    return TransferOutcome::failed;
  }
  // A receipt that is refused is no reason to undo the transfer, unless the server has
  // already dropped the transaction with it.
  const bool received = sql::db_update(connection, sql::transfer_received_receipt_update(
                                                       connection, request.account, request.recipient, request.amount_text));
  if (!received && transaction_broken(client::db_last_error(connection))) return TransferOutcome::failed;
  const bool sent = sql::db_update(connection, sql::transfer_sent_receipt_update(
                                                   connection, request.account, request.recipient, request.amount_text));
  if (!sent && transaction_broken(client::db_last_error(connection))) return TransferOutcome::failed;
  return TransferOutcome::done;
}

}  // namespace

TransferOutcome transfer_coins(client::Connection* connection, std::string_view account,
                               std::string_view recipient, std::string_view amount_text) {
  const TransferRequest request{account, recipient, amount_text, client::text_to_int(amount_text)};
  if (request.amount < 1) return TransferOutcome::amount_below_one;
  TransferOutcome outcome = TransferOutcome::silent_failure;
  const bool committed = client::db_transaction(connection, [&] {
    outcome = run_transfer(connection, request);
    return outcome == TransferOutcome::done ? TransactionEnd::commit : TransactionEnd::roll_back;
  });
  // A transfer whose COMMIT failed changed nothing.
  if (outcome == TransferOutcome::done && !committed) return TransferOutcome::failed;
  return outcome;
}

}  // namespace dialogs

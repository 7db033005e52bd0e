// Moving coins between two members. The sender pays the amount plus a fee of one coin; the
// recipient gets the amount. Debit, credit and both receipts are one transaction, so no coin
// is created or lost whatever other clients do meanwhile.
#pragma once

#include "client/datastore.h"

#include <string_view>

namespace dialogs {

// How a transfer ended, in the order the checks run.
enum class TransferOutcome {
  amount_below_one,
  insufficient_balance,  // the sender must keep at least the fee
  to_self,
  no_such_recipient,
  silent_failure,  // the sender's row could not be read or debited: nothing changed
  failed,          // the credit (or the transaction) failed: nothing changed
  done,
};

// Sends the leading integer of `amount_text` from the account to the recipient. The receipts
// quote the amount text as typed. Account names compare byte for byte.
TransferOutcome transfer_coins(client::Connection* connection, std::string_view account,
                               std::string_view recipient, std::string_view amount_text);

}  // namespace dialogs

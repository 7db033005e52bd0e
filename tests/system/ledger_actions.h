// The two coin-moving actions of the program as the ledger stress test drives them: one call
// per user action, on the caller's connection, answering what the program reports to its user.
#pragma once

#include "client/datastore.h"

#include <string_view>

namespace ledger {

// "打开" of another member's resource: one coin from reader to publisher, with the reader's
// receipt. True when the program reports the charge as made.
bool open_resource(client::Connection* connection, std::string_view reader, std::string_view publisher);

// "转账" of the amount text's leading integer, plus the fee of one coin. True when the program
// reports "转账成功".
bool transfer(client::Connection* connection, std::string_view sender, std::string_view recipient,
              std::string_view amount_text);

}  // namespace ledger

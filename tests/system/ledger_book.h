// The ledger of the stress test: the members, the log of what every client was told, a journal
// the server keeps of every change to a member's row, and the checks of all three against each
// other.
//
// The journal is written by a trigger inside the changing transaction, so it holds exactly the
// committed changes. Each client tags its session with the operation it is about to run
// (@ledger_op), so every journal row names the operation that made it.
#pragma once

#include "client/datastore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ledger {

struct Member {
  std::string account;
  std::int64_t initial_coins = 0;
};

enum class OperationKind { open, transfer };
// What the client was told: the program reported success, reported failure, or the answer to
// COMMIT was lost with the connection (the change may or may not be there).
enum class Outcome { succeeded, failed, indeterminate };

struct Operation {
  std::string tag;  // "O<n>" for opens, "T<n>" for transfers; unique in a run
  OperationKind kind = OperationKind::open;
  std::string actor;        // reader or sender
  std::string counterpart;  // publisher or recipient
  std::string amount_text;  // transfers: as typed, carrying the tag
  Outcome outcome = Outcome::failed;
};

// The tag that the next statements of this session leave in the journal.
std::string tag_session_statement(const std::string& tag);

// Adds the journal and its trigger to the community schema already in the connection's
// database, and the members with their coins. False with `error` set when refused.
bool open_book(client::Connection* connection, const std::vector<Member>& members, std::string& error);

// One consistent view of the whole ledger while clients are working.
struct Snapshot {
  bool read = false;
  std::int64_t total_coins = 0;
  std::int64_t negative_balances = 0;
  std::int64_t transfers_applied = 0;  // each took a fee of one coin out of the ledger
};
Snapshot read_snapshot(client::Connection* connection);

struct Verdict {
  std::int64_t violations = 0;
  std::vector<std::string> first_violations;  // UTF-8, at most a screenful
  int indeterminate_applied = 0;
  int transfers_applied = 0;
  std::int64_t final_total = 0;
  void add(std::string violation);
};

// Checks the final state: balances are plain non-negative numbers; every member's journal is
// one unbroken chain from its initial to its final balance; each operation reported as
// succeeded left exactly its rows (amounts and receipts), each reported as failed left none,
// each indeterminate one all or none; no row without an operation; the total fell by exactly
// one coin per applied transfer.
Verdict verify_book(client::Connection* connection, const std::vector<Member>& members,
                    const std::vector<Operation>& operations);

}  // namespace ledger

// The community data store: the only code that talks to the database library.
//
// Every community operation is SQL text sent on a connection; values come back as GBK text.
// Connections and record sets are owned objects (null = none); every operation on a null one
// answers false or null without contacting anything and leaves the caller's variables as they
// were. Nothing here shows a message or throws.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace client {

class Connection;
class RecordSet;

struct ConnectionDeleter {
  void operator()(Connection* connection) const;
};
struct RecordSetDeleter {
  void operator()(RecordSet* record_set) const;
};
using ConnectionPtr = std::unique_ptr<Connection, ConnectionDeleter>;
using RecordSetPtr = std::unique_ptr<RecordSet, RecordSetDeleter>;

// ---- The eight operations -------------------------------------------------------------------

// Opens a connection that speaks GBK; port 0 is the library's default. Null on any failure,
// within a few seconds when the server cannot be reached. Calls are serialised.
ConnectionPtr db_connect(std::string_view host, std::string_view user, std::string_view password,
                         std::string_view database, unsigned port = 0);

// Sends the text up to its first zero byte; true when the server accepted it. The statement's
// result (if any) is kept for db_get_record_set of the same thread.
bool db_execute(Connection* connection, std::string_view statement);

// The result of the last statement this thread executed on the connection, handed over to the
// caller; null for a null connection or a statement without result.
RecordSetPtr db_get_record_set(Connection* connection);

// Reads a column of the row under the cursor without moving it (past the end: the last row).
// SQL NULL reads as the empty text. False, with `value` unchanged, for a null record set, an
// unknown column (names compare byte for byte) or a record set without rows.
bool db_read_field(RecordSet* record_set, std::string_view column, std::string& value);
bool db_read_column(RecordSet* record_set, int column_index, std::string& value);

// Moves the cursor one row on; true when there was a row to pass over.
bool db_next_row(RecordSet* record_set);

// "insert into " + table + " set " + assignments
bool db_insert(Connection* connection, std::string_view table, std::string_view assignments);
// "update " + table + " set " + assignments [+ " where " + condition]
bool db_update(Connection* connection, std::string_view table, std::string_view assignments,
               std::string_view condition);

// ---- Beyond the eight: escaping, serialisation, diagnostics ---------------------------------

// The value escaped for a quoted literal with the library's escaping function on this
// connection (its character set, GBK). A null connection escapes as a GBK connection would.
std::string db_escape(const Connection* connection, std::string_view value);

// Holds the connection for one caller: statements of other threads wait until it is released.
// Every operation takes the lock itself; hold it to keep several statements together (a
// transaction). Recursive, so operations may be called while holding it. Empty for null.
using ConnectionLock = std::unique_lock<std::recursive_mutex>;
ConnectionLock db_lock(Connection* connection);

// The server's error number for the last statement this thread sent on the connection
// (0 = accepted). Lets callers tell a deadlock (1213) from a refusal.
unsigned db_last_error(const Connection* connection);

// The last statement text sent on the connection (empty before the first and for null).
std::string db_last_statement(const Connection* connection);

// Sees every statement text sent on any connection, with whether the server accepted it.
// Called on the sending thread while that connection is held. An empty function removes it.
using StatementObserver =
    std::function<void(const Connection* connection, std::string_view statement, bool accepted)>;
void db_set_statement_observer(StatementObserver observer);

// Outcome of a transaction body: keep its changes or drop them.
enum class TransactionEnd { commit, roll_back };

// Runs `body` as one SERIALIZABLE transaction holding the connection. When a statement of the
// body or the COMMIT fails with a deadlock (1213), a changed record (1020) or a lost
// connection, everything is rolled back and the body runs again, at most `attempts` times.
// The body returns roll_back when one of its statements failed (db_last_error then tells
// whether another run may help) or when it decides not to go on. True when the body's changes
// were committed; false after a roll-back or any other failure, db_last_error telling why.
// The observer sees the transaction's own statements (START TRANSACTION, COMMIT, ROLLBACK) too.
bool db_transaction(Connection* connection, const std::function<TransactionEnd()>& body,
                    int attempts = 5);

// ---- Text and integer, as the callers convert them ------------------------------------------

// The leading decimal integer of the text, as C atoi reads it (white space, optional sign,
// digits); 0 without one. Values beyond 64 bits saturate.
std::int64_t text_to_int(std::string_view text);
// Plain decimal.
std::string int_to_text(std::int64_t number);

}  // namespace client

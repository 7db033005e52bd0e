// One SERIALIZABLE transaction around a caller's statements, retried when the server gave up on it.
#include "datastore_internal.h"

#include <errmsg.h>
#include <mysqld_error.h>

namespace client {
namespace {

// The server broke the transaction off, not the statements: running it again may succeed.
bool worth_retrying(unsigned error) {
  switch (error) {
    case ER_LOCK_DEADLOCK:         // 1213
    case ER_CHECKREAD:             // 1020, record changed since last read
    case CR_SERVER_GONE_ERROR:     // 2006
    case CR_SERVER_LOST:           // 2013
      return true;
    default:
      return false;
  }
}

bool begin(Connection* connection) {
  return db_execute(connection, "SET TRANSACTION ISOLATION LEVEL SERIALIZABLE") &&
         db_execute(connection, "START TRANSACTION");
}

}  // namespace

bool db_transaction(Connection* connection, const std::function<TransactionEnd()>& body,
                    int attempts) {
  if (!connection || !body) return false;
  ConnectionLock lock = db_lock(connection);
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (begin(connection)) {
      if (body() == TransactionEnd::commit && db_execute(connection, "COMMIT")) return true;
    }
    const unsigned error = db_last_error(connection);
    db_execute(connection, "ROLLBACK");
    set_last_error(connection, error);
    if (!worth_retrying(error)) return false;
  }
  return false;
}

}  // namespace client

// What the data store's own files share: the objects behind Connection and RecordSet.
#pragma once

#include "client/datastore.h"

#include <mysql.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace client {

// The library's connection handle; it lives as long as its connection or any record set
// taken from it, whichever ends last.
struct MysqlHandle {
  MYSQL mysql;
  MysqlHandle() { mysql_init(&mysql); }
  ~MysqlHandle() { mysql_close(&mysql); }
  MysqlHandle(const MysqlHandle&) = delete;
  MysqlHandle& operator=(const MysqlHandle&) = delete;
};

class Connection {
 public:
  explicit Connection(std::shared_ptr<MysqlHandle> handle);

  std::shared_ptr<MysqlHandle> handle;
  mutable std::recursive_mutex mutex;  // one statement (or held block) at a time
  std::string last_statement;   // guarded by mutex
  const std::uint64_t serial;   // tells connections apart in per-thread state
};

class RecordSet {
 public:
  RecordSet(std::shared_ptr<MysqlHandle> handle, MYSQL_RES* result);
  ~RecordSet();
  RecordSet(const RecordSet&) = delete;
  RecordSet& operator=(const RecordSet&) = delete;

  bool read(int column_index, std::string& value);
  int column_index(std::string_view name) const;
  bool next_row();

 private:
  std::shared_ptr<MysqlHandle> handle_;
  MYSQL_RES* result_;
  MYSQL_ROW_OFFSET last_row_ = nullptr;  // where the last row starts, once the cursor passed it
};

// Overrides what db_last_error tells this thread (after a roll-back that must not hide the
// error that caused it).
void set_last_error(const Connection* connection, unsigned error);

// The texts db_insert and db_update send.
std::string insert_text(std::string_view table, std::string_view assignments);
std::string update_text(std::string_view table, std::string_view assignments,
                        std::string_view condition);

}  // namespace client

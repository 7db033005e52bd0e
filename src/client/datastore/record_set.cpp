// Reading a stored result: the row under the cursor without moving it, past the end the last row.
#include "datastore_internal.h"

#include <cstring>

namespace client {

RecordSet::RecordSet(std::shared_ptr<MysqlHandle> handle, MYSQL_RES* result)
    : handle_(std::move(handle)), result_(result) {}

RecordSet::~RecordSet() { mysql_free_result(result_); }

int RecordSet::column_index(std::string_view name) const {
  const unsigned count = mysql_num_fields(result_);
  const MYSQL_FIELD* fields = mysql_fetch_fields(result_);
  for (unsigned i = 0; i < count; ++i) {
    if (std::string_view(fields[i].name, fields[i].name_length) == name) return static_cast<int>(i);
  }
  return -1;
}

bool RecordSet::read(int column_index, std::string& value) {
  if (column_index < 0 || static_cast<unsigned>(column_index) >= mysql_num_fields(result_)) return false;
  if (mysql_num_rows(result_) == 0) return false;
  // A null cursor is past the end (the set has rows, so next_row has passed the last one).
  const MYSQL_ROW_OFFSET cursor = mysql_row_tell(result_);
  mysql_row_seek(result_, cursor ? cursor : last_row_);
  const MYSQL_ROW row = mysql_fetch_row(result_);
  const unsigned long* lengths = mysql_fetch_lengths(result_);
  mysql_row_seek(result_, cursor);
  if (!row) return false;
  const char* field = row[column_index];
  if (!field) {
    value.clear();
    return true;
  }
  const std::size_t length = lengths[column_index];
  const void* zero = std::memchr(field, '\0', length);
  value.assign(field, zero ? static_cast<const char*>(zero) - field : length);
  return true;
}

bool RecordSet::next_row() {
  const MYSQL_ROW_OFFSET cursor = mysql_row_tell(result_);
  if (!mysql_fetch_row(result_)) return false;
  if (!mysql_row_tell(result_)) last_row_ = cursor;
  return true;
}

void RecordSetDeleter::operator()(RecordSet* record_set) const { delete record_set; }

bool db_read_field(RecordSet* record_set, std::string_view column, std::string& value) {
  return record_set && record_set->read(record_set->column_index(column), value);
}

bool db_read_column(RecordSet* record_set, int column_index, std::string& value) {
  return record_set && record_set->read(column_index, value);
}

bool db_next_row(RecordSet* record_set) { return record_set && record_set->next_row(); }

}  // namespace client

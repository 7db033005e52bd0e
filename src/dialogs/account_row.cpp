// Reading a member's row with the catalogue's select.
#include "dialogs/account_row.h"

#include "client/statements.h"

namespace dialogs {

AccountRow read_account_row(client::Connection* connection, std::string_view name) {
  AccountRow row;
  if (!client::db_execute(connection, client::sql::account_select(connection, name))) return row;
  client::RecordSetPtr record_set = client::db_get_record_set(connection);
  row.found = client::db_read_field(record_set.get(), "账号", row.account);
  if (!row.found) return row;
  client::db_read_field(record_set.get(), "密码", row.password);
  client::db_read_field(record_set.get(), "Quenbo币", row.coins);
  client::db_read_field(record_set.get(), "帐号状态", row.state);
  return row;
}

}  // namespace dialogs

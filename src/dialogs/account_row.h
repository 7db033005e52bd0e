// A member's row of the accounts table, read by account name.
#pragma once

#include "client/datastore.h"

#include <string>
#include <string_view>

namespace dialogs {

// The columns the member dialogs read; empty when the row was not found.
struct AccountRow {
  bool found = false;
  std::string account;   // 账号
  std::string password;  // 密码
  std::string coins;     // Quenbo币
  std::string state;     // 帐号状态
};

// Selects the row whose 账号 the server matches with the name (its collation decides, so the
// caller compares `account` with the name itself). Not found when the statement failed.
AccountRow read_account_row(client::Connection* connection, std::string_view name);

}  // namespace dialogs

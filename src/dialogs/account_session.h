// The member who logged in, and what the member dialogs (log-in, transfer, submission) need
// from the rest of the program: the community connection, the member panel and the main
// window's caption and hint line.
#pragma once

#include "client/datastore.h"

#include <functional>
#include <string>
#include <string_view>

namespace dialogs {

// Set by a successful log-in and kept for the rest of the process.
struct AccountSession {
  std::string current_account;
  int logged_in = 0;
};

// Handed to each member dialog by the window that opens it. Empty routines do nothing.
struct MemberContext {
  client::Connection* main_connection = nullptr;
  AccountSession* session = nullptr;
  std::string program_version{};
  std::function<void()> show_member_panel{};
  std::function<void()> hide_hint_line{};
  std::function<void(std::string_view gbk_caption)> set_main_caption{};
};

}  // namespace dialogs

// The program-wide state of the client: the texts and flags every part of the program reads,
// the community connection, and the routines that other parts of the program plug in (the
// member panel and the two member dialogs). Touched on the user-interface thread only.
#pragma once

#include "client/datastore.h"
#include "platform/window.h"

#include <functional>
#include <string>

namespace client {

struct ProgramState {
  std::string program_version;
  platform::window::handle main_window_handle = 0;
  std::string restart_leftover;
  ConnectionPtr main_connection;

  // The settings row.
  std::string announcement_text;
  std::string update_notes;
  std::string download_url;
  std::string latest_version;

  // The member who logged in (empty and 0 until then).
  std::string current_account;
  int logged_in = 0;

  // The reader's balance as last read (shared by the member operations) and the last address
  // handed to the desktop.
  std::string reader_balance;
  std::string last_opened_address;

  // Routines of the member side of the window; nothing happens while they are empty.
  std::function<void()> show_member_panel;
  std::function<void()> open_transfer_window;
  std::function<void()> open_submit_window;
};

ProgramState& program_state();

// Forgets every value (tests start from a clean state).
void reset_program_state();

}  // namespace client

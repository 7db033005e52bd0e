// The member panel and the opening of the member dialogs from the main window.
#include "client/member_panel.h"

#include "client/program_state.h"
#include "client/statements.h"
#include "dialogs/login_window.h"
#include "dialogs/submit_window.h"
#include "dialogs/transfer_window.h"

namespace client {

namespace {

MemberPanelControls& installed_controls() {
  static MemberPanelControls controls;
  return controls;
}

// The submission count and receipt; the balance is the program-wide reader's balance.
MemberTexts& member_texts() {
  static MemberTexts texts;
  return texts;
}

void read_member_row(Connection* connection, std::string_view account, MemberTexts& texts) {
  if (!db_execute(connection, sql::account_select(connection, account))) return;
  RecordSetPtr row = db_get_record_set(connection);
  db_read_field(row.get(), "Quenbo币", texts.coins);
  db_read_field(row.get(), "投稿量", texts.submissions);
  db_read_field(row.get(), "回执消息", texts.receipt);
}

void set_label(dui::Ex_Label* label, const std::string& text) {
  if (label) label->text(text);
}

// The session the dialogs work on, mirrored from and back to the program state's account.
dialogs::AccountSession& dialog_session() {
  static dialogs::AccountSession session;
  return session;
}
void session_from_state() {
  const ProgramState& state = program_state();
  dialog_session() = {state.current_account, state.logged_in};
}
void session_to_state() {
  ProgramState& state = program_state();
  state.current_account = dialog_session().current_account;
  state.logged_in = dialog_session().logged_in;
}

}  // namespace

dialogs::MemberContext member_dialog_context() {
  session_from_state();
  ProgramState& state = program_state();
  return {.main_connection = state.main_connection.get(),
          .session = &dialog_session(),
          .program_version = state.program_version,
          .show_member_panel =
              [] {
                session_to_state();
                show_member_panel();
              },
          .hide_hint_line =
              [] {
                if (dui::Ex_Control* hint = installed_controls().screens.hint_line) hint->visible(0);
              },
          .set_main_caption =
              [](std::string_view caption) { platform::window::set_text(program_state().main_window_handle, caption); }};
}

namespace {

template <typename Window>
void run_member_dialog() {
  Window window(member_dialog_context());
  window.run_modal();
  session_to_state();
}

}  // namespace

void refresh_member_panel(const MemberPanelControls& controls, Connection* connection, std::string_view account,
                          MemberTexts& texts) {
  read_member_row(connection, account, texts);
  show_member_screen(controls.screens);
  set_label(controls.coins, "Quenbo币：" + texts.coins);
  set_label(controls.submissions, "投稿量：" + texts.submissions);
  set_label(controls.receipt, "消息：" + texts.receipt);
}

void install_member_panel(const MemberPanelControls& controls) {
  installed_controls() = controls;
  ProgramState& state = program_state();
  state.show_member_panel = show_member_panel;
  state.open_transfer_window = open_transfer_window;
  state.open_submit_window = open_submit_window;
}

void show_member_panel() {
  ProgramState& state = program_state();
  if (state.logged_in != 1) {
    run_member_dialog<dialogs::LoginWindow>();
    return;
  }
  MemberTexts& texts = member_texts();
  texts.coins = state.reader_balance;
  refresh_member_panel(installed_controls(), state.main_connection.get(), state.current_account, texts);
  state.reader_balance = texts.coins;
}

void open_transfer_window() { run_member_dialog<dialogs::TransferWindow>(); }

void open_submit_window() { run_member_dialog<dialogs::SubmitWindow>(); }

}  // namespace client

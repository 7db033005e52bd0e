// The member panel: the second screen of the main window, with the logged-in member's coins,
// submission count and latest receipt message and the "转账" and "投稿" buttons. Without a
// log-in it opens the log-in window instead. User-interface thread only.
#pragma once

#include "client/category_loader.h"
#include "client/datastore.h"
#include "dialogs/account_session.h"
#include "dui/controls/label.h"

#include <string>
#include <string_view>

namespace client {

// The controls of the panel: the two screens and the three member labels.
struct MemberPanelControls {
  BrowserScreens screens;
  dui::Ex_Label* coins = nullptr;
  dui::Ex_Label* submissions = nullptr;
  dui::Ex_Label* receipt = nullptr;
};

// The member's texts as last read; a failed read keeps them.
struct MemberTexts {
  std::string coins;
  std::string submissions;
  std::string receipt;
};

// Switches to the member screen and shows the account's row: "Quenbo币：", "投稿量：" and
// "消息：" followed by the texts exactly as read.
void refresh_member_panel(const MemberPanelControls& controls, Connection* connection, std::string_view account,
                          MemberTexts& texts);

// Plugs the panel and the two member dialogs into the program state's routines.
void install_member_panel(const MemberPanelControls& controls);

// The program's panel: the log-in window when nobody is logged in, else the refreshed panel.
void show_member_panel();
// What the member dialogs get from the program: its connection, the logged-in member, the
// panel, the main window's hint line and caption.
dialogs::MemberContext member_dialog_context();
// The member dialogs, opened modally on the program's connection and session.
void open_transfer_window();
void open_submit_window();

}  // namespace client

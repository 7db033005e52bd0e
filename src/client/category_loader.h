// The resource browser's two screens and the category loaders that fill the resource list
// from the community database, newest first.
#pragma once

#include "client/datastore.h"
#include "client/statements.h"
#include "dui/controls/list_view.h"

#include <array>
#include <optional>
#include <string>

namespace client {

// The controls that make up the two screens sharing the area under the category buttons.
struct BrowserScreens {
  dui::Ex_ListView* resource_list = nullptr;
  dui::Ex_Control* hint_line = nullptr;
  // The member panel: the transfer and submit buttons and the three member labels.
  std::array<dui::Ex_Control*, 5> member_panel{};
};

// The list and the hint line shown, the member panel hidden; and the opposite.
void show_list_screen(const BrowserScreens& screens);
void show_member_screen(const BrowserScreens& screens);

// Loads categories into the list, one load at a time. User-interface thread only.
class CategoryLoader {
 public:
  // Switches to the list screen and fills the list with the category's rows: publisher, title,
  // update time, description and the (hidden) address. Answers the count the server reported.
  // A load asked for while one runs (from a nested message loop) follows it.
  int load(sql::Category category, Connection* connection, const BrowserScreens& screens);

 private:
  int fill(sql::Category category, Connection* connection, const BrowserScreens& screens);

  bool loading_ = false;
  std::optional<sql::Category> pending_;
  // The cells of the row being filled.
  std::string count_text_;
  std::array<std::string, 5> cells_;
};

// The program's loader.
CategoryLoader& category_loader();

}  // namespace client

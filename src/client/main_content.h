// The main window's drawn content: the objects the program keeps for its whole run (the host,
// the resource list, the labels and the image buttons), how the content is laid out on the
// window, the announcement label and its ticker.
#pragma once

#include "client/category_loader.h"
#include "client/statements.h"
#include "dui/controls/image_button.h"
#include "dui/controls/label.h"
#include "dui/controls/list_view.h"
#include "dui/controls/popup_menu.h"
#include "dui/core/host_window.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace client {

// Indices of main_labels.
namespace label_index {
inline constexpr int announcement = 0;
inline constexpr int coins = 1;
inline constexpr int submissions = 2;
inline constexpr int receipt = 3;
inline constexpr int hint = 4;
}  // namespace label_index

// Indices of main_buttons.
namespace button_index {
inline constexpr int featured = 0;
inline constexpr int source_code = 1;
inline constexpr int software_tools = 2;
inline constexpr int offers = 3;
inline constexpr int member = 4;
inline constexpr int transfer = 5;
inline constexpr int submit = 6;
}  // namespace button_index

// The program-wide objects, made before any window and kept to the end of the program.
struct MainObjects {
  dui::Ex_ListView resource_list;
  std::array<dui::Ex_Label, 100> main_labels;
  dui::Ex_PopupMenu edit_menu;  // the framework's shared edit menu
  dui::Ex_Window main_host;
  std::array<dui::Ex_ImageButton, 100> main_buttons;
};

// Makes the objects (the start sequence) and destroys them (the exit routine).
void construct_program_objects();
void destroy_program_objects();
// The objects; only between construct and destroy.
MainObjects& main_objects();

// What the content's controls do when used.
struct ContentRoutines {
  std::function<void(sql::Category category)> load_category;
  std::function<void()> show_member_panel;
  std::function<void()> open_transfer_window;
  std::function<void()> open_submit_window;
  std::function<void()> list_double_click;
};

// Creates the list, the seven buttons and the labels 1-4 on the window (user-interface thread).
void build_main_content(MainObjects& objects, dui::WindowHandle window, const ContentRoutines& routines);

// The announcement label at (5, 408): "公告：" + the announcement.
void create_announcement(MainObjects& objects, dui::WindowHandle window, const std::string& announcement);

// One step of the ticker: the announcement moves one pixel left and re-enters from the right
// once it has left the window.
void ticker_step(dui::Ex_Label& announcement);

// The controls of the two screens.
BrowserScreens browser_screens(MainObjects& objects);

}  // namespace client

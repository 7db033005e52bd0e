// The process entry: the program-wide objects, the framework, the main window and the message
// loop until the main window is closed.
#include "client/main_content.h"
#include "client/main_window.h"
#include "client/program_state.h"
#include "dui/controls/caption_button.h"
#include "dui/controls/popup_menu.h"
#include "dui/core/framework.h"
#include "platform/application.h"
#include "platform/window.h"

int main(int argc, char** argv) {
  platform::application::init(argc, argv);
  client::construct_program_objects();
  dui::install_caption_parts();
  dui::init_framework(dui::framework_options_with_edit_menu(client::main_objects().edit_menu));
  int exit_code = 0;
  {
    client::MainWindow main_window;
    if (main_window.load()) exit_code = platform::window::run();
  }
  // The exit routine: the program-wide objects and texts go before the application object.
  client::destroy_program_objects();
  client::reset_program_state();
  platform::application::shutdown();
  return exit_code;
}

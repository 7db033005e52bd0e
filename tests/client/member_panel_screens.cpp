// The main window after a log-in, on the demo data of the test server: starts the program's
// main window, logs xiaoyu in through the log-in window and saves a picture of the screen with
// the member panel (run under an X server: member_panel_screens OUTPUT_FILE).
#include "client/main_content.h"
#include "client/main_window.h"
#include "client/member_panel.h"
#include "client/program_state.h"
#include "dialogs/login_window.h"
#include "dui/controls/caption_button.h"
#include "dui/core/framework.h"
#include "platform/application.h"
#include "platform/forms.h"
#include "platform/window.h"
#include "support/test_database.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

void pump_for(int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 10) {
    platform::window::pump();
    ::usleep(10000);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string file = argv[1];
  platform::application::init(argc, argv);
  test_support::ScratchDatabase db(test_support::ScratchDatabase::Contents::demo);
  if (!db.ok()) return 3;
  dui::install_caption_parts();
  dui::init_framework();
  client::construct_program_objects();

  client::StartupOptions options;
  options.database = {db.server().host, db.server().user, db.server().password, db.name(), db.server().port};
  options.visit_counter.database = options.database;
  options.visit_counter.ip_page_url = "http://127.0.0.1:9/ip";
  options.show_effect_ms = 60;
  client::MainWindow main_window(options);
  if (!main_window.load()) return 4;
  pump_for(1500);

  client::MainObjects& objects = client::main_objects();
  client::install_member_panel({client::browser_screens(objects), &objects.main_labels[1], &objects.main_labels[2],
                                &objects.main_labels[3]});
  dialogs::LoginWindow login(client::member_dialog_context());
  login.load();
  login.form().set_text(dialogs::login_controls::account, "xiaoyu");
  login.form().set_text(dialogs::login_controls::password, "xiaoyu123");
  login.form().click(dialogs::login_controls::submit);
  pump_for(1500);

  const std::string command = "import -window root -crop 620x540+0+0 +repage '" + file + "'";
  const int saved = std::system(command.c_str());
  client::destroy_program_objects();
  return saved == 0 ? 0 : 1;
}

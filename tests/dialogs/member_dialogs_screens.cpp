// Shows the three member dialogs one after another, filled in as a member would, and saves a
// picture of the screen for each (run under an X server: member_dialogs_screens OUTPUT_DIR).
#include "dialogs/login_window.h"
#include "dialogs/submit_window.h"
#include "dialogs/transfer_window.h"
#include "platform/application.h"
#include "platform/services.h"
#include "platform/window.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

// Lets the window system paint for a moment, then saves the screen's top left corner.
void save_screen(const std::string& file) {
  for (int i = 0; i < 100; ++i) {
    platform::window::pump();
    ::usleep(10000);
  }
  const std::string command = "import -window root -crop 460x300+0+0 +repage '" + file + "'";
  if (std::system(command.c_str()) != 0) std::exit(1);
}

template <typename Window>
void show(Window& window, const std::string& file, void (*fill)(platform::forms::Form&)) {
  window.load();
  fill(window.form());
  save_screen(file);
  window.form().destroy();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string dir = argv[1];
  platform::application::init(argc, argv);
  dialogs::AccountSession session{.current_account = "alice1", .logged_in = 1};
  const dialogs::MemberContext context{.session = &session, .program_version = "1.7"};

  dialogs::LoginWindow login(context);
  show(login, dir + "/login_window.png", [](platform::forms::Form& form) {
    form.set_text(dialogs::login_controls::account, "张三丰");
    form.set_text(dialogs::login_controls::password, "secret1");
  });
  dialogs::TransferWindow transfer(context);
  show(transfer, dir + "/transfer_window.png", [](platform::forms::Form& form) {
    form.set_text(dialogs::transfer_controls::recipient, "bob001");
    form.set_text(dialogs::transfer_controls::amount, "5");
  });
  dialogs::SubmitWindow submit(context);
  show(submit, dir + "/submit_window.png", [](platform::forms::Form& form) {
    form.set_text(dialogs::submit_controls::title, "好用的截图工具");
    form.set_text(dialogs::submit_controls::description, "支持滚动截图和标注");
    form.set_text(dialogs::submit_controls::address, "http://example.com/shot.zip");
    form.select(dialogs::submit_controls::category, 1);
  });
  platform::application::shutdown();
  return 0;
}

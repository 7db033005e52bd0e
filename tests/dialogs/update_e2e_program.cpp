// A stand-in for the client's start-up, for the end-to-end run of the self-update: it takes
// its version from its own file name ("Quenbo资源社区" + version), cleans up after a restart,
// and reads the published version, notes and address from settings.ini in its directory (in
// place of the settings row). When another version is published it hides its main window and
// offers the update; otherwise its main window stays open. What it did goes to e2e.log.
#include "dialogs/restart.h"
#include "dialogs/update_window.h"
#include "platform/application.h"
#include "platform/forms.h"
#include "platform/services.h"

namespace forms = platform::forms;
namespace services = platform::services;

namespace {

std::string own_version() {
  const std::string name = services::program_file_name();
  const std::string prefix = dialogs::program_file_name_for("");
  return name.starts_with(prefix) ? name.substr(prefix.size()) : name;
}

std::string setting(std::string_view key) {
  return services::read_profile_string("Settings", key, "", dialogs::path_in_program_directory("settings.ini"), 4096);
}

void log(const std::string& line) {
  services::append_file(dialogs::path_in_program_directory("e2e.log"), line + "\n");
}

forms::FormLayout main_window_layout(const std::string& version) {
  return {.x = 50, .y = 50, .width = 503, .height = 441,
          .caption = "Quenbo资源社区   " + version + " beta  - 正式版",
          .controls = {{.name = "label1", .kind = forms::ControlKind::label, .x = 20, .y = 20, .width = 400,
                        .height = 24, .text = "当前版本：" + version}}};
}

}  // namespace

int main(int argc, char** argv) {
  platform::application::init(argc, argv);
  const std::string version = own_version();
  const std::string leftover = dialogs::clean_up_after_restart();
  log("started " + version + ", restart leftover '" + leftover + "'");

  forms::Form main_window(main_window_layout(version));
  main_window.load(true);
  const dialogs::UpdateSettings settings{.program_version = version,
                                         .latest_version = setting("latest_version"),
                                         .download_url = setting("download_url"),
                                         .update_notes = setting("update_notes")};
  if (dialogs::offer_update(settings, [&] { main_window.show(false); })) return 0;
  log("up to date " + version);
  main_window.run_modal();
  return 0;
}

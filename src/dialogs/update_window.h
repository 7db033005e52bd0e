// The self-update window: shows the notes of the published version, downloads the new program
// file on a worker thread with a progress bar, and on "启动" hands over to the new program.
// Closing the window ends the program.
#pragma once

#include "platform/forms.h"

#include <functional>
#include <memory>
#include <string>

namespace dialogs {

// The program-wide texts an update works from.
struct UpdateSettings {
  std::string program_version;  // the running program's, e.g. "1.7"
  std::string latest_version;   // the published one
  std::string download_url;
  std::string update_notes;
};

// Control names of the window's form.
namespace update_controls {
inline constexpr std::string_view notes = "edit1";
inline constexpr std::string_view status = "label1";
inline constexpr std::string_view progress = "progress1";
inline constexpr std::string_view latest_version = "label2";
inline constexpr std::string_view start = "button1";
inline constexpr std::string_view quit = "button2";
}  // namespace update_controls

class UpdateWindow {
 public:
  explicit UpdateWindow(UpdateSettings settings);
  // Destroys the window first: a running download job may keep the form alive longer.
  ~UpdateWindow();
  UpdateWindow(const UpdateWindow&) = delete;
  UpdateWindow& operator=(const UpdateWindow&) = delete;

  static platform::forms::FormLayout layout();

  bool load(bool visible = true) { return form_->load(visible); }
  bool run_modal() { return form_->run_modal(); }
  platform::forms::Form& form() { return *form_; }

 private:
  void on_create();
  void on_start_click();
  void on_quit_click();
  void on_destroy();
  void start_download();
  void launch_new_program();

  UpdateSettings settings_;
  std::string old_file_name_;
  std::string new_file_name_;
  // Shared with the download job, which may outlive a click handler's stack.
  std::shared_ptr<platform::forms::Form> form_;
};

// The start-up's version check: when another version is published, writes the notes file,
// hides the main window and runs the update window modally (closing it ends the program).
// Answers whether the update was offered.
bool offer_update(const UpdateSettings& settings, const std::function<void()>& hide_main_window);

}  // namespace dialogs

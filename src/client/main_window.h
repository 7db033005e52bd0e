// MainWindow: the program's main window. Its creation handler is the start of the program:
// caption, clean-up after a restart, the drawn host with the content, the announcement ticker,
// the community connection, the visit count, the settings row and the version check.
#pragma once

#include "client/database_address.h"
#include "client/visit_stats.h"
#include "platform/forms.h"

#include <memory>
#include <string>

namespace client {

// Menu item ids of the menu "操作".
namespace menu_item {
inline constexpr int open = 1;
inline constexpr int copy_address = 2;
}  // namespace menu_item

// What start-up talks to: the compiled-in deployment values unless a test gives its own.
struct StartupOptions {
  DatabaseAddress database = deployment_database();
  VisitCounterSettings visit_counter = deployment_visit_counter();
  std::string site_id;  // empty: the compiled-in site identifier
  int show_effect_ms = 3000;
};

// The outcome of the connection and settings step.
enum class StartupResult { pending, running, settings_unreadable, update_offered };

class MainWindow {
 public:
  explicit MainWindow(StartupOptions options = {});
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  static platform::forms::FormLayout layout();

  // Creates the window; the creation handler runs the start sequence.
  bool load() { return form_->load(); }
  platform::forms::Form& form() { return *form_; }
  StartupResult startup_result() const { return result_; }

 private:
  void on_create();
  void attach_host();
  StartupResult connect_and_check_version();
  void start_browsing();
  void on_ticker();
  void on_list_double_click();

  StartupOptions options_;
  StartupResult result_ = StartupResult::pending;
  std::unique_ptr<platform::forms::Form> form_;
};

// The caption at start: "Quenbo资源社区   " + version + " beta  - 正式版".
std::string main_window_caption(const std::string& version);

}  // namespace client

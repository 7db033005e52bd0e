#include "client/main_window.h"

#include "client/category_loader.h"
#include "client/main_content.h"
#include "client/main_messages.h"
#include "client/member_panel.h"
#include "client/program_state.h"
#include "client/resource_actions.h"
#include "client/statements.h"
#include "deployment.h"
#include "dialogs/restart.h"
#include "dialogs/update_window.h"
#include "quenbo_resources.h"

namespace client {
namespace {

namespace forms = platform::forms;

constexpr const char* kTicker = "时钟2";
constexpr const char* kSpareTimer = "时钟1";
constexpr const char* kMenu = "操作";

// Reads the settings row into the program state; false when it could not be read.
bool read_settings(Connection* connection, ProgramState& state) {
  if (!db_execute(connection, sql::settings_select())) return false;
  RecordSetPtr row = db_get_record_set(connection);
  if (!db_read_field(row.get(), "版本", state.latest_version)) return false;
  db_read_field(row.get(), "公告", state.announcement_text);
  db_read_field(row.get(), "更新内容", state.update_notes);
  db_read_field(row.get(), "下载地址", state.download_url);
  return true;
}

void load_category(sql::Category category) {
  category_loader().load(category, program_state().main_connection.get(), browser_screens(main_objects()));
}

}  // namespace

std::string main_window_caption(const std::string& version) {
  return "Quenbo资源社区   " + version + " beta  - 正式版";
}

MainWindow::MainWindow(StartupOptions options)
    : options_(std::move(options)), form_(std::make_unique<forms::Form>(layout())) {
  if (options_.site_id.empty()) options_.site_id = deployment::stats_site_id;
  form_->on_create([this] { on_create(); });
  form_->on_timer(kTicker, [this] { on_ticker(); });
  form_->on_menu(menu_item::open, [] { open_resource(main_objects().resource_list); });
  form_->on_destroy([] { platform::window::post_quit(0); });
  form_->on_menu(menu_item::copy_address, [] { copy_resource_address(main_objects().resource_list); });
}

MainWindow::~MainWindow() = default;

forms::FormLayout MainWindow::layout() {
  forms::FormLayout layout;
  layout.x = 50;
  layout.y = 50;
  layout.width = 503;
  layout.height = 441;
  layout.caption = "!";
  layout.timers = {{kTicker, 0}, {kSpareTimer, 0}};
  layout.menus = {{kMenu, {{menu_item::open, "打开"}, {menu_item::copy_address, "复制地址"}}}};
  return layout;
}

void MainWindow::on_create() {
  ProgramState& state = program_state();
  state.program_version = "1.7";
  form_->set_caption(main_window_caption(state.program_version));
  state.restart_leftover = dialogs::clean_up_after_restart();
  state.main_window_handle = form_->handle();
  attach_host();

  // The content is built here, on the user-interface thread, so that it exists before the
  // first load; the load and the announcement follow the connection and settings step.
  ContentRoutines routines;
  routines.load_category = load_category;
  routines.show_member_panel = [] { if (program_state().show_member_panel) program_state().show_member_panel(); };
  routines.open_transfer_window = [] { if (program_state().open_transfer_window) program_state().open_transfer_window(); };
  routines.open_submit_window = [] { if (program_state().open_submit_window) program_state().open_submit_window(); };
  routines.list_double_click = [this] { on_list_double_click(); };
  MainObjects& objects = main_objects();
  build_main_content(objects, state.main_window_handle, routines);
  install_member_panel({browser_screens(objects), &objects.main_labels[label_index::coins],
                        &objects.main_labels[label_index::submissions],
                        &objects.main_labels[label_index::receipt]});
  form_->set_timer_interval(kTicker, 20);

  result_ = connect_and_check_version();
  if (result_ == StartupResult::update_offered) return;
  create_announcement(main_objects(), state.main_window_handle, state.announcement_text);
  if (result_ == StartupResult::running) load_category(sql::Category::source_code);
  else tell_in_main_window("无法连接到社区服务器，请检查网络后重试");
}

void MainWindow::attach_host() {
  const std::span<const unsigned char> skin = resources::main_skin_jpg();
  dui::HostOptions host;
  host.skin_image = std::string(reinterpret_cast<const char*>(skin.data()), skin.size());
  host.features = 23;
  host.window_alpha = 250;
  host.image_placement = 1;
  host.corner_radius = 7;
  host.nine_grid = {};
  dui::Ex_Window& main_host = main_objects().main_host;
  main_host.create(program_state().main_window_handle, host);
  main_host.show(dui::window_effect::zoom, options_.show_effect_ms);
  main_host.set_close_effect(dui::window_effect::pop);
}

StartupResult MainWindow::connect_and_check_version() {
  ProgramState& state = program_state();
  state.main_connection = connect(options_.database);
  count_visit(options_.site_id, options_.visit_counter);
  if (!read_settings(state.main_connection.get(), state)) return StartupResult::settings_unreadable;
  if (!dialogs::update_announced(state.program_version, state.latest_version)) return StartupResult::running;

  dialogs::UpdateSettings update{state.program_version, state.latest_version, state.download_url,
                                 state.update_notes};
  dialogs::offer_update(update, [this] { form_->show(false); });
  return StartupResult::update_offered;
}

void MainWindow::on_ticker() {
  dui::Ex_Label& announcement = main_objects().main_labels[label_index::announcement];
  if (announcement.is_live()) ticker_step(announcement);
}

void MainWindow::on_list_double_click() { form_->popup_menu(kMenu); }

}  // namespace client

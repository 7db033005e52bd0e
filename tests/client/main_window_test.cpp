#include "client/main_content.h"
#include "client/main_messages.h"
#include "client/main_window.h"
#include "client/program_state.h"
#include "deployment.h"
#include "dialogs/program_control.h"
#include "dui/controls/caption_button.h"
#include "dui/core/framework.h"
#include "http_test_server.h"
#include "platform/forms.h"
#include "platform/services.h"
#include "platform/testing.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

namespace services = platform::services;
namespace window = platform::window;
using client::label_index::announcement;

class MainWindowStart : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db_.ok()) << db_.error();
    dui::install_caption_parts();
    dui::init_framework();
    platform::testing::reset_input_and_loop();
    client::reset_program_state();
    client::construct_program_objects();

    directory_ = std::filesystem::temp_directory_path() /
                 ("client-main-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory_);
    previous_directory_ = std::filesystem::current_path();
    std::filesystem::current_path(directory_);
    services::testing::set_program_directory(directory_.string());

    HttpReply page;
    page.body = "[127.0.0.1]";
    page_.serve("/ip", page);
    options_.database = {db_.server().host, db_.server().user, db_.server().password, db_.name(), db_.server().port};
    options_.visit_counter.database = options_.database;
    options_.visit_counter.ip_page_url = page_.url("/ip");
    options_.show_effect_ms = 60;

    client::testing::set_main_message_routine([this](std::string_view text) { messages_.emplace_back(text); });
    dialogs::testing::set_end_routine([this](int code) { exit_codes_.push_back(code); });
    platform::forms::testing::intercept_menus(true);
    platform::forms::testing::clear_recorded();
    services::testing::capture_desktop(true);
    services::testing::clear_captured();
  }

  void TearDown() override {
    main_window_.reset();
    client::destroy_program_objects();
    client::reset_program_state();
    client::testing::set_main_message_routine({});
    dialogs::testing::set_end_routine({});
    platform::forms::testing::intercept_menus(false);
    services::testing::capture_desktop(false);
    services::testing::set_program_directory(std::nullopt);
    platform::testing::use_manual_clock(false);
    std::filesystem::current_path(previous_directory_);
    std::filesystem::remove_all(directory_);
  }

  void start() {
    main_window_ = std::make_unique<client::MainWindow>(options_);
    ASSERT_TRUE(main_window_->load());
    pump();
  }
  void pump() {
    for (int round = 0; round < 3; ++round) window::pump();
  }
  window::handle handle() { return main_window_->form().handle(); }
  client::MainObjects& objects() { return client::main_objects(); }
  dui::Ex_ListView& list() { return objects().resource_list; }
  void click_button(int index) {
    dui::Ex_ImageButton& button = objects().main_buttons[static_cast<std::size_t>(index)];
    platform::testing::click(handle(), {button.left() + button.width() / 2, button.top() + button.height() / 2});
    pump();
  }
  std::string count(const std::string& table) { return db_.value("SELECT COUNT(*) FROM " + table); }
  void shot(const char* name) { platform::testing::save_window_png(handle(), name); }

  using HttpReply = test_support::HttpReply;
  test_support::ScratchDatabase db_{test_support::ScratchDatabase::Contents::demo};
  test_support::HttpTestServer page_;
  client::StartupOptions options_;
  std::unique_ptr<client::MainWindow> main_window_;
  std::filesystem::path directory_;
  std::filesystem::path previous_directory_;
  std::vector<std::string> messages_;
  std::vector<int> exit_codes_;
};

TEST_F(MainWindowStart, ShowsTheCaptionTheContentAndTheNewestSourceCode) {
  start();
  EXPECT_EQ(main_window_->form().caption(), "Quenbo资源社区   1.7 beta  - 正式版");
  EXPECT_EQ(main_window_->startup_result(), client::StartupResult::running);
  EXPECT_EQ(client::program_state().main_window_handle, handle());
  EXPECT_TRUE(main_window_->form().is_visible());
  EXPECT_FALSE(services::file_exists("更新日志.txt"));
  EXPECT_TRUE(messages_.empty());

  EXPECT_EQ(list().row_count(), std::stoi(count("编程源码")));
  EXPECT_EQ(list().get_cell_text(1, 2), db_.value("SELECT 标题 FROM 编程源码 ORDER BY 更新时间 DESC LIMIT 1"));
  EXPECT_EQ(list().column_count(), 5);
  EXPECT_EQ(list().column_width(5), 0);
  EXPECT_EQ(objects().main_labels[announcement].text(),
            "公告：" + db_.value("SELECT 公告 FROM Quenbo盒子设置 WHERE 语句='0'"));
  for (int i = 0; i < 7; ++i) EXPECT_EQ(objects().main_buttons[static_cast<std::size_t>(i)].visible(), i < 5 ? 1 : 0) << i;
  EXPECT_EQ(objects().main_labels[client::label_index::hint].visible(), 1);
  // Features 23: icon, title, close and minimise buttons.
  EXPECT_EQ(objects().main_host.caption_buttons().size(), 2u);
  shot("client_main_window");
}

TEST_F(MainWindowStart, CleansUpAfterARestart) {
  services::write_file(directory_.string() + "/Quenbo资源社区1.6", "old program");
  services::write_file(directory_.string() + "/tembra.txt", "Quenbo资源社区1.6");
  services::write_file(directory_.string() + "/keep.txt", "x");
  start();
  EXPECT_EQ(client::program_state().restart_leftover, "Quenbo资源社区1.6");
  EXPECT_FALSE(services::file_exists(directory_.string() + "/Quenbo资源社区1.6"));
  EXPECT_FALSE(services::file_exists(directory_.string() + "/tembra.txt"));
  EXPECT_TRUE(services::file_exists(directory_.string() + "/keep.txt"));
}

TEST_F(MainWindowStart, WithoutARestartMarkerNothingIsDeleted) {
  services::write_file(directory_.string() + "/keep.txt", "x");
  start();
  EXPECT_EQ(client::program_state().restart_leftover, "");
  EXPECT_TRUE(services::file_exists(directory_.string() + "/keep.txt"));
  EXPECT_EQ(main_window_->startup_result(), client::StartupResult::running);
}

TEST_F(MainWindowStart, AnotherPublishedVersionHandsOverToTheUpdateWindow) {
  ASSERT_TRUE(db_.run("UPDATE Quenbo盒子设置 SET 版本='1.8', 更新内容='第一行\r\n第二行' WHERE 语句='0';\n"));
  bool update_window_seen = false;
  // Closes the update window once it is up, as a user would.
  const std::uintptr_t closer = window::set_timer(0, 0, 50, [&](window::handle, unsigned, std::uintptr_t, std::uint32_t) {
    const window::handle active = window::get_active();
    if (active != 0 && active != handle()) {
      update_window_seen = true;
      window::post(active, window::WM_CLOSE);
    }
  });
  start();
  window::kill_timer(0, closer);
  EXPECT_TRUE(update_window_seen);
  EXPECT_EQ(main_window_->startup_result(), client::StartupResult::update_offered);
  EXPECT_EQ(services::read_file("更新日志.txt"), std::string("第一行\r\n第二行"));
  EXPECT_EQ(exit_codes_, std::vector<int>{0});
  EXPECT_FALSE(main_window_->form().is_visible());
}

TEST_F(MainWindowStart, AnUnreadableSettingsRowKeepsTheWindowAndSaysSo) {
  struct Case {
    const char* name;
    const char* sql;
    bool reachable;
  } cases[] = {{"no row", "DELETE FROM Quenbo盒子设置;\n", true},
               {"no table", "DROP TABLE Quenbo盒子设置;\n", true},
               {"no server", "", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (*c.sql) {
      ASSERT_TRUE(db_.run(c.sql));
    }
    if (!c.reachable) options_.database.port = static_cast<unsigned>(test_support::HttpTestServer::closed_port());
    messages_.clear();
    main_window_.reset();
    client::destroy_program_objects();
    client::construct_program_objects();
    start();
    EXPECT_EQ(main_window_->startup_result(), client::StartupResult::settings_unreadable);
    EXPECT_EQ(messages_, std::vector<std::string>{"无法连接到社区服务器，请检查网络后重试"});
    EXPECT_TRUE(main_window_->form().is_visible());
    EXPECT_EQ(list().row_count(), 0);
    EXPECT_FALSE(services::file_exists("更新日志.txt"));
    EXPECT_TRUE(exit_codes_.empty());
  }
}

TEST_F(MainWindowStart, TheAnnouncementTicksOnePixelEvery20Milliseconds) {
  platform::testing::use_manual_clock(true);
  start();
  dui::Ex_Label& ticker = objects().main_labels[announcement];
  ASSERT_EQ(ticker.left(), 5);
  for (int tick = 1; tick <= 516; ++tick) platform::testing::advance_clock(20);
  EXPECT_EQ(ticker.left(), -511);
  platform::testing::advance_clock(20);
  EXPECT_EQ(ticker.left(), 512);
  platform::testing::advance_clock(20);
  EXPECT_EQ(ticker.left(), 511);
}

TEST_F(MainWindowStart, CategoryButtonsLoadTheirTablesAndLeaveTheMemberScreen) {
  start();
  shot("client_main_before_click");
  client::show_member_screen(client::browser_screens(objects()));
  click_button(client::button_index::software_tools);
  EXPECT_EQ(list().row_count(), std::stoi(count("软件辅助")));
  EXPECT_EQ(list().get_cell_text(1, 2), db_.value("SELECT 标题 FROM 软件辅助 ORDER BY 更新时间 DESC LIMIT 1"));
  EXPECT_EQ(list().visible(), 1);
  EXPECT_EQ(objects().main_buttons[client::button_index::transfer].visible(), 0);
  EXPECT_EQ(objects().main_labels[client::label_index::coins].visible(), 0);
  shot("client_main_software_tools");
  click_button(client::button_index::offers);
  EXPECT_EQ(list().get_cell_text(1, 2), db_.value("SELECT 标题 FROM 活动线报 ORDER BY 更新时间 DESC LIMIT 1"));
  click_button(client::button_index::featured);
  EXPECT_EQ(list().row_count(), std::stoi(count("精品资源")));

  bool member_panel = false;
  client::program_state().show_member_panel = [&] { member_panel = true; };
  click_button(client::button_index::member);
  EXPECT_TRUE(member_panel);
}

TEST_F(MainWindowStart, DoubleClickingARowOffersTheMenuAndItsCommandsWork) {
  start();
  const int x = 15 + 60, y = 150 + list().row_height() / 2 + list().header_rect().height + 2;
  platform::testing::mouse_move(handle(), {x, y});
  pump();
  shot("client_main_hover");
  platform::forms::testing::queue_menu_choice(client::menu_item::copy_address);
  platform::testing::click(handle(), {x, y});
  pump();
  const int row = list().selected_row();
  ASSERT_GT(row, 0);
  shot("client_main_selected");
  platform::testing::mouse_double_click(handle(), {x, y});
  platform::testing::mouse_up(handle(), {x, y});
  pump();
  const auto menus = platform::forms::testing::menus_shown();
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0].name, "操作");
  EXPECT_EQ(menus[0].captions, (std::vector<std::string>{"打开", "复制地址"}));
  EXPECT_EQ(services::testing::clipboard_writes(), std::vector<std::string>{list().get_cell_text(row, 5)});
  EXPECT_EQ(messages_, std::vector<std::string>{"复制地址成功"});

  // "打开" on a resource of the official account opens it for nothing.
  const int official = list().find_text("quenbo", 1, 1, 1);
  ASSERT_GT(official, 0);
  list().selected_row(official);
  main_window_->form().popup_menu("操作");  // dismissed: nothing happens
  platform::forms::testing::queue_menu_choice(client::menu_item::open);
  main_window_->form().popup_menu("操作");
  EXPECT_EQ(services::testing::opened_addresses(), std::vector<std::string>{list().get_cell_text(official, 5)});
}

}  // namespace

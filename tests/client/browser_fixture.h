// A resource list on a host window and a scratch community database, with the statements the
// client sends, the desktop's openings and clipboard and the main window's messages recorded.
#pragma once

#include "client/category_loader.h"
#include "client/main_messages.h"
#include "client/program_state.h"
#include "dui/controls/label.h"
#include "dui/core/framework.h"
#include "dui/core/host_window.h"
#include "platform/services.h"
#include "platform/testing.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace client_test {

class BrowserFixture : public ::testing::Test {
 protected:
  explicit BrowserFixture(test_support::ScratchDatabase::Contents contents =
                              test_support::ScratchDatabase::Contents::demo)
      : db_(contents) {}

  void SetUp() override {
    ASSERT_TRUE(db_.ok()) << db_.error();
    dui::init_framework();
    platform::testing::reset_input_and_loop();
    dui::FrameWindowOptions options;
    options.width = 503;
    options.height = 441;
    window_ = dui::create_frame_window(0, "test", options);
    ASSERT_NE(window_, 0u);
    dui::HostOptions host_options;
    host_options.background_colour = 0x00F0E0D0;
    host_options.features = 0;
    ASSERT_TRUE(host_.create(window_, host_options));
    ASSERT_NE(list_.create(window_, 15, 150, 465, 255), nullptr);
    for (auto [text, width] : {std::pair{"发布者ID", 100}, {"标题", 130}, {"更新时间", 70},
                               {"说明", 350}, {"地址", 0}}) {
      list_.insert_column(std::nullopt, text, width, 0);
    }
    for (dui::Ex_Label& label : stand_ins_) ASSERT_NE(label.create(window_, 0, 0, 10, 10), nullptr);
    screens_.resource_list = &list_;
    screens_.hint_line = &stand_ins_[0];
    for (int i = 0; i < 5; ++i) screens_.member_panel[i] = &stand_ins_[i + 1];

    client::reset_program_state();
    client::program_state().main_connection = db_.connect();
    ASSERT_NE(connection(), nullptr);
    client::db_set_statement_observer([this](const client::Connection*, std::string_view text, bool) {
      std::lock_guard lock(mutex_);
      statements_.emplace_back(text);
    });
    client::testing::set_main_message_routine([this](std::string_view text) { messages_.emplace_back(text); });
    platform::services::testing::capture_desktop(true);
    platform::services::testing::clear_captured();
  }

  void TearDown() override {
    client::db_set_statement_observer({});
    client::testing::set_main_message_routine({});
    platform::services::testing::capture_desktop(false);
    client::reset_program_state();
    platform::window::destroy(window_);
  }

  client::Connection* connection() { return client::program_state().main_connection.get(); }

  std::vector<std::string> statements() {
    std::lock_guard lock(mutex_);
    return statements_;
  }
  void forget_statements() {
    std::lock_guard lock(mutex_);
    statements_.clear();
  }

  // Adds a row to the list and selects it.
  void list_row(const std::string& publisher, const std::string& address) {
    const int row = list_.insert_row(std::nullopt, publisher);
    list_.set_cell_text(row, 5, address);
    list_.selected_row(row);
  }

  test_support::ScratchDatabase db_;
  dui::WindowHandle window_ = 0;
  dui::Ex_Window host_;
  dui::Ex_ListView list_;
  std::array<dui::Ex_Label, 6> stand_ins_;
  client::BrowserScreens screens_;
  std::mutex mutex_;
  std::vector<std::string> statements_;
  std::vector<std::string> messages_;
};

}  // namespace client_test

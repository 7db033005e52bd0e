// The update window as a user meets it: creation, the download through "开始更新" on a worker
// thread, "启动" handing over to the new program, "退出", closing, and the start-up's offer.
#include "dialogs/update_window.h"

#include "dialogs/program_control.h"
#include "dialogs/restart.h"
#include "http_test_server.h"
#include "platform/forms.h"
#include "platform/services.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace forms = platform::forms;
namespace services = platform::services;
namespace window = platform::window;
namespace controls = dialogs::update_controls;
namespace fs = std::filesystem;
using test_support::HttpReply;
using test_support::HttpTestServer;

namespace {

// Pumps the window system until the condition holds or about five seconds have passed.
bool pump_until(const std::function<bool()>& condition) {
  for (int waited_ms = 0; !condition(); waited_ms += 2) {
    if (waited_ms > 5000) return false;
    window::pump();
    ::usleep(2000);
  }
  return true;
}

// A program directory of its own, a server with the new program file, and the messages and
// endings the window caused (the test process does not really end).
class UpdateWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/update_window_test.XXXXXX";
    dir_ = ::mkdtemp(pattern);
    services::testing::set_program_directory(dir_);
    previous_cwd_ = fs::current_path();
    fs::current_path(dir_);
    ASSERT_TRUE(server_.listening());
    forms::testing::intercept_message_boxes(true);
    forms::testing::clear_recorded();
    dialogs::testing::set_end_routine([this](int code) { exit_codes_.push_back(code); });
  }
  void TearDown() override {
    dialogs::testing::set_end_routine(nullptr);
    forms::testing::intercept_message_boxes(false);
    services::testing::set_program_directory(std::nullopt);
    fs::current_path(previous_cwd_);
    fs::remove_all(dir_);
  }

  dialogs::UpdateSettings settings(std::string url_path = "/new") const {
    return {.program_version = "1.7",
            .latest_version = "1.8",
            .download_url = server_.url(url_path),
            .update_notes = "1. 新增自动更新\r\n2. 修复若干问题"};
  }
  static std::vector<std::string> message_texts() {
    std::vector<std::string> texts;
    for (const auto& box : forms::testing::message_boxes()) texts.push_back(box.text);
    return texts;
  }
  // Clicks "开始更新" and waits until the button is enabled again.
  static void download(dialogs::UpdateWindow& update) {
    forms::Form& form = update.form();
    ASSERT_TRUE(form.click(controls::start));
    ASSERT_TRUE(pump_until([&] { return form.is_enabled(controls::start); }));
  }
  std::optional<std::string> file(std::string_view name) const { return services::read_file(dir_ + "/" + std::string(name)); }

  HttpTestServer server_;
  std::string dir_;
  fs::path previous_cwd_;
  std::vector<int> exit_codes_;
};

}  // namespace

TEST_F(UpdateWindowTest, CreationShowsTheNotesAndTheLatestVersion) {
  dialogs::UpdateWindow update(settings());
  ASSERT_TRUE(update.load(false));
  forms::Form& form = update.form();

  EXPECT_EQ(form.caption(), "Quenbo社区-自动更新");
  EXPECT_EQ(form.text(controls::notes), "*1. 新增自动更新\r\n2. 修复若干问题");
  EXPECT_EQ(form.text(controls::latest_version), "最新版本： 1.8");
  EXPECT_EQ(form.text(controls::start), "开始更新");
  EXPECT_EQ(form.text(controls::quit), "退出");
  EXPECT_EQ(form.position(controls::progress), 0);
  EXPECT_EQ(window::window_rect(form.handle()).width(), 336);
}

TEST_F(UpdateWindowTest, StartDownloadsTheNewProgramIntoTheProgramDirectory) {
  const std::string program(25000, 'p');
  server_.serve("/new", {.body = program});
  dialogs::UpdateWindow update(settings());
  ASSERT_TRUE(update.load(false));

  download(update);

  forms::Form& form = update.form();
  EXPECT_EQ(form.text(controls::status), "Quenbo资源社区1.8 更新完成√ ");
  EXPECT_EQ(form.text(controls::start), "启动");
  EXPECT_EQ(form.position(controls::progress), 100);
  EXPECT_EQ(file("Quenbo资源社区1.8"), program);
  struct stat info {};
  ASSERT_EQ(::stat(services::native_path(dir_ + "/Quenbo资源社区1.8").c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IXUSR, 0u);
  EXPECT_TRUE(message_texts().empty());
}

TEST_F(UpdateWindowTest, TheStatusLineFollowsEveryBlock) {
  // One 10240-byte block every 400 ms, so that every label stays long enough to be seen.
  server_.serve("/new", {.body = std::string(25000, 'p'), .chunk_size = 10240, .chunk_delay_ms = 400});
  dialogs::UpdateWindow update(settings());
  ASSERT_TRUE(update.load(false));
  forms::Form& form = update.form();

  std::vector<std::string> seen;
  ASSERT_TRUE(form.click(controls::start));
  ASSERT_TRUE(pump_until([&] {
    const std::string status = form.text(controls::status);
    if (!status.empty() && (seen.empty() || seen.back() != status)) seen.push_back(status);
    return form.is_enabled(controls::start);
  }));

  // The quick steps (the file name before the first block, 100% right before the end) may
  // pass between two looks; the others must be seen, in this order.
  const std::vector<std::string> steps = {"Quenbo资源社区1.8", "Quenbo资源社区1.8  已更新40%",
                                          "Quenbo资源社区1.8  已更新81%", "Quenbo资源社区1.8  已更新100%",
                                          "Quenbo资源社区1.8 更新完成√ "};
  std::vector<std::string> expected_seen;
  for (const std::string& step : steps) {
    const bool quick = step == steps[0] || step == steps[3];
    if (!quick || std::find(seen.begin(), seen.end(), step) != seen.end()) expected_seen.push_back(step);
  }
  EXPECT_EQ(seen, expected_seen);
}

TEST_F(UpdateWindowTest, StartIsDisabledWhileADownloadRuns) {
  // 25 slow pieces: the download is still running when the second click comes.
  server_.serve("/new", {.body = std::string(25000, 'p'), .chunk_size = 1000, .chunk_delay_ms = 20});
  dialogs::UpdateWindow update(settings());
  ASSERT_TRUE(update.load(false));
  forms::Form& form = update.form();

  ASSERT_TRUE(form.click(controls::start));
  EXPECT_FALSE(form.click(controls::start));
  ASSERT_TRUE(pump_until([&] { return form.is_enabled(controls::start); }));

  EXPECT_EQ(server_.requests().size(), 1u);
  EXPECT_EQ(form.text(controls::start), "启动");
}

TEST_F(UpdateWindowTest, AFailedDownloadLeavesTheWindowWaiting) {
  server_.serve("/new", {.status = 404, .reason = "Not Found", .body = "<html>404</html>"});
  dialogs::UpdateWindow update(settings());
  ASSERT_TRUE(update.load(false));

  download(update);

  EXPECT_EQ(message_texts(), std::vector<std::string>{"下载的更新文件不完整，请重试"});
  EXPECT_EQ(forms::testing::message_boxes().at(0).title, "信息：");
  EXPECT_EQ(update.form().text(controls::start), "开始更新");
  EXPECT_FALSE(file("Quenbo资源社区1.8"));
  EXPECT_TRUE(exit_codes_.empty());
}

TEST_F(UpdateWindowTest, BadAddressesAndVersionsAreRefusedBeforeAnyRequest) {
  dialogs::UpdateSettings cases[] = {settings(), settings(), settings()};
  cases[0].download_url = "";
  cases[1].download_url = "ftp://127.0.0.1/new";
  cases[2].latest_version = "1.8/../../elsewhere";
  for (const auto& c : cases) {
    forms::testing::clear_recorded();
    dialogs::UpdateWindow update(c);
    ASSERT_TRUE(update.load(false));
    download(update);
    EXPECT_EQ(message_texts(), std::vector<std::string>{"更新地址无效"}) << c.download_url << c.latest_version;
  }
  EXPECT_TRUE(server_.requests().empty());
}

TEST_F(UpdateWindowTest, LaunchStartsTheNewProgramLeavesTheMarkerAndEndsTheOldOne) {
  // The "old program": a copy of sleep under the old file name, running.
  const std::string old_version = "7." + std::to_string(::getpid());
  const std::string old_name = dialogs::program_file_name_for(old_version);
  fs::copy_file("/bin/sleep", services::native_path(dir_ + "/" + old_name));
  ASSERT_GT(services::start_program(dir_ + "/" + old_name, {"30"}), 0);
  ASSERT_TRUE(pump_until([&] { return services::find_process(old_name) != 0; }));
  // The "new program" leaves a trace when it starts.
  server_.serve("/new", {.body = "#!/bin/sh\necho started > \"$(dirname \"$0\")/started.txt\"\n"});
  dialogs::UpdateSettings with_old_version = settings();
  with_old_version.program_version = old_version;
  dialogs::UpdateWindow update(with_old_version);
  ASSERT_TRUE(update.load(false));
  download(update);
  ASSERT_EQ(update.form().text(controls::start), "启动");

  ASSERT_TRUE(update.form().click(controls::start));

  EXPECT_TRUE(pump_until([&] { return file("started.txt").has_value(); }));
  EXPECT_EQ(file("tembra.txt"), old_name);
  EXPECT_TRUE(pump_until([&] { return services::find_process(old_name) == 0; }));
}

TEST_F(UpdateWindowTest, LaunchKeepsTheOldProgramWhenTheNewOneCannotStart) {
  server_.serve("/new", {.body = "x"});
  dialogs::UpdateWindow update(settings());
  ASSERT_TRUE(update.load(false));
  download(update);
  ASSERT_TRUE(services::delete_file(dir_ + "/Quenbo资源社区1.8"));

  ASSERT_TRUE(update.form().click(controls::start));

  EXPECT_FALSE(file("tembra.txt"));
  EXPECT_TRUE(exit_codes_.empty());
}

TEST_F(UpdateWindowTest, QuitAndClosingEndTheProgram) {
  dialogs::UpdateWindow update(settings());
  ASSERT_TRUE(update.load(false));
  ASSERT_TRUE(update.form().click(controls::quit));
  EXPECT_EQ(exit_codes_, std::vector<int>{0});
  ASSERT_TRUE(update.form().destroy());
  EXPECT_EQ(exit_codes_, (std::vector<int>{0, 0}));
}

TEST_F(UpdateWindowTest, OfferUpdateRunsTheWindowOnlyForAnotherVersion) {
  bool hidden = false;
  dialogs::UpdateSettings same = settings();
  same.latest_version = "1.7";
  EXPECT_FALSE(dialogs::offer_update(same, [&] { hidden = true; }));
  EXPECT_FALSE(hidden);
  EXPECT_FALSE(services::file_exists("更新日志.txt"));

  // Closes the modal window once it is up, as a user would.
  const std::uintptr_t closer = window::set_timer(0, 0, 20, [](window::handle, unsigned, std::uintptr_t, std::uint32_t) {
    const window::handle active = window::get_active();
    if (active != 0) window::post(active, window::WM_CLOSE);
  });
  EXPECT_TRUE(dialogs::offer_update(settings(), [&] { hidden = true; }));
  window::kill_timer(0, closer);
  EXPECT_TRUE(hidden);
  EXPECT_EQ(services::read_file("更新日志.txt"), settings().update_notes);
  EXPECT_EQ(exit_codes_, std::vector<int>{0});
}

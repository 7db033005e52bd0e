// The download of a new program file: blocks and progress, the request's header block,
// resuming, and what happens to error pages, cut-off bodies and bad addresses.
#include "dialogs/download.h"

#include "dialogs/program_control.h"
#include "http_test_server.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace services = platform::services;
namespace fs = std::filesystem;
using test_support::HttpReply;
using test_support::HttpTestServer;

namespace {

struct Progress {
  std::int32_t total, done, elapsed, received;
};

std::string body_of(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return body;
}

const std::string full_block =
    "Accept: */*\r\n"
    "Accept-Language: zh-cn\r\n"
    "Accept-Encoding: gzip, deflate\r\n"
    "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)";

// A scratch directory for the files, a server, and the messages and endings the download
// caused (the program does not really end).
class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/download_test.XXXXXX";
    dir_ = ::mkdtemp(pattern);
    path_ = dir_ + "/Quenbo资源社区1.8";
    ASSERT_TRUE(server_.listening());
    dialogs::testing::set_message_routine([this](std::string_view text) { messages_.emplace_back(text); });
    dialogs::testing::set_end_routine([this](int code) { exit_codes_.push_back(code); });
  }
  void TearDown() override {
    dialogs::testing::set_message_routine(nullptr);
    dialogs::testing::set_end_routine(nullptr);
    fs::remove_all(dir_);
  }

  std::int32_t download(const std::string& url, std::int32_t offset = 0, bool resume = false) {
    return dialogs::download_file(
        url, path_, [this](std::int32_t t, std::int32_t d, std::int32_t e, std::int32_t r) { calls_.push_back({t, d, e, r}); },
        offset, resume);
  }
  std::optional<std::string> saved() const { return services::read_file(path_); }
  std::optional<std::string> partial() const { return services::read_file(path_ + ".part"); }
  bool executable() const {
    struct stat info {};
    return ::stat(services::native_path(path_).c_str(), &info) == 0 && (info.st_mode & S_IXUSR) != 0;
  }

  HttpTestServer server_;
  std::string dir_;
  std::string path_;  // GBK
  std::vector<Progress> calls_;
  std::vector<std::string> messages_;
  std::vector<int> exit_codes_;
};

}  // namespace

TEST(DownloadHeaderBlock, CarriesARangeLineOnlyWhenResuming) {
  EXPECT_EQ(dialogs::download_header_block(0, false), full_block);
  EXPECT_EQ(dialogs::download_header_block(1000, false), full_block);
  EXPECT_EQ(dialogs::download_header_block(1000, true), full_block + "\r\nRange:bytes=1000-");
}

TEST_F(DownloadTest, SavesTheBodyBlockByBlockWithOneProgressCallPerBlock) {
  const std::string body = body_of(25000);
  server_.serve("/new", {.body = body});

  ASSERT_EQ(download(server_.url("/new")), dialogs::download_complete);

  ASSERT_EQ(calls_.size(), 3u);
  const std::int32_t done[] = {10240, 20480, 25000};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(calls_[i].total, 25000);
    EXPECT_EQ(calls_[i].done, done[i]);
    EXPECT_EQ(calls_[i].received, done[i]);
    EXPECT_GT(calls_[i].elapsed, 0);
  }
  EXPECT_EQ(saved(), body);
  EXPECT_TRUE(executable());
  EXPECT_FALSE(partial());
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(exit_codes_.empty());
}

TEST_F(DownloadTest, SendsTheHeaderBlockByteForByteWithoutCaching) {
  server_.serve("/new", {.body = "x"});
  ASSERT_EQ(download(server_.url("/new")), dialogs::download_complete);

  const std::string head = server_.last_request();
  EXPECT_NE(head.find("\r\n" + full_block + "\r\n"), std::string::npos) << head;
  EXPECT_NE(head.find("\r\nPragma: no-cache\r\n"), std::string::npos) << head;
  EXPECT_EQ(head.find("Range"), std::string::npos) << head;
}

TEST_F(DownloadTest, ResumingAsksForTheRestAndAppendsIt) {
  const std::string body = body_of(25000);
  server_.serve("/new", {.body = body, .honour_range = true});
  ASSERT_TRUE(services::write_file(path_ + ".part", body.substr(0, 1000)));

  ASSERT_EQ(download(server_.url("/new"), 1000, true), dialogs::download_complete);

  EXPECT_NE(server_.last_request().find("\r\nRange:bytes=1000-\r\n"), std::string::npos);
  EXPECT_EQ(saved(), body);
  ASSERT_EQ(calls_.size(), 3u);
  EXPECT_EQ(calls_[0].total, 24000);  // the content length of the 206 answer
  EXPECT_EQ(calls_[0].done, 11240);
  EXPECT_EQ(calls_[0].received, 10240);
  EXPECT_EQ(calls_[2].done, 25000);
}

TEST_F(DownloadTest, ResumingStartsOverWhenAppendingWouldCorruptTheFile) {
  const std::string body = body_of(5000);
  // The server ignores the Range line and sends the whole body.
  server_.serve("/whole", {.body = body});
  ASSERT_TRUE(services::write_file(path_ + ".part", body.substr(0, 1000)));
  ASSERT_EQ(download(server_.url("/whole"), 1000, true), dialogs::download_complete);
  EXPECT_EQ(saved(), body);

  // The partial file does not hold as many bytes as the offset says.
  server_.serve("/ranged", {.body = body, .honour_range = true});
  ASSERT_TRUE(services::write_file(path_ + ".part", body.substr(0, 999)));
  ASSERT_EQ(download(server_.url("/ranged"), 1000, true), dialogs::download_complete);
  EXPECT_EQ(server_.last_request().find("Range"), std::string::npos);
  EXPECT_EQ(saved(), body);
}

TEST_F(DownloadTest, WithoutContentLengthTheTotalIsZero) {
  server_.serve("/new", {.body = body_of(5000), .send_content_length = false});
  ASSERT_EQ(download(server_.url("/new")), dialogs::download_complete);
  ASSERT_EQ(calls_.size(), 1u);
  EXPECT_EQ(calls_[0].total, 0);
  EXPECT_EQ(calls_[0].done, 5000);
  EXPECT_EQ(saved(), body_of(5000));
}

TEST_F(DownloadTest, IncompleteDownloadsAreNeverSavedAsTheProgram) {
  const std::string program = "the old download";
  struct Case {
    const char* name;
    HttpReply reply;
  } cases[] = {
      {"error page", {.status = 404, .reason = "Not Found", .body = "<html>not found</html>"}},
      {"redirect page", {.status = 302, .reason = "Found", .body = "<html>moved</html>"}},
      {"cut-off body", {.body = body_of(25000), .cut_after = 12000}},
      {"empty body", {.body = ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(services::write_file(path_, program));
    messages_.clear();
    server_.serve("/bad", c.reply);

    EXPECT_EQ(download(server_.url("/bad")), dialogs::download_incomplete);

    EXPECT_EQ(messages_, std::vector<std::string>{"下载的更新文件不完整，请重试"});
    EXPECT_EQ(saved(), program);
    EXPECT_TRUE(exit_codes_.empty());
  }
}

TEST_F(DownloadTest, AddressesOtherThanHttpAreRefusedBeforeAnyRequest) {
  for (const char* url : {"", "ftp://127.0.0.1/new", "file:///etc/passwd", "http://", "127.0.0.1/new"}) {
    messages_.clear();
    EXPECT_EQ(download(url), dialogs::download_bad_address) << url;
    EXPECT_EQ(messages_, std::vector<std::string>{"更新地址无效"}) << url;
  }
  EXPECT_TRUE(server_.requests().empty());
  EXPECT_FALSE(saved());
  EXPECT_TRUE(exit_codes_.empty());
}

TEST_F(DownloadTest, AnAddressThatCannotBeOpenedEndsTheProgram) {
  const std::string url = "http://127.0.0.1:" + std::to_string(HttpTestServer::closed_port()) + "/new";
  EXPECT_EQ(download(url), dialogs::download_program_ended);
  EXPECT_EQ(messages_, std::vector<std::string>{"不能打开该URL!"});
  EXPECT_EQ(exit_codes_, std::vector<int>{0});
  EXPECT_FALSE(saved());
}

TEST_F(DownloadTest, AFileThatCannotBeCreatedEndsTheProgram) {
  server_.serve("/new", {.body = "x"});
  path_ = dir_ + "/missing directory/Quenbo资源社区1.8";
  EXPECT_EQ(download(server_.url("/new")), dialogs::download_program_ended);
  EXPECT_EQ(messages_, std::vector<std::string>{"创建更新任务出错!"});
  EXPECT_EQ(exit_codes_, std::vector<int>{0});
}

// ---- show_progress --------------------------------------------------------------------------

namespace {

// A bar that keeps its position within 0-100, and a status line.
class FakeDisplay : public dialogs::ProgressDisplay {
 public:
  void set_bar_position(int position) override { bar = std::clamp(position, 0, 100); }
  int bar_position() override { return bar; }
  void set_status_line(std::string_view text) override { status = text; }
  int bar = 0;
  std::string status;
};

}  // namespace

TEST(ShowProgress, SetsTheBarAndTheStatusLine) {
  struct Case {
    std::int32_t total, done;
    const char* status;
  } cases[] = {
      {25000, 10240, "Quenbo资源社区1.8  已更新40%"},
      {25000, 20480, "Quenbo资源社区1.8  已更新81%"},
      {25000, 25000, "Quenbo资源社区1.8  已更新100%"},
      {0, 5000, "Quenbo资源社区1.8  已更新0%"},               // no content length
      {24000, 25000, "Quenbo资源社区1.8  已更新100%"},        // resumed: the bar stops at 100
      {30000000, 30000000, "Quenbo资源社区1.8  已更新100%"},  // beyond 21 MB
  };
  for (const Case& c : cases) {
    FakeDisplay display;
    dialogs::show_progress(display, "Quenbo资源社区1.8", c.total, c.done, 10, c.done);
    EXPECT_EQ(display.status, c.status) << c.total << " " << c.done;
  }
}

// System services: files by GBK name, profile files, the desktop seams, processes and time.
#include "platform/services.h"
#include "platform/text.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

namespace services = platform::services;
using platform::text::utf8_to_gbk;

namespace {

// A fresh directory per test; paths handed to the services are GBK.
class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/services_test.XXXXXX";
    dir_ = ::mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string gbk(std::string_view utf8_name) const { return utf8_to_gbk(dir_ + "/" + std::string(utf8_name)); }
  std::string raw(std::string_view utf8_name) const {
    return services::read_file(gbk(utf8_name)).value_or("<missing>");
  }
  std::vector<std::string> names_on_disk() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
  int mode_of(std::string_view utf8_name) const {
    struct stat info {};
    ::stat((dir_ + "/" + std::string(utf8_name)).c_str(), &info);
    return static_cast<int>(info.st_mode & 0777);
  }
  std::string dir_;
};

}  // namespace

// ---- Files ------------------------------------------------------------------------------------

using FilesTest = TempDir;

TEST_F(FilesTest, GbkNamesBecomeUtf8NamesOnDisk) {
  // 誠 is D5 5C in GBK: its trail byte is a backslash and must not split the name.
  ASSERT_TRUE(services::write_file(gbk("更新日志.txt"), "notes"));
  ASSERT_TRUE(services::write_file(gbk("誠.txt"), "x"));
  auto names = names_on_disk();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"更新日志.txt", "誠.txt"}));
  EXPECT_EQ(utf8_to_gbk("誠"), "\xD5\x5C");
}

TEST_F(FilesTest, BackslashSeparatesDirectories) {
  std::filesystem::create_directory(dir_ + "/sub");
  ASSERT_TRUE(services::write_file(utf8_to_gbk(dir_) + "\\sub\\config.conf", "a"));
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/sub/config.conf"));
}

TEST_F(FilesTest, WriteAppendReadDelete) {
  const std::string path = gbk("f.bin");
  EXPECT_FALSE(services::read_file(path).has_value());
  ASSERT_TRUE(services::append_file(path, std::string("a\0b", 3)));
  ASSERT_TRUE(services::append_file(path, "c"));
  EXPECT_EQ(raw("f.bin"), std::string("a\0bc", 4));
  ASSERT_TRUE(services::write_file(path, "new"));
  EXPECT_EQ(raw("f.bin"), "new");
  EXPECT_TRUE(services::delete_file(path));
  EXPECT_FALSE(services::file_exists(path));
  EXPECT_FALSE(services::delete_file(path));
  EXPECT_FALSE(services::write_file(gbk("no/such/dir/f"), "x"));
  EXPECT_FALSE(services::write_file("", "x"));
}

TEST_F(FilesTest, OutputFileReplacesOrAppends) {
  const std::string path = gbk("download.exe");
  services::OutputFile out;
  ASSERT_TRUE(out.open(path, services::OutputFile::Mode::replace, services::FileAccess::executable));
  ASSERT_TRUE(out.write("0123456789"));
  EXPECT_EQ(out.size(), 10);
  out.close();
  ASSERT_TRUE(out.open(path, services::OutputFile::Mode::append));
  EXPECT_EQ(out.size(), 10);
  ASSERT_TRUE(out.write("ab"));
  out.close();
  EXPECT_EQ(raw("download.exe"), "0123456789ab");
  EXPECT_EQ(mode_of("download.exe") & 0100, 0100);
  ASSERT_TRUE(out.open(path, services::OutputFile::Mode::replace));
  out.close();
  EXPECT_EQ(raw("download.exe"), "");
  EXPECT_FALSE(out.write("closed"));
}

TEST_F(FilesTest, OwnerOnlyFilesAreCreatedAndTightenedTo0600) {
  ASSERT_TRUE(services::write_file(gbk("secret"), "x", services::FileAccess::owner_only));
  EXPECT_EQ(mode_of("secret"), 0600);
  ::chmod((dir_ + "/open").c_str(), 0644);
  ASSERT_TRUE(services::write_file(gbk("open"), "x"));
  ::chmod((dir_ + "/open").c_str(), 0644);
  ASSERT_TRUE(services::write_file(gbk("open"), "y", services::FileAccess::owner_only));
  EXPECT_EQ(mode_of("open"), 0600);
}

// ---- Profile files ----------------------------------------------------------------------------

using ProfileTest = TempDir;

TEST_F(ProfileTest, WritesCreateFileSectionAndKeysInOrder) {
  const std::string path = gbk("config.conf");
  ASSERT_TRUE(services::write_profile_string("Config", "account", utf8_to_gbk("张三abc"), path,
                                             services::FileAccess::owner_only));
  ASSERT_TRUE(services::write_profile_string("Config", "password", "secret1", path,
                                             services::FileAccess::owner_only));
  EXPECT_EQ(raw("config.conf"), utf8_to_gbk("[Config]\r\naccount=张三abc\r\npassword=secret1\r\n"));
  EXPECT_EQ(mode_of("config.conf"), 0600);
  EXPECT_EQ(services::read_profile_string("Config", "account", "", path, 10240), utf8_to_gbk("张三abc"));
}

TEST_F(ProfileTest, ChangesTouchOnlyTheirLine) {
  struct Case {
    const char* name;
    const char* section;
    const char* key;
    const char* before;
    const char* after;
  };
  const Case cases[] = {
      {"replace in place", "Config", "account",
       "; top\n[Other]\naccount=keep\n[Config]\nAccount = old\npassword=p\n",
       "; top\n[Other]\naccount=keep\n[Config]\nAccount=new\npassword=p\n"},
      {"key added at the section's end", "config", "password",
       "[Config]\r\naccount=a\r\n\r\n[Next]\r\nx=1\r\n",
       "[Config]\r\naccount=a\r\npassword=new\r\n\r\n[Next]\r\nx=1\r\n"},
      {"section added at the end", "Config", "account", "[Other]\nx=1",
       "[Other]\nx=1\n[Config]\naccount=new\n"},
      {"empty file", "Config", "account", "", "[Config]\r\naccount=new\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = gbk("p.ini");
    ASSERT_TRUE(services::write_file(path, c.before));
    ASSERT_TRUE(services::write_profile_string(c.section, c.key, "new", path));
    EXPECT_EQ(raw("p.ini"), c.after);
  }
}

TEST_F(ProfileTest, ReadsFollowTheProfileRules) {
  const std::string path = gbk("p.ini");
  // Two GBK characters whose trail bytes are 'A' and 'a' name different sections.
  const std::string content =
      "[Config]\r\n  Account =  alice6  \r\nquoted=\"a b\"\r\nempty=\r\n"
      "[\x81\x41]\r\nk=upper trail\r\n[\x81\x61]\r\nk=lower trail\r\n";
  ASSERT_TRUE(services::write_file(path, content));
  struct Case {
    const char* section;
    const char* key;
    const char* file;
    std::size_t buffer;
    const char* expected;
  };
  const Case cases[] = {
      {"Config", "account", "p.ini", 10240, "alice6"},
      {"CONFIG", "ACCOUNT", "p.ini", 10240, "alice6"},
      {"Config", "quoted", "p.ini", 10240, "a b"},
      {"Config", "empty", "p.ini", 10240, ""},
      {"Config", "missing", "p.ini", 10240, "dflt"},
      {"Missing", "account", "p.ini", 10240, "dflt"},
      {"Config", "account", "none.ini", 10240, "dflt"},
      {"Config", "account", "p.ini", 4, "ali"},
      {"Config", "missing", "p.ini", 3, "df"},
      {"Config", "account", "p.ini", 1, ""},
      {"Config", "account", "p.ini", 0, ""},
      {"\x81\x61", "K", "p.ini", 10240, "lower trail"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key + " buffer " + std::to_string(c.buffer));
    EXPECT_EQ(services::read_profile_string(c.section, c.key, "dflt", gbk(c.file), c.buffer), c.expected);
  }
}

TEST_F(ProfileTest, RefusesTextsThatWouldCorruptTheFile) {
  const std::string path = gbk("p.ini");
  ASSERT_TRUE(services::write_profile_string("Config", "account", "a", path));
  EXPECT_FALSE(services::write_profile_string("Config", "password", "x\r\n[Evil]", path));
  EXPECT_FALSE(services::write_profile_string("Con\nfig", "k", "v", path));
  EXPECT_FALSE(services::write_profile_string("Config", "a=b", "v", path));
  EXPECT_FALSE(services::write_profile_string("", "k", "v", path));
  EXPECT_EQ(raw("p.ini"), "[Config]\r\naccount=a\r\n");
  EXPECT_FALSE(services::write_profile_string("Config", "k", "v", gbk("no/dir/p.ini")));
}

// ---- The program and time ---------------------------------------------------------------------

TEST(ProgramTest, DirectoryIsTheExecutablesWithAnOverride) {
  const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
  EXPECT_EQ(services::program_directory(), utf8_to_gbk(exe.substr(0, exe.rfind('/'))));
  EXPECT_EQ(services::program_file_name(), "services_test");
  services::testing::set_program_directory(utf8_to_gbk("/tmp/程序"));
  EXPECT_EQ(services::program_directory(), utf8_to_gbk("/tmp/程序"));
  services::testing::set_program_directory(std::nullopt);
  EXPECT_EQ(services::program_directory(), utf8_to_gbk(exe.substr(0, exe.rfind('/'))));
}

TEST(TimeTest, TicksAdvanceAndTheDateCanBeFixed) {
  const std::uint32_t before = services::milliseconds_since_start();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(services::milliseconds_since_start() - before, 20u);
  const services::LocalDate today = services::local_date();
  EXPECT_GE(today.month, 1);
  EXPECT_LE(today.day, 31);
  services::testing::set_local_date(services::LocalDate{2018, 9, 21});
  EXPECT_EQ(services::local_date().month, 9);
  EXPECT_EQ(services::local_date().day, 21);
  services::testing::set_local_date(std::nullopt);
}

// ---- The desktop ------------------------------------------------------------------------------

TEST(DesktopTest, CaptureRecordsOpenedAddressesAndClipboardTexts) {
  services::testing::capture_desktop(true);
  services::testing::clear_captured();
  const std::string address = utf8_to_gbk("http://127.0.0.1/资源?a=1&b=2");
  EXPECT_TRUE(services::open_address(address));
  EXPECT_FALSE(services::open_address(""));
  EXPECT_TRUE(services::set_clipboard_text(utf8_to_gbk("地址")));
  EXPECT_EQ(services::testing::opened_addresses(), std::vector<std::string>{address});
  EXPECT_EQ(services::testing::clipboard_writes(), std::vector<std::string>{utf8_to_gbk("地址")});
  EXPECT_EQ(services::clipboard_text(), utf8_to_gbk("地址"));
  services::testing::capture_desktop(false);
}

TEST(DesktopTest, ClipboardHoldsUtf8AlsoWhenSetFromAWorker) {
  ASSERT_TRUE(services::set_clipboard_text(utf8_to_gbk("复制地址成功")));
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "复制地址成功");
  std::atomic<bool> done = false;
  std::thread worker([&] {
    services::set_clipboard_text(utf8_to_gbk("http://127.0.0.1/下载"));
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  worker.join();
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "http://127.0.0.1/下载");
  EXPECT_EQ(services::clipboard_text(), utf8_to_gbk("http://127.0.0.1/下载"));
}

// ---- Processes and threads --------------------------------------------------------------------

namespace {

bool process_listed(int pid) {
  for (const auto& process : services::list_processes()) {
    if (process.pid == pid) return true;
  }
  return false;
}

}  // namespace

TEST(ProcessTest, StartListFindAndEnd) {
  const int pid = services::start_program("/bin/sleep", {"30"});
  ASSERT_GT(pid, 0);
  bool named_sleep = false;
  for (const auto& process : services::list_processes()) {
    if (process.pid == pid) named_sleep = process.exe_name == "sleep";
  }
  EXPECT_TRUE(named_sleep);
  EXPECT_GT(services::find_process("SLEEP"), 0);
  EXPECT_EQ(services::find_process("no-such-program.exe"), 0);
  EXPECT_TRUE(services::end_process(pid));
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (process_listed(pid) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_FALSE(process_listed(pid));
  EXPECT_EQ(services::start_program("/no/such/program"), 0);
}

TEST(ProcessTest, NeverSignalsProcessGroups) {
  EXPECT_FALSE(services::end_process(0));
  EXPECT_FALSE(services::end_process(-1));
}

TEST(ProcessDeathTest, EndingTheOwnProcessExitsWithTheCode) {
  EXPECT_EXIT(services::end_process(services::current_process_id(), 7), ::testing::ExitedWithCode(7), "");
}

TEST(ThreadTest, StartedThreadRunsDetached) {
  std::atomic<int> ran = 0;
  ASSERT_TRUE(services::start_thread([&] { ran = 1; }));
  EXPECT_FALSE(services::start_thread(nullptr));
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (ran == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  EXPECT_EQ(ran, 1);
}

// The hand-over between program versions: file names, the restart marker, the clean-up at
// start and the version check.
#include "dialogs/restart.h"

#include "platform/services.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace services = platform::services;
namespace fs = std::filesystem;

namespace {

// A program directory of its own (inside a scratch directory, so that a marker pointing
// outside it has somewhere to point), also the current directory. Names are GBK, like the
// literals of this file; the file system sees them through native_path.
class RestartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/restart_test.XXXXXX";
    scratch_ = ::mkdtemp(pattern);
    program_dir_ = scratch_ + "/程序";
    fs::create_directories(native(program_dir_));
    previous_cwd_ = fs::current_path();
    fs::current_path(native(program_dir_));
    services::testing::set_program_directory(program_dir_);
  }
  void TearDown() override {
    services::testing::set_program_directory(std::nullopt);
    fs::current_path(previous_cwd_);
    fs::remove_all(scratch_);
  }
  static fs::path native(const std::string& gbk_path) { return services::native_path(gbk_path); }
  // Creates a file given relative to the program directory.
  void touch(const std::string& relative) {
    fs::create_directories(native(program_dir_ + "/" + relative).parent_path());
    ASSERT_TRUE(services::write_file(program_dir_ + "/" + relative, "x"));
  }
  bool exists(const std::string& relative) const { return fs::exists(native(program_dir_ + "/" + relative)); }
  void write_marker(std::string_view content) {
    ASSERT_TRUE(services::write_file(program_dir_ + "/tembra.txt", content));
  }

  std::string scratch_;
  std::string program_dir_;
  fs::path previous_cwd_;
};

}  // namespace

TEST(ProgramFileName, IsTheProductNameAndVersionWithoutSuffix) {
  EXPECT_EQ(dialogs::program_file_name_for("1.8"), "Quenbo资源社区1.8");
  EXPECT_EQ(dialogs::program_file_name_for(""), "Quenbo资源社区");
}

TEST(UpdateAnnounced, ComparesVersionsByteForByte) {
  struct Case {
    const char* latest;
    bool announced;
  } cases[] = {{"1.7", false}, {"1.8", true}, {"", true}, {"1.70", true}, {"1.7 ", true}};
  for (const Case& c : cases) {
    EXPECT_EQ(dialogs::update_announced("1.7", c.latest), c.announced) << '"' << c.latest << '"';
  }
}

TEST_F(RestartTest, MarkerHoldsExactlyTheOldFileName) {
  ASSERT_TRUE(dialogs::write_restart_marker(dialogs::program_file_name_for("1.7")));
  EXPECT_EQ(services::read_file(program_dir_ + "/tembra.txt"), "Quenbo资源社区1.7");
  // An existing marker is replaced, not appended to.
  ASSERT_TRUE(dialogs::write_restart_marker("a"));
  EXPECT_EQ(services::read_file(program_dir_ + "/tembra.txt"), "a");
}

TEST_F(RestartTest, CleanUpDeletesTheOldProgramAndTheMarker) {
  touch("Quenbo资源社区1.7");
  touch("Quenbo资源社区1.8");
  ASSERT_TRUE(dialogs::write_restart_marker(dialogs::program_file_name_for("1.7")));

  EXPECT_EQ(dialogs::clean_up_after_restart(), "Quenbo资源社区1.7");

  EXPECT_FALSE(exists("Quenbo资源社区1.7"));
  EXPECT_FALSE(exists("tembra.txt"));
  EXPECT_TRUE(exists("Quenbo资源社区1.8"));
}

TEST_F(RestartTest, CleanUpWithoutMarkerDeletesNothing) {
  touch("Quenbo资源社区1.7");
  EXPECT_EQ(dialogs::clean_up_after_restart(), "");
  EXPECT_TRUE(exists("Quenbo资源社区1.7"));
}

TEST_F(RestartTest, CleanUpDeletesOnlyABareNameInsideTheProgramDirectory) {
  // marker content -> the file it must not delete, relative to the program directory
  struct Case {
    std::string marker;
    std::string survivor;
  } cases[] = {
      {"../outside", "../outside"},
      {"sub/file", "sub/file"},
      {"sub\\file", "sub/file"},
      {scratch_ + "/absolute", "../absolute"},
      {".", "kept"},
      {"..", "kept"},
      {"", "kept"},
      {services::program_file_name(), services::program_file_name()},
  };
  for (const Case& c : cases) {
    touch(c.survivor);
    write_marker(c.marker);
    dialogs::clean_up_after_restart();
    EXPECT_TRUE(exists(c.survivor)) << c.marker;
    EXPECT_FALSE(exists("tembra.txt")) << c.marker;
  }
}

TEST_F(RestartTest, CleanUpAcceptsGbkNamesWhoseSecondByteIsABackslash) {
  touch("誠.txt");  // 誠 is D5 5C in GBK
  write_marker("誠.txt");
  dialogs::clean_up_after_restart();
  EXPECT_FALSE(exists("誠.txt"));
}

TEST_F(RestartTest, UpdateNotesLandInTheCurrentDirectoryByteForByte) {
  const std::string notes = "1. 修复若干问题\r\n2. \x01\xff";
  ASSERT_TRUE(services::write_file("更新日志.txt", "older and longer notes"));
  ASSERT_TRUE(dialogs::write_update_notes(notes));
  EXPECT_EQ(services::read_file("更新日志.txt"), notes);
}

TEST_F(RestartTest, EndsTheProcessRunningTheNamedProgramFile) {
  // A copy of sleep under a program file name of its own.
  const std::string name = "Quenbo资源社区" + std::to_string(::getpid());
  const std::string path = program_dir_ + "/" + name;
  fs::copy_file("/bin/sleep", native(path));
  ASSERT_GT(services::start_program(path, {"30"}), 0);
  auto running = [&] { return services::find_process(name) != 0; };
  for (int i = 0; i < 500 && !running(); ++i) ::usleep(10'000);
  ASSERT_TRUE(running());

  EXPECT_TRUE(dialogs::end_program_named(name));

  for (int i = 0; i < 500 && running(); ++i) ::usleep(10'000);
  EXPECT_FALSE(running());
  EXPECT_FALSE(dialogs::end_program_named(name));
}

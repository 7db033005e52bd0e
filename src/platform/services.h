// System services: files, the program's directory, profile (INI) files, the clipboard, the
// desktop's default handler, processes, threads, the clock and the local date.
// Every text in and out is GBK; file names become the file system's UTF-8 names here.
// Nothing in this module throws; failures are reported by the result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::services {

// ---- Files ---------------------------------------------------------------------------------
// Paths are GBK. A backslash is taken as a directory separator, as on the system the program
// was designed for ("dir\config.conf" names config.conf inside dir).

// Who may read and write a file this module creates. Existing files keep their permissions,
// except that owner_only also tightens an existing file to 0600.
enum class FileAccess {
  standard,    // 0666 minus the process's umask
  owner_only,  // 0600: files holding secrets (the remembered password)
  executable,  // 0777 minus the umask: program files that will be started
};

// The GBK path as the file system's UTF-8 path, separators made '/'.
std::string native_path(std::string_view gbk_path);

// The whole content, or nothing when the file cannot be read.
std::optional<std::string> read_file(std::string_view gbk_path);
// Creates or replaces the file with exactly these bytes.
bool write_file(std::string_view gbk_path, std::string_view bytes,
                FileAccess access = FileAccess::standard);
// Adds the bytes at the end, creating the file when missing.
bool append_file(std::string_view gbk_path, std::string_view bytes,
                 FileAccess access = FileAccess::standard);
bool delete_file(std::string_view gbk_path);
bool file_exists(std::string_view gbk_path);

// A file written block by block (a download). Closed by close() or the destructor.
class OutputFile {
 public:
  enum class Mode { replace, append };
  OutputFile() = default;
  ~OutputFile();
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // replace: create or truncate; append: create when missing, write at the end.
  bool open(std::string_view gbk_path, Mode mode, FileAccess access = FileAccess::standard);
  bool is_open() const { return fd_ >= 0; }
  // Writes every byte or answers false.
  bool write(std::string_view bytes);
  // Current size of the file (the resume offset of an appended download); -1 when closed.
  std::int64_t size() const;
  bool close();

 private:
  int fd_ = -1;
};

// ---- The program -----------------------------------------------------------------------------
// Directory of the running executable (GBK), without a trailing separator.
std::string program_directory();
// File name of the running executable (GBK), without its directory.
std::string program_file_name();

// ---- Profile (INI) files ---------------------------------------------------------------------
// "[Section]" lines followed by "key=value" lines. Section and key names are compared without
// regard to ASCII case; blanks around names and values are ignored; a value standing between
// matching single or double quotes is read without them.

// The value of key in section, or default_value when the file, the section or the key is
// missing. The answer is cut to buffer_size - 1 bytes (empty for a buffer of 0 or 1 byte).
std::string read_profile_string(std::string_view section, std::string_view key,
                                std::string_view default_value, std::string_view gbk_path,
                                std::size_t buffer_size);
// Sets key=value in section: a present key's line is replaced in place, a missing key is added
// at the end of its section, a missing section at the end of the file, a missing file created.
// Line breaks in section, key or value are refused (they would corrupt the file), as are empty
// section or key names. The file is replaced atomically.
bool write_profile_string(std::string_view section, std::string_view key, std::string_view value,
                          std::string_view gbk_path, FileAccess access = FileAccess::standard);

// ---- Desktop ---------------------------------------------------------------------------------
// Puts the text on the clipboard (the desktop's UTF-8). Safe from any thread.
bool set_clipboard_text(std::string_view gbk_text);
// The clipboard's text as GBK (empty when it holds none).
std::string clipboard_text();

// Opens an address (web page, file) with the desktop's default handler, detached.
bool open_address(std::string_view gbk_address);

// ---- Processes and threads -------------------------------------------------------------------
// Starts the program file with the given arguments, detached, in the current directory.
// Answers its process id, or 0 when it could not be started.
int start_program(std::string_view gbk_program_path, const std::vector<std::string>& gbk_arguments = {});

struct ProcessEntry {
  int pid = 0;
  std::string exe_name;  // GBK file name of the process's executable, without directory
};
// The processes of the current user, in ascending process id order.
std::vector<ProcessEntry> list_processes();
// The first listed process whose executable name equals exe_name without regard to ASCII
// case; 0 when none does.
int find_process(std::string_view gbk_exe_name);
// Ends the process. For the calling process this exits at once with exit_code; another
// process is killed (its exit code is then the signal's, which the system decides).
bool end_process(int pid, int exit_code = 0);
int current_process_id();

// Runs the routine on a new detached thread (nobody waits for it). Answers false when no
// thread could be started.
bool start_thread(std::function<void()> routine);

// ---- Time ------------------------------------------------------------------------------------
// Milliseconds since the system started, wrapping at 2^32 like a 32-bit tick counter.
std::uint32_t milliseconds_since_start();

struct LocalDate {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
};
LocalDate local_date();

// ---- Test seams ------------------------------------------------------------------------------
namespace testing {

// Makes program_directory() answer this GBK directory (nullopt: the real one again).
void set_program_directory(std::optional<std::string> gbk_directory);
// Makes local_date() answer this date (nullopt: the real one again).
void set_local_date(std::optional<LocalDate> date);

// While capturing, open_address and set_clipboard_text record their GBK texts here instead of
// reaching the desktop, and clipboard_text answers the last captured text.
void capture_desktop(bool on);
std::vector<std::string> opened_addresses();
std::vector<std::string> clipboard_writes();
void clear_captured();

}  // namespace testing

}  // namespace platform::services

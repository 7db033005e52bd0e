// The download of a new program file over HTTP, block by block with a progress report, and
// the progress display of the update window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace dialogs {

// Called after every saved block: total = the response's content length (0 when the server
// sent none), done = bytes saved so far counting the start offset, elapsed = milliseconds
// since the first read (10 when 0), received = done - start offset.
using ProgressRoutine =
    std::function<void(std::int32_t total, std::int32_t done, std::int32_t elapsed, std::int32_t received)>;

// Answers of download_file.
inline constexpr std::int32_t download_complete = 0;
inline constexpr std::int32_t download_no_connection = -1;  // "Internet连接错误!"
inline constexpr std::int32_t download_incomplete = -2;     // "下载的更新文件不完整，请重试"
inline constexpr std::int32_t download_bad_address = -3;    // "更新地址无效"
// The program was told to end (only returned when a test keeps it alive).
inline constexpr std::int32_t download_program_ended = -4;

inline constexpr std::size_t download_block_size = 10240;

// The request's header lines, CR LF between them; the Range line only when resuming.
std::string download_header_block(std::int32_t start_offset, bool resume);

// Downloads url into file_path. The body is saved as file_path + ".part" and renamed to
// file_path, executable, only once complete: status 200 (or 206 to a Range request) and as
// many bytes as the content length announced. Resuming continues a ".part" file that holds
// exactly start_offset bytes (otherwise the download starts over). Failures tell the user;
// an address that cannot be opened, a file that cannot be created and a failed read end the
// program.
std::int32_t download_file(std::string_view url, std::string_view file_path, const ProgressRoutine& progress,
                           std::int32_t start_offset, bool resume);

// What show_progress changes: a progress bar kept within 0-100 and a status line. The
// download calls it from its worker thread.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual void set_bar_position(int position) = 0;
  virtual int bar_position() = 0;
  virtual void set_status_line(std::string_view gbk_text) = 0;
};

// done * 100 / total, truncated; 0 when total is 0.
int progress_percent(std::int32_t total, std::int32_t done);

// Sets the bar to the percentage and the status line to the file name + "  已更新" + the
// bar's position + "%".
void show_progress(ProgressDisplay& display, std::string_view new_file_name, std::int32_t total, std::int32_t done,
                   std::int32_t elapsed, std::int32_t received);

}  // namespace dialogs

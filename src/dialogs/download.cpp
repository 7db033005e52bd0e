// The download of a new program file: one HTTP GET, its body saved block by block into a
// partial file that becomes the program file only when it is complete.
#include "dialogs/download.h"

#include "dialogs/program_control.h"
#include "platform/net.h"
#include "platform/services.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

namespace dialogs {

namespace net = platform::net;
namespace services = platform::services;

namespace {

constexpr std::string_view partial_suffix = ".part";

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char t) {
    return p == ((t >= 'A' && t <= 'Z') ? static_cast<char>(t + 32) : t);
  });
}

bool is_web_address(std::string_view url) {
  for (std::string_view scheme : {"http://", "https://"}) {
    if (starts_with_ignoring_case(url, scheme) && url.size() > scheme.size()) return true;
  }
  return false;
}

std::int32_t clamped(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::int32_t>::max()));
}

// Size of a file in bytes, 0 when it does not exist.
std::int64_t file_size(std::string_view gbk_path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(services::native_path(gbk_path), error);
  return error ? 0 : static_cast<std::int64_t>(size);
}

bool rename_file(std::string_view from, std::string_view to) {
  std::error_code error;
  std::filesystem::rename(services::native_path(from), services::native_path(to), error);
  return !error;
}

void make_executable(std::string_view gbk_path) {
  using std::filesystem::perms;
  std::error_code error;
  std::filesystem::permissions(services::native_path(gbk_path), perms::owner_exec | perms::group_exec | perms::others_exec,
                               std::filesystem::perm_options::add, error);
}

// The first byte a 206 response carries ("bytes 1000-24999/25000" -> 1000), -1 when unreadable.
std::int64_t content_range_start(std::string_view value) {
  if (!starts_with_ignoring_case(value, "bytes ")) return -1;
  value.remove_prefix(6);
  std::int64_t start = 0;
  std::size_t digits = 0;
  for (; digits < value.size() && value[digits] >= '0' && value[digits] <= '9' && digits < 18; ++digits) {
    start = start * 10 + (value[digits] - '0');
  }
  return (digits > 0 && digits < value.size() && value[digits] == '-') ? start : -1;
}

// One run of download_file.
class Download {
 public:
  Download(std::string_view url, std::string_view file_path, const ProgressRoutine& progress,
           std::int32_t start_offset, bool resume)
      : url_(url),
        file_path_(file_path),
        partial_path_(std::string(file_path) + std::string(partial_suffix)),
        progress_(progress),
        start_offset_(start_offset),
        // A partial file of another length than the offset would be corrupted by appending.
        resuming_(resume && start_offset >= 0 && file_size(partial_path_) == start_offset) {}

  std::int32_t run() {
    if (!is_web_address(url_)) return fail("更新地址无效", download_bad_address);
    if (std::int32_t opened = open_request(); opened != download_complete) return opened;
    if (!response_is_acceptable()) return fail_incomplete();
    if (!open_partial_file()) return end_program_with("创建更新任务出错!");
    return save_body();
  }

 private:
  std::int32_t open_request() {
    net::HttpOptions options;
    options.header_block = download_header_block(start_offset_, resuming_);
    options.user_agent = "Agent" + std::to_string(services::milliseconds_since_start());
    options.no_cache = true;
    const net::HttpError error = request_.open(url_, options);
    if (error == net::HttpError::none) return download_complete;
    // `failed` is the HTTP machinery itself; every other error concerns the address or server.
    if (error == net::HttpError::failed) return fail("Internet连接错误!", download_no_connection);
    return end_program_with("不能打开该URL!");
  }

  // A whole body (200), or the rest of the partial file (206 from exactly its end).
  bool response_is_acceptable() {
    const int status = request_.status();
    if (status == 200) {
      resuming_ = false;
      return true;
    }
    return status == 206 && resuming_ && content_range_start(request_.header("Content-Range")) == start_offset_;
  }

  bool open_partial_file() {
    const auto mode = resuming_ ? services::OutputFile::Mode::append : services::OutputFile::Mode::replace;
    if (!file_.open(partial_path_, mode, services::FileAccess::executable)) return false;
    offset_ = resuming_ ? start_offset_ : 0;
    done_ = offset_;
    return true;
  }

  std::int32_t save_body() {
    const std::int64_t total = static_cast<std::int64_t>(std::min<std::uint64_t>(
        request_.content_length(), static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())));
    const std::uint32_t start = services::milliseconds_since_start();
    std::string block;
    for (;;) {
      const net::HttpError error = request_.read_block(block, download_block_size);
      if (error == net::HttpError::connection_lost) return fail_incomplete();
      if (error != net::HttpError::none) return end_program_with("读文件出错!");
      if (block.empty()) return finish(total);
      if (!file_.write(block)) return fail_incomplete();
      done_ += static_cast<std::int64_t>(block.size());
      report(total, services::milliseconds_since_start() - start);
    }
  }

  void report(std::int64_t total, std::uint32_t elapsed_ms) {
    if (!progress_) return;
    const std::int32_t elapsed = elapsed_ms == 0 ? 10 : clamped(elapsed_ms);
    progress_(clamped(total), clamped(done_), elapsed, clamped(done_ - offset_));
  }

  std::int32_t finish(std::int64_t total) {
    const std::int64_t received = done_ - offset_;
    const bool complete = done_ > 0 && (total == 0 || received == total);
    if (!file_.close() || !complete) return fail_incomplete();
    request_.close();
    if (!rename_file(partial_path_, file_path_)) return end_program_with("创建更新任务出错!");
    make_executable(file_path_);
    return download_complete;
  }

  std::int32_t fail(std::string_view message, std::int32_t answer) {
    tell_user(message);
    return answer;
  }

  // The partial file stays, so that a later download can resume it.
  std::int32_t fail_incomplete() {
    file_.close();
    return fail("下载的更新文件不完整，请重试", download_incomplete);
  }

  std::int32_t end_program_with(std::string_view message) {
    file_.close();
    tell_user(message);
    end_program(0);
    return download_program_ended;
  }

  std::string url_;
  std::string file_path_;
  std::string partial_path_;
  const ProgressRoutine& progress_;
  std::int32_t start_offset_;
  bool resuming_;
  net::HttpRequest request_;
  services::OutputFile file_;
  std::int64_t offset_ = 0;
  std::int64_t done_ = 0;
};

}  // namespace

std::string download_header_block(std::int32_t start_offset, bool resume) {
  std::string block =
      "Accept: */*\r\n"
      "Accept-Language: zh-cn\r\n"
      "Accept-Encoding: gzip, deflate\r\n"
      "User-Agent: Mozilla/4.0(compatible; MSIE 6.0; Windows NT 5.0; MyIE2; .NET CLR 1.1.4322)";
  if (resume) block += "\r\nRange:bytes=" + std::to_string(start_offset) + "-";
  return block;
}

std::int32_t download_file(std::string_view url, std::string_view file_path, const ProgressRoutine& progress,
                           std::int32_t start_offset, bool resume) {
  return Download(url, file_path, progress, start_offset, resume).run();
}

int progress_percent(std::int32_t total, std::int32_t done) {
  if (total == 0) return 0;
  // Wide arithmetic: done * 100 passes the 32-bit range above 21 MB.
  return static_cast<int>(static_cast<std::int64_t>(done) * 100 / total);
}

void show_progress(ProgressDisplay& display, std::string_view new_file_name, std::int32_t total, std::int32_t done,
                   std::int32_t /*elapsed*/, std::int32_t /*received*/) {
  display.set_bar_position(progress_percent(total, done));
  std::string status(new_file_name);
  status += "  已更新";
  status += std::to_string(display.bar_position());
  status += '%';
  display.set_status_line(status);
}

}  // namespace dialogs

// Files by GBK name: whole-file reads and writes, appends, deletion and block-wise output.
#include "platform/services.h"
#include "platform/text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform::services {

namespace {

mode_t creation_mode(FileAccess access) {
  switch (access) {
    case FileAccess::owner_only: return 0600;
    case FileAccess::executable: return 0777;
    case FileAccess::standard: break;
  }
  return 0666;
}

int open_for_writing(std::string_view gbk_path, int flags, FileAccess access) {
  const std::string path = native_path(gbk_path);
  if (path.empty()) return -1;
  int fd = ::open(path.c_str(), flags | O_WRONLY | O_CREAT | O_CLOEXEC, creation_mode(access));
  if (fd >= 0 && access == FileAccess::owner_only) ::fchmod(fd, 0600);
  return fd;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool write_and_close(int fd, std::string_view bytes) {
  if (fd < 0) return false;
  bool ok = write_all(fd, bytes);
  return (::close(fd) == 0) && ok;
}

}  // namespace

std::string native_path(std::string_view gbk_path) {
  // Convert first: a GBK trail byte may be 0x5C, which is no separator.
  std::string path = text::gbk_to_utf8(gbk_path);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::optional<std::string> read_file(std::string_view gbk_path) {
  const std::string path = native_path(gbk_path);
  if (path.empty()) return std::nullopt;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string content;
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return content;
}

bool write_file(std::string_view gbk_path, std::string_view bytes, FileAccess access) {
  return write_and_close(open_for_writing(gbk_path, O_TRUNC, access), bytes);
}

bool append_file(std::string_view gbk_path, std::string_view bytes, FileAccess access) {
  return write_and_close(open_for_writing(gbk_path, O_APPEND, access), bytes);
}

bool delete_file(std::string_view gbk_path) {
  const std::string path = native_path(gbk_path);
  return !path.empty() && ::unlink(path.c_str()) == 0;
}

bool file_exists(std::string_view gbk_path) {
  const std::string path = native_path(gbk_path);
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

OutputFile::~OutputFile() { close(); }

OutputFile::OutputFile(OutputFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool OutputFile::open(std::string_view gbk_path, Mode mode, FileAccess access) {
  close();
  fd_ = open_for_writing(gbk_path, mode == Mode::append ? O_APPEND : O_TRUNC, access);
  return fd_ >= 0;
}

bool OutputFile::write(std::string_view bytes) { return fd_ >= 0 && write_all(fd_, bytes); }

std::int64_t OutputFile::size() const {
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) return -1;
  return info.st_size;
}

bool OutputFile::close() {
  if (fd_ < 0) return false;
  int result = ::close(fd_);
  fd_ = -1;
  return result == 0;
}

}  // namespace platform::services

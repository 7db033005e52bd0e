// The running program's directory and file name, from the executable's link in /proc.
#include "platform/services.h"
#include "platform/text.h"

#include <unistd.h>

#include <mutex>

namespace platform::services {

namespace {

std::mutex override_mutex;
std::optional<std::string> directory_override;  // GBK

// The executable's UTF-8 path, "" when the link cannot be read.
std::string executable_path() {
  std::string path(4096, '\0');
  ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(length));
  return path;
}

}  // namespace

std::string program_directory() {
  {
    std::lock_guard lock(override_mutex);
    if (directory_override) return *directory_override;
  }
  const std::string path = executable_path();
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return text::utf8_to_gbk(slash == 0 ? std::string("/") : path.substr(0, slash));
}

std::string program_file_name() {
  const std::string path = executable_path();
  return text::utf8_to_gbk(path.substr(path.rfind('/') + 1));
}

namespace testing {

void set_program_directory(std::optional<std::string> gbk_directory) {
  std::lock_guard lock(override_mutex);
  directory_override = std::move(gbk_directory);
}

}  // namespace testing

}  // namespace platform::services

// Processes and threads: starting programs detached, listing the user's processes from /proc,
// ending one, and fire-and-forget threads.
#include "platform/services.h"
#include "platform/text.h"

#include <QProcess>
#include <QStringList>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace platform::services {

namespace {

std::optional<int> pid_of_entry(const char* name) {
  int pid = 0;
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9' || pid > 10'000'000) return std::nullopt;
    pid = pid * 10 + (*c - '0');
  }
  return pid > 0 ? std::optional<int>(pid) : std::nullopt;
}

bool owned_by_current_user(int pid) {
  struct stat info {};
  std::string dir = "/proc/" + std::to_string(pid);
  return ::stat(dir.c_str(), &info) == 0 && info.st_uid == ::getuid();
}

// UTF-8 file name of the process's executable; the kernel's short name when the link is
// unreadable.
std::string executable_name(int pid) {
  std::string base = "/proc/" + std::to_string(pid);
  std::string target(4096, '\0');
  ssize_t length = ::readlink((base + "/exe").c_str(), target.data(), target.size());
  if (length > 0 && static_cast<std::size_t>(length) < target.size()) {
    target.resize(static_cast<std::size_t>(length));
    constexpr std::string_view deleted = " (deleted)";
    if (target.ends_with(deleted)) target.resize(target.size() - deleted.size());
    return target.substr(target.rfind('/') + 1);
  }
  std::optional<std::string> comm = read_file(base + "/comm");
  if (!comm) return {};
  if (!comm->empty() && comm->back() == '\n') comm->pop_back();
  return *comm;
}

bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

int start_program(std::string_view gbk_program_path, const std::vector<std::string>& gbk_arguments) {
  const std::string program = native_path(gbk_program_path);
  if (program.empty()) return 0;
  QStringList arguments;
  for (const std::string& argument : gbk_arguments) {
    arguments << QString::fromStdString(text::gbk_to_utf8(argument));
  }
  qint64 pid = 0;
  if (!QProcess::startDetached(QString::fromStdString(program), arguments, QString(), &pid)) return 0;
  return static_cast<int>(pid);
}

std::vector<ProcessEntry> list_processes() {
  std::vector<ProcessEntry> processes;
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return processes;
  while (const dirent* entry = ::readdir(proc)) {
    std::optional<int> pid = pid_of_entry(entry->d_name);
    if (!pid || !owned_by_current_user(*pid)) continue;
    std::string name = executable_name(*pid);
    if (!name.empty()) processes.push_back({*pid, text::utf8_to_gbk(name)});
  }
  ::closedir(proc);
  std::sort(processes.begin(), processes.end(),
            [](const ProcessEntry& a, const ProcessEntry& b) { return a.pid < b.pid; });
  return processes;
}

int find_process(std::string_view gbk_exe_name) {
  for (const ProcessEntry& process : list_processes()) {
    if (equal_ignoring_ascii_case(process.exe_name, gbk_exe_name)) return process.pid;
  }
  return 0;
}

bool end_process(int pid, int exit_code) {
  if (pid <= 0) return false;  // 0 and negative ids would signal whole process groups
  if (pid == ::getpid()) {
    std::fflush(nullptr);
    ::_exit(exit_code);
  }
  return ::kill(pid, SIGKILL) == 0;
}

int current_process_id() { return static_cast<int>(::getpid()); }

bool start_thread(std::function<void()> routine) {
  if (!routine) return false;
  try {
    std::thread([routine = std::move(routine)] {
      try {
        routine();
      } catch (...) {
        // A worker's failure must not end the whole program.
      }
    }).detach();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace platform::services

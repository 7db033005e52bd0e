#include "ledger_server.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace ledger {
namespace {

constexpr const char* kDbScript = QUENBO_SCRIPTS_DIR "/db";

std::string read_file(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void replace_line(std::string& text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
}

std::string free_port() {
  std::string port;
  if (FILE* pipe = popen((std::string(kDbScript) + " free-port").c_str(), "r")) {
    char line[32] = {};
    if (std::fgets(line, sizeof line, pipe)) port = line;
    pclose(pipe);
  }
  while (!port.empty() && (port.back() == '\n' || port.back() == '\r')) port.pop_back();
  return port;
}

// Gone, or a zombie nobody has reaped yet (it holds no files or sockets any more).
bool process_gone(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pid_field, name, state;
  return !(stat >> pid_field >> name >> state) || state == "Z";
}

}  // namespace

PrivateServer::~PrivateServer() {
  if (dir_.empty()) return;
  run_script("stop --dir '" + dir_ + "'");
  if (!keep_) {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
}

bool PrivateServer::run_script(const std::string& arguments) const {
  const std::string command = std::string(kDbScript) + " " + arguments + " >>'" + root_ + "/scripts.log' 2>&1";
  return std::system(command.c_str()) == 0;
}

bool PrivateServer::start(std::string& error) {
  char root_template[] = "/tmp/quenbo-ledger-XXXXXX";
  if (!mkdtemp(root_template)) {
    error = "no temporary directory";
    return false;
  }
  root_ = root_template;
  const std::string port = free_port();
  if (port.empty()) {
    error = "no free port";
    return false;
  }
  port_ = static_cast<unsigned>(std::stoul(port));
  dir_ = root_ + "/db";
  if (!run_script("fresh --dir '" + dir_ + "' --port " + port)) {
    error = "scripts/db fresh failed (" + root_ + "/scripts.log)";
    return false;
  }
  return make_durable(error);
}

// Every COMMIT flushed to the log, pages written whole; short lock waits keep runs bounded.
bool PrivateServer::make_durable(std::string& error) {
  const std::string config_path = dir_ + "/my.cnf";
  std::string config = read_file(config_path);
  replace_line(config, "innodb-flush-log-at-trx-commit=0",
               "innodb-flush-log-at-trx-commit=1\ninnodb-lock-wait-timeout=10");
  replace_line(config, "innodb-doublewrite=0", "innodb-doublewrite=1");
  std::ofstream(config_path, std::ios::trunc) << config;
  if (!run_script("stop --dir '" + dir_ + "'") || !restart()) {
    error = "the server did not come back with the durable settings";
    return false;
  }
  return true;
}

int PrivateServer::server_pid() const {
  std::ifstream in(dir_ + "/mariadbd.pid");
  int pid = 0;
  in >> pid;
  return pid;
}

bool PrivateServer::kill_hard() {
  const int pid = server_pid();
  if (pid <= 0 || ::kill(pid, SIGKILL) != 0) return false;
  for (int waited = 0; waited < 200; ++waited) {
    if (process_gone(pid)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

bool PrivateServer::restart() { return run_script("start --dir '" + dir_ + "'"); }

}  // namespace ledger

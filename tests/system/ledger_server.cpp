#include "ledger_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
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

// A free loopback port away from the range where the project's scripts look for one, so that
// no other test server takes it while this one is down between a kill and its restart.
unsigned free_port(std::mt19937& rng) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    const unsigned port = 23000 + rng() % 6000;
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool free = ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    if (free) return port;
  }
  return 0;
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
  dir_ = root_ + "/db";
  std::mt19937 rng(std::random_device{}());
  // Another server may take the port between the probe and the start: try a few.
  for (int attempt = 0; attempt < 3; ++attempt) {
    port_ = free_port(rng);
    if (port_ != 0 && run_script("fresh --dir '" + dir_ + "' --port " + std::to_string(port_))) {
      return make_durable(error);
    }
  }
  error = "scripts/db fresh failed (" + root_ + "/scripts.log)";
  return false;
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

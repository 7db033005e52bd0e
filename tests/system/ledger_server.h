// A MariaDB server of the stress test's own, in a temporary directory on a free loopback port,
// set up so that every committed transaction survives a kill -9 (the project's throw-away test
// servers trade that for speed). Made with the project's scripts/db.
#pragma once

#include <string>

namespace ledger {

class PrivateServer {
 public:
  PrivateServer() = default;
  ~PrivateServer();  // stops the server and removes its directory
  PrivateServer(const PrivateServer&) = delete;
  PrivateServer& operator=(const PrivateServer&) = delete;

  // A new empty instance with the test user; false with `error` set when it did not come up.
  bool start(std::string& error);
  // SIGKILL to the server process, then waits until it is gone.
  bool kill_hard();
  // Starts it again on its data (crash recovery included); false when it does not answer.
  bool restart();
  // Keeps the directory (for a look after a failed run) instead of removing it.
  void keep_directory() { keep_ = true; }

  unsigned port() const { return port_; }
  const std::string& directory() const { return dir_; }

 private:
  bool run_script(const std::string& arguments) const;
  bool make_durable(std::string& error);
  int server_pid() const;

  std::string root_;  // temporary directory holding the instance
  std::string dir_;   // the instance (scripts/db --dir)
  unsigned port_ = 0;
  bool keep_ = false;
};

}  // namespace ledger

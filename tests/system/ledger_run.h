// The ledger stress run: many clients opening resources and transferring coins through the
// program's own code against a private server that is killed and restarted while they work,
// their connections cut at random; then every invariant of the ledger is checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ledger {

struct RunSettings {
  int clients = 20;          // threads, each with its own connection
  int members = 10;          // accounts they all act on (few, so that they collide)
  int operations = 1200;     // opens and transfers in all
  int server_kills = 2;      // kill -9 spread over the run, plus one right after it
  int connection_cuts = 20;  // KILL CONNECTION of a random client's connection
  int time_limit_seconds = 90;
  std::uint32_t seed = 1;
};

struct RunReport {
  std::string setup_error;  // the run could not be made at all
  int operations = 0;
  int succeeded = 0;
  int failed = 0;
  int failed_on_deadlocks = 0;  // the transaction gave up after deadlocking on every attempt
  int indeterminate = 0;
  int indeterminate_applied = 0;
  int transfers_applied = 0;
  int server_kills = 0;
  int connection_cuts = 0;
  int reconnects = 0;
  int snapshots = 0;  // consistent views of the total checked while clients worked
  std::int64_t initial_total = 0;
  std::int64_t final_total = 0;
  std::int64_t violations = 0;
  std::vector<std::string> first_violations;
  std::string kept_directory;  // the server's files, kept after a run with violations
  double seconds = 0;

  std::string summary() const;
};

RunReport run_ledger(const RunSettings& settings);

}  // namespace ledger

// The long ledger run (scripts/ledger-stress): the stress test with more clients, operations,
// kills and cuts. Exits 0 when the run found no violation.
#include "ledger_run.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

bool parse(int argc, char** argv, ledger::RunSettings& settings) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const long value = std::strtol(argv[i + 1], nullptr, 10);
    const std::string option = argv[i];
    if (option == "--clients") settings.clients = static_cast<int>(value);
    else if (option == "--members") settings.members = static_cast<int>(value);
    else if (option == "--operations") settings.operations = static_cast<int>(value);
    else if (option == "--kills") settings.server_kills = static_cast<int>(value);
    else if (option == "--cuts") settings.connection_cuts = static_cast<int>(value);
    else if (option == "--seconds") settings.time_limit_seconds = static_cast<int>(value);
    else if (option == "--seed") settings.seed = static_cast<std::uint32_t>(value);
    else return false;
  }
  return argc % 2 == 1 && settings.clients > 0 && settings.members > 1 && settings.operations > 0;
}

}  // namespace

int main(int argc, char** argv) {
  ledger::RunSettings settings;
  if (!parse(argc, argv, settings)) {
    std::cerr << "usage: ledger_stress [--clients N] [--members N] [--operations N] [--kills N] [--cuts N]"
                 " [--seconds N] [--seed N]\n";
    return 2;
  }
  const ledger::RunReport report = ledger::run_ledger(settings);
  if (!report.setup_error.empty()) {
    std::cerr << "ledger_stress: " << report.setup_error << "\n";
    return 2;
  }
  std::cout << "seed " << settings.seed << ": " << report.summary() << "\n";
  return report.violations == 0 ? 0 : 1;
}

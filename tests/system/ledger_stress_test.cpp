// The short ledger run of CI: 20 clients, about a thousand operations, the server killed three
// times (the last right after the final commits) and connections cut at random.
#include "ledger_run.h"

#include <gtest/gtest.h>

namespace {

TEST(LedgerStress, ConcurrentOpensAndTransfersSurviveKillsAndCuts) {
  ledger::RunSettings settings;
  settings.clients = 20;
  settings.members = 10;
  settings.operations = 1000;
  settings.server_kills = 2;
  settings.connection_cuts = 20;
  settings.time_limit_seconds = 75;
  settings.seed = static_cast<std::uint32_t>(::testing::UnitTest::GetInstance()->random_seed());

  const ledger::RunReport report = ledger::run_ledger(settings);
  ASSERT_EQ(report.setup_error, "");
  std::cout << "seed " << settings.seed << ": " << report.summary() << "\n";
  EXPECT_EQ(report.violations, 0) << report.summary();
  EXPECT_EQ(report.server_kills, settings.server_kills + 1);
  EXPECT_GT(report.connection_cuts, 0);
  EXPECT_GE(report.operations, settings.operations / 2) << "the run ran out of time";
  EXPECT_GT(report.succeeded, 0);
  EXPECT_GT(report.failed, 0);
  EXPECT_GT(report.snapshots, 0);
}

}  // namespace

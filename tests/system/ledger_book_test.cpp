// The ledger's checks must see what they are there to see: a clean history passes, and a lost
// write, an untold change or a missing success each count as a violation.
#include "ledger_actions.h"
#include "ledger_book.h"
#include "client/statements.h"
#include "support/test_database.h"

#include <gtest/gtest.h>

namespace {

using ledger::Operation;
using ledger::OperationKind;
using ledger::Outcome;

class LedgerBookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(database_.ok()) << database_.error();
    connection_ = database_.connect();
    std::string error;
    ASSERT_TRUE(ledger::open_book(connection_.get(), members_, error)) << error;
  }

  // Runs the operation through the program's actions as a client of the stress run does.
  Operation run(std::string tag, OperationKind kind, std::string actor, std::string counterpart,
                std::string amount_text = "") {
    Operation op{tag, kind, actor, counterpart, amount_text, Outcome::failed};
    EXPECT_TRUE(client::db_execute(connection_.get(), ledger::tag_session_statement(tag)));
    const bool reported = kind == OperationKind::open
                              ? ledger::open_resource(connection_.get(), actor, counterpart)
                              : ledger::transfer(connection_.get(), actor, counterpart, amount_text);
    op.outcome = reported ? Outcome::succeeded : Outcome::failed;
    return op;
  }

  ledger::Verdict verify(const std::vector<Operation>& operations) {
    return ledger::verify_book(connection_.get(), members_, operations);
  }

  test_support::ScratchDatabase database_;
  client::ConnectionPtr connection_;
  const std::vector<ledger::Member> members_{{"alice1", 10}, {"bob001", 0}, {"carol1", 5}};
};

TEST_F(LedgerBookTest, AHistoryOfTheProgramsOwnActionsPasses) {
  const std::vector<Operation> operations = {
      run("T1", OperationKind::transfer, "alice1", "bob001", "3#T1"),    // 10 -> 6, 0 -> 3
      run("O2", OperationKind::open, "bob001", "carol1"),                // 3 -> 2, 5 -> 6
      run("T3", OperationKind::transfer, "carol1", "alice1", "6#T3"),    // 6 coins cannot send 6
      run("O4", OperationKind::open, "alice1", "ghost"),                 // no such publisher
      run("T5", OperationKind::transfer, "carol1", "alice1", "5#T5")};   // 6 -> 0, 6 -> 11
  EXPECT_EQ(operations[0].outcome, Outcome::succeeded);
  EXPECT_EQ(operations[1].outcome, Outcome::succeeded);
  EXPECT_EQ(operations[2].outcome, Outcome::failed);
  EXPECT_EQ(operations[3].outcome, Outcome::failed);
  EXPECT_EQ(operations[4].outcome, Outcome::succeeded);

  const ledger::Verdict verdict = verify(operations);
  EXPECT_EQ(verdict.violations, 0) << (verdict.first_violations.empty() ? "" : verdict.first_violations[0]);
  EXPECT_EQ(verdict.transfers_applied, 2);
  EXPECT_EQ(verdict.final_total, 15 - 2);
}

TEST_F(LedgerBookTest, AStaleBalanceWriteIsSeenInTheOperationAndTheTotal) {
  std::vector<Operation> operations = {run("T1", OperationKind::transfer, "alice1", "bob001", "2#T1")};
  // Another client writing the balance it read before T1, as a lost update would.
  ASSERT_TRUE(client::db_execute(connection_.get(), ledger::tag_session_statement("T9")));
  ASSERT_TRUE(client::sql::db_update(connection_.get(), client::sql::balance_update(connection_.get(), "alice1", 10)));
  operations.push_back({"T9", OperationKind::transfer, "alice1", "carol1", "1#T9", Outcome::failed});

  // T9 was told failed but left a row, and the total grew by the three coins T1 had taken.
  EXPECT_EQ(verify(operations).violations, 2);
}

TEST_F(LedgerBookTest, AChangeOutsideTheJournalBreaksTheChain) {
  const std::vector<Operation> operations = {run("O1", OperationKind::open, "alice1", "carol1")};
  ASSERT_TRUE(client::db_execute(connection_.get(), "DROP TRIGGER ledger_journal_on_update"));
  ASSERT_TRUE(client::sql::db_update(connection_.get(), client::sql::balance_update(connection_.get(), "carol1", 5)));

  // carol1's journal ends at 6 while the row says 5, and a coin is missing from the total.
  EXPECT_EQ(verify(operations).violations, 2);
}

TEST_F(LedgerBookTest, ASuccessThatIsNotThereAndAnUntaggedChangeAreViolations) {
  std::vector<Operation> operations = {run("O1", OperationKind::open, "carol1", "alice1")};
  operations.push_back({"O2", OperationKind::open, "carol1", "bob001", "", Outcome::succeeded});
  EXPECT_EQ(verify(operations).violations, 1);

  ASSERT_TRUE(client::db_execute(connection_.get(), "SET @ledger_op=NULL"));
  ASSERT_TRUE(client::sql::db_update(connection_.get(), client::sql::open_receipt_update(connection_.get(), "bob001", "x")));
  operations.pop_back();
  EXPECT_EQ(verify(operations).violations, 1);
}

TEST_F(LedgerBookTest, AnIndeterminateOperationMayBeWhollyThereOrWhollyAbsent) {
  Operation applied = run("T1", OperationKind::transfer, "alice1", "carol1", "4#T1");
  applied.outcome = Outcome::indeterminate;
  const Operation absent{"T2", OperationKind::transfer, "carol1", "alice1", "1#T2", Outcome::indeterminate};
  const ledger::Verdict verdict = verify({applied, absent});
  EXPECT_EQ(verdict.violations, 0);
  EXPECT_EQ(verdict.indeterminate_applied, 1);

  // Half of one (the debit without the rest) is not allowed.
  ASSERT_TRUE(client::db_execute(connection_.get(), ledger::tag_session_statement("T2")));
  ASSERT_TRUE(client::sql::db_update(connection_.get(), client::sql::balance_update(connection_.get(), "carol1", 7)));
  EXPECT_GE(verify({applied, absent}).violations, 1);
}

}  // namespace

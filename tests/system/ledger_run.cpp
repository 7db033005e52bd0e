#include "ledger_run.h"

#include "ledger_actions.h"
#include "ledger_book.h"
#include "ledger_server.h"
#include "support/test_database.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>

namespace ledger {
namespace {

using Clock = std::chrono::steady_clock;
using client::ConnectionPtr;

constexpr const char* kMissingMember = "ghost";
constexpr auto kSnapshotInterval = std::chrono::milliseconds(200);
constexpr auto kReconnectPause = std::chrono::milliseconds(50);

// What the statements of the current operation met on this thread.
struct OperationSignals {
  bool connection_lost = false;
  bool commit_unanswered = false;
};
thread_local OperationSignals t_signals;

bool is_connection_error(unsigned error) {
  return error >= 2000 || error == 1927 /* connection killed */ || error == 1053 /* shutdown */;
}

// A COMMIT that failed for any reason but a deadlock or a changed record may have been applied.
void observe_statement(const client::Connection* connection, std::string_view statement, bool accepted) {
  if (accepted) return;
  const unsigned error = client::db_last_error(connection);
  if (is_connection_error(error)) t_signals.connection_lost = true;
  if (statement == "COMMIT" && error != 1213 && error != 1020) t_signals.commit_unanswered = true;
}

void sleep_for(std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); }

std::vector<Member> make_members(const RunSettings& settings) {
  std::vector<Member> members;
  const std::int64_t wealthy = 2 * settings.operations / std::max(1, settings.members) + 20;
  for (int i = 0; i < settings.members; ++i) {
    // Every fifth member starts with 0, 1 or 2 coins: the boundaries of both checks.
    const std::int64_t coins = i % 5 == 0 ? i % 3 : wealthy;
    members.push_back({"m" + std::to_string(100 + i), coins});
  }
  return members;
}

// Shared by the client, chaos and snapshot threads of one run.
class Run {
 public:
  Run(const RunSettings& settings, PrivateServer& server, std::function<ConnectionPtr()> connect,
      std::vector<Member> members)
      : settings_(settings), server_(server), connect_(std::move(connect)), members_(std::move(members)),
        connection_ids_(settings.clients), logs_(settings.clients),
        deadline_(Clock::now() + std::chrono::seconds(settings.time_limit_seconds)) {
    for (const Member& member : members_) initial_total_ += member.initial_coins;
  }

  void execute(RunReport& report);

 private:
  bool out_of_time() const { return Clock::now() >= deadline_; }
  void run_client(int index);
  ConnectionPtr connect_client(int index, bool first);
  Operation plan(int number, std::mt19937& rng) const;
  bool perform(client::Connection* connection, Operation& op);
  void run_chaos();
  void kill_and_restart();
  bool cut_random_connection(std::mt19937& rng, ConnectionPtr& admin);
  void run_snapshots();
  void note_violation(std::string violation);
  void final_check(RunReport& report);

  const RunSettings& settings_;
  PrivateServer& server_;
  std::function<ConnectionPtr()> connect_;
  std::vector<Member> members_;
  std::int64_t initial_total_ = 0;

  std::atomic<int> next_operation_{0};
  std::atomic<bool> clients_done_{false};
  std::atomic<int> kills_{0}, cuts_{0}, reconnects_{0}, snapshots_{0}, gave_up_on_deadlocks_{0};
  std::vector<std::atomic<unsigned long>> connection_ids_;  // 0 while a client has none
  std::vector<std::vector<Operation>> logs_;                // one per client
  std::mutex violations_mutex_;
  Verdict during_run_;
  Clock::time_point deadline_;
};

Operation Run::plan(int number, std::mt19937& rng) const {
  Operation op;
  op.kind = rng() % 2 ? OperationKind::transfer : OperationKind::open;
  op.tag = (op.kind == OperationKind::open ? "O" : "T") + std::to_string(number);
  const std::size_t actor = rng() % members_.size();
  const std::size_t other = (actor + 1 + rng() % (members_.size() - 1)) % members_.size();
  op.actor = members_[actor].account;
  op.counterpart = rng() % 33 == 0 ? kMissingMember : members_[other].account;
  if (op.kind == OperationKind::transfer) {
    // Mostly small amounts; now and then one that may exceed the balance, so that concurrent
    // transfers from one account race for the last coins.
    const std::uint32_t amount = rng() % 10 == 0 ? 1 + rng() % 400 : 1 + rng() % 8;
    op.amount_text = std::to_string(amount) + "#" + op.tag;
  }
  return op;
}

ConnectionPtr Run::connect_client(int index, bool first) {
  ConnectionPtr connection = connect_();
  if (!connection) return nullptr;
  std::string id;
  if (client::db_execute(connection.get(), "SELECT CONNECTION_ID()")) {
    client::RecordSetPtr row = client::db_get_record_set(connection.get());
    client::db_read_column(row.get(), 0, id);
  }
  connection_ids_[index] = std::strtoul(id.c_str(), nullptr, 10);
  if (!first) ++reconnects_;
  return connection;
}

// Tags the session with the operation, then runs it; false when it could not even be tagged.
bool Run::perform(client::Connection* connection, Operation& op) {
  t_signals = {};
  if (!client::db_execute(connection, tag_session_statement(op.tag))) return false;
  const bool reported = op.kind == OperationKind::open
                            ? open_resource(connection, op.actor, op.counterpart)
                            : transfer(connection, op.actor, op.counterpart, op.amount_text);
  op.outcome = reported ? Outcome::succeeded : t_signals.commit_unanswered ? Outcome::indeterminate : Outcome::failed;
  if (op.outcome == Outcome::failed && client::db_last_error(connection) == 1213) ++gave_up_on_deadlocks_;
  return true;
}

// One user at a client: a new action on a lost connection opens a new one.
void Run::run_client(int index) {
  std::mt19937 rng(settings_.seed * 7919u + static_cast<unsigned>(index));
  ConnectionPtr connection;
  bool first = true;
  while (!out_of_time()) {
    if (!connection) {
      connection = connect_client(index, first);
      if (!connection) {
        sleep_for(kReconnectPause);
        continue;
      }
      first = false;
    }
    const int number = next_operation_.fetch_add(1);
    if (number >= settings_.operations) break;
    Operation op = plan(number, rng);
    const bool tagged = perform(connection.get(), op);
    if (tagged) logs_[index].push_back(op);
    if (!tagged || t_signals.connection_lost) {
      connection_ids_[index] = 0;
      connection.reset();
    }
  }
}

void Run::kill_and_restart() {
  if (server_.kill_hard()) ++kills_;
  sleep_for(std::chrono::milliseconds(100));
  for (int attempt = 0; attempt < 3 && !server_.restart(); ++attempt) sleep_for(std::chrono::seconds(1));
}

bool Run::cut_random_connection(std::mt19937& rng, ConnectionPtr& admin) {
  if (!admin) admin = connect_();
  const unsigned long id = connection_ids_[rng() % connection_ids_.size()].load();
  if (!admin || id == 0) return false;
  if (client::db_execute(admin.get(), "KILL CONNECTION " + std::to_string(id))) return true;
  if (is_connection_error(client::db_last_error(admin.get()))) admin.reset();
  return false;
}

// Kills the server at evenly spread points of progress and cuts connections at random ones.
void Run::run_chaos() {
  std::mt19937 rng(settings_.seed ^ 0x5eedu);
  std::vector<int> kill_points, cut_points;
  for (int k = 1; k <= settings_.server_kills; ++k) kill_points.push_back(k * settings_.operations / (settings_.server_kills + 1));
  for (int c = 0; c < settings_.connection_cuts; ++c) cut_points.push_back(static_cast<int>(rng() % settings_.operations));
  std::sort(cut_points.rbegin(), cut_points.rend());
  std::reverse(kill_points.begin(), kill_points.end());
  ConnectionPtr admin;
  while (!clients_done_) {
    const int progress = next_operation_.load();
    if (!kill_points.empty() && progress >= kill_points.back()) {
      kill_points.pop_back();
      admin.reset();
      kill_and_restart();
    } else if (!cut_points.empty() && progress >= cut_points.back() && cut_random_connection(rng, admin)) {
      cut_points.pop_back();
      ++cuts_;
    }
    sleep_for(std::chrono::milliseconds(2 + rng() % 8));
  }
}

void Run::note_violation(std::string violation) {
  std::lock_guard lock(violations_mutex_);
  during_run_.add(std::move(violation));
}

// The bank test's reader: in one consistent view, the coins plus the fees taken are the coins
// the members started with, and nobody is below zero.
void Run::run_snapshots() {
  ConnectionPtr connection;
  while (!clients_done_) {
    if (!connection) connection = connect_();
    const Snapshot snapshot = read_snapshot(connection.get());
    if (snapshot.read) {
      ++snapshots_;
      if (snapshot.total_coins + snapshot.transfers_applied != initial_total_ || snapshot.negative_balances != 0) {
        note_violation("snapshot: total " + std::to_string(snapshot.total_coins) + " + fees " +
                       std::to_string(snapshot.transfers_applied) + " != " + std::to_string(initial_total_) +
                       ", negative balances " + std::to_string(snapshot.negative_balances));
      }
    } else {
      connection.reset();
    }
    sleep_for(kSnapshotInterval);
  }
}

// After a last kill right behind the final commits, the recovered server must hold exactly
// what the clients were told.
void Run::final_check(RunReport& report) {
  if (settings_.server_kills > 0) kill_and_restart();
  ConnectionPtr connection;
  for (int attempt = 0; attempt < 100 && !(connection = connect_()); ++attempt) sleep_for(std::chrono::milliseconds(200));
  std::vector<Operation> operations;
  for (const auto& log : logs_) operations.insert(operations.end(), log.begin(), log.end());
  Verdict verdict = connection ? verify_book(connection.get(), members_, operations) : Verdict{};
  if (!connection) verdict.add("the server did not come back for the final check");
  for (const std::string& violation : during_run_.first_violations) verdict.add(violation);
  verdict.violations += during_run_.violations - static_cast<std::int64_t>(during_run_.first_violations.size());

  report.operations = static_cast<int>(operations.size());
  for (const Operation& op : operations) {
    (op.outcome == Outcome::succeeded ? report.succeeded : op.outcome == Outcome::failed ? report.failed : report.indeterminate)++;
  }
  report.indeterminate_applied = verdict.indeterminate_applied;
  report.transfers_applied = verdict.transfers_applied;
  report.initial_total = initial_total_;
  report.final_total = verdict.final_total;
  report.violations = verdict.violations;
  report.first_violations = verdict.first_violations;
}

void Run::execute(RunReport& report) {
  std::vector<std::thread> clients;
  for (int i = 0; i < settings_.clients; ++i) clients.emplace_back([this, i] { run_client(i); });
  std::thread chaos([this] { run_chaos(); });
  std::thread snapshots([this] { run_snapshots(); });
  for (std::thread& thread : clients) thread.join();
  clients_done_ = true;
  chaos.join();
  snapshots.join();
  final_check(report);
  report.server_kills = kills_;
  report.connection_cuts = cuts_;
  report.reconnects = reconnects_;
  report.snapshots = snapshots_;
  report.failed_on_deadlocks = gave_up_on_deadlocks_;
}

// A scratch community database on the given server (the shared helper finds its server by the
// test environment's port, so the port is lent to it for the moment of creation).
std::unique_ptr<test_support::ScratchDatabase> make_database(unsigned port) {
  const char* previous = std::getenv("QUENBO_TEST_DB_PORT");
  const std::string saved = previous ? previous : "";
  setenv("QUENBO_TEST_DB_PORT", std::to_string(port).c_str(), 1);
  auto database = std::make_unique<test_support::ScratchDatabase>();
  if (previous) setenv("QUENBO_TEST_DB_PORT", saved.c_str(), 1); else unsetenv("QUENBO_TEST_DB_PORT");
  return database;
}

}  // namespace

std::string RunReport::summary() const {
  std::ostringstream out;
  out << "operations " << operations << " (succeeded " << succeeded << ", failed " << failed << " (" << failed_on_deadlocks
      << " of them after repeated deadlocks), indeterminate "
      << indeterminate << " of which applied " << indeterminate_applied << "), transfers applied "
      << transfers_applied << ", server kills " << server_kills << ", connection cuts " << connection_cuts
      << ", reconnects " << reconnects << ", snapshots " << snapshots << ", coins " << initial_total << " -> "
      << final_total << ", violations " << violations << ", " << seconds << " s";
  for (const std::string& violation : first_violations) out << "\n  " << violation;
  if (!kept_directory.empty()) out << "\n  server files kept in " << kept_directory;
  return out.str();
}

RunReport run_ledger(const RunSettings& settings) {
  RunReport report;
  const auto started = Clock::now();
  PrivateServer server;
  if (!server.start(report.setup_error)) return report;
  std::unique_ptr<test_support::ScratchDatabase> database = make_database(server.port());
  const std::vector<Member> members = make_members(settings);
  ConnectionPtr admin = database->ok() ? database->connect() : nullptr;
  if (!admin || !open_book(admin.get(), members, report.setup_error)) {
    if (report.setup_error.empty()) report.setup_error = "no scratch database: " + database->error();
    return report;
  }
  admin.reset();
  client::db_set_statement_observer(observe_statement);
  Run run(settings, server, [&database] { return database->connect(); }, members);
  run.execute(report);
  client::db_set_statement_observer({});
  report.seconds = std::chrono::duration<double>(Clock::now() - started).count();
  if (report.violations != 0) {
    server.keep_directory();
    report.kept_directory = server.directory();
  }
  return report;
}

}  // namespace ledger

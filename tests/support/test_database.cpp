#include "support/test_database.h"

#include "deployment.h"
#include "platform/text.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace test_support {
namespace {

std::string read_sql_file(const std::string& file_name) {
  std::ifstream in(std::string(QUENBO_SQL_DIR) + "/" + file_name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void replace_all(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

std::string unique_name() {
  static std::atomic<int> counter{0};
  return "quenbo_t" + std::to_string(getpid()) + "_" + std::to_string(counter.fetch_add(1));
}

}  // namespace

DatabaseServer test_server() {
  const char* port = std::getenv("QUENBO_TEST_DB_PORT");
  return {"127.0.0.1", port ? static_cast<unsigned>(std::atoi(port)) : 3407u, "quenbo_test", "quenbo_test"};
}

ScratchDatabase::ScratchDatabase(Contents contents) : server_(test_server()), name_(unique_name()) {
  admin_ = client::db_connect(server_.host, server_.user, server_.password, "", server_.port);
  if (!admin_) {
    error_ = "the test database server on 127.0.0.1:" + std::to_string(server_.port) +
             " does not answer; run the tests through scripts/test";
    return;
  }
  if (!client::db_execute(admin_.get(), "CREATE DATABASE `" + name_ + "` CHARACTER SET gbk COLLATE gbk_nopad_bin") ||
      !client::db_execute(admin_.get(), "USE `" + name_ + "`")) {
    error_ = "could not create " + name_;
    return;
  }
  if (run_file("schema.sql") && contents == Contents::demo) run_file("demo.sql");
}

ScratchDatabase::~ScratchDatabase() {
  if (admin_) client::db_execute(admin_.get(), "DROP DATABASE IF EXISTS `" + name_ + "`");
}

client::ConnectionPtr ScratchDatabase::connect() const {
  return client::db_connect(server_.host, server_.user, server_.password, name_, server_.port);
}

bool ScratchDatabase::run(std::string_view sql) {
  if (!admin_) return false;
  std::istringstream lines{std::string(sql)};
  std::string line, statement;
  while (std::getline(lines, line)) {
    if (line.rfind("--", 0) == 0) continue;
    statement.append(line).append("\n");
    if (line.empty() || line.back() != ';') continue;
    statement.pop_back();  // the newline
    statement.pop_back();  // the semicolon
    if (!client::db_execute(admin_.get(), statement)) {
      error_ = "refused (" + std::to_string(client::db_last_error(admin_.get())) + "): " +
               platform::text::gbk_to_utf8(statement);
      return false;
    }
    statement.clear();
  }
  return true;
}

bool ScratchDatabase::run_file(const std::string& file_name, std::string_view table, int count) {
  std::string sql = read_sql_file(file_name);
  if (sql.empty()) {
    error_ = "cannot read " + std::string(QUENBO_SQL_DIR) + "/" + file_name;
    return false;
  }
  replace_all(sql, "{{SITE_ID}}", deployment::stats_site_id);
  replace_all(sql, "{{TABLE}}", table);
  replace_all(sql, "{{COUNT}}", std::to_string(count));
  return run(platform::text::utf8_to_gbk(sql));
}

bool ScratchDatabase::add_synthetic(client::sql::Category category, int count) {
  return run_file("synthetic.sql", platform::text::gbk_to_utf8(client::sql::category_table(category)), count);
}

std::string ScratchDatabase::value(std::string_view gbk_query) {
  std::string result;
  if (client::db_execute(admin_.get(), gbk_query)) {
    client::RecordSetPtr rows = client::db_get_record_set(admin_.get());
    client::db_read_column(rows.get(), 0, result);
  }
  return result;
}

}  // namespace test_support

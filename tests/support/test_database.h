// Scratch community databases on the test server that scripts/test starts (scripts/db fresh).
#pragma once

#include "client/datastore.h"
#include "client/statements.h"

#include <string>
#include <string_view>

namespace test_support {

struct DatabaseServer {
  std::string host;
  unsigned port = 0;
  std::string user;
  std::string password;
};

// The test server: 127.0.0.1, port QUENBO_TEST_DB_PORT (3407 when unset), the test user.
DatabaseServer test_server();

// A database of its own (so tests may run in parallel) holding the community schema, and the
// demo data when asked; dropped again on destruction.
class ScratchDatabase {
 public:
  enum class Contents { schema, demo };
  explicit ScratchDatabase(Contents contents = Contents::schema);
  ~ScratchDatabase();
  ScratchDatabase(const ScratchDatabase&) = delete;
  ScratchDatabase& operator=(const ScratchDatabase&) = delete;

  // False when the server could not be reached or the database not made; error() says why.
  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  const std::string& name() const { return name_; }
  const DatabaseServer& server() const { return server_; }

  // A new data-store connection to this database, as the client would open it.
  client::ConnectionPtr connect() const;

  // Runs SQL given in GBK: statements end with ";" at the end of a line, "--" lines are
  // comments. False, with error() set, at the first statement the server refuses.
  bool run(std::string_view sql);
  // Adds `count` synthetic resources to a category table.
  bool add_synthetic(client::sql::Category category, int count);
  // The first column of the first row of a query given in GBK; empty when there is none.
  std::string value(std::string_view gbk_query);

 private:
  bool run_file(const std::string& file_name, std::string_view table = {}, int count = 0);

  DatabaseServer server_;
  std::string name_;
  std::string error_;
  client::ConnectionPtr admin_;
};

}  // namespace test_support

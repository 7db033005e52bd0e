// Where the community database is: the compiled-in deployment values, or a test's own.
#pragma once

#include "client/datastore.h"

#include <string>

namespace client {

struct DatabaseAddress {
  std::string host;
  std::string user;
  std::string password;
  std::string database;
  unsigned port = 0;  // 0: the client library's default
};

// The values this build was configured with (cmake/Deployment.cmake).
DatabaseAddress deployment_database();

// db_connect with the address's values.
ConnectionPtr connect(const DatabaseAddress& address);

}  // namespace client

#include "client/database_address.h"

#include "deployment.h"

namespace client {

DatabaseAddress deployment_database() {
  // The library's default port is written as 0 so that a standard deployment sends exactly
  // what the library would choose itself.
  unsigned port = deployment::db_port == 3306 ? 0 : deployment::db_port;
  return {deployment::db_host, deployment::db_user, deployment::db_password, deployment::db_name,
          port};
}

ConnectionPtr connect(const DatabaseAddress& address) {
  return db_connect(address.host, address.user, address.password, address.database, address.port);
}

}  // namespace client

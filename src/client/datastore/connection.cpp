// Connections: opening, sending statements one at a time, handing results to the sending thread.
#include "datastore_internal.h"

#include <atomic>
#include <unordered_map>

namespace client {
namespace {

// Opening a connection and the library's first initialisation are not thread-safe.
std::mutex g_connect_mutex;
std::atomic<std::uint64_t> g_next_serial{1};

std::mutex g_observer_mutex;
std::shared_ptr<const StatementObserver> g_observer;

constexpr unsigned kConnectTimeoutSeconds = 5;

// What the last statement a thread sent on a connection left for that thread.
struct ThreadSlot {
  RecordSetPtr result;
  unsigned error = 0;
};
thread_local std::unordered_map<std::uint64_t, ThreadSlot> t_slots;

ThreadSlot* find_slot(const Connection* connection) {
  const auto it = t_slots.find(connection->serial);
  return it == t_slots.end() ? nullptr : &it->second;
}

void notify_observer(const Connection* connection, std::string_view statement, bool accepted) {
  std::shared_ptr<const StatementObserver> observer;
  {
    std::lock_guard lock(g_observer_mutex);
    observer = g_observer;
  }
  if (observer) (*observer)(connection, statement, accepted);
}

// An unconnected handle set to GBK, for escaping values when there is no connection.
MYSQL* detached_gbk_handle() {
  static const std::unique_ptr<MysqlHandle> handle = [] {
    std::lock_guard lock(g_connect_mutex);
    auto h = std::make_unique<MysqlHandle>();
    h->mysql.charset = mariadb_get_charset_by_name("gbk");
    return h;
  }();
  return &handle->mysql;
}

}  // namespace

Connection::Connection(std::shared_ptr<MysqlHandle> h)
    : handle(std::move(h)), serial(g_next_serial.fetch_add(1)) {}

// A result another thread has not taken yet stays with that thread until it exits; record sets
// keep the library handle alive, so none of them is left dangling.
void ConnectionDeleter::operator()(Connection* connection) const {
  if (!connection) return;
  t_slots.erase(connection->serial);
  delete connection;
}

ConnectionPtr db_connect(std::string_view host, std::string_view user, std::string_view password,
                         std::string_view database, unsigned port) {
  std::lock_guard lock(g_connect_mutex);
  auto handle = std::make_shared<MysqlHandle>();
  MYSQL* mysql = &handle->mysql;
  const unsigned timeout = kConnectTimeoutSeconds;
  const my_bool no_reconnect = 0;
  mysql_options(mysql, MYSQL_SET_CHARSET_NAME, "gbk");
  mysql_options(mysql, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
  mysql_options(mysql, MYSQL_OPT_RECONNECT, &no_reconnect);
  const std::string host_text(host), user_text(user), password_text(password), database_text(database);
  if (!mysql_real_connect(mysql, host_text.c_str(), user_text.c_str(), password_text.c_str(),
                          database_text.empty() ? nullptr : database_text.c_str(), port, nullptr, 0)) {
    return nullptr;
  }
  return ConnectionPtr(new Connection(std::move(handle)));
}

bool db_execute(Connection* connection, std::string_view statement) {
  if (!connection) return false;
  statement = statement.substr(0, statement.find('\0'));
  ConnectionLock lock(connection->mutex);
  MYSQL* mysql = &connection->handle->mysql;
  bool accepted = mysql_real_query(mysql, statement.data(), statement.size()) == 0;
  ThreadSlot& slot = t_slots[connection->serial];
  slot.result.reset();
  if (accepted) {
    // The whole result comes over now, so the connection is free for the next statement.
    if (MYSQL_RES* result = mysql_store_result(mysql)) {
      slot.result.reset(new RecordSet(connection->handle, result));
    } else if (mysql_field_count(mysql) != 0) {
      accepted = false;  // a result was due but could not be transferred
    }
  }
  slot.error = accepted ? 0 : mysql_errno(mysql);
  connection->last_statement.assign(statement);
  notify_observer(connection, statement, accepted);
  return accepted;
}

RecordSetPtr db_get_record_set(Connection* connection) {
  if (!connection) return nullptr;
  ThreadSlot* slot = find_slot(connection);
  return slot ? std::move(slot->result) : nullptr;
}

bool db_insert(Connection* connection, std::string_view table, std::string_view assignments) {
  return connection && db_execute(connection, insert_text(table, assignments));
}

bool db_update(Connection* connection, std::string_view table, std::string_view assignments,
               std::string_view condition) {
  return connection && db_execute(connection, update_text(table, assignments, condition));
}

std::string insert_text(std::string_view table, std::string_view assignments) {
  std::string text = "insert into ";
  text.append(table).append(" set ").append(assignments);
  return text;
}

std::string update_text(std::string_view table, std::string_view assignments,
                        std::string_view condition) {
  std::string text = "update ";
  text.append(table).append(" set ").append(assignments);
  if (!condition.empty()) text.append(" where ").append(condition);
  return text;
}

std::string db_escape(const Connection* connection, std::string_view value) {
  std::string escaped(value.size() * 2 + 1, '\0');
  unsigned long length;
  if (connection) {
    ConnectionLock lock(connection->mutex);
    length = mysql_real_escape_string(&connection->handle->mysql, escaped.data(), value.data(),
                                      value.size());
  } else {
    length = mysql_real_escape_string(detached_gbk_handle(), escaped.data(), value.data(), value.size());
  }
  if (length == static_cast<unsigned long>(-1)) return {};
  escaped.resize(length);
  return escaped;
}

ConnectionLock db_lock(Connection* connection) {
  return connection ? ConnectionLock(connection->mutex) : ConnectionLock();
}

unsigned db_last_error(const Connection* connection) {
  if (!connection) return 0;
  const ThreadSlot* slot = find_slot(connection);
  return slot ? slot->error : 0;
}

void set_last_error(const Connection* connection, unsigned error) {
  t_slots[connection->serial].error = error;
}

std::string db_last_statement(const Connection* connection) {
  if (!connection) return {};
  ConnectionLock lock(connection->mutex);
  return connection->last_statement;
}

void db_set_statement_observer(StatementObserver observer) {
  std::lock_guard lock(g_observer_mutex);
  g_observer = observer ? std::make_shared<const StatementObserver>(std::move(observer)) : nullptr;
}

}  // namespace client

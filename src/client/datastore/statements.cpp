// The statement catalogue. Each value goes between single quotes, escaped for its connection.
#include "client/statements.h"

#include "datastore_internal.h"

namespace client::sql {
namespace {

// column + "='" + escaped value + "'"
std::string quoted(const Connection* c, std::string_view column, std::string_view value) {
  std::string text(column);
  text.append("='").append(db_escape(c, value)).append("'");
  return text;
}

std::string select_where(const Connection* c, std::string_view table, std::string_view column,
                         std::string_view value) {
  std::string text = "select * from ";
  text.append(table).append(" where ").append(quoted(c, column, value));
  return text;
}

}  // namespace

std::string_view category_table(Category category) {
  switch (category) {
    case Category::featured: return "精品资源";
    case Category::source_code: return "编程源码";
    case Category::software_tools: return "软件辅助";
    case Category::offers: return "活动线报";
  }
  return "精品资源";
}

std::string text(const Insert& statement) { return insert_text(statement.table, statement.assignments); }

std::string text(const Update& statement) {
  return update_text(statement.table, statement.assignments, statement.condition);
}

bool db_insert(Connection* connection, const Insert& statement) {
  return client::db_insert(connection, statement.table, statement.assignments);
}

bool db_update(Connection* connection, const Update& statement) {
  return client::db_update(connection, statement.table, statement.assignments, statement.condition);
}

std::string settings_select() { return "select * from Quenbo盒子设置 where 语句='0'"; }

std::string category_count(Category category) {
  return std::string("SELECT COUNT(*) FROM ").append(category_table(category));
}

std::string category_list(Category category) {
  return std::string("SELECT * from ").append(category_table(category)).append(" ORDER BY 更新时间 DESC");
}

std::string account_select(const Connection* c, std::string_view name) {
  return select_where(c, kAccounts, "账号", name);
}

Update balance_update(const Connection* c, std::string_view name, std::int64_t coins) {
  return {kAccounts, quoted(c, "Quenbo币", int_to_text(coins)), quoted(c, "账号", name)};
}

Update open_receipt_update(const Connection* c, std::string_view account,
                           std::string_view publisher) {
  std::string message = "您刚刚打开了： ";
  message.append(publisher).append(" 上传的资源已从账户扣除1个Quenbo币");
  return {kAccounts, quoted(c, "回执消息", message), quoted(c, "账号", account)};
}

Insert account_insert(const Connection* c, std::string_view account, std::string_view password) {
  std::string assignments = quoted(c, "账号", account);
  assignments.append(",").append(quoted(c, "密码", password));
  assignments.append(",Quenbo币='2',投稿量='0',帐号状态='正常',回执消息='欢迎加入Quenbo资源社区'");
  return {kAccounts, std::move(assignments)};
}

Insert welcome_receipt_insert(const Connection* c, std::string_view account) {
  std::string assignments = quoted(c, "ID", account);
  assignments.append(",回执消息='快去分享资源赚Quenbo币下载资源吧！'");
  return {kReviewReceipts, std::move(assignments)};
}

Update transfer_received_receipt_update(const Connection* c, std::string_view account,
                                        std::string_view recipient, std::string_view amount) {
  std::string message = "用户：";
  message.append(account).append("向您汇款").append(amount).append("Quenbo币");
  return {kAccounts, quoted(c, "回执消息", message), quoted(c, "ID", recipient)};
}

Update transfer_sent_receipt_update(const Connection* c, std::string_view account,
                                    std::string_view recipient, std::string_view amount) {
  std::string message = "您刚刚向用户： ";
  message.append(recipient).append(" 汇款 ").append(amount).append(" 个Quenbo币");
  return {kAccounts, quoted(c, "回执消息", message), quoted(c, "账号", account)};
}

Insert submission_insert(const Connection* c, std::string_view account, std::string_view title,
                         std::string_view description, std::string_view address,
                         std::string_view category) {
  std::string assignments = quoted(c, "ID", account);
  assignments.append(",").append(quoted(c, "标题", title));
  assignments.append(",").append(quoted(c, "说明", description));
  assignments.append(",").append(quoted(c, "地址", address));
  assignments.append(",审核状态='审核中',").append(quoted(c, "分类", category));
  return {kSubmissions, std::move(assignments)};
}

Update under_review_update(const Connection* c, std::string_view account) {
  return {kAccounts, "正在审核的资源='1'", quoted(c, "ID", account)};
}

Update submission_receipt_update(const Connection* c, std::string_view account) {
  return {kAccounts, "回执消息='你有一条投稿正在审核中，请耐心等待！'", quoted(c, "账号", account)};
}

std::string stats_account_select(const Connection* c, std::string_view site_id) {
  return select_where(c, kStatsAccounts, "SID", site_id);
}

std::string stats_state_select(const Connection* c, std::string_view site_id) {
  return select_where(c, kStatsState, "SID", site_id);
}

Update page_views_update(const Connection* c, std::string_view site_id, std::int64_t views) {
  std::string assignments = quoted(c, "SID", site_id);
  assignments.append(",").append(quoted(c, "PV", int_to_text(views)));
  return {kStatsAccounts, std::move(assignments), quoted(c, "SID", site_id)};
}

Insert visit_address_insert(const Connection* c, std::string_view site_id,
                            std::string_view address, int month, int day) {
  const std::string date = int_to_text(month) + "月" + int_to_text(day);
  std::string assignments = quoted(c, "SID", site_id);
  assignments.append(",").append(quoted(c, "IP", address));
  assignments.append(",").append(quoted(c, "日期", date));
  return {kStatsAddresses, std::move(assignments)};
}

}  // namespace client::sql

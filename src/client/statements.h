// The statement catalogue: every SQL statement the client sends, built in one place.
//
// Each function takes the values and gives the exact text (or the table, assignments and
// condition of an insert or update) with each value escaped for the connection it will go on,
// so no caller joins SQL by hand. Values are GBK; numbers are written in plain decimal.
#pragma once

#include "client/datastore.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace client::sql {

// Table names.
inline constexpr std::string_view kAccounts = "Quenbo登录验证";
inline constexpr std::string_view kReviewReceipts = "审核回执";
inline constexpr std::string_view kSubmissions = "投稿审核";
inline constexpr std::string_view kSettings = "Quenbo盒子设置";
inline constexpr std::string_view kStatsAccounts = "Tallyx账号数据";
inline constexpr std::string_view kStatsState = "统计状态";
inline constexpr std::string_view kStatsAddresses = "TallyxIP数据库";

// The four resource categories; each has a table of the same name.
enum class Category { featured, source_code, software_tools, offers };
// "精品资源", "编程源码", "软件辅助", "活动线报".
std::string_view category_table(Category category);

// "insert into " + table + " set " + assignments
struct Insert {
  std::string_view table;
  std::string assignments;
};
// "update " + table + " set " + assignments [+ " where " + condition]
struct Update {
  std::string_view table;
  std::string assignments;
  std::string condition;
};
std::string text(const Insert& statement);
std::string text(const Update& statement);
bool db_insert(Connection* connection, const Insert& statement);
bool db_update(Connection* connection, const Update& statement);

// ---- Settings and resource lists ----
// select * from Quenbo盒子设置 where 语句='0'
std::string settings_select();
// SELECT COUNT(*) FROM <table>
std::string category_count(Category category);
// SELECT * from <table> ORDER BY 更新时间 DESC
std::string category_list(Category category);

// ---- Accounts ----
// select * from Quenbo登录验证 where 账号='<name>'
std::string account_select(const Connection* c, std::string_view name);
// Quenbo币='<coins>' where 账号='<name>'
Update balance_update(const Connection* c, std::string_view name, std::int64_t coins);
// The reader's receipt after opening a publisher's resource.
Update open_receipt_update(const Connection* c, std::string_view account,
                           std::string_view publisher);
// A new member: 2 coins, no submissions, state 正常, the welcome message.
Insert account_insert(const Connection* c, std::string_view account, std::string_view password);
// The new member's row in 审核回执.
Insert welcome_receipt_insert(const Connection* c, std::string_view account);

// ---- Transfers (amount as the sender typed it) ----
// The recipient's receipt; addressed by the column ID.
Update transfer_received_receipt_update(const Connection* c, std::string_view account,
                                        std::string_view recipient, std::string_view amount);
// The sender's receipt.
Update transfer_sent_receipt_update(const Connection* c, std::string_view account,
                                    std::string_view recipient, std::string_view amount);

// ---- Submissions ----
Insert submission_insert(const Connection* c, std::string_view account, std::string_view title,
                         std::string_view description, std::string_view address,
                         std::string_view category);
// 正在审核的资源='1' where ID='<account>'
Update under_review_update(const Connection* c, std::string_view account);
Update submission_receipt_update(const Connection* c, std::string_view account);

// ---- Visit statistics ----
// select * from Tallyx账号数据 where SID='<sid>'
std::string stats_account_select(const Connection* c, std::string_view site_id);
// select * from 统计状态 where SID='<sid>'
std::string stats_state_select(const Connection* c, std::string_view site_id);
// SID='<sid>',PV='<views>' where SID='<sid>'
Update page_views_update(const Connection* c, std::string_view site_id, std::int64_t views);
// SID, IP and the date as month + "月" + day.
Insert visit_address_insert(const Connection* c, std::string_view site_id,
                            std::string_view address, int month, int day);

}  // namespace client::sql

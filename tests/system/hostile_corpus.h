// Hostile texts for every field a user types and every cell the database sends back, and
// table snapshots that show which rows an action changed. GBK texts.
#pragma once

#include "client/datastore.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace hostile {

struct Hostile {
  std::string name;
  std::string text;
  bool valid_gbk = true;  // a GBK server can hold it
};

inline std::vector<Hostile> corpus() {
  std::vector<Hostile> c = {
      {"single quotes", "ab'cd'ef' OR '1'='1"},
      {"double quotes", "ab\"cd\"\" OR \"\"=\""},
      {"backslashes", "ab\\cd\\\\ef\\'x\\"},
      {"trailing backslash", "abcdef\\"},
      {"gbk 5c trail", "\xD5\x5C\xD5\x5C' OR 1=1 -- "},
      {"gbk 5c trail then backslash", "x\xD5\x5C\\\xB1\x5C'\xD5\x5C"},
      {"bf27 pair", "\xBF\x27 OR 1=1 -- ", false},
      {"bf27 assignment", "\xBF\x27,Quenbo币='999999',帐号状态='正常'#", false},
      {"lone lead byte at end", "abcdef\xD5", false},
      {"invalid trail 7f", "abc\x81\x7F" "def", false},
      {"sql keywords", "x'; DROP TABLE Quenbo登录验证; --"},
      {"union select", "' UNION SELECT 账号,密码 FROM Quenbo登录验证 #"},
      {"dash comment", "abcdef-- comment"},
      {"hash comment", "abcdef# comment"},
      {"block comment", "abc/* x */def/*!50000 OR 1=1*/"},
      {"percent and underscore", "%_%_%_\\%\\_"},
      {"control characters", "a\x01\x02\x07\t\r\n\x1B\x7F" "b"},
      {"chinese", "中文资源标题测试"},
      {"empty", ""},
      {"blanks", "      "},
      {"long 64 KiB", std::string(64 * 1024, 'A')},
      {"long 64 KiB of quotes", std::string(64 * 1024, '\'')},
      {"long 64 KiB of 5c characters", [] {
         std::string s;
         for (int i = 0; i < 32 * 1024; ++i) s += "\xD5\x5C";
         return s;
       }()},
  };
  return c;
}

inline std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

// Every row of a table, each as the hex of its cells joined by '|', sorted.
inline std::vector<std::string> snapshot(client::Connection* connection, const std::string& table) {
  std::vector<std::string> rows;
  if (!client::db_execute(connection, "SELECT COUNT(*) FROM `" + table + "`")) return {"<unreadable>"};
  client::RecordSetPtr count_set = client::db_get_record_set(connection);
  std::string count_text;
  client::db_read_column(count_set.get(), 0, count_text);
  const auto count = client::text_to_int(count_text);
  if (!client::db_execute(connection, "SELECT * FROM `" + table + "`")) return {"<unreadable>"};
  client::RecordSetPtr set = client::db_get_record_set(connection);
  for (std::int64_t r = 0; r < count; ++r) {
    std::string row;
    std::string cell;
    for (int c = 0; client::db_read_column(set.get(), c, cell); ++c) row += hex(cell) + "|";
    rows.push_back(row);
    client::db_next_row(set.get());
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

// The rows of `after` that `before` did not have.
inline std::vector<std::string> added(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  std::vector<std::string> out;
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(out));
  return out;
}

}  // namespace hostile

// The resource browser's six statements (one count, five record sets of the same list, one
// column read from each per row) through the C API alone: the baseline that the data store and
// the client's category load are measured against.
#pragma once

#include "client/statements.h"
#include "support/test_database.h"

#include <benchmark/benchmark.h>
#include <mysql.h>

#include <string>

namespace bench_support {

inline void category_load_through_c_api(benchmark::State& state, const test_support::ScratchDatabase& db,
                                        client::sql::Category category) {
  const test_support::DatabaseServer& server = db.server();
  MYSQL* mysql = mysql_init(nullptr);
  mysql_options(mysql, MYSQL_SET_CHARSET_NAME, "gbk");
  if (!mysql_real_connect(mysql, server.host.c_str(), server.user.c_str(), server.password.c_str(),
                          db.name().c_str(), server.port, nullptr, 0)) {
    mysql_close(mysql);
    return state.SkipWithError("cannot connect");
  }
  const std::string count_text = client::sql::category_count(category);
  const std::string list_text = client::sql::category_list(category);
  for (auto _ : state) {
    std::string cell;
    mysql_real_query(mysql, count_text.data(), count_text.size());
    mysql_free_result(mysql_store_result(mysql));
    MYSQL_RES* sets[5];
    for (MYSQL_RES*& set : sets) {
      mysql_real_query(mysql, list_text.data(), list_text.size());
      set = mysql_store_result(mysql);
    }
    for (int i = 0; i < 5; ++i) {
      while (MYSQL_ROW row = mysql_fetch_row(sets[i])) {
        cell.assign(row[i] ? row[i] : "", row[i] ? mysql_fetch_lengths(sets[i])[i] : 0);
        benchmark::DoNotOptimize(cell.data());
      }
      mysql_free_result(sets[i]);
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  mysql_close(mysql);
}

}  // namespace bench_support

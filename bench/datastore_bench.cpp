// Loading a category of N resources the way the resource browser does (one count, five record
// sets of the same list, one column read from each per row), through the data store and through
// the C API alone, so that the data store's own cost shows. Runs against the test server.
#include "client/datastore.h"
#include "client/statements.h"
#include "support/test_database.h"

#include "raw_category_load.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace client;

namespace {

constexpr sql::Category kCategory = sql::Category::source_code;
const char* const kColumns[5] = {"ID", "标题", "更新时间", "说明", "地址"};

// One scratch database per row count, filled once.
test_support::ScratchDatabase* database_with(int rows) {
  static std::map<int, std::unique_ptr<test_support::ScratchDatabase>> databases;
  auto& db = databases[rows];
  if (!db) {
    db = std::make_unique<test_support::ScratchDatabase>();
    if (db->ok()) db->add_synthetic(kCategory, rows);
  }
  return db->ok() ? db.get() : nullptr;
}

void BM_CategoryLoadThroughDataStore(benchmark::State& state) {
  test_support::ScratchDatabase* db = database_with(static_cast<int>(state.range(0)));
  ConnectionPtr connection = db ? db->connect() : nullptr;
  if (!connection) return state.SkipWithError("no test database server");
  for (auto _ : state) {
    std::string count, cell;
    db_execute(connection.get(), sql::category_count(kCategory));
    RecordSetPtr counted = db_get_record_set(connection.get());
    db_read_column(counted.get(), 0, count);
    RecordSetPtr sets[5];
    for (RecordSetPtr& set : sets) {
      db_execute(connection.get(), sql::category_list(kCategory));
      set = db_get_record_set(connection.get());
    }
    for (std::int64_t row = text_to_int(count); row > 0; --row) {
      for (int i = 0; i < 5; ++i) {
        db_read_field(sets[i].get(), kColumns[i], cell);
        benchmark::DoNotOptimize(cell.data());
      }
      for (RecordSetPtr& set : sets) db_next_row(set.get());
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CategoryLoadThroughCApi(benchmark::State& state) {
  test_support::ScratchDatabase* db = database_with(static_cast<int>(state.range(0)));
  if (!db) return state.SkipWithError("no test database server");
  bench_support::category_load_through_c_api(state, *db, kCategory);
}

BENCHMARK(BM_CategoryLoadThroughDataStore)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CategoryLoadThroughCApi)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The resource browser as a user feels it. A category of 10,000 rows loaded into the resource
// list and painted, measured against the same six statements read through the C API alone in
// the same run; the start-up from loading the main window to its first composed frame (the
// opening effect left out); the memory of the client with 10,000 rows listed.
#include "client/category_loader.h"
#include "client/main_content.h"
#include "client/main_messages.h"
#include "client/main_window.h"
#include "client/program_state.h"
#include "dui/controls/caption_button.h"
#include "dui/core/framework.h"
#include "http_test_server.h"
#include "platform/application.h"
#include "platform/testing.h"
#include "support/test_database.h"

#include "raw_category_load.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <memory>

using namespace client;

namespace {

constexpr sql::Category kCategory = sql::Category::source_code;

test_support::ScratchDatabase* database_with(int rows) {
  static std::map<int, std::unique_ptr<test_support::ScratchDatabase>> databases;
  auto& db = databases[rows];
  if (!db) {
    db = std::make_unique<test_support::ScratchDatabase>(test_support::ScratchDatabase::Contents::demo);
    if (db->ok()) {
      db->run("DELETE FROM 编程源码;\n");
      db->add_synthetic(kCategory, rows);
    }
  }
  return db->ok() ? db.get() : nullptr;
}

void pump() {
  for (int round = 0; round < 3; ++round) platform::window::pump();
}

// A host window the size of the main window carrying the resource list as the client makes it.
struct ListOnHost {
  ListOnHost() {
    dui::FrameWindowOptions options;
    options.width = 503;
    options.height = 441;
    options.show = true;
    window = dui::create_frame_window(0, "bench", options);
    dui::HostOptions host_options;
    host_options.features = 0;
    host.create(window, host_options);
    list.create(window, 15, 150, 465, 255);
    for (int i = 0; i < 5; ++i) list.insert_column(std::nullopt, "c", i == 4 ? 0 : 90, 0);
    screens.resource_list = &list;
  }
  ~ListOnHost() { platform::window::destroy(window); }
  dui::WindowHandle window = 0;
  dui::Ex_Window host;
  dui::Ex_ListView list;
  BrowserScreens screens;
};

void BM_CategoryLoadToPaintedList(benchmark::State& state) {
  test_support::ScratchDatabase* db = database_with(static_cast<int>(state.range(0)));
  ConnectionPtr connection = db ? db->connect() : nullptr;
  if (!connection) return state.SkipWithError("no test database server");
  ListOnHost on_host;
  for (auto _ : state) {
    category_loader().load(kCategory, connection.get(), on_host.screens);
    pump();  // the list paints the rows in view and presents them
  }
  if (on_host.list.row_count() != state.range(0)) state.SkipWithError("the list was not filled");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SixStatementsThroughCApi(benchmark::State& state) {
  test_support::ScratchDatabase* db = database_with(static_cast<int>(state.range(0)));
  if (!db) return state.SkipWithError("no test database server");
  bench_support::category_load_through_c_api(state, *db, kCategory);
}

// Resident memory of this process in kilobytes.
double resident_kb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      double kb = 0;
      status >> kb;
      return kb;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}

StartupOptions startup_options(test_support::ScratchDatabase& db, test_support::HttpTestServer& page) {
  StartupOptions options;
  options.database = {db.server().host, db.server().user, db.server().password, db.name(), db.server().port};
  options.visit_counter.database = options.database;
  options.visit_counter.ip_page_url = page.url("/ip");
  options.show_effect_ms = 0;
  return options;
}

// From loading the main window (the whole start sequence: host, content, connection, visit,
// settings, the first category) to its first composed frame.
void BM_StartUpToFirstFrame(benchmark::State& state) {
  test_support::ScratchDatabase* db = database_with(static_cast<int>(state.range(0)));
  if (!db) return state.SkipWithError("no test database server");
  test_support::HttpTestServer page;
  test_support::HttpReply reply;
  reply.body = "[127.0.0.1]";
  page.serve("/ip", reply);
  client::testing::set_main_message_routine([](std::string_view) {});
  double memory_kb = 0;
  for (auto _ : state) {
    state.PauseTiming();
    reset_program_state();
    construct_program_objects();
    auto window = std::make_unique<MainWindow>(startup_options(*db, page));
    state.ResumeTiming();
    window->load();
    while (platform::testing::present_count(window->form().handle()) == 0) platform::window::pump();
    state.PauseTiming();
    pump();
    memory_kb = resident_kb();
    window.reset();
    destroy_program_objects();
    state.ResumeTiming();
  }
  state.counters["rows_listed"] = static_cast<double>(state.range(0));
  state.counters["resident_MB"] = memory_kb / 1024.0;
}

BENCHMARK(BM_CategoryLoadToPaintedList)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SixStatementsThroughCApi)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUpToFirstFrame)->Arg(13)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  platform::application::init(argc, argv);
  dui::install_caption_parts();
  dui::init_framework();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  platform::application::shutdown();
  return 0;
}

// The drawn list view against Qt's QTableWidget: filling five columns with N rows the way the
// resource loader does (insert_row plus four set_cell_text) and painting once; then the cost
// of one wheel step and one hover change at 100 and 100,000 rows, and the memory per row.
// Built as UTF-8 (Qt's headers need it): the list's GBK texts are converted up front.
#include "dui/controls/list_view.h"
#include "dui/core/framework.h"
#include "dui/core/host_window.h"
#include "platform/application.h"
#include "platform/text.h"
#include "platform/window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTableWidget>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace pw = platform::window;

constexpr int kColumns = 5;
const char* const kHeaders[kColumns] = {"ID", "标题", "更新时间", "说明", "地址"};
const int kWidths[kColumns] = {50, 160, 90, 100, 200};
constexpr int kListWidth = 465;
constexpr int kListHeight = 255;

// The rows as the resource loader sees them: GBK for the list, UTF-16 for Qt.
struct Rows {
  std::vector<std::string> gbk;  // row-major, kColumns per row
  std::vector<QString> qt;
  std::size_t text_bytes = 0;
};

const Rows& rows_of(int count) {
  static std::map<int, std::unique_ptr<Rows>> cache;
  auto& rows = cache[count];
  if (rows) return *rows;
  rows = std::make_unique<Rows>();
  rows->gbk.reserve(std::size_t(count) * kColumns);
  for (int r = 1; r <= count; ++r) {
    const std::string id = std::to_string(r);
    const std::string cells[kColumns] = {id, "多线程下载器源码 第" + id + "版", "2024-05-" + std::to_string(r % 28 + 1),
                                         "会员分享的资源", "https://pan.example.com/s/" + id};
    for (const std::string& cell : cells) {
      rows->gbk.push_back(platform::text::utf8_to_gbk(cell));
      rows->qt.push_back(QString::fromStdString(cell));
      rows->text_bytes += rows->gbk.back().size();
    }
  }
  return *rows;
}

dui::Ex_Window* g_host = nullptr;
dui::WindowHandle g_window = 0;

void settle() {
  for (int round = 0; round < 3; ++round) pw::pump();
}

void make_list(dui::Ex_ListView& list) {
  dui::ListViewOptions options;
  options.grid_lines = 1;
  options.selected_background = dui::to_argb(0x00FF00, 255);
  options.font_family = platform::text::utf8_to_gbk("微软雅黑");
  list.create(g_window, 15, 50, kListWidth, kListHeight, options);
  list.alpha(230);
  for (int c = 0; c < kColumns; ++c) {
    list.insert_column(std::nullopt, platform::text::utf8_to_gbk(kHeaders[c]), kWidths[c], 0);
  }
}

void fill(dui::Ex_ListView& list, const Rows& rows, int count) {
  const dui::Argb colour = dui::to_argb(0x202020, 230);
  for (int r = 0; r < count; ++r) {
    const std::string* cells = &rows.gbk[std::size_t(r) * kColumns];
    dui::RowOptions options;
    options.row_colour = colour;
    const int row = list.insert_row(std::nullopt, cells[0], options);
    for (int c = 1; c < kColumns; ++c) list.set_cell_text(row, c + 1, cells[c]);
  }
}

void BM_ListView_FillAndPaint(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const Rows& rows = rows_of(count);
  std::size_t memory = 0;
  for (auto _ : state) {
    dui::Ex_ListView list;
    make_list(list);
    fill(list, rows, count);
    settle();  // the fill's gathered repaint: the list painted once
    memory = list.row_memory_bytes();
    state.PauseTiming();
    list.destroy();
    settle();
    state.ResumeTiming();
  }
  state.counters["bytes_per_row"] = double(memory) / count;
  state.counters["limit_per_row"] = 2.0 * double(rows.text_bytes) / count + 64;
}

void BM_QTableWidget_FillAndPaint(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const Rows& rows = rows_of(count);
  QImage image(kListWidth, kListHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QTableWidget table(0, kColumns);
    table.resize(kListWidth, kListHeight);
    QStringList headers;
    for (int c = 0; c < kColumns; ++c) headers << QString::fromUtf8(kHeaders[c]);
    table.setHorizontalHeaderLabels(headers);
    for (int c = 0; c < kColumns; ++c) table.setColumnWidth(c, kWidths[c]);
    table.setRowCount(count);
    for (int r = 0; r < count; ++r) {
      for (int c = 0; c < kColumns; ++c) {
        table.setItem(r, c, new QTableWidgetItem(rows.qt[std::size_t(r) * kColumns + c]));
      }
    }
    image.fill(Qt::transparent);
    QPainter painter(&image);
    table.render(&painter);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
    state.PauseTiming();
    table.clear();
    state.ResumeTiming();
  }
}

// A filled list shared by the per-step benchmarks of one row count.
dui::Ex_ListView& filled_list(int count) {
  static std::map<int, std::unique_ptr<dui::Ex_ListView>> lists;
  auto& list = lists[count];
  if (!list) {
    list = std::make_unique<dui::Ex_ListView>();
    make_list(*list);
    fill(*list, rows_of(count), count);
    settle();
    list->visible(0);  // the lists of other row counts stay out of the way
  }
  return *list;
}

void BM_ListView_WheelStep(benchmark::State& state) {
  dui::Ex_ListView& list = filled_list(static_cast<int>(state.range(0)));
  list.visible(1);
  bool down = true;
  for (auto _ : state) {
    const auto delta = static_cast<dui::WParam>(static_cast<std::uint16_t>(down ? -120 : 120)) << 16;
    list.send_event(pw::WM_MOUSEWHEEL, delta, 0);
    pw::pump();  // the host recomposes and shows the list
    down = !down;
  }
  state.counters["v_offset"] = list.v_offset();
  state.counters["bar_visible"] = list.vertical_bar()->visible();
  list.visible(0);
  settle();
}

void BM_ListView_HoverChange(benchmark::State& state) {
  dui::Ex_ListView& list = filled_list(static_cast<int>(state.range(0)));
  list.visible(1);
  const int x = 15 + 40;
  const int row_y = 50 + static_cast<int>(list.content_rect().y) + list.row_height() / 2;
  bool second = false;
  for (auto _ : state) {
    const int y = row_y + (second ? 2 * list.row_height() : 0);
    list.send_event(dui::event::mouse_move, 0, pw::make_lparam(x, y));
    pw::pump();  // the host recomposes and shows the list
    second = !second;
  }
  list.visible(0);
  settle();
}

BENCHMARK(BM_ListView_FillAndPaint)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QTableWidget_FillAndPaint)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListView_WheelStep)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListView_HoverChange)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::application::init(argc, argv);
  dui::init_framework();
  dui::FrameWindowOptions window_options;
  window_options.width = 500;
  window_options.height = 330;
  window_options.show = true;
  g_window = dui::create_frame_window(0, "list view bench", window_options);
  dui::HostOptions host_options;
  host_options.background_colour = 0x00806040;
  host_options.features = 0;
  auto host = std::make_unique<dui::Ex_Window>();
  host->create(g_window, host_options);
  g_host = host.get();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  pw::destroy(g_window);
  std::_Exit(0);  // the shared lists die with the process
}

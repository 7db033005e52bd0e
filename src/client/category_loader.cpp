#include "client/category_loader.h"

#include "dui/core/drawing.h"

#include <algorithm>
#include <climits>

namespace client {
namespace {

// The five list columns, read each from its own execution of the list statement.
constexpr std::array<std::string_view, 5> kColumns = {"ID", "标题", "更新时间", "说明", "地址"};

void set_visible(dui::Ex_Control* control, int visible) {
  if (control) control->visible(visible);
}

}  // namespace

void show_list_screen(const BrowserScreens& screens) {
  set_visible(screens.resource_list, 1);
  for (dui::Ex_Control* control : screens.member_panel) set_visible(control, 0);
  set_visible(screens.hint_line, 1);
}

void show_member_screen(const BrowserScreens& screens) {
  set_visible(screens.hint_line, 0);
  set_visible(screens.resource_list, 0);
  for (dui::Ex_Control* control : screens.member_panel) set_visible(control, 1);
}

int CategoryLoader::load(sql::Category category, Connection* connection,
                         const BrowserScreens& screens) {
  if (loading_) {
    pending_ = category;
    return 0;
  }
  loading_ = true;
  int count = fill(category, connection, screens);
  while (pending_) {
    const sql::Category next = *pending_;
    pending_.reset();
    count = fill(next, connection, screens);
  }
  loading_ = false;
  return count;
}

int CategoryLoader::fill(sql::Category category, Connection* connection,
                         const BrowserScreens& screens) {
  show_list_screen(screens);
  dui::Ex_ListView* list = screens.resource_list;
  if (!list) return 0;
  list->clear_rows();

  // A refused count leaves the list empty rather than repeating an earlier category's rows.
  count_text_.clear();
  db_execute(connection, sql::category_count(category));
  RecordSetPtr counted = db_get_record_set(connection);
  db_read_column(counted.get(), 0, count_text_);

  const std::string list_statement = sql::category_list(category);
  std::array<RecordSetPtr, 5> rows;
  for (RecordSetPtr& record_set : rows) {
    db_execute(connection, list_statement);
    record_set = db_get_record_set(connection);
  }

  const std::int64_t count = std::clamp<std::int64_t>(text_to_int(count_text_), 0, INT_MAX);
  dui::RowOptions row_options;
  row_options.row_colour = dui::to_argb(0x333333);
  for (std::int64_t i = 1; i <= count; ++i) {
    const int row = list->insert_row(std::nullopt, int_to_text(i), row_options);
    for (std::size_t c = 0; c < rows.size(); ++c) db_read_field(rows[c].get(), kColumns[c], cells_[c]);
    list->set_cell_text(row, 1, cells_[0]);
    for (RecordSetPtr& record_set : rows) db_next_row(record_set.get());
    for (int column = 2; column <= 5; ++column) list->set_cell_text(row, column, cells_[column - 1]);
  }
  return static_cast<int>(count);
}

CategoryLoader& category_loader() {
  static CategoryLoader loader;
  return loader;
}

}  // namespace client

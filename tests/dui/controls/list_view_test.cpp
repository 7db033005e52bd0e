// Ex_ListView: columns and rows, bad indexes, selection modes, hover and tooltips, the wheel,
// the vertical bar, ensure_visible, painting only rows in view, search, memory and filling
// from a worker thread.
#include "dui/controls/list_view.h"

#include "host_fixture.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace dui::test {
namespace {

namespace pt = platform::testing;
namespace pw = platform::window;

class ListViewTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    ListViewOptions options;
    options.grid_lines = 1;
    options.font_family = "微软雅黑";
    ASSERT_NE(list_.create(window_, left, top, 300, 200, options), nullptr);
  }
  void TearDown() override {
    list_.destroy();
    HostFixture::TearDown();
  }
  // Resizes the list so that exactly `rows` rows fit under the header.
  void fit_rows(int rows) {
    const int header = static_cast<int>(list_.content_rect().y) - 2;
    list_.height(4 + header + rows * list_.row_height());
    pump();
  }
  void add_columns(int count) {
    for (int c = 1; c <= count; ++c) list_.insert_column(std::nullopt, "列" + std::to_string(c), 80);
  }
  void add_rows(int count) {
    for (int r = 1; r <= count; ++r) {
      const int row = list_.insert_row(std::nullopt, "行" + std::to_string(r));
      list_.set_cell_text(row, 2, "值" + std::to_string(r));
    }
    pump();
  }
  // Host coordinates of the middle of a row in view.
  int row_y(int row) const {
    const int r = list_.row_height();
    return top + static_cast<int>(list_.content_rect().y) + (row - 1) * r + r / 2 + list_.v_offset();
  }
  int cell_x(int column) const { return left + 2 + (column - 1) * 80 + 40; }
  void press_row(int row, pt::button b = pt::button::left) {
    move(cell_x(1), row_y(row));
    press(cell_x(1), row_y(row), b);
    release(cell_x(1), row_y(row), b);
  }
  void wheel(int notches) {
    pt::mouse_wheel(window_, {cell_x(1), top + 100}, notches * 120);
    pump();
  }
  std::vector<int> selected_states() {
    std::vector<int> rows;
    for (int r = 1; r <= list_.row_count(); ++r) {
      if (list_.row_state(r) == row_state_value::selected) rows.push_back(r);
    }
    return rows;
  }

  static constexpr int left = 20;
  static constexpr int top = 40;
  Ex_ListView list_;
};

TEST_F(ListViewTest, RowsNeedColumnsAndEveryRowHasOneCellPerColumn) {
  EXPECT_EQ(list_.insert_row(std::nullopt, "x"), 0);
  EXPECT_EQ(list_.row_count(), 0);
  EXPECT_EQ(list_.insert_column(std::nullopt, "标题", 80, 2), 1);
  EXPECT_EQ(list_.insert_row(std::nullopt, "第一行"), 1);
  EXPECT_EQ(list_.insert_column(std::nullopt, "作者", 80, 1), 2);
  EXPECT_EQ(list_.get_cell_text(1, 1), "第一行");
  EXPECT_EQ(list_.get_cell_text(1, 2), "");
  list_.set_cell_text(1, 2, "张三");
  EXPECT_EQ(list_.insert_column(1, "序号", 40), 1);  // inserted in front
  EXPECT_EQ(list_.get_cell_text(1, 1), "");
  EXPECT_EQ(list_.get_cell_text(1, 2), "第一行");
  EXPECT_EQ(list_.get_cell_text(1, 3), "张三");
  EXPECT_EQ(list_.cell_icon(1, 1), -1);
  EXPECT_TRUE(list_.delete_column(1));
  EXPECT_EQ(list_.get_cell_text(1, 2), "张三");
  EXPECT_EQ(list_.column_text(1), "标题");
}

TEST_F(ListViewTest, FirstColumnOfAnEmptyListIsNearAligned) {
  list_.insert_column(std::nullopt, "a", 80, 2);
  list_.insert_column(std::nullopt, "b", 80, 2);
  EXPECT_EQ(list_.column_width(1), 80);
  list_.insert_row(std::nullopt, "r");
  EXPECT_EQ(list_.insert_row(2, "second"), 2);
  EXPECT_EQ(list_.insert_row(1, "first"), 1);
  EXPECT_EQ(list_.get_cell_text(1), "first");
  EXPECT_EQ(list_.get_cell_text(3), "second");
}

TEST_F(ListViewTest, LayoutOfHeaderContentAndRowSlotsInEachView) {
  struct Case {
    int view, no_header;
  };
  for (const Case c : {Case{0, 1}, Case{0, 0}, Case{1, 0}, Case{2, 0}}) {
    SCOPED_TRACE(testing::Message() << "view " << c.view << " no_header " << c.no_header);
    list_.destroy();
    ListViewOptions options;
    options.view = c.view;
    options.no_header = c.no_header;
    options.font_size = 16;
    ASSERT_NE(list_.create(window_, left, top, 200, 100, options), nullptr);
    EXPECT_EQ(list_.client_rect().x, 2);
    EXPECT_EQ(list_.client_rect().width, 196);
    EXPECT_EQ(list_.client_rect().height, 96);
    const int font_row = static_cast<int>(list_.font().height() + 3);
    const bool header = c.view == 0 && c.no_header == 0;  // views 1 and 2 never have one
    EXPECT_EQ(list_.content_rect().y, header ? 2 + font_row + 6 : 2);
    const int r = list_.row_height();
    if (c.view == 1) {
      EXPECT_EQ(r, font_row + 8);
      EXPECT_EQ(list_.item_width(), r + 20);
      const int n = list_.items_per_row();
      EXPECT_EQ(n, 196 / list_.item_width());
      const RectF slot = list_.row_rect(n + 2);  // second item of the second line
      EXPECT_EQ(slot.x, list_.item_width());
      EXPECT_EQ(slot.y, r);
    } else {
      EXPECT_EQ(r, font_row + 3);
      EXPECT_EQ(list_.row_rect(3).y, 2 * r);
    }
  }
}

TEST_F(ListViewTest, TinyListsAndEmptyTextsStillWork) {
  for (int size : {0, 3, 12}) {
    SCOPED_TRACE(size);
    for (int view : {0, 1, 2}) {
      list_.destroy();
      ListViewOptions options;
      options.view = view;
      ASSERT_NE(list_.create(window_, left, top, size, size, options), nullptr);
      list_.insert_column(std::nullopt, "", 0);
      EXPECT_EQ(list_.insert_row(std::nullopt, ""), 1);
      list_.set_cell_text(1, 1, "");
      list_.ensure_visible(1);
      list_.selected_row(1);
      list_.repaint();
      move(left + 1, top + 1);
      press(left + 1, top + 1);
      release(left + 1, top + 1);
      EXPECT_EQ(list_.get_cell_text(1), "");
    }
  }
}

TEST_F(ListViewTest, HoverSelectMovesTheSelectionWithTheMouse) {
  add_columns(2);
  add_rows(5);
  std::vector<int> pressed;
  list_.set_press_routine([&](Ex_Control*, Ex_ListView*, int row) { pressed.push_back(row); });
  list_.hover_select(1);
  move(cell_x(1), row_y(2));
  move(cell_x(2), row_y(2));
  move(cell_x(1), row_y(4));
  EXPECT_EQ(pressed, (std::vector<int>{2, 4}));
  EXPECT_EQ(selected_states(), std::vector<int>{4});
  EXPECT_EQ(list_.selected_row(), 4);
}

TEST_F(ListViewTest, DeletingTheLastRowsWhileScrolledKeepsTheViewFilled) {
  add_columns(2);
  fit_rows(10);
  add_rows(20);
  const int r = list_.row_height();
  list_.ensure_visible(20);
  EXPECT_EQ(list_.v_offset(), -10 * r);
  EXPECT_TRUE(list_.delete_row(1));  // above the view
  pump();
  EXPECT_EQ(list_.v_offset(), -9 * r);
  EXPECT_EQ(list_.vertical_bar()->maximum(), 9 * r);
  for (int i = 0; i < 10; ++i) list_.delete_row(1);
  pump();
  EXPECT_EQ(list_.vertical_bar()->visible(), 0);
  EXPECT_EQ(list_.v_offset(), 0);
  EXPECT_EQ(list_.get_cell_text(1), "行12");
}

TEST_F(ListViewTest, AColumnWiderThanTheViewShowsTheHorizontalBar) {
  list_.insert_column(std::nullopt, "窄", 80);
  pump();
  EXPECT_EQ(list_.horizontal_bar()->visible(), 0);
  const float full_height = list_.rows_clip().height;
  list_.insert_column(std::nullopt, "宽", 400);
  list_.insert_column(std::nullopt, "藏", 0);
  pump();
  EXPECT_EQ(list_.horizontal_bar()->visible(), 1);
  EXPECT_EQ(list_.rows_clip().height, full_height - 10);
  EXPECT_EQ(list_.total_width(), 80 + 400 + 12);
  EXPECT_EQ(list_.header_image()->width(), list_.total_width());
  list_.insert_row(std::nullopt, "a");
  list_.set_cell_text(1, 3, "hidden but kept");
  EXPECT_EQ(list_.get_cell_text(1, 3), "hidden but kept");
  list_.horizontal_bar()->position(100);
  list_.scroll_horizontal(100);
  EXPECT_EQ(list_.h_offset(), -100);
  EXPECT_TRUE(list_.column_width(2, 50));
  pump();
  EXPECT_EQ(list_.horizontal_bar()->visible(), 0);
  EXPECT_EQ(list_.h_offset(), 0);
}

TEST_F(ListViewTest, OutOfRangeIndexesDoNothingAndAnswerNothing) {
  add_columns(2);
  add_rows(3);
  struct Cell {
    int row, column;
  };
  for (const Cell c : {Cell{0, 1}, Cell{4, 1}, Cell{-1, 1}, Cell{1, 0}, Cell{1, 3}, Cell{1, -2}}) {
    SCOPED_TRACE(testing::Message() << c.row << "," << c.column);
    list_.set_cell_text(c.row, c.column, "x");
    EXPECT_EQ(list_.get_cell_text(c.row, c.column), "");
    EXPECT_FALSE(list_.cell_icon(c.row, c.column, 2, true));
    EXPECT_EQ(list_.cell_icon(c.row, c.column), 0);
  }
  for (int row : {0, 4, -7}) {
    EXPECT_FALSE(list_.delete_row(row));
    EXPECT_FALSE(list_.row_value(row, 5));
    EXPECT_EQ(list_.row_value(row), 0);
    EXPECT_EQ(list_.row_state(row, 4), 0);
    EXPECT_FALSE(list_.ensure_visible(row));
    EXPECT_EQ(list_.selected_row(row), 0);
  }
  EXPECT_EQ(list_.insert_row(9, "nowhere"), 0);  // a refused position is no success
  EXPECT_EQ(list_.insert_column(9, "nowhere"), 0);
  EXPECT_FALSE(list_.delete_column(3));
  EXPECT_EQ(list_.column_text(0), "");
  EXPECT_EQ(list_.row_count(), 3);
  EXPECT_EQ(list_.column_count(), 2);
}

TEST_F(ListViewTest, SingleSelectionKeepsOneSelectedRow) {
  add_columns(2);
  add_rows(5);
  press_row(1);
  press_row(3);
  EXPECT_EQ(selected_states(), std::vector<int>{3});
  EXPECT_EQ(list_.selected_row(), 3);
  EXPECT_EQ(list_.selected_row(2), 2);
  EXPECT_EQ(selected_states(), std::vector<int>{2});
}

TEST_F(ListViewTest, MultipleSelectionWithCtrlShiftAndRightPresses) {
  add_columns(2);
  add_rows(8);
  list_.single_select(0);
  press_row(2);
  pt::key_down(window_, pw::VK_SHIFT);
  press_row(5);
  pt::key_up(window_, pw::VK_SHIFT);
  EXPECT_EQ(list_.selection(), (std::vector<int>{2, 3, 4, 5}));
  EXPECT_EQ(list_.current_row(), 2);  // the anchor stays
  pt::key_down(window_, pw::VK_CONTROL);
  press_row(3);  // deselects
  press_row(7);  // adds
  pt::key_up(window_, pw::VK_CONTROL);
  EXPECT_EQ(list_.selection(), (std::vector<int>{2, 4, 5, 7}));
  EXPECT_EQ(selected_states(), (std::vector<int>{2, 4, 5, 7}));
  press_row(4, pt::button::right);  // on the selection: kept
  EXPECT_EQ(selected_states(), (std::vector<int>{2, 4, 5, 7}));
  press_row(8, pt::button::right);  // elsewhere: only that row
  EXPECT_EQ(selected_states(), std::vector<int>{8});
  EXPECT_EQ(list_.selection(), std::vector<int>{8});
  press_row(1);
  EXPECT_EQ(selected_states(), std::vector<int>{1});
}

TEST_F(ListViewTest, HoverLooksTooltipsAndLeaving) {
  add_columns(2);
  add_rows(5);
  move(cell_x(2), row_y(2));
  EXPECT_EQ(list_.row_state(2), row_state_value::hover);
  EXPECT_EQ(list_.hover_column(), 2);
  EXPECT_EQ(host_.tooltip_text(), "值2");
  move(cell_x(1), row_y(4));
  EXPECT_EQ(list_.row_state(2), row_state_value::normal);
  EXPECT_EQ(host_.tooltip_text(), "行4");
  press_row(4);
  move(cell_x(1), row_y(4));
  EXPECT_EQ(list_.row_state(4), row_state_value::selected);  // hovering keeps the selected look
  move(cell_x(1), row_y(3));
  move(left + 500, top + 300);  // off the list
  EXPECT_EQ(list_.row_state(3), row_state_value::normal);
  EXPECT_EQ(list_.hover_row(), 0);
}

TEST_F(ListViewTest, TwentyRowsInATenRowViewShowTheBarUntilCleared) {
  add_columns(2);
  fit_rows(10);
  add_rows(20);
  const int r = list_.row_height();
  EXPECT_EQ(static_cast<int>(list_.rows_clip().height), 10 * r);
  EXPECT_EQ(list_.vertical_bar()->visible(), 1);
  EXPECT_EQ(list_.vertical_bar()->maximum(), 20 * r - 10 * r);
  EXPECT_EQ(list_.first_visible(), 1);
  EXPECT_EQ(list_.last_visible(), 10);
  list_.clear_rows();
  pump();
  EXPECT_EQ(list_.vertical_bar()->visible(), 0);
  EXPECT_EQ(list_.v_offset(), 0);
  EXPECT_EQ(list_.row_count(), 0);
}

TEST_F(ListViewTest, WheelScrollsThreeRowsWithinBounds) {
  add_columns(2);
  fit_rows(10);
  add_rows(20);
  press_row(1);  // focus
  const int r = list_.row_height();
  wheel(1);  // away from the user: already at the top
  EXPECT_EQ(list_.v_offset(), 0);
  wheel(-1);
  EXPECT_EQ(list_.v_offset(), -3 * r);
  EXPECT_EQ(list_.vertical_bar()->position(), 3 * r);
  EXPECT_EQ(list_.first_visible(), 4);
  for (int i = 0; i < 5; ++i) wheel(-1);
  EXPECT_EQ(list_.v_offset(), -10 * r);  // the last row ends at the bottom
  EXPECT_EQ(list_.last_visible(), 20);
  wheel(1);
  EXPECT_EQ(list_.v_offset(), -7 * r);
}

TEST_F(ListViewTest, EnsureVisibleBringsTheRowToTheBottomEdge) {
  add_columns(2);
  fit_rows(10);
  add_rows(20);
  const int r = list_.row_height();
  EXPECT_TRUE(list_.ensure_visible(5));
  EXPECT_EQ(list_.v_offset(), 0);  // already in view
  EXPECT_TRUE(list_.ensure_visible(15));
  EXPECT_EQ(list_.v_offset(), -(15 * r - 10 * r));
  EXPECT_EQ(list_.vertical_bar()->position(), 5 * r);
  const RectF slot = list_.row_rect(15);
  EXPECT_EQ(static_cast<int>(slot.y + slot.height), static_cast<int>(list_.rows_clip().height));
}

TEST_F(ListViewTest, OnlyRowsInViewArePainted) {
  add_columns(2);
  fit_rows(10);
  add_rows(300);
  long long before = list_.rows_painted();
  list_.set_cell_text(150, 1, "改过的文字");  // outside the view: no painting
  EXPECT_EQ(list_.rows_painted(), before);
  EXPECT_EQ(list_.get_cell_text(150), "改过的文字");
  list_.set_cell_text(3, 1, "可见");
  list_.set_cell_text(3, 2, "一次");  // painted once for both
  pump();
  EXPECT_EQ(list_.rows_painted(), before + 1);
  before = list_.rows_painted();
  list_.repaint();
  EXPECT_LE(list_.rows_painted() - before, 11);
  before = list_.rows_painted();
  list_.ensure_visible(150);
  EXPECT_LE(list_.rows_painted() - before, 11);
  EXPECT_LE(list_.first_visible(), 150);
  EXPECT_GE(list_.last_visible(), 150);
}

TEST_F(ListViewTest, FindTextAndValue) {
  add_columns(2);
  add_rows(5);
  list_.row_value(4, 77);
  list_.set_cell_text(5, 2, "Hello World");
  struct Case {
    std::string text;
    int from, exact, column, expected;
  };
  for (const Case& c : {Case{"行3", 1, 1, 1, 3}, Case{"行3", 4, 1, 1, 0}, Case{"行", 1, 1, 1, 0},
                        Case{"行", 2, 0, 1, 2}, Case{"hello", 1, 0, 2, 5}, Case{"Hello World", 1, 1, -1, 5},
                        Case{"值2", 1, 1, 3, 0}}) {
    EXPECT_EQ(list_.find_text(c.text, c.from, c.exact, c.column), c.expected) << c.text << " from " << c.from;
  }
  // Double-byte characters are never case-folded or matched from their second byte.
  list_.set_cell_text(1, 2, "\x81\x61\x81\x41");
  EXPECT_EQ(list_.find_text("\x81\x41", 1, 0, 2), 1);
  EXPECT_EQ(list_.find_text("\x61\x81", 1, 0, 2), 0);
  list_.set_cell_text(1, 2, "\x81\x61");
  EXPECT_EQ(list_.find_text("\x81\x41", 1, 0, 2), 0);
  EXPECT_EQ(list_.find_value(std::nullopt, 77), 4);
  EXPECT_EQ(list_.find_value(5, 77), 0);
}

TEST_F(ListViewTest, DoubleClickSelectsTheRowThenRunsTheHandler) {
  add_columns(2);
  add_rows(5);
  int seen = -1;
  list_.bind_event(event::double_click, [&](Ex_Control*, int, WParam, LParam) { seen = list_.selected_row(); });
  int clicked = 0;
  list_.set_click_routine([&](Ex_Control* parent, Ex_ListView* list, int row) {
    EXPECT_EQ(parent, nullptr);
    EXPECT_EQ(list, &list_);
    clicked = row;
  });
  press_row(4);
  EXPECT_EQ(clicked, 4);
  pt::mouse_double_click(window_, {cell_x(1), row_y(4)});
  pump();
  EXPECT_EQ(seen, 4);
}

TEST_F(ListViewTest, CurrentRowFollowsInsertionsAndDeletionsAbove) {
  add_columns(2);
  add_rows(5);
  list_.selected_row(3);
  list_.insert_row(1, "新");
  EXPECT_EQ(list_.selected_row(), 4);
  EXPECT_EQ(list_.get_cell_text(list_.selected_row()), "行3");
  list_.delete_row(1);
  EXPECT_EQ(list_.get_cell_text(list_.selected_row()), "行3");
  list_.delete_row(3);
  EXPECT_EQ(list_.selected_row(), 0);
}

TEST_F(ListViewTest, RowsCostLittleMoreThanTheirTexts) {
  add_columns(5);
  const std::string title = "免费资源分享：一段标题文字";
  const std::string other = "张三";
  std::size_t text_bytes = 0;
  constexpr int rows = 10000;
  for (int r = 1; r <= rows; ++r) {
    const int row = list_.insert_row(std::nullopt, title);
    for (int c = 2; c <= 5; ++c) list_.set_cell_text(row, c, other);
    text_bytes += title.size() + 4 * other.size();
  }
  EXPECT_LT(list_.row_memory_bytes(), 2 * text_bytes + 64u * rows);
}

TEST_F(ListViewTest, FillingFromAWorkerThreadWhileTheWindowPaints) {
  add_columns(3);
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int r = 1; r <= 500; ++r) {
      const int row = list_.insert_row(std::nullopt, "行" + std::to_string(r));
      list_.set_cell_text(row, 2, "作者");
      list_.set_cell_text(row, 3, std::to_string(r));
    }
    done = true;
    pw::wake();
  });
  pw::run_until([&] { return done.load(); });
  worker.join();
  pump();
  EXPECT_EQ(list_.row_count(), 500);
  EXPECT_EQ(list_.get_cell_text(500, 3), "500");
  EXPECT_EQ(list_.total_height(), 500 * list_.row_height());
  EXPECT_EQ(list_.vertical_bar()->visible(), 1);
}

// The list as the resource browser shows it, scrolled, with a hovered and a selected row, saved
// as list_view.png among the test artifacts for a person to look at.
TEST_F(ListViewTest, ScrolledHoveredAndSelectedListLooksFinished) {
  list_.destroy();
  ListViewOptions options;
  options.grid_lines = 1;
  options.selected_background = to_argb(0x00FF00, 255);
  options.font_family = "微软雅黑";
  ASSERT_NE(list_.create(window_, left, top, 465, 255, options), nullptr);
  list_.alpha(230);
  const char* headers[] = {"ID", "标题", "更新时间", "说明", "地址"};
  const int widths[] = {50, 150, 90, 90, 150};
  for (int c = 0; c < 5; ++c) list_.insert_column(std::nullopt, headers[c], widths[c], c == 0 ? 1 : 0);
  const char* titles[] = {"易语言多线程下载器源码", "仿资源社区网站模板", "图片批量压缩工具", "数据库备份脚本合集",
                          "键盘宏录制软件绿色版"};
  for (int r = 1; r <= 300; ++r) {
    RowOptions row_options;
    row_options.row_colour = to_argb(r % 7 == 0 ? 0x0000C0 : 0x202020, 230);
    const int row = list_.insert_row(std::nullopt, std::to_string(r), row_options);
    list_.set_cell_text(row, 2, std::string(titles[r % 5]) + " 第" + std::to_string(r) + "版");
    list_.set_cell_text(row, 3, "2024-05-" + std::to_string(r % 28 + 1));
    list_.set_cell_text(row, 4, r % 3 == 0 ? "会员分享" : "站长推荐，可放心下载");
    list_.set_cell_text(row, 5, "https://pan.example.com/s/" + std::to_string(100000 + r));
  }
  pump();
  list_.ensure_visible(40);
  pump();
  press_row(list_.first_visible() + 2);
  const int selected = list_.selected_row();
  move(cell_x(2), row_y(selected + 3));
  pump();
  EXPECT_EQ(list_.row_state(selected + 3), row_state_value::hover);
  const platform::window::pixel_image shown = pt::presented_pixels(window_);
  const std::uint32_t pixel = shown.at(left + 300, row_y(selected));
  EXPECT_GT((pixel >> 8) & 0xFF, 3 * ((pixel >> 16) & 0xFF) / 2) << std::hex << pixel;  // green
  EXPECT_FALSE(pt::save_window_png(window_, "list_view").empty());
  // The vertical bar's full look under the mouse, after its fade.
  Ex_ScrollBar& bar = *list_.vertical_bar();
  const RectF b = bar.bounds();
  move(static_cast<int>(b.x + 5), static_cast<int>(b.y + bar.thumb_rect().y + 5));
  advance(400);
  EXPECT_EQ(bar.last_state(), Ex_ScrollBar::thumb);
  EXPECT_FALSE(pt::save_window_png(window_, "list_view_bar").empty());
}

}  // namespace
}  // namespace dui::test

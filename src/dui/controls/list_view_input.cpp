// Ex_ListView: the mouse, hover, selection by presses, clicks and the wheel.
#include "dui/controls/list_view.h"

#include "platform/window.h"

#include <algorithm>

namespace dui {

namespace pw = platform::window;

// ---- Row looks ----

void Ex_ListView::unmark(int row) {
  rows_.set_state(row - 1, row_state_value::normal);
  paint_row(row, true);
}

void Ex_ListView::mark(int row) {
  rows_.set_state(row - 1, row_state_value::selected);
  paint_row(row, true);
}

void Ex_ListView::hover(int row) {
  rows_.set_state(row - 1, row_state_value::hover);
  paint_row(row, true);
}

// ---- Moving ----

void Ex_ListView::on_mouse_move(LParam lparam) {
  int row = 0;
  int column = 0;
  if (!hit_test_row(low_word(lparam), high_word(lparam), row, &column)) {
    update_tooltip(std::string());
    if (hover_row_ != 0 && rows_.state(hover_row_ - 1) != row_state_value::selected) unmark(hover_row_);
    hover_row_ = 0;
    return;
  }
  if (hover_select_ != 0) {
    if (row == current_row_) return;
    notify(press_routine_, row);
    if (current_row_ != 0) unmark(current_row_);
    current_row_ = 0;
    mark(row);
    current_row_ = row;
    return;
  }
  if (row == hover_row_) {
    if (column != hover_column_) update_tooltip(get_cell_text(row, column));
  } else {
    update_tooltip(get_cell_text(row, column));
    if (hover_row_ != 0 && rows_.state(hover_row_ - 1) != row_state_value::selected) unmark(hover_row_);
    if (rows_.state(row - 1) != row_state_value::selected) hover(row);
  }
  hover_column_ = column;
  hover_row_ = row;
}

void Ex_ListView::on_mouse_leave() {
  if (hover_row_ != 0 && rows_.state(hover_row_ - 1) != row_state_value::selected) unmark(hover_row_);
  hover_row_ = 0;
}

// ---- Presses ----

void Ex_ListView::on_button_down(int code, LParam lparam) {
  int row = 0;
  if (!hit_test_row(low_word(lparam), high_word(lparam), row)) return;
  notify(press_routine_, row);
  if (!valid_index(row)) return;  // the press routine may have changed the rows
  if (single_select_ != 0) {
    press_single(row);
  } else if (pw::key_down(pw::VK_CONTROL)) {
    press_with_ctrl(row);
  } else if (pw::key_down(pw::VK_SHIFT)) {
    press_with_shift(row);
    return;  // the current row stays the anchor of the next Shift press
  } else {
    press_plain(code, row);
  }
  current_row_ = row;
}

void Ex_ListView::press_single(int row) {
  if (current_row_ != 0 && current_row_ != row) {
    unmark(current_row_);
    current_row_ = 0;
  }
  mark(row);
}

void Ex_ListView::press_with_ctrl(int row) {
  if (rows_.state(row - 1) == row_state_value::selected) {
    rows_.set_state(row - 1, row_state_value::normal);
    selection_.erase(std::remove(selection_.begin(), selection_.end(), row), selection_.end());
  } else {
    rows_.set_state(row - 1, row_state_value::selected);
    selection_.push_back(row);
  }
  paint_row(row, true);
}

void Ex_ListView::press_with_shift(int row) {
  for (int r : selection_) rows_.set_state(r - 1, row_state_value::normal);
  selection_.clear();
  // Without an anchor the range is the pressed row alone.
  const int anchor = valid_index(current_row_) ? current_row_ : row;
  const int step = row >= anchor ? 1 : -1;
  for (int r = anchor;; r += step) {
    rows_.set_state(r - 1, row_state_value::selected);
    selection_.push_back(r);
    if (r == row) break;
  }
  render_rows(false, true);
  compose();
}

void Ex_ListView::press_plain(int code, int row) {
  const bool was_selected = std::find(selection_.begin(), selection_.end(), row) != selection_.end();
  // A right press on a selected row keeps the selection (for a context menu on all of it).
  if (code == event::right_down && was_selected) return;
  const std::vector<int> previous = std::move(selection_);
  selection_.clear();
  for (int r : previous) {
    if (r != row) unmark(r);
  }
  if (current_row_ != 0 && current_row_ != row) {
    unmark(current_row_);
    current_row_ = 0;
  }
  selection_.push_back(row);
  if (!was_selected) mark(row);
}

void Ex_ListView::on_button_up(int code, LParam lparam) {
  int row = 0;
  if (!hit_test_row(low_word(lparam), high_word(lparam), row) || row != current_row_) return;
  notify(code == event::left_up ? click_routine_ : right_click_routine_, current_row_);
}

// ---- Wheel ----

void Ex_ListView::clamp_v_offset() {
  const int limit = std::max(0, total_height_ - static_cast<int>(rows_clip_.height));
  if (v_offset_ > 0) v_offset_ = 0;
  if (-v_offset_ > limit) v_offset_ = -limit;
}

void Ex_ListView::on_wheel(WParam wparam) {
  if (v_bar_.visible() == 0) return;
  const int step = view_ == 0 ? 3 * row_height_ : row_height_;
  const int delta = high_word(static_cast<std::intptr_t>(wparam));
  v_offset_ += delta > 0 ? step : -step;
  clamp_v_offset();
  v_bar_.position(-v_offset_);
  render_rows(false, true);
  compose();
}

}  // namespace dui

// Ex_ListView: creation, the event procedure, columns, rows, cells, selection and search.
#include "dui/controls/list_view.h"

#include "dui/core/framework.h"
#include "platform/window.h"

#include <algorithm>

namespace dui {

namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

constexpr Colour black = 0x000000;
constexpr Colour white = 0xFFFFFF;

gfx::StringFormat cell_format() {
  gfx::StringFormat format;
  format.flags = gfx::format_no_wrap | gfx::format_measure_trailing_spaces;
  format.alignment = gfx::Alignment::near;
  format.trimming = gfx::Trimming::ellipsis_character;
  format.hotkey_prefix = gfx::HotkeyPrefix::none;
  return format;
}

Font make_font(const ListViewOptions& o) {
  if (!o.font_family && !o.font_size && !o.font_style) return default_font();
  const std::string family = o.font_family.value_or(default_font().family());
  Font font = Font::create(family, float(o.font_size.value_or(12)), o.font_style.value_or(0));
  return font.is_null() ? default_font() : font;
}

}  // namespace

Ex_ListView::~Ex_ListView() { destroy(); }

Ex_ListView* Ex_ListView::create(ControlParent parent, int left, int top, int width, int height,
                                 const ListViewOptions& options) {
  store_options(options);
  string_format_ = cell_format();
  ControlOptions control_options;
  control_options.focusable = 1;
  const RectF bounds{float(left), float(top), float(width), float(height)};
  if (init_control(parent, bounds, kind::list_view, options.visible.value_or(1), control_options) == nullptr) {
    return nullptr;
  }
  return this;
}

void Ex_ListView::store_options(const ListViewOptions& o) {
  view_ = o.view.value_or(0);
  if (view_ < 0 || view_ > 2) view_ = 0;
  item_layout_ = view_ == 1 ? 6 : 4;
  no_header_ = view_ == 0 ? o.no_header.value_or(0) : 1;
  grid_lines_ = o.grid_lines.value_or(view_ == 0 ? 3 : 0);
  single_select_ = o.single_select.value_or(1);
  text_colour_ = o.text_colour.value_or(to_argb(black, 210));
  hover_text_colour_ = o.hover_text_colour.value_or(0);
  selected_text_colour_ = o.selected_text_colour.value_or(0);
  hover_background_ = o.hover_background.value_or(0);
  selected_background_ = o.selected_background.value_or(0);
  background_colour_ = o.background_colour.value_or(to_argb(white, 210));
  font_ = make_font(o);
  border_ = o.border.value_or(to_argb(black, 80));
}

// ---- Event procedure ----

int Ex_ListView::on_event(int code, WParam wparam, LParam lparam) {
  const int filtered = filter_event(code, wparam, lparam);
  if (filtered != -1) return filtered;
  switch (code) {
    case event::create:
      layout();
      create_scroll_bars();
      render_background();
      render_header(false);
      render_rows(true, true);
      place_scroll_bars();
      break;
    case event::destroy:
      background_image_.reset();
      header_image_.reset();
      rows_graphics_.reset();
      rows_image_.reset();
      rows_.clear();
      columns_.clear();
      selection_.clear();
      release_font();
      // Queued events die with this life of the control: a new life must be able to queue again.
      dirty_rows_.clear();
      columns_pending_ = 0;
      present_pending_ = false;
      flush_posted_ = false;
      height_event_pending_ = false;
      first_visible_ = last_visible_ = hover_row_ = current_row_ = v_offset_ = h_offset_ = total_height_ = 0;
      break;
    case event::paint:
      render_rows(false, true);
      compose();
      break;
    case event::mouse_move:
      on_mouse_move(lparam);
      break;
    case event::left_down:
    case event::right_down:
      on_button_down(code, lparam);
      break;
    case event::left_up:
    case event::right_up:
      on_button_up(code, lparam);
      break;
    case pw::WM_MOUSEWHEEL:
      on_wheel(wparam);
      break;
    case event::mouse_leave:
      on_mouse_leave();
      break;
    case pw::WM_KEYDOWN:
      key_hook(static_cast<int>(wparam), lparam);
      break;
    case event::focus_gained:
      focus_cue_drawn_ = false;
      paint_row(current_row_, true);
      break;
    case event::focus_lost:
      paint_row(current_row_, true);
      break;
    case list_event::row_changed:
      on_row_changed(wparam, static_cast<int>(lparam));
      break;
    case list_event::flush_rows:
      flush_rows();
      break;
    case list_event::rows_cleared:
      h_bar_.position(0);
      on_height_changed();
      render_rows(false, true);
      compose();
      break;
    case list_event::scroll_to:
      scroll_vertical(static_cast<int>(lparam));
      v_bar_.position(static_cast<int>(lparam));
      break;
    case list_event::height_changed:
      height_event_pending_ = false;
      on_height_changed();
      break;
    case list_event::columns_changed:
      // Columns are usually added several at a time: the list is redrawn once, at the flush.
      columns_pending_ |= lparam == 1 ? 3 : 1;
      schedule_flush();
      break;
    case event::resized:
      on_resized();
      break;
    case event::alpha_changed:
      h_bar_.alpha(static_cast<int>(lparam));
      v_bar_.alpha(static_cast<int>(lparam));
      break;
    case event::full_redraw:
      if (single_select_ != 0) {
        paint_row(current_row_, true);
      } else {
        render_rows(false, true);
        compose();
      }
      break;
    default:
      break;
  }
  return -1;
}

int Ex_ListView::key_hook(int key, LParam) {
  if (pw::key_down(pw::VK_CONTROL)) return 1;
  if (key >= pw::VK_LEFT && key <= pw::VK_DOWN) return 1;
  return 0;
}

int Ex_ListView::filter_event(int, WParam, LParam) { return -1; }

int Ex_ListView::layout_hook(const RectF&, const RectF&, const RectF&) { return 0; }

void Ex_ListView::on_resized() {
  layout();
  recompute_total_width();
  render_background();
  render_header(true);
  render_rows(true, true);
  place_scroll_bars();
  on_height_changed();
}

void Ex_ListView::on_height_changed() {
  const int clip_height = static_cast<int>(rows_clip_.height);
  if (total_height_ > clip_height) {
    v_bar_.maximum(total_height_ - clip_height);
    v_bar_.visible(1);
    // The rows give way to the bar first, so that the horizontal bar ends where it begins.
    const bool narrowed = std::abs(rows_clip_.width - (content_rect_.width - 10)) > geometry_tolerance;
    if (narrowed) rows_clip_.width = content_rect_.width - 10;
    h_bar_.width(static_cast<int>(rows_clip_.width) - 2);
    if (narrowed) compose();
    return;
  }
  if (v_offset_ != 0) {
    v_offset_ = 0;
    render_rows(false, false);
    v_bar_.position(0);
  }
  v_bar_.visible(0);
  rows_clip_.width = content_rect_.width;
  h_bar_.width(static_cast<int>(content_rect_.width) - 2);
}

void Ex_ListView::on_row_changed(WParam kind, int row) {
  if (kind == 0) {
    // A row filled cell by cell is painted once, at the next flush.
    if (row < first_visible_ || row > last_visible_) return;
    if (std::find(dirty_rows_.begin(), dirty_rows_.end(), row) == dirty_rows_.end()) dirty_rows_.push_back(row);
    schedule_flush();
    return;
  }
  if (paint_rows_from(row)) return;
  if (row >= first_visible_ || v_bar_.visible() == 0) return;
  if (kind == 2) {
    const int limit = total_height_ - static_cast<int>(rows_clip_.height);
    if (-v_offset_ > limit) v_offset_ = std::min(0, -limit);
  }
  render_rows(false, true);
  compose();
}

void Ex_ListView::request_height_event() {
  if (!is_live()) return;
  // One queued event is enough: it reads the height when it runs.
  if (!height_event_pending_.exchange(true)) post_event(list_event::height_changed, 0, 0);
}

void Ex_ListView::schedule_flush() {
  if (!is_live()) return;
  if (!flush_posted_.exchange(true)) post_event(list_event::flush_rows, 0, 0);
}

void Ex_ListView::flush_rows() {
  if (columns_pending_ != 0) {
    const bool rows_too = (columns_pending_ & 2) != 0;
    columns_pending_ = 0;
    render_header(false);
    if (rows_too) {
      render_rows(true, true);
      dirty_rows_.clear();
    }
    compose();
  }
  const std::vector<int> rows = std::move(dirty_rows_);
  dirty_rows_.clear();
  for (int row : rows) paint_visible_row(row);
  flush_posted_ = false;
  if (!present_pending_) return;
  present_pending_ = false;
  // An empty paint that is marked as drawn: the host recomposes and shows the whole list.
  PaintContext context;
  if (!begin_paint(this, context, RectF{}, false)) return;
  context.cleared = 1;
  end_paint(this, context);
}

void Ex_ListView::redraw_row(int row) {
  if (row >= first_visible_ && row <= last_visible_) send_event(list_event::row_changed, 0, row);
}

// ---- Scrolling ----

void Ex_ListView::scroll_horizontal(int position) {
  h_offset_ = -position;
  compose();
}

void Ex_ListView::scroll_vertical(int position) {
  v_offset_ = -position;
  render_rows(false, true);
  compose();
}

// ---- Columns ----

void Ex_ListView::image_lists(std::optional<const ImageList*> stored, std::optional<const ImageList*> header_images,
                              std::optional<const ImageList*> row_images) {
  if (stored) stored_images_ = *stored;
  if (header_images) header_images_ = *header_images;
  if (row_images) row_images_ = *row_images;
  layout();
  place_scroll_bars();
}

void Ex_ListView::release_font() { font_ = Font(); }

void Ex_ListView::recompute_total_width() {
  if (view_ != 0) {
    total_width_ = static_cast<int>(rows_clip_.width);
    return;
  }
  int sum = 0;
  for (const ListColumn& c : columns_) sum += std::max(0, c.width);
  total_width_ = sum > static_cast<int>(content_rect_.width) ? sum + 12 : static_cast<int>(content_rect_.width);
}

int Ex_ListView::insert_column(std::optional<int> position, const std::string& text, std::optional<int> width,
                               std::optional<int> alignment, std::optional<int> icon) {
  ListColumn column;
  column.text = text;
  column.width = width.value_or(50);
  column.icon = icon.value_or(-1);
  // The first column of an empty list is near-aligned.
  column.alignment = columns_.empty() ? 0 : std::clamp(alignment.value_or(0), 0, 2);
  const int count = column_count();
  const int at = position.value_or(0);
  if (at != 0 && (at < 1 || at > count + 1)) return 0;
  const int index = at == 0 ? count : at - 1;
  columns_.insert(columns_.begin() + index, column);
  rows_.insert_column(index);
  recompute_total_width();
  send_event(list_event::columns_changed, 0, 1);
  return index + 1;
}

bool Ex_ListView::delete_column(int column) {
  if (!valid_index(std::nullopt, column)) return false;
  columns_.erase(columns_.begin() + (column - 1));
  rows_.erase_column(column - 1);
  recompute_total_width();
  send_event(list_event::columns_changed, 0, 1);
  return true;
}

std::string Ex_ListView::column_text(int column) const {
  return valid_index(std::nullopt, column) ? columns_[column - 1].text : std::string();
}

void Ex_ListView::column_text(int column, const std::string& text) {
  if (!valid_index(std::nullopt, column)) return;
  columns_[column - 1].text = text;
  send_event(list_event::columns_changed, 0, 0);
}

int Ex_ListView::column_width(int column) const {
  return valid_index(std::nullopt, column) ? columns_[column - 1].width : 0;
}

bool Ex_ListView::column_width(int column, int width) {
  if (!valid_index(std::nullopt, column)) return false;
  columns_[column - 1].width = width;
  recompute_total_width();
  post_event(list_event::columns_changed, 0, 1);
  return true;
}

int Ex_ListView::column_icon(int column) const {
  return valid_index(std::nullopt, column) ? columns_[column - 1].icon : 0;
}

bool Ex_ListView::column_icon(int column, int icon) {
  if (!valid_index(std::nullopt, column)) return false;
  columns_[column - 1].icon = icon;
  send_event(list_event::columns_changed, 0, 0);
  return true;
}

// ---- Rows ----

int Ex_ListView::insert_row(std::optional<int> position, const std::string& text, const RowOptions& options) {
  if (columns_.empty()) return 0;
  const int count = rows_.count();
  if (position && (*position < 1 || *position > count + 1)) return 0;
  const int row = position.value_or(count + 1);
  if (!rows_.insert(row - 1, text, options.icon.value_or(-1), options.value.value_or(0), options.indent.value_or(0),
                    options.row_colour.value_or(text_colour_))) {
    return 0;
  }
  after_insert(row);
  if (options.redraw.value_or(0) != 0 && row >= first_visible_ && row <= last_visible_) {
    send_event(list_event::row_changed, 1, row);
  }
  return row;
}

void Ex_ListView::after_insert(int row) {
  if (view_ == 1) {
    const int per_line = std::max(1, static_cast<int>(client_rect_.width) / std::max(1, item_width_));
    total_height_ = (rows_.count() + per_line - 1) / per_line * row_height_;
  } else {
    total_height_ += row_height_;
  }
  for (int& s : selection_) {
    if (s >= row) ++s;
  }
  // Current and hover rows follow their rows, so that selected_row keeps naming the same row.
  if (current_row_ >= row) ++current_row_;
  if (hover_row_ >= row) ++hover_row_;
  request_height_event();
}

bool Ex_ListView::delete_row(int row) {
  if (!valid_index(row)) return false;
  selection_.erase(std::remove(selection_.begin(), selection_.end(), row), selection_.end());
  for (int& s : selection_) {
    if (s > row) --s;
  }
  const auto follow = [row](int& r) { r = r == row ? 0 : (r > row ? r - 1 : r); };
  follow(current_row_);
  follow(hover_row_);
  rows_.erase(row - 1);
  if (view_ == 1) {
    const int per_line = std::max(1, static_cast<int>(client_rect_.width) / std::max(1, item_width_));
    total_height_ = (rows_.count() + per_line - 1) / per_line * row_height_;
  } else {
    total_height_ = std::max(0, total_height_ - row_height_);
  }
  send_event(list_event::height_changed, 0, 0);
  send_event(list_event::row_changed, 2, row);
  return true;
}

void Ex_ListView::clear_rows() {
  rows_.clear();
  selection_.clear();
  first_visible_ = last_visible_ = hover_row_ = current_row_ = v_offset_ = h_offset_ = total_height_ = 0;
  send_event(list_event::rows_cleared, 0, 0);
}

void Ex_ListView::set_cell_text(int row, std::optional<int> column, const std::string& text, bool redraw) {
  const int c = column.value_or(1);
  if (!rows_.set_text(row - 1, c - 1, text)) return;  // checks the indexes
  if (redraw) redraw_row(row);
}

std::string Ex_ListView::get_cell_text(int row, std::optional<int> column) const {
  const int c = column.value_or(1);
  return valid_index(row, c) ? rows_.text(row - 1, c - 1) : std::string();
}

bool Ex_ListView::row_value(int row, int value) { return valid_index(row) && rows_.set_value(row - 1, value); }

int Ex_ListView::row_value(int row) const { return valid_index(row) ? rows_.value(row - 1) : 0; }

void Ex_ListView::row_colour(int row, Argb colour, bool redraw) {
  if (!valid_index(row)) return;
  rows_.set_colour(row - 1, colour);
  if (redraw) redraw_row(row);
}

bool Ex_ListView::cell_icon(int row, int column, int icon, bool redraw) {
  if (!valid_index(row, column)) return false;
  rows_.set_icon(row - 1, column - 1, icon);
  if (redraw) redraw_row(row);
  return true;
}

int Ex_ListView::cell_icon(int row, int column) const {
  return valid_index(row, column) ? rows_.icon(row - 1, column - 1) : 0;
}

int Ex_ListView::row_state(int row, std::optional<int> state) {
  if (!valid_index(row)) return 0;
  if (state) rows_.set_state(row - 1, *state);
  return rows_.state(row - 1);
}

bool Ex_ListView::valid_index(std::optional<int> row, std::optional<int> column) const {
  if (row) {
    const int count = rows_.count();
    if (count <= 0 || *row < 1 || *row > count) return false;
  }
  if (column) {
    const int count = column_count();
    if (count <= 0 || *column < 1 || *column > count) return false;
  }
  return true;
}

// ---- Selection ----

int Ex_ListView::selected_row(std::optional<int> row) {
  if (!row) return current_row_;
  const std::vector<int> previous = std::move(selection_);
  selection_.clear();
  for (int r : previous) {
    rows_.set_state(r - 1, row_state_value::normal);
    redraw_row(r);
  }
  if (current_row_ != 0) {
    rows_.set_state(current_row_ - 1, row_state_value::normal);
    redraw_row(current_row_);
  }
  current_row_ = valid_index(*row) ? *row : 0;
  if (current_row_ != 0) {
    rows_.set_state(current_row_ - 1, row_state_value::selected);
    // With multiple selection a selected row is always one of the selection.
    if (single_select_ == 0) selection_.push_back(current_row_);
    redraw_row(current_row_);
  }
  return current_row_;
}

int Ex_ListView::single_select(std::optional<int> value) {
  if (value) single_select_ = *value;
  return single_select_;
}

int Ex_ListView::hover_select(std::optional<int> value) {
  if (value) hover_select_ = *value;
  return hover_select_;
}

bool Ex_ListView::select_row(int row) {
  if (single_select_ != 0 || !valid_index(row)) return false;
  if (rows_.state(row - 1) == row_state_value::selected) return true;
  selection_.push_back(row);
  rows_.set_state(row - 1, row_state_value::selected);
  redraw_row(row);
  return true;
}

bool Ex_ListView::deselect_row(int row) {
  if (!valid_index(row)) return false;
  if (rows_.state(row - 1) != row_state_value::selected) return true;
  rows_.set_state(row - 1, row_state_value::normal);
  selection_.erase(std::remove(selection_.begin(), selection_.end(), row), selection_.end());
  redraw_row(row);
  return true;
}

bool Ex_ListView::is_selected(int row) const {
  return valid_index(row) && rows_.state(row - 1) == row_state_value::selected;
}

bool Ex_ListView::selection_position(int row, int& position) const {
  const auto it = std::find(selection_.begin(), selection_.end(), row);
  if (it == selection_.end()) return false;
  position = static_cast<int>(it - selection_.begin()) + 1;
  return true;
}

void Ex_ListView::notify(const RowRoutine& routine, int row) {
  if (!routine) return;
  const RowRoutine copy = routine;  // the routine may replace itself
  copy(get_parent(), this, row);
}

// ---- Search and visibility ----

int Ex_ListView::find_text(const std::string& text, std::optional<int> from, std::optional<int> exact,
                           std::optional<int> column) const {
  int c = column.value_or(1);
  if (c == -1) c = view_ == 0 ? 0 : 1;  // 0: every cell of the row
  if (c != 0 && !valid_index(std::nullopt, c)) return 0;
  const int found = rows_.find_text(text, std::max(1, from.value_or(1)) - 1, exact.value_or(1) != 0, c - 1);
  return found + 1;
}

int Ex_ListView::find_value(std::optional<int> from, int value) const {
  return rows_.find_value(std::max(1, from.value_or(1)) - 1, value) + 1;
}

bool Ex_ListView::ensure_visible(int row) {
  if (!valid_index(row)) return false;
  if (row >= first_visible_ && row <= last_visible_) return true;
  const int clip_height = static_cast<int>(rows_clip_.height);
  int target = 0;
  if (view_ == 1) {
    const int n = std::max(1, items_per_row_);
    target = ((row - 1) / n + 1) * row_height_ - clip_height;
  } else {
    target = row * row_height_ - clip_height;
  }
  target = std::clamp(target, 0, std::max(0, total_height_ - clip_height));
  send_event(list_event::scroll_to, 0, target);
  return true;
}

bool Ex_ListView::paint_rows_from(int row) {
  if (row < first_visible_ || row > last_visible_) return false;
  for (int r = row; r <= last_visible_; ++r) paint_row(r, true);
  return true;
}

bool Ex_ListView::paint_visible_row(int row) {
  if (row < first_visible_ || row > last_visible_) return false;
  paint_row(row, true);
  return true;
}

}  // namespace dui

// Ex_ListView: the framework's drawn list. Rows of text cells under a header of columns
// (report view), or items with a picture and a caption in a grid (icon view) or one per line
// (list view). Only the rows in view are painted, into an off-screen row image; header and
// background are cached images. Two Ex_ScrollBar children scroll it. The list tracks the row
// under the mouse, keeps a current row and a selection (single or multiple), shows the text
// of the cell under the mouse as tooltip and reports presses and clicks to owner routines and
// to handlers bound with bind_event.
//
// Rows and columns are numbered from 1; 0 means none. An index out of range makes an operation
// do nothing and answer 0 or an empty text.
#pragma once

#include "dui/controls/list_view_rows.h"
#include "dui/controls/scroll_bar.h"
#include "dui/core/control.h"
#include "dui/core/drawing.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dui {

// The list's own events, sent or posted to itself.
namespace list_event {
constexpr int row_changed = 4102;     // wparam 0 changed, 1 inserted, 2 deleted; lparam row
constexpr int rows_cleared = 4105;
constexpr int scroll_to = 4115;       // lparam: vertical scroll position
constexpr int height_changed = 4116;  // show or hide the vertical bar
constexpr int columns_changed = 4122; // lparam 1: rows must be redrawn too
// Paints the rows changed since the last time and shows the list once (posted to itself, so
// that a burst of changes costs one recomposition of the window).
constexpr int flush_rows = 4190;
}  // namespace list_event

// Row states.
namespace row_state_value {
constexpr int normal = 0;
constexpr int hover = 1;
constexpr int selected = 4;
}  // namespace row_state_value

// Pictures of one size, drawn by index (-1 = none). The list does not own it.
struct ImageList {
  int width = 0;
  int height = 0;
  std::vector<Bitmap> pictures;
  const Bitmap* picture(int index) const {
    return index >= 0 && index < static_cast<int>(pictures.size()) ? &pictures[index] : nullptr;
  }
};

// Optional arguments of Ex_ListView::create; absent values take the defaults.
struct ListViewOptions {
  std::optional<int> view;            // 0 report (default), 1 icons, 2 list
  std::optional<int> item_layout;     // replaced by 4 in views 0 and 2, by 6 in view 1
  std::optional<int> no_header;       // default 0; forced to 1 in views 1 and 2
  std::optional<int> grid_lines;      // default 3 in view 0, else 0
  std::optional<int> single_select;   // default 1
  std::optional<Argb> text_colour;    // default to_argb(black, 210)
  std::optional<Argb> hover_text_colour;
  std::optional<Argb> selected_text_colour;
  std::optional<Argb> hover_background;
  std::optional<Argb> selected_background;
  std::optional<Argb> background_colour;  // default to_argb(white, 210)
  std::optional<std::string> font_family;  // none of the three: the framework's default font
  std::optional<int> font_size;            // default 12
  std::optional<int> font_style;           // default 0
  std::optional<Argb> border;              // default to_argb(black, 80)
  std::optional<int> visible;              // default 1
};

// Optional arguments of Ex_ListView::insert_row.
struct RowOptions {
  std::optional<int> icon;         // default -1
  std::optional<int> value;        // default 0
  std::optional<int> indent;       // default 0
  std::optional<Argb> row_colour;  // default: the list's text_colour
  std::optional<int> redraw;       // default 0
};

struct ListColumn {
  std::string text;
  int alignment = 0;
  int width = 50;
  int icon = -1;
};

class Ex_ListView : public Ex_Control {
 public:
  // (parent control or nullptr, list, row).
  using RowRoutine = std::function<void(Ex_Control* parent, Ex_ListView* list, int row)>;

  Ex_ListView() = default;
  ~Ex_ListView() override;

  Ex_ListView* create(ControlParent parent, int left, int top, int width, int height,
                      const ListViewOptions& options = {});
  int on_event(int code, WParam wparam, LParam lparam) override;

  // ---- Scrolling (the bars' owner routines) ----
  void scroll_horizontal(int position);
  void scroll_vertical(int position);

  // ---- Layout and drawing ----
  void layout();
  void place_scroll_bars();
  void create_scroll_bars();
  void render_background();
  void render_header(bool force);
  void render_rows(bool new_image, bool paint);
  void compose();
  void paint_row(int row, bool present);
  int first_row_at(int x, int y) const;
  RectF row_rect(int row) const;
  // Row (and column) under a host-window point.
  bool hit_test_row(int x, int y, int& row, int* column = nullptr);

  // ---- Hooks for derived classes ----
  // Answers the Ctrl key's state while Ctrl is held, 1 for the arrow keys, else 0.
  virtual int key_hook(int key, LParam lparam);
  // -1 = not handled here; any other answer ends the event with it.
  virtual int filter_event(int code, WParam wparam, LParam lparam);
  virtual int layout_hook(const RectF& client, const RectF& header, const RectF& content);

  // ---- Columns ----
  void image_lists(std::optional<const ImageList*> stored, std::optional<const ImageList*> header_images,
                   std::optional<const ImageList*> row_images);
  void release_font();
  int insert_column(std::optional<int> position, const std::string& text, std::optional<int> width = std::nullopt,
                    std::optional<int> alignment = std::nullopt, std::optional<int> icon = std::nullopt);
  bool delete_column(int column);
  std::string column_text(int column) const;
  void column_text(int column, const std::string& text);
  int column_width(int column) const;
  bool column_width(int column, int width);
  int column_icon(int column) const;
  bool column_icon(int column, int icon);
  int column_count() const { return static_cast<int>(columns_.size()); }

  // ---- Rows and cells ----
  int row_count() const { return rows_.count(); }
  int insert_row(std::optional<int> position, const std::string& text, const RowOptions& options = {});
  bool delete_row(int row);
  void clear_rows();
  void set_cell_text(int row, std::optional<int> column, const std::string& text, bool redraw = true);
  std::string get_cell_text(int row, std::optional<int> column = std::nullopt) const;
  bool row_value(int row, int value);
  int row_value(int row) const;
  void row_colour(int row, Argb colour, bool redraw = true);
  bool cell_icon(int row, int column, int icon, bool redraw);
  int cell_icon(int row, int column) const;
  int row_state(int row, std::optional<int> state = std::nullopt);

  // ---- Selection and search ----
  int selected_row(std::optional<int> row = std::nullopt);
  int find_text(const std::string& text, std::optional<int> from = std::nullopt, std::optional<int> exact = std::nullopt,
                std::optional<int> column = std::nullopt) const;
  int find_value(std::optional<int> from, int value) const;
  bool ensure_visible(int row);
  int single_select(std::optional<int> value = std::nullopt);
  bool select_row(int row);
  std::vector<int> selection() const { return selection_; }
  bool deselect_row(int row);
  int selection_count() const { return static_cast<int>(selection_.size()); }
  bool is_selected(int row) const;
  bool selection_position(int row, int& position) const;
  int hover_select(std::optional<int> value = std::nullopt);

  // ---- Owner routines ----
  void set_click_routine(RowRoutine routine) { click_routine_ = std::move(routine); }
  void set_right_click_routine(RowRoutine routine) { right_click_routine_ = std::move(routine); }
  void set_press_routine(RowRoutine routine) { press_routine_ = std::move(routine); }
  void notify(const RowRoutine& routine, int row);

  bool paint_rows_from(int row);
  bool paint_visible_row(int row);
  // Each given index must lie in 1 ... count, and the count must be positive.
  bool valid_index(std::optional<int> row, std::optional<int> column = std::nullopt) const;

  // ---- State, read-only ----
  int view() const { return view_; }
  int no_header() const { return no_header_; }
  int grid_lines() const { return grid_lines_; }
  int item_layout() const { return item_layout_; }
  const Font& font() const { return font_; }
  Argb text_colour() const { return text_colour_; }
  const RectF& client_rect() const { return client_rect_; }
  const RectF& content_rect() const { return content_rect_; }
  const RectF& rows_clip() const { return rows_clip_; }
  const RectF& header_rect() const { return header_rect_; }
  int h_offset() const { return h_offset_; }
  int v_offset() const { return v_offset_; }
  int first_visible() const { return first_visible_; }
  int last_visible() const { return last_visible_; }
  int hover_row() const { return hover_row_; }
  int hover_column() const { return hover_column_; }
  int current_row() const { return current_row_; }
  int row_height() const { return row_height_; }
  int item_width() const { return item_width_; }
  int items_per_row() const { return items_per_row_; }
  int total_width() const { return total_width_; }
  int total_height() const { return total_height_; }
  Ex_ScrollBar* horizontal_bar() { return &h_bar_; }
  Ex_ScrollBar* vertical_bar() { return &v_bar_; }
  const Bitmap* header_image() const { return header_image_.get(); }
  const Bitmap* background_image() const { return background_image_.get(); }
  const Bitmap* rows_image() const { return rows_image_.get(); }
  // Bytes the rows take (records and texts).
  std::size_t row_memory_bytes() const { return rows_.memory_bytes(); }
  // Rows painted so far (row slots drawn into the row image), for tests and measurements.
  long long rows_painted() const { return rows_painted_; }

 private:
  // list_view.cpp
  void store_options(const ListViewOptions& options);
  void recompute_total_width();
  void on_height_changed();
  void on_row_changed(WParam kind, int row);
  void on_resized();
  void request_height_event();
  void redraw_row(int row);
  void after_insert(int row);
  void schedule_flush();
  void flush_rows();
  // list_view_input.cpp
  void on_mouse_move(LParam lparam);
  void on_mouse_leave();
  void on_button_down(int code, LParam lparam);
  void on_button_up(int code, LParam lparam);
  void on_wheel(WParam wparam);
  void press_single(int row);
  void press_with_ctrl(int row);
  void press_with_shift(int row);
  void press_plain(int code, int row);
  void unmark(int row);
  void mark(int row);
  void hover(int row);
  void clamp_v_offset();
  // list_view_drawing.cpp
  platform::gfx::Size row_picture_size() const;
  void paint_row_cells(Graphics& g, int row, RectF& slot);
  void paint_item(Graphics& g, const RowSnapshot& snapshot, const RectF& slot, Argb background, Argb text);
  // Narrows the slot to the columns' width.
  void paint_report_row(Graphics& g, const RowSnapshot& snapshot, RectF& slot, Argb background, Argb text);
  void draw_cell(Graphics& g, const RectF& box, const std::string& text, int icon, int alignment, Argb colour);
  void draw_header_columns(Graphics& g, const RectF& r);
  void draw_focus_cue(Graphics& g, int row, const RectF& slot);
  Argb host_colour_with(int alpha) const;

  // Fields
  Font font_;
  StringFormat string_format_;
  Argb text_colour_ = 0;
  Argb background_colour_ = 0;
  Argb border_ = 0;
  std::vector<ListColumn> columns_;
  ListRows rows_;
  std::unique_ptr<Bitmap> background_image_;
  std::unique_ptr<Bitmap> header_image_;
  std::unique_ptr<Bitmap> rows_image_;
  std::unique_ptr<Graphics> rows_graphics_;
  int no_header_ = 0;
  int view_ = 0;
  int grid_lines_ = 0;
  Ex_ScrollBar h_bar_;
  Ex_ScrollBar v_bar_;
  RectF client_rect_;
  RectF content_rect_;
  RectF rows_clip_;
  RectF header_rect_;
  int h_offset_ = 0;
  int v_offset_ = 0;
  int first_visible_ = 0;
  int last_visible_ = 0;
  int hover_row_ = 0;
  int hover_column_ = 0;
  int current_row_ = 0;
  std::vector<int> selection_;
  int item_width_ = 0;
  int row_height_ = 0;
  int total_width_ = 0;
  int total_height_ = 0;
  int items_per_row_ = 1;
  int single_select_ = 1;
  const ImageList* stored_images_ = nullptr;
  const ImageList* header_images_ = nullptr;
  const ImageList* row_images_ = nullptr;
  int item_layout_ = 4;
  RowRoutine click_routine_;
  RowRoutine right_click_routine_;
  RowRoutine press_routine_;
  Argb hover_background_ = 0;
  Argb selected_background_ = 0;
  Argb hover_text_colour_ = 0;
  Argb selected_text_colour_ = 0;
  int hover_select_ = 0;

  // Height of one line of text, measured once per layout (cells are single lines).
  float line_height_ = 0;
  // The focus cue is drawn once per focus gained by keyboard.
  bool focus_cue_drawn_ = false;
  // A height event is queued and not yet handled (worker threads fill in bursts).
  std::atomic<bool> height_event_pending_{false};
  // Rows changed while in view, painted by the next flush; painted rows wait for it to be shown.
  std::vector<int> dirty_rows_;
  bool present_pending_ = false;
  // Column changes waiting for the flush: bit 1 the header, bit 2 the rows too.
  int columns_pending_ = 0;
  std::atomic<bool> flush_posted_{false};
  RowSnapshot snapshot_;
  long long rows_painted_ = 0;
};

}  // namespace dui

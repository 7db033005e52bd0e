// Ex_ListView: layout, the scroll bars' placement, the cached background, header and row
// images, painting one row, composition and hit testing.
#include "dui/controls/list_view.h"

#include "dui/core/framework.h"
#include "dui/core/host_window.h"

#include <algorithm>
#include <cmath>

namespace dui {

namespace gfx = platform::gfx;

namespace {

constexpr Colour black = 0x000000;
constexpr Colour white = 0xFFFFFF;

gfx::Alignment alignment_of(int value) { return static_cast<gfx::Alignment>(std::clamp(value, 0, 2)); }

// The part of `r` inside (0, 0, width, height).
RectF inside(const RectF& r, int width, int height) {
  const float left = std::max(0.0f, r.x);
  const float top = std::max(0.0f, r.y);
  const float right = std::min(float(width), r.x + r.width);
  const float bottom = std::min(float(height), r.y + r.height);
  return {left, top, std::max(0.0f, right - left), std::max(0.0f, bottom - top)};
}

}  // namespace

// ---- Layout ----

gfx::Size Ex_ListView::row_picture_size() const {
  return row_images_ != nullptr ? gfx::Size{row_images_->width, row_images_->height} : gfx::Size{};
}

void Ex_ListView::layout() {
  const RectF b = bounds();
  const RectF r{2, 2, std::trunc(b.width) - 4, std::trunc(b.height) - 4};
  client_rect_ = header_rect_ = content_rect_ = r;
  int row_height = static_cast<int>(font_.height() + 3);
  int header_height = 0;
  if (no_header_ == 0) {
    const int hp = header_images_ != nullptr ? header_images_->height : 0;
    header_height = (hp > 0 && float(row_height - hp) <= geometry_tolerance) ? hp + 6 : row_height + 6;
  }
  header_rect_.height = float(header_height);
  content_rect_.y += float(header_height);
  content_rect_.height -= float(header_height);
  rows_clip_ = content_rect_;
  const gfx::Size picture = row_picture_size();
  if (view_ == 1) {
    row_height += picture.height + 8;
    item_width_ = row_height + 20;
    items_per_row_ = std::max(1, static_cast<int>(rows_clip_.width) / item_width_);
  } else {
    row_height = (picture.height > 0 && picture.height >= row_height) ? picture.height + 6 : row_height + 3;
  }
  row_height_ = std::max(1, row_height);
  line_height_ = font_.height();
  if (graphics() != nullptr && !font_.is_null()) {
    const float measured = graphics()->measure_string("Ag", font_, RectF{}, string_format_).bounds.height;
    if (measured > 0) line_height_ = measured;
  }
  layout_hook(client_rect_, header_rect_, content_rect_);
}

void Ex_ListView::create_scroll_bars() {
  const int left = static_cast<int>(bounds().x);
  const int top = static_cast<int>(bounds().y);
  ScrollBarOptions horizontal;
  horizontal.orientation = 1;
  horizontal.visible = 0;
  h_bar_.create(this, left, top, 10, 10, horizontal);
  h_bar_.owner_routine([this](Ex_Control*, int position) { scroll_horizontal(position); });
  h_bar_.step(5);
  ScrollBarOptions vertical;
  vertical.orientation = 2;
  vertical.visible = 0;
  v_bar_.create(this, left, top, 10, 10, vertical);
  v_bar_.owner_routine([this](Ex_Control*, int position) { scroll_vertical(position); });
  first_visible_ = last_visible_ = 1;
  recompute_total_width();
}

void Ex_ListView::place_scroll_bars() {
  const int left = static_cast<int>(bounds().x);
  const int top = static_cast<int>(bounds().y);
  const RectF& c = content_rect_;
  const int v_room = total_height_ > c.height ? 10 : 0;
  h_bar_.move(left + int(c.x) + 1, top + int(c.y + c.height) - 10, int(c.width) - 2 - v_room, 10, false);
  v_bar_.move(left + int(c.x + c.width) - 10, top + int(c.y) + 1, 10, int(c.height) - 2, false);
}

// ---- Cached images ----

void Ex_ListView::render_background() {
  const int w = static_cast<int>(bounds().width);
  const int h = static_cast<int>(bounds().height);
  background_image_ = std::make_unique<Bitmap>(w, h);
  if (background_image_->is_null()) return;
  Graphics g(*background_image_);
  g.set_smoothing(true);
  if (background_colour_ != 0) g.clear(background_colour_);
  if (border_ == 0) return;
  draw_border(g, RectF{0, 0, float(w), float(h)}, border_);
  if (border_ > border::dashed) draw_border(g, RectF{1, 1, float(w - 2), float(h - 2)}, to_argb(white, 51));
}

void Ex_ListView::render_header(bool force) {
  RectF r{0, 0, header_rect_.width, header_rect_.height};
  if (float(total_width_) > r.width) r.width = float(total_width_);
  if (header_image_ && header_image_->width() != static_cast<int>(r.width)) header_image_.reset();
  if (!header_image_ || force) {
    header_image_ = std::make_unique<Bitmap>(static_cast<int>(r.width), static_cast<int>(r.height));
    if (view_ == 0) {
      const bool wide = r.width > content_rect_.width + geometry_tolerance;
      h_bar_.visible(wide ? 1 : 0);
      if (wide) {
        rows_clip_.height = content_rect_.height - 10;
        h_bar_.maximum(static_cast<int>(r.width - rows_clip_.width) - 2);
        h_offset_ = std::max(h_offset_, -h_bar_.maximum());
      } else {
        rows_clip_.height = content_rect_.height;
        h_offset_ = 0;
      }
    }
  }
  if (header_image_->is_null()) return;
  Graphics g(*header_image_);
  g.set_smoothing(true);
  g.clear(0);
  fill_gradient(g, r, to_argb(white, 204), to_argb(white, 153), 1);
  if (columns_.empty()) return;
  draw_header_columns(g, r);
  draw_line(g, to_argb(black, 51), 0, r.height - 2, r.width, r.height - 2);
}

void Ex_ListView::draw_header_columns(Graphics& g, const RectF& r) {
  g.set_text_hint(gfx::TextHint::antialias_grid_fit);
  float x = 0;
  for (const ListColumn& column : columns_) {
    if (column.width <= 0) continue;
    const RectF cell{x, 0, float(column.width), r.height - 2};
    const RectF inner{cell.x + 1, cell.y + 1, cell.width - 1, cell.height - 1};
    const Bitmap* picture = header_images_ != nullptr ? header_images_->picture(column.icon) : nullptr;
    const gfx::Size size = picture != nullptr ? gfx::Size{header_images_->width, header_images_->height} : gfx::Size{};
    const ImageTextLayout placed = layout_image_text(size, 4, inner, PointF{0, line_height_}, 1, 0, 0);
    if (picture != nullptr) draw_image_natural(g, *picture, placed.image, false);
    if (!column.text.empty()) {
      string_format_.alignment = alignment_of(column.alignment);
      draw_text(g, placed.text, column.text, font_, to_argb(black, 210), string_format_);
    }
    const float right = inner.x + inner.width - 1;
    draw_line(g, to_argb(black, 51), right, inner.y + 2, right, inner.y + inner.height - 3);
    x += float(column.width);
  }
}

// ---- Row slots ----

RectF Ex_ListView::row_rect(int row) const {
  const float r = float(row_height_);
  if (view_ == 1) {
    const int n = std::max(1, items_per_row_);
    const int d = row - 1;
    const int line = d >= 0 ? d / n : (d - n + 1) / n;
    return {float((d - line * n) * item_width_), float(line) * r + float(v_offset_), float(item_width_), r};
  }
  const float width = view_ == 0 ? float(total_width_) : rows_clip_.width;
  return {0, float(row - 1) * r + float(v_offset_), width, r};
}

int Ex_ListView::first_row_at(int, int y) const {
  if (y <= 0 || row_height_ <= 0) return 1;
  if (view_ == 1) return (y / row_height_) * std::max(1, items_per_row_) + 1;
  return y / row_height_ + 1;
}

void Ex_ListView::render_rows(bool new_image, bool paint) {
  if (new_image) {
    rows_graphics_.reset();
    const int width = view_ == 1 ? static_cast<int>(content_rect_.width) : total_width_;
    rows_image_ = std::make_unique<Bitmap>(width, static_cast<int>(content_rect_.height));
    if (!rows_image_->is_null()) {
      rows_graphics_ = std::make_unique<Graphics>(*rows_image_);
      rows_graphics_->set_smoothing(true);
      rows_graphics_->set_text_hint(gfx::TextHint::antialias_grid_fit);
    }
  }
  first_visible_ = first_row_at(0, -v_offset_);
  const float clip_height = rows_clip_.height;
  int last = first_visible_;
  if (view_ == 1) {
    const int n = std::max(1, items_per_row_);
    while (float((last - 1) / n * row_height_ + v_offset_) < clip_height) last += n;
  } else {
    while (float((last - 1) * row_height_ + v_offset_) < clip_height) ++last;
  }
  last_visible_ = last - 1;
  if (!paint) return;
  for (int row = first_visible_; row <= last_visible_; ++row) paint_row(row, false);
}

// ---- Painting one row ----

Argb Ex_ListView::host_colour_with(int alpha) const {
  return to_argb(host() != nullptr ? host()->background_colour() : black, alpha);
}

void Ex_ListView::paint_row(int row, bool present) {
  if (row < first_visible_ || row > last_visible_ || row < 1 || !rows_graphics_) return;
  ++rows_painted_;
  Graphics& g = *rows_graphics_;
  RectF slot = row_rect(row);
  g.set_clip(slot);
  g.clear(0);
  if (valid_index(row)) paint_row_cells(g, row, slot);
  g.reset_clip();
  const Argb line = to_argb(black, 51);
  if (view_ == 0 && (grid_lines_ & 2) != 0) {
    float x = 0;
    for (const ListColumn& column : columns_) {
      if (column.width <= 0) continue;
      x += float(column.width);
      draw_line(g, line, x - 1, slot.y, x - 1, slot.y + slot.height);
    }
  }
  if (view_ != 1 && (grid_lines_ & 1) != 0) {
    const float y = slot.y + slot.height - 1;
    draw_line(g, line, slot.x, y, slot.x + slot.width, y);
  }
  draw_focus_cue(g, row, slot);
  if (!present) return;
  // The row's strip of the control's bitmap: the background under it, then the row. The host
  // shows it at the next flush, once for every row painted meanwhile.
  const RectF area{slot.x + content_rect_.x, slot.y + content_rect_.y, slot.width, slot.height};
  PaintContext context;
  if (!begin_paint(this, context, area, false) || context.graphics == nullptr || context.graphics->is_null()) return;
  Graphics& cg = *context.graphics;
  cg.set_clip(rows_clip_);
  cg.set_clip(area, gfx::CombineMode::intersect);
  cg.clear(0);
  if (background_image_) cg.draw_image(*background_image_, 0, 0);
  const RectF source = inside(slot, rows_image_->width(), rows_image_->height());
  if (!source.empty()) {
    const float left = std::trunc(content_rect_.x + float(h_offset_));
    const float top = std::trunc(content_rect_.y);
    cg.draw_image(*rows_image_, RectF{left + source.x, top + source.y, source.width, source.height}, source);
  }
  cg.reset_clip();
  end_paint(this, context);
  present_pending_ = true;
  schedule_flush();
}

void Ex_ListView::paint_row_cells(Graphics& g, int row, RectF& slot) {
  if (!rows_.snapshot(row - 1, snapshot_)) return;
  Argb background = 0;
  Argb text = snapshot_.colour;
  if (snapshot_.state == row_state_value::hover) {
    background = hover_background_ != 0 ? hover_background_ : host_colour_with(51);
    if (hover_text_colour_ != 0) text = hover_text_colour_;
  } else if (snapshot_.state == row_state_value::selected) {
    background = selected_background_ != 0 ? selected_background_ : host_colour_with(102);
    if (selected_text_colour_ != 0) text = selected_text_colour_;
  }
  if (view_ == 0) {
    paint_report_row(g, snapshot_, slot, background, text);
  } else {
    paint_item(g, snapshot_, slot, background, text);
  }
}

void Ex_ListView::paint_report_row(Graphics& g, const RowSnapshot& s, RectF& slot, Argb background, Argb text) {
  g.set_clip(slot);
  g.clear(background);
  const int picture_width = row_picture_size().width;
  float x = 0;
  for (std::size_t c = 0; c < columns_.size() && c < s.cells.size(); ++c) {
    const int width = columns_[c].width;
    if (width <= 0) continue;
    RectF box{x + 1, slot.y + 1, float(width - 3), float(row_height_ - 2)};
    if (c == 0) {
      const float indent = float(s.indent) * float(picture_width);
      box.x += indent;
      box.width -= indent;
    }
    draw_cell(g, box, s.cells[c], s.icons[c], columns_[c].alignment, text);
    x += float(width);
  }
  slot.width = x;
}

void Ex_ListView::draw_cell(Graphics& g, const RectF& box, const std::string& text, int icon, int alignment,
                            Argb colour) {
  const Bitmap* picture = row_images_ != nullptr ? row_images_->picture(icon) : nullptr;
  const gfx::Size size = picture != nullptr ? row_picture_size() : gfx::Size{};
  // Cells are single lines: only the line height is needed to place the text.
  const ImageTextLayout placed = layout_image_text(size, 4, box, PointF{0, line_height_}, 1, 0, 0);
  if (picture != nullptr) draw_image_natural(g, *picture, placed.image, false);
  if (text.empty()) return;
  string_format_.alignment = alignment_of(alignment);
  draw_text(g, placed.text, text, font_, colour, string_format_);
}

void Ex_ListView::paint_item(Graphics& g, const RowSnapshot& s, const RectF& slot, Argb background, Argb text) {
  RectF box = slot;
  if (view_ == 1) box = RectF{slot.x + 1, slot.y + 1, slot.width - 2, slot.height - 2};
  g.set_clip(box);
  g.clear(background);
  const std::string& caption = s.cells.empty() ? std::string() : s.cells[0];
  const Bitmap* picture = (row_images_ != nullptr && !s.icons.empty()) ? row_images_->picture(s.icons[0]) : nullptr;
  const gfx::Size size = picture != nullptr ? row_picture_size() : gfx::Size{};
  RectF measured;
  if (!caption.empty()) {
    const std::u16string wide = to_utf16(caption);
    measured = measure_range(g, wide, font_, string_format_, 0, static_cast<int>(wide.size()), box);
  }
  const int dx = view_ == 2 ? 2 : 0;
  const int dy = view_ == 2 ? 0 : 3;
  ImageTextLayout placed =
      layout_image_text(size, item_layout_, box, PointF{measured.width, measured.height}, dx, dy, 2);
  if (picture != nullptr) draw_image_natural(g, *picture, placed.image, false);
  if (caption.empty()) return;
  string_format_.alignment = alignment_of(columns_.empty() ? 0 : columns_[0].alignment);
  placed.text.x -= 2;
  placed.text.width = box.width;
  draw_text(g, placed.text, caption, font_, text, string_format_);
}

void Ex_ListView::draw_focus_cue(Graphics& g, int row, const RectF& slot) {
  if (focus_cue_drawn_ || host() == nullptr || host()->keyboard_focus() != this || row != current_row_) return;
  if (rows_.state(row - 1) != row_state_value::selected) return;
  draw_border(g, slot, border::dashed);
  focus_cue_drawn_ = true;
}

// ---- Composition ----

void Ex_ListView::compose() {
  PaintContext context;
  if (!begin_paint(this, context, std::nullopt, false)) return;
  if (context.graphics != nullptr && !context.graphics->is_null()) {
    Graphics& g = *context.graphics;
    const RectF whole{0, 0, std::trunc(bounds().width), std::trunc(bounds().height)};
    g.reset_clip();
    g.clear(0);
    if (no_header_ == 0 && header_image_ && !header_image_->is_null()) {
      const RectF header_clip{header_rect_.x, header_rect_.y, header_rect_.width - 1, header_rect_.height - 1};
      g.set_clip(header_clip);
      g.draw_image(*header_image_, header_rect_.x + float(h_offset_), header_rect_.y);
      g.set_clip(whole);
      g.set_clip(header_clip, gfx::CombineMode::exclusive_or);
    }
    if (background_image_) g.draw_image(*background_image_, 0, 0);
    g.set_clip(rows_clip_);
    if (rows_image_) g.draw_image(*rows_image_, content_rect_.x + float(h_offset_), content_rect_.y);
    g.reset_clip();
  }
  end_paint(this, context);
  // Shown by the flush, once for everything drawn until then.
  present_pending_ = true;
  schedule_flush();
}

// ---- Hit testing ----

bool Ex_ListView::hit_test_row(int x, int y, int& row, int* column) {
  const RectF b = bounds();
  float px = float(x) - b.x;
  float py = float(y) - b.y;
  if (!point_in_rect(rows_clip_, px, py)) return false;
  px -= rows_clip_.x;
  py -= rows_clip_.y;
  int found = 0;
  for (int r = first_visible_; r <= last_visible_; ++r) {
    if (valid_index(r) && point_in_rect(row_rect(r), px, py)) {
      found = r;
      break;
    }
  }
  if (found == 0) return false;
  row = found;
  if (column != nullptr) {
    *column = 1;
    if (view_ == 0) {
      const float shifted = px - float(h_offset_);
      float start = 0;
      for (std::size_t c = 0; c < columns_.size(); ++c) {
        const float width = float(columns_[c].width);
        if (shifted >= start && shifted <= start + width) {
          *column = static_cast<int>(c) + 1;
          break;
        }
        start += width;
      }
    }
  }
  return true;
}

}  // namespace dui

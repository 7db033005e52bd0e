#include "graphics_impl.h"
#include "text_layout.h"

namespace platform::gfx {
namespace {

bool usable_layout(const RectF& layout) {
  return finite_rect(layout) && layout.width >= 0 && layout.height >= 0;
}

void draw_underlines(QPainter& painter, const LaidOutLine& line, const Font::Impl& font, qreal baseline,
                     const QBrush& brush) {
  qreal thickness = font.line_thickness;
  qreal y = baseline + font.underline_offset;
  for (int u : line.underlined) {
    int end = u + (line.text[u].isHighSurrogate() && u + 1 < line.text.size() ? 2 : 1);
    qreal left = line.x + line.prefix[size_t(u)];
    painter.fillRect(QRectF(left, y, line.prefix[size_t(end)] - line.prefix[size_t(u)], thickness), brush);
  }
}

// True when every line, trailing spaces included, lies inside the clip rectangle.
bool inside(const TextLayout& layout, const Font::Impl& font) {
  for (const LaidOutLine& line : layout.lines) {
    QRectF box(line.x, line.y, line.prefix.back(), font.line_height);
    if (!layout.clip_rect.contains(box)) return false;
  }
  return true;
}

}  // namespace

// The GBK and UTF-16 forms meet here, each having converted its text once.
void Graphics::Impl::draw_text(const QString& text, const Font& font, const RectF& layout, const StringFormat& format,
                               const Brush& brush) {
  if (text.isEmpty() || font.is_null() || !usable_layout(layout)) return;
  const Font::Impl& f = *font.impl();
  TextLayout laid = lay_out_text(text, f, layout, format);
  if (laid.lines.empty()) return;
  QPainter* p = begin(Space::pixels);
  if (!p) return;

  // Clip to the layout rectangle only when some glyphs would cross it.
  bool clip_to_layout = laid.clip && !inside(laid, f);
  if (clip_to_layout) p->setClipRect(laid.clip_rect, clipped ? Qt::IntersectClip : Qt::ReplaceClip);
  const QBrush& qbrush = brush.impl().brush;
  p->setFont(text_antialiased() ? f.smooth : f.aliased);
  p->setPen(QPen(qbrush, 0));
  for (const LaidOutLine& line : laid.lines) {
    qreal baseline = line.y + f.ascent;
    p->drawText(QPointF(line.x, baseline), line.text);
    if (!line.underlined.empty()) draw_underlines(*p, line, f, baseline, qbrush);
  }
  if (clip_to_layout) {
    apply_clip();
    set_space(Space::pixels);
  }
}

TextMeasure Graphics::Impl::measure_text(const QString& text, const Font& font, const RectF& layout,
                                         const StringFormat& format) {
  TextMeasure result;
  if (!usable_layout(layout)) return result;
  result.bounds = RectF{layout.x, layout.y, 0, 0};
  if (text.isEmpty() || font.is_null()) return result;
  TextLayout laid = lay_out_text(text, *font.impl(), layout, format);
  result.bounds = from_qrect(laid.bounds);
  result.characters_fitted = laid.characters_fitted;
  result.lines_filled = int(laid.lines.size());
  return result;
}

std::vector<RectF> Graphics::Impl::measure_text_ranges(const QString& text, const Font& font, const RectF& layout,
                                                       const StringFormat& format,
                                                       const std::vector<CharacterRange>& ranges) {
  std::vector<RectF> boxes(ranges.size());
  if (text.isEmpty() || font.is_null() || !usable_layout(layout)) return boxes;
  TextLayout laid = lay_out_text(text, *font.impl(), layout, format);
  for (size_t i = 0; i < ranges.size(); ++i) {
    QRectF box = range_box(laid, *font.impl(), ranges[i].first, ranges[i].length);
    if (!box.isNull()) boxes[i] = from_qrect(box);
  }
  return boxes;
}

void Graphics::draw_string(std::string_view gbk, const Font& font, const RectF& layout, const StringFormat& format,
                           const Brush& brush) {
  impl_->draw_text(to_qstring(gbk), font, layout, format, brush);
}

void Graphics::draw_string(std::u16string_view text, const Font& font, const RectF& layout, const StringFormat& format,
                           const Brush& brush) {
  impl_->draw_text(to_qstring(text), font, layout, format, brush);
}

TextMeasure Graphics::measure_string(std::string_view gbk, const Font& font, const RectF& layout,
                                     const StringFormat& format) const {
  return Impl::measure_text(to_qstring(gbk), font, layout, format);
}

TextMeasure Graphics::measure_string(std::u16string_view text, const Font& font, const RectF& layout,
                                     const StringFormat& format) const {
  return Impl::measure_text(to_qstring(text), font, layout, format);
}

std::vector<RectF> Graphics::measure_ranges(std::string_view gbk, const Font& font, const RectF& layout,
                                            const StringFormat& format,
                                            const std::vector<CharacterRange>& ranges) const {
  return Impl::measure_text_ranges(to_qstring(gbk), font, layout, format, ranges);
}

std::vector<RectF> Graphics::measure_ranges(std::u16string_view text, const Font& font, const RectF& layout,
                                            const StringFormat& format,
                                            const std::vector<CharacterRange>& ranges) const {
  return Impl::measure_text_ranges(to_qstring(text), font, layout, format, ranges);
}

}  // namespace platform::gfx

// Lays a text out in a rectangle the way the string formats describe: hot-key prefixes, line
// breaks, word wrap, line limit, trimming with ellipsis, alignment and the line margins.
#pragma once

#include "gfx_internal.h"

#include <vector>

namespace platform::gfx {

struct LaidOutLine {
  QString text;                 // characters shown: prefixes removed, ellipsis added
  std::vector<int> source;      // for each unit of `text`: its index in the original text, -1 = ellipsis
  std::vector<qreal> prefix;    // prefix[i]: advance of the first i units of `text`
  std::vector<int> underlined;  // units of `text` drawn underlined (hot keys)
  qreal x = 0;                  // left of the first glyph
  qreal y = 0;                  // top of the line
  qreal width = 0;              // measured width (trailing spaces only when measured)
};

struct TextLayout {
  std::vector<LaidOutLine> lines;  // visible lines only
  QRectF bounds;                   // the measured box
  int characters_fitted = 0;
  bool clip = false;               // drawing is clipped to `clip_rect`
  QRectF clip_rect;
};

TextLayout lay_out_text(const QString& text, const Font::Impl& font, const RectF& layout, const StringFormat& format);

// The box of a range of the original text's units as laid out; empty when not visible.
QRectF range_box(const TextLayout& layout, const Font::Impl& font, int first, int length);

// Margin on each side of a line: a sixth of the em size.
inline qreal line_margin(const Font::Impl& font) { return font.size / 6.0; }

}  // namespace platform::gfx

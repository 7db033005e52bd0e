#include "glyph_advances.h"

namespace platform::gfx {

qreal GlyphAdvances::advance_locked(char32_t code_point) {
  auto found = cache_.find(code_point);
  if (found != cache_.end()) return found->second;
  char32_t units[] = {code_point};
  qreal advance = metrics_.horizontalAdvance(QString::fromUcs4(units, 1));
  cache_.emplace(code_point, advance);
  return advance;
}

void GlyphAdvances::prefix_sums(const QString& text, std::vector<qreal>& out) {
  const qsizetype n = text.size();
  out.assign(size_t(n) + 1, 0.0);
  std::lock_guard lock(mutex_);
  qreal sum = 0;
  for (qsizetype i = 0; i < n; ++i) {
    QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
      out[size_t(i) + 1] = sum;
      sum += advance_locked(QChar::surrogateToUcs4(c, text[i + 1]));
      out[size_t(++i) + 1] = sum;
      continue;
    }
    sum += advance_locked(c.unicode());
    out[size_t(i) + 1] = sum;
  }
}

qreal GlyphAdvances::width(const QString& text) {
  std::vector<qreal> sums;
  prefix_sums(text, sums);
  return sums.back();
}

}  // namespace platform::gfx

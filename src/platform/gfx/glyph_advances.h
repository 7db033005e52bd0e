// Advance widths of characters in one font, cached per character. Text is laid out without
// kerning, so the advance of a text is the sum of its characters' advances: measuring a cell
// costs table look-ups instead of shaping the text again.
#pragma once

#include <QFontMetricsF>
#include <QString>

#include <mutex>
#include <unordered_map>
#include <vector>

namespace platform::gfx {

class GlyphAdvances {
 public:
  explicit GlyphAdvances(const QFontMetricsF& metrics) : metrics_(metrics) {}

  // out[i] = advance of the first i units of the text (out has text.size() + 1 entries); the
  // two units of a surrogate pair share one step.
  void prefix_sums(const QString& text, std::vector<qreal>& out);
  qreal width(const QString& text);

 private:
  qreal advance_locked(char32_t code_point);

  std::mutex mutex_;
  QFontMetricsF metrics_;
  std::unordered_map<char32_t, qreal> cache_;
};

}  // namespace platform::gfx

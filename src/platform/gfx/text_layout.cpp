#include "text_layout.h"

#include <algorithm>
#include <cmath>

namespace platform::gfx {
namespace {

constexpr qreal kEpsilon = 1e-4;
const QString kEllipsis = QString(QChar(0x2026));

// A run of the text with the original index and the running advance of each unit.
struct Run {
  QString text;
  std::vector<int> source;
  std::vector<int> underlined;
  std::vector<qreal> prefix{0.0};

  int size() const { return int(text.size()); }
  qreal advance() const { return prefix.back(); }
  // Advance without the trailing white space.
  qreal trimmed_advance() const {
    int end = size();
    while (end > 0 && text[end - 1].isSpace()) --end;
    return prefix[size_t(end)];
  }

  Run mid(int start, int length) const {
    Run r;
    r.text = text.mid(start, length);
    r.source.assign(source.begin() + start, source.begin() + start + length);
    r.prefix.assign(prefix.begin() + start, prefix.begin() + start + length + 1);
    for (qreal& p : r.prefix) p -= prefix[size_t(start)];
    for (int u : underlined)
      if (u >= start && u < start + length) r.underlined.push_back(u - start);
    return r;
  }

  void append(const Run& tail) {
    qreal base = advance();
    for (int u : tail.underlined) underlined.push_back(u + size());
    text.append(tail.text);
    source.insert(source.end(), tail.source.begin(), tail.source.end());
    for (size_t i = 1; i < tail.prefix.size(); ++i) prefix.push_back(base + tail.prefix[i]);
  }
};

// Removes hot-key prefixes: "&x" marks x (underlined when shown), "&&" is one "&".
Run strip_prefixes(const QString& text, HotkeyPrefix prefix, GlyphAdvances& advances) {
  Run run;
  run.text.reserve(text.size());
  run.source.reserve(size_t(text.size()));
  for (int i = 0; i < text.size(); ++i) {
    QChar c = text[i];
    if (prefix != HotkeyPrefix::none && c == u'&') {
      if (i + 1 >= text.size()) break;  // a lone trailing "&" marks nothing
      c = text[++i];
      if (c != u'&' && prefix == HotkeyPrefix::show) run.underlined.push_back(run.size());
    }
    run.text.append(c);
    run.source.push_back(i);
  }
  advances.prefix_sums(run.text, run.prefix);
  return run;
}

// Paragraphs split at "\r\n", "\n" or "\r"; the breaks themselves are dropped.
std::vector<Run> split_paragraphs(const Run& all) {
  std::vector<Run> paragraphs;
  int start = 0;
  for (int i = 0; i <= all.size(); ++i) {
    bool end = i == all.size();
    if (!end && all.text[i] != u'\n' && all.text[i] != u'\r') continue;
    paragraphs.push_back(all.mid(start, i - start));
    if (!end && all.text[i] == u'\r' && i + 1 < all.size() && all.text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  return paragraphs;
}

bool is_wide(QChar c) { return c.unicode() >= 0x2E80; }

// CJK punctuation that may not begin a line, and that may not end one.
bool no_line_start(QChar c) { return QStringView(u"，。、；：？！）》」』】〉”’…").contains(c); }
bool no_line_end(QChar c) { return QStringView(u"（《「『【〈“‘").contains(c); }

// A line may break before unit k: after white space, or next to a wide character.
bool break_opportunity(const QString& s, int k) {
  if (k <= 0 || k >= s.size()) return k == s.size();
  QChar before = s[k - 1], after = s[k];
  if (after.isLowSurrogate() || no_line_start(after) || no_line_end(before)) return false;
  if (before.isSpace()) return !after.isSpace();
  return is_wide(before) || is_wide(after);
}

// Break positions (start, length) of a paragraph wrapped greedily to a width. Trailing white
// space stays on its line without counting; a word wider than the line is cut where it must.
std::vector<std::pair<int, int>> wrap_lines(const Run& run, qreal width) {
  const int n = run.size();
  if (n == 0) return {{0, 0}};
  std::vector<std::pair<int, int>> lines;
  int start = 0;
  while (start < n) {
    int last_break = -1, i = start;
    for (; i < n; ++i) {
      bool overflow = !run.text[i].isSpace() && run.prefix[size_t(i) + 1] - run.prefix[size_t(start)] > width + kEpsilon;
      if (overflow && i > start) break;
      if (break_opportunity(run.text, i + 1)) last_break = i + 1;
    }
    int end = i >= n ? n : (last_break > start ? last_break : std::max(i, start + 1));
    if (end < n && run.text[end].isLowSurrogate()) ++end;
    lines.emplace_back(start, end - start);
    start = end;
  }
  return lines;
}

// Longest prefix (in units) whose advance plus `extra` fits the width.
int fitting_prefix(const Run& run, qreal width, qreal extra) {
  auto end = std::upper_bound(run.prefix.begin(), run.prefix.end(), width - extra + kEpsilon);
  int k = std::max(0, int(end - run.prefix.begin()) - 1);
  if (k > 0 && k < run.size() && run.text[k - 1].isHighSurrogate()) --k;
  return k;
}

int back_to_word(const QString& s, int k) {
  int w = k;
  while (w > 0 && !break_opportunity(s, w)) --w;
  return w > 0 ? w : k;
}

Run with_ellipsis(Run head, qreal ellipsis_width) {
  head.text.append(kEllipsis);
  head.source.push_back(-1);
  head.prefix.push_back(head.advance() + ellipsis_width);
  return head;
}

// Keeps the end of the text (from its last path separator) and as much of the start as fits.
Run trim_path(const Run& run, qreal width, qreal ellipsis) {
  const QString& s = run.text;
  int separator = int(std::max(s.lastIndexOf(u'\\'), s.lastIndexOf(u'/')));
  int tail_start = separator > 0 ? separator : run.size() / 2;
  Run tail = run.mid(tail_start, run.size() - tail_start);
  if (tail.advance() + ellipsis > width) return with_ellipsis(run.mid(0, fitting_prefix(run, width, ellipsis)), ellipsis);
  int head = std::min(tail_start, fitting_prefix(run, width, ellipsis + tail.advance()));
  Run out = with_ellipsis(run.mid(0, head), ellipsis);
  out.append(tail);
  return out;
}

// Shortens a line that does not fit, or that has text after it (`more`), as trimming says.
Run trim_line(const Run& run, qreal width, qreal ellipsis, Trimming trimming, bool more) {
  if (trimming == Trimming::none) return run;
  bool fits = run.trimmed_advance() <= width + kEpsilon;
  if (fits && !more) return run;
  switch (trimming) {
    case Trimming::none: return run;
    case Trimming::character: return fits ? run : run.mid(0, fitting_prefix(run, width, 0));
    case Trimming::word: return fits ? run : run.mid(0, back_to_word(run.text, fitting_prefix(run, width, 0)));
    case Trimming::ellipsis_character: return with_ellipsis(run.mid(0, fitting_prefix(run, width, ellipsis)), ellipsis);
    case Trimming::ellipsis_word: {
      int k = back_to_word(run.text, fitting_prefix(run, width, ellipsis));
      return with_ellipsis(run.mid(0, k), ellipsis);
    }
    case Trimming::ellipsis_path: return fits ? with_ellipsis(run, ellipsis) : trim_path(run, width, ellipsis);
  }
  return run;
}

qreal aligned_offset(Alignment alignment, qreal room) {
  switch (alignment) {
    case Alignment::near: return 0;
    case Alignment::centre: return room / 2;
    case Alignment::far: return room;
  }
  return 0;
}

int visible_line_limit(const RectF& layout, const StringFormat& format, qreal line_height, size_t total) {
  if (!(layout.height > 0) || line_height <= 0) return int(total);
  qreal lines = layout.height / line_height;
  int limit = (format.flags & format_line_limit) ? int(std::floor(lines + kEpsilon)) : int(std::ceil(lines - kEpsilon));
  return std::clamp(limit, 0, int(total));
}

// Every line of the text before trimming and clipping.
std::vector<Run> break_lines(const QString& text, const Font::Impl& font, const StringFormat& format, bool wrap,
                             qreal room) {
  std::vector<Run> lines;
  for (const Run& paragraph : split_paragraphs(strip_prefixes(text, format.hotkey_prefix, *font.advances))) {
    if (!wrap || paragraph.advance() <= room + kEpsilon) {
      lines.push_back(paragraph);
      continue;
    }
    for (auto [start, length] : wrap_lines(paragraph, room)) lines.push_back(paragraph.mid(start, length));
  }
  return lines;
}

int fitted_characters(const std::vector<Run>& lines, int shown, int total) {
  for (size_t i = size_t(shown); i < lines.size(); ++i)
    if (!lines[i].source.empty()) return lines[i].source.front();
  return total;
}

}  // namespace

TextLayout lay_out_text(const QString& text, const Font::Impl& font, const RectF& layout, const StringFormat& format) {
  TextLayout result;
  result.bounds = QRectF(layout.x, layout.y, 0, 0);
  if (text.isEmpty()) return result;

  const bool bounded_width = layout.width > 0;
  const bool wrap = !(format.flags & format_no_wrap) && bounded_width;
  const bool trailing = format.flags & format_measure_trailing_spaces;
  const qreal margin = line_margin(font);
  const qreal room = std::max<qreal>(0, layout.width - 2 * margin);
  const qreal ellipsis = font.advances->width(kEllipsis);

  // All lines first; then the ones that show, the last of them trimmed when text is left.
  std::vector<Run> lines = break_lines(text, font, format, wrap, room);
  int shown = visible_line_limit(layout, format, font.line_height, lines.size());
  bool text_left = size_t(shown) < lines.size();
  result.characters_fitted = fitted_characters(lines, shown, int(text.size()));

  qreal block = shown * font.line_height;
  qreal top = layout.y + (layout.height > 0 ? aligned_offset(format.line_alignment, layout.height - block)
                                            : -aligned_offset(format.line_alignment, block));
  qreal widest = 0;
  for (int i = 0; i < shown; ++i) {
    Run run = std::move(lines[size_t(i)]);
    if (bounded_width) run = trim_line(run, room, ellipsis, format.trimming, text_left && i == shown - 1);
    LaidOutLine line;
    line.width = trailing ? run.advance() : run.trimmed_advance();
    line.x = bounded_width ? layout.x + margin + aligned_offset(format.alignment, room - line.width)
                           : layout.x + margin - aligned_offset(format.alignment, line.width + 2 * margin);
    line.y = top + i * font.line_height;
    line.text = std::move(run.text);
    line.source = std::move(run.source);
    line.prefix = std::move(run.prefix);
    line.underlined = std::move(run.underlined);
    widest = std::max(widest, line.width);
    result.lines.push_back(std::move(line));
  }

  qreal box_width = shown > 0 ? widest + 2 * margin : 0;
  qreal box_left = bounded_width ? layout.x + aligned_offset(format.alignment, layout.width - box_width)
                                 : layout.x - aligned_offset(format.alignment, box_width);
  result.bounds = QRectF(box_left, top, box_width, block);
  if (bounded_width && layout.height > 0) result.bounds = result.bounds.intersected(to_qrect(layout));
  result.clip = bounded_width && layout.height > 0 && !(format.flags & format_no_clip);
  result.clip_rect = to_qrect(layout);
  return result;
}

QRectF range_box(const TextLayout& layout, const Font::Impl& font, int first, int length) {
  QRectF box;
  if (length <= 0) return box;
  const qint64 last = qint64(first) + length;
  for (const LaidOutLine& line : layout.lines) {
    int lo = -1, hi = -1;
    for (int i = 0; i < int(line.source.size()); ++i) {
      int s = line.source[size_t(i)];
      if (s < first || s >= last) continue;
      if (lo < 0) lo = i;
      hi = i;
    }
    if (lo < 0) continue;
    qreal left = line.x + line.prefix[size_t(lo)];
    QRectF part(left, line.y, line.x + line.prefix[size_t(hi) + 1] - left, font.line_height);
    box = box.isNull() ? part : box.united(part);
  }
  return box;
}

}  // namespace platform::gfx

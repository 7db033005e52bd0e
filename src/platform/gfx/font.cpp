#include "gfx_internal.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <set>

namespace platform::gfx {
namespace {

// Families the program asks for that a Linux desktop usually lacks, with installed stand-ins
// in order of preference. Names are compared without regard to case.
struct Alias {
  const char* requested;  // UTF-8
  std::initializer_list<const char*> stand_ins;
};

constexpr const char* kCjk = "WenQuanYi Micro Hei";

const Alias kAliases[] = {
    {"微软雅黑", {kCjk}},       {"microsoft yahei", {kCjk}}, {"microsoft yahei ui", {kCjk}},
    {"宋体", {kCjk}},           {"simsun", {kCjk}},          {"新宋体", {kCjk}},
    {"nsimsun", {kCjk}},        {"黑体", {kCjk}},            {"simhei", {kCjk}},
    {"楷体", {kCjk}},           {"kaiti", {kCjk}},           {"仿宋", {kCjk}},
    {"fangsong", {kCjk}},       {"微软正黑体", {kCjk}},      {"microsoft jhenghei", {kCjk}},
    {"tahoma", {"DejaVu Sans", kCjk}},
    {"arial", {"DejaVu Sans", kCjk}},
    {"verdana", {"DejaVu Sans", kCjk}},
    {"segoe ui", {"DejaVu Sans", kCjk}},
    {"ms sans serif", {"DejaVu Sans", kCjk}},
    {"microsoft sans serif", {"DejaVu Sans", kCjk}},
    {"times new roman", {"DejaVu Serif", kCjk}},
    {"courier new", {"DejaVu Sans Mono", "WenQuanYi Micro Hei Mono"}},
    {"consolas", {"DejaVu Sans Mono", "WenQuanYi Micro Hei Mono"}},
    // Generic names.
    {"sans", {"DejaVu Sans", kCjk}},
    {"sans-serif", {"DejaVu Sans", kCjk}},
    {"sans serif", {"DejaVu Sans", kCjk}},
    {"serif", {"DejaVu Serif", kCjk}},
    {"monospace", {"DejaVu Sans Mono", "WenQuanYi Micro Hei Mono"}},
};

// Installed families, lower-cased, read once (the font database needs the application).
const std::set<QString>& installed_families() {
  static std::once_flag once;
  static std::set<QString> families;
  std::call_once(once, [] {
    for (const QString& f : QFontDatabase::families()) families.insert(f.toLower());
  });
  return families;
}

bool installed(const QString& family) { return installed_families().count(family.toLower()) > 0; }

QString resolve(std::string_view family_gbk) {
  if (!QGuiApplication::instance() || family_gbk.empty()) return QString();
  QString name = to_qstring(family_gbk).trimmed();
  if (name.isEmpty()) return QString();
  if (installed(name)) return name;
  QString key = name.toLower();
  for (const Alias& alias : kAliases) {
    if (key != QString::fromUtf8(alias.requested)) continue;
    for (const char* stand_in : alias.stand_ins)
      if (installed(QString::fromUtf8(stand_in))) return QString::fromUtf8(stand_in);
  }
  return QString();
}

// A paint device of the same resolution as every bitmap, for measuring.
const QImage& reference_device() {
  static const QImage device = new_argb_image(1, 1);
  return device;
}

constexpr float kMaxFontPixels = 4096;

}  // namespace

bool font_family_exists(std::string_view family_gbk) { return !resolve(family_gbk).isEmpty(); }

std::string resolve_font_family(std::string_view family_gbk) { return resolve(family_gbk).toStdString(); }

Font::Font() = default;

Font Font::create(std::string_view family_gbk, float size_pixels, int style) {
  Font result;
  if (!std::isfinite(size_pixels) || size_pixels <= 0 || size_pixels > kMaxFontPixels) return result;
  QString family = resolve(family_gbk);
  if (family.isEmpty()) return result;

  auto impl = std::make_shared<Impl>();
  impl->family_gbk = std::string(family_gbk);
  impl->size = size_pixels;
  impl->style = style & (font_bold | font_italic | font_underline | font_strikeout);
  QFont font(family);
  font.setPointSizeF(size_pixels * 72.0 / 96.0);  // bitmaps are 96 dots per inch
  font.setBold(style & font_bold);
  font.setItalic(style & font_italic);
  font.setUnderline(style & font_underline);
  font.setStrikeOut(style & font_strikeout);
  // Without kerning and shaping of simple scripts a text is as wide as its characters.
  font.setKerning(false);
  font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::PreferNoShaping));
  impl->smooth = font;
  font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferNoShaping));
  impl->aliased = font;
  QFontMetricsF metrics(impl->smooth, &reference_device());
  impl->line_height = metrics.lineSpacing();
  impl->ascent = metrics.ascent();
  impl->underline_offset = metrics.underlinePos();
  impl->line_thickness = std::max<qreal>(1.0, metrics.lineWidth());
  impl->advances = std::make_unique<GlyphAdvances>(metrics);
  result.impl_ = std::move(impl);
  return result;
}

std::string Font::family() const { return impl_ ? impl_->family_gbk : std::string(); }
float Font::size() const { return impl_ ? impl_->size : 0.0f; }
int Font::style() const { return impl_ ? impl_->style : 0; }
float Font::height() const { return impl_ ? float(impl_->line_height) : 0.0f; }

}  // namespace platform::gfx

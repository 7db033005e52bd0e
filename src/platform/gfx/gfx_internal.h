// Shared pieces of the drawing module's implementation (Qt types behind the public classes).
#pragma once

#include "platform/gfx.h"

#include "glyph_advances.h"

#include <QBrush>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainterPath>
#include <QRegion>
#include <QString>

#include <cmath>
#include <string_view>

namespace platform::gfx {

// Geometry is given with pixel centres at integer coordinates; Qt's antialiased rasteriser
// puts them at +0.5 (its aliased one agrees with ours already).
constexpr qreal kPixelCentre = 0.5;

// Every paint target gets exactly 96 dots per inch, so that fonts sized in points (Qt's only
// fractional size) come out at the intended pixel size.
constexpr int kDotsPerMeter = 3780;

// Sides of the rectangle that stands for "everything" (an infinite clip).
constexpr int kHugeSide = 1 << 22;
inline QRect huge_rect() { return QRect(-kHugeSide / 2, -kHugeSide / 2, kHugeSide, kHugeSide); }

QImage new_argb_image(int width, int height);

inline QColor to_qcolor(Argb c) { return QColor(red_of(c), green_of(c), blue_of(c), alpha_of(c)); }
inline QRectF to_qrect(const RectF& r) { return QRectF(r.x, r.y, r.width, r.height); }
inline RectF from_qrect(const QRectF& r) {
  return RectF{float(r.x()), float(r.y()), float(r.width()), float(r.height())};
}
inline bool finite_rect(const RectF& r) {
  return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) && std::isfinite(r.height);
}

QString to_qstring(std::string_view gbk);
inline QString to_qstring(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

class Graphics;

struct Bitmap::Impl {
  QImage image;  // Format_ARGB32_Premultiplied
  // The graphics whose painter is active on `image`; another graphics ends it before painting.
  Graphics::Impl* painter_owner = nullptr;
};

// A pixel area in Qt device coordinates: nothing, everything, whole pixels, or a shape.
struct Area {
  enum class Kind { empty, infinite, pixels, shape };
  Kind kind = Kind::empty;
  QRegion pixels;
  QPainterPath shape;

  static Area from_pixels(const QRegion& r);
  static Area from_shape(const QPainterPath& p);
  bool contains(const QPointF& qt_point) const;  // the pixel at that point
  QRectF bounds() const;  // whole pixels that may be touched
  QRegion to_pixels() const;
  QPainterPath to_shape() const;
  void translate(qreal dx, qreal dy);
};
Area combine_areas(const Area& current, const Area& next, CombineMode mode);
// Pixels whose centres lie in the rectangle (given with pixel centres at integers).
QRegion pixels_of_rect(const RectF& r);

struct Region::Impl {
  Area area;
};

struct Path::Impl {
  QPainterPath path;     // pixel centres at integers, as given
  bool figure_open = false;
};

struct Brush::Impl {
  QBrush brush;          // in the given coordinates (pixel centres at integers)
  QPainterPath bound;    // a path gradient paints only inside this; empty otherwise
};

struct Font::Impl {
  std::string family_gbk;
  float size = 0;
  int style = 0;
  QFont smooth;          // antialiased glyphs
  QFont aliased;         // single-bit glyphs
  // Metrics read once, so that drawing does not consult the font engine.
  qreal line_height = 0;
  qreal ascent = 0;
  qreal underline_offset = 0;  // below the baseline
  qreal line_thickness = 1;
  std::unique_ptr<GlyphAdvances> advances;  // thread-safe cache
};

}  // namespace platform::gfx

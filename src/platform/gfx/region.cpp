#include "gfx_internal.h"

#include <QPolygon>
#include <QTransform>

#include <cmath>

namespace platform::gfx {

// ----- Area -------------------------------------------------------------------------------

Area Area::from_pixels(const QRegion& r) {
  Area a;
  a.kind = r.isEmpty() ? Kind::empty : Kind::pixels;
  a.pixels = r;
  return a;
}

Area Area::from_shape(const QPainterPath& p) {
  Area a;
  if (p.isEmpty() || p.boundingRect().isEmpty()) return a;
  a.kind = Kind::shape;
  a.shape = p;
  return a;
}

bool Area::contains(const QPointF& qt_point) const {
  switch (kind) {
    case Kind::empty: return false;
    case Kind::infinite: return true;
    case Kind::pixels: return pixels.contains(QPoint(int(std::floor(qt_point.x())), int(std::floor(qt_point.y()))));
    case Kind::shape:
      return shape.contains(QPointF(std::floor(qt_point.x()) + kPixelCentre, std::floor(qt_point.y()) + kPixelCentre));
  }
  return false;
}

QRectF Area::bounds() const {
  switch (kind) {
    case Kind::empty: return QRectF();
    case Kind::infinite: return QRectF(huge_rect());
    case Kind::pixels: return QRectF(pixels.boundingRect());
    case Kind::shape: return QRectF(shape.boundingRect().toAlignedRect());
  }
  return QRectF();
}

QRegion Area::to_pixels() const {
  switch (kind) {
    case Kind::empty: return QRegion();
    case Kind::infinite: return QRegion(huge_rect());
    case Kind::pixels: return pixels;
    case Kind::shape: {
      QRegion region;
      for (const QPolygonF& polygon : shape.toFillPolygons())
        region = region.united(QRegion(polygon.toPolygon(), shape.fillRule()));
      return region;
    }
  }
  return QRegion();
}

QPainterPath Area::to_shape() const {
  QPainterPath path;
  switch (kind) {
    case Kind::empty: break;
    case Kind::infinite: path.addRect(QRectF(huge_rect())); break;
    case Kind::pixels: path.addRegion(pixels); break;
    case Kind::shape: path = shape; break;
  }
  return path;
}

void Area::translate(qreal dx, qreal dy) {
  if (kind == Kind::pixels) {
    if (dx == std::round(dx) && dy == std::round(dy)) {
      pixels.translate(int(dx), int(dy));
      return;
    }
    *this = from_shape(to_shape());
  }
  if (kind == Kind::shape) shape.translate(dx, dy);
}

namespace {

bool is_pixel_kind(const Area& a) { return a.kind != Area::Kind::shape; }

Area combine_pixels(const QRegion& a, const QRegion& b, CombineMode mode) {
  switch (mode) {
    case CombineMode::replace: return Area::from_pixels(b);
    case CombineMode::intersect: return Area::from_pixels(a.intersected(b));
    case CombineMode::unite: return Area::from_pixels(a.united(b));
    case CombineMode::exclusive_or: return Area::from_pixels(a.xored(b));
    case CombineMode::exclude: return Area::from_pixels(a.subtracted(b));
    case CombineMode::complement: return Area::from_pixels(b.subtracted(a));
  }
  return Area::from_pixels(b);
}

Area combine_shapes(const QPainterPath& a, const QPainterPath& b, CombineMode mode) {
  switch (mode) {
    case CombineMode::replace: return Area::from_shape(b);
    case CombineMode::intersect: return Area::from_shape(a.intersected(b));
    case CombineMode::unite: return Area::from_shape(a.united(b));
    case CombineMode::exclusive_or: return Area::from_shape(a.united(b).subtracted(a.intersected(b)));
    case CombineMode::exclude: return Area::from_shape(a.subtracted(b));
    case CombineMode::complement: return Area::from_shape(b.subtracted(a));
  }
  return Area::from_shape(b);
}

}  // namespace

Area combine_areas(const Area& current, const Area& next, CombineMode mode) {
  using Kind = Area::Kind;
  if (mode == CombineMode::replace) return next;
  // Shortcuts that keep an infinite area exact and avoid shape arithmetic.
  if (mode == CombineMode::intersect) {
    if (current.kind == Kind::infinite) return next;
    if (next.kind == Kind::infinite) return current;
    if (current.kind == Kind::empty || next.kind == Kind::empty) return Area();
  }
  if (mode == CombineMode::unite && (current.kind == Kind::infinite || next.kind == Kind::infinite)) {
    Area all;
    all.kind = Kind::infinite;
    return all;
  }
  if (is_pixel_kind(current) && is_pixel_kind(next))
    return combine_pixels(current.to_pixels(), next.to_pixels(), mode);
  return combine_shapes(current.to_shape(), next.to_shape(), mode);
}

QRegion pixels_of_rect(const RectF& r) {
  if (!finite_rect(r) || r.empty()) return QRegion();
  double left = std::ceil(double(r.x)), top = std::ceil(double(r.y));
  double right = std::ceil(double(r.x) + r.width), bottom = std::ceil(double(r.y) + r.height);
  QRectF clamped = QRectF(left, top, right - left, bottom - top).intersected(QRectF(huge_rect()));
  return QRegion(clamped.toRect());
}

// ----- Region -----------------------------------------------------------------------------

Region::Region() : impl_(std::make_unique<Impl>()) {}
Region::Region(const Region& other) : impl_(std::make_unique<Impl>(*other.impl_)) {}
Region::Region(Region&& other) noexcept : impl_(std::make_unique<Impl>()) { impl_.swap(other.impl_); }
Region& Region::operator=(const Region& other) {
  if (this != &other) *impl_ = *other.impl_;
  return *this;
}
Region& Region::operator=(Region&& other) noexcept {
  impl_.swap(other.impl_);
  return *this;
}
Region::~Region() = default;

Region Region::infinite() {
  Region r;
  r.impl_->area.kind = Area::Kind::infinite;
  return r;
}

Region Region::from_rect(const RectF& rect) {
  Region r;
  r.impl_->area = Area::from_pixels(pixels_of_rect(rect));
  return r;
}

Region Region::from_path(const Path& path) {
  Region r;
  r.impl_->area = Area::from_shape(path.impl().path);
  return r;
}

Region Region::from_round_rect(int left, int top, int right, int bottom, int corner_width, int corner_height) {
  Region r;
  if (right <= left || bottom <= top) return r;
  QPainterPath path;
  path.addRoundedRect(QRectF(left, top, right - left, bottom - top), std::max(0, corner_width) / 2.0,
                      std::max(0, corner_height) / 2.0);
  r.impl_->area = Area::from_pixels(Area::from_shape(path).to_pixels());
  return r;
}

void Region::combine(const Region& other, CombineMode mode) {
  impl_->area = combine_areas(impl_->area, other.impl_->area, mode);
}

void Region::translate(float dx, float dy) {
  if (std::isfinite(dx) && std::isfinite(dy)) impl_->area.translate(dx, dy);
}

bool Region::is_empty() const { return impl_->area.kind == Area::Kind::empty; }
bool Region::is_infinite() const { return impl_->area.kind == Area::Kind::infinite; }

bool Region::contains(float x, float y) const {
  return std::isfinite(x) && std::isfinite(y) && impl_->area.contains(QPointF(x, y));
}

RectF Region::bounds() const { return from_qrect(impl_->area.bounds()); }

std::vector<Rect> Region::rects() const {
  std::vector<Rect> out;
  for (const QRect& r : impl_->area.to_pixels()) out.push_back({r.x(), r.y(), r.width(), r.height()});
  return out;
}

}  // namespace platform::gfx

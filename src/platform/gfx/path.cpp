#include "gfx_internal.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::gfx {
namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

// Angle on the ellipse's parameter circle for a geometric angle (both in degrees, y down).
double parametric_angle(double degrees, double rx, double ry) {
  double r = degrees / kDegrees;
  return std::atan2(rx * std::sin(r), ry * std::cos(r)) * kDegrees;
}

bool finite_point(PointF p) { return std::isfinite(p.x) && std::isfinite(p.y); }

}  // namespace

Path::Path() : impl_(std::make_unique<Impl>()) {}
Path::Path(const Path& other) : impl_(std::make_unique<Impl>(*other.impl_)) {}
Path::Path(Path&& other) noexcept : impl_(std::make_unique<Impl>()) { impl_.swap(other.impl_); }
Path& Path::operator=(const Path& other) {
  if (this != &other) *impl_ = *other.impl_;
  return *this;
}
Path& Path::operator=(Path&& other) noexcept {
  impl_.swap(other.impl_);
  return *this;
}
Path::~Path() = default;

void Path::add_line(PointF from, PointF to) {
  if (!finite_point(from) || !finite_point(to)) return;
  if (impl_->figure_open)
    impl_->path.lineTo(from.x, from.y);
  else
    impl_->path.moveTo(from.x, from.y);
  impl_->path.lineTo(to.x, to.y);
  impl_->figure_open = true;
}

void Path::add_arc(const RectF& box, float start_degrees, float sweep_degrees) {
  if (!finite_rect(box) || box.empty() || !std::isfinite(start_degrees) || !std::isfinite(sweep_degrees)) return;
  double rx = box.width / 2.0, ry = box.height / 2.0;
  double start = start_degrees, sweep = std::clamp<double>(sweep_degrees, -360.0, 360.0);
  if (rx != ry && std::abs(sweep) < 360.0) {
    double t0 = parametric_angle(start, rx, ry);
    double t1 = parametric_angle(start + sweep, rx, ry);
    double dt = t1 - t0;
    if (sweep > 0) {
      while (dt < 0) dt += 360.0;
    } else {
      while (dt > 0) dt -= 360.0;
    }
    start = t0;
    sweep = dt;
  }
  // Qt counts angles counter-clockwise; ours run clockwise on screen.
  QRectF r = to_qrect(box);
  if (!impl_->figure_open) impl_->path.arcMoveTo(r, -start);
  impl_->path.arcTo(r, -start, -sweep);
  impl_->figure_open = true;
}

void Path::add_rect(const RectF& rect) {
  if (!finite_rect(rect)) return;
  impl_->path.addRect(to_qrect(rect));
  impl_->figure_open = false;
}

void Path::add_ellipse(const RectF& box) {
  if (!finite_rect(box)) return;
  impl_->path.addEllipse(to_qrect(box));
  impl_->figure_open = false;
}

void Path::add_polygon(const std::vector<PointF>& points) {
  if (points.size() < 2) return;
  QPolygonF polygon;
  polygon.reserve(qsizetype(points.size()));
  for (PointF p : points) {
    if (!finite_point(p)) return;
    polygon << QPointF(p.x, p.y);
  }
  impl_->path.addPolygon(polygon);
  impl_->path.closeSubpath();
  impl_->figure_open = false;
}

void Path::add_rounded_rect(const RectF& rect, float corner) {
  if (!finite_rect(rect) || !std::isfinite(corner)) return;
  float right = rect.x + rect.width - corner - 1, bottom = rect.y + rect.height - corner - 1;
  if (corner <= 0) {
    add_polygon({{rect.x, rect.y}, {right, rect.y}, {right, bottom}, {rect.x, bottom}});
    return;
  }
  start_figure();
  add_arc({rect.x, rect.y, corner, corner}, 180, 90);
  add_arc({right, rect.y, corner, corner}, 270, 90);
  add_arc({right, bottom, corner, corner}, 0, 90);
  add_arc({rect.x, bottom, corner, corner}, 90, 90);
  close_figure();
}

void Path::close_figure() {
  if (impl_->figure_open) impl_->path.closeSubpath();
  impl_->figure_open = false;
}

void Path::start_figure() { impl_->figure_open = false; }

void Path::reset() { *impl_ = Impl(); }

bool Path::is_empty() const { return impl_->path.isEmpty(); }

RectF Path::bounds() const { return from_qrect(impl_->path.boundingRect()); }

bool Path::contains(PointF point) const { return impl_->path.contains(QPointF(point.x, point.y)); }

std::vector<PointF> Path::flattened() const {
  std::vector<PointF> points;
  for (const QPolygonF& polygon : impl_->path.toSubpathPolygons())
    for (const QPointF& p : polygon) points.push_back({float(p.x()), float(p.y())});
  return points;
}

Path rounded_rect_path(const RectF& rect, float corner) {
  Path path;
  path.add_rounded_rect(rect, corner);
  return path;
}

}  // namespace platform::gfx

#include "gfx_internal.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace platform::gfx {
namespace {

QGradient::Spread spread_of(WrapMode wrap) {
  switch (wrap) {
    case WrapMode::tile: return QGradient::RepeatSpread;
    case WrapMode::clamp: return QGradient::PadSpread;
    default: return QGradient::ReflectSpread;
  }
}

std::shared_ptr<Brush::Impl> solid_impl(Argb colour) {
  auto impl = std::make_shared<Brush::Impl>();
  impl->brush = QBrush(to_qcolor(colour));
  return impl;
}

// A gradient line from `start` to `end`: `from` at the start, `to` at the end.
QBrush line_brush(QPointF start, QPointF end, Argb from, Argb to, WrapMode wrap) {
  QLinearGradient gradient(start, end);
  gradient.setColorAt(0, to_qcolor(from));
  gradient.setColorAt(1, to_qcolor(to));
  gradient.setSpread(spread_of(wrap));
  return QBrush(gradient);
}

}  // namespace

Brush::Brush() : impl_(solid_impl(0)) {}
Brush::Brush(const Brush&) = default;
Brush::Brush(Brush&&) noexcept = default;
Brush& Brush::operator=(const Brush&) = default;
Brush& Brush::operator=(Brush&&) noexcept = default;
Brush::~Brush() = default;

Brush Brush::solid(Argb colour) {
  Brush b;
  b.impl_ = solid_impl(colour);
  return b;
}

Brush Brush::linear(const RectF& rect, Argb from, Argb to, LinearMode mode, WrapMode wrap) {
  if (!finite_rect(rect) || rect.empty()) return solid(from);
  auto impl = std::make_shared<Impl>();
  QRectF r = to_qrect(rect);
  switch (mode) {
    case LinearMode::horizontal: impl->brush = line_brush(r.topLeft(), r.topRight(), from, to, wrap); break;
    case LinearMode::vertical: impl->brush = line_brush(r.topLeft(), r.bottomLeft(), from, to, wrap); break;
    case LinearMode::forward_diagonal:
    case LinearMode::backward_diagonal: {
      // Diagonal in the unit square, stretched onto the rectangle: the lines of equal colour
      // run parallel to the other diagonal.
      bool forward = mode == LinearMode::forward_diagonal;
      QBrush brush = forward ? line_brush({0, 0}, {1, 1}, from, to, wrap) : line_brush({1, 0}, {0, 1}, from, to, wrap);
      brush.setTransform(QTransform(r.width(), 0, 0, r.height(), r.x(), r.y()));
      impl->brush = brush;
      break;
    }
  }
  Brush b;
  b.impl_ = impl;
  return b;
}

Brush Brush::linear_angle(const RectF& rect, Argb from, Argb to, float angle_degrees, WrapMode wrap) {
  if (!finite_rect(rect) || rect.empty() || !std::isfinite(angle_degrees)) return solid(from);
  double a = angle_degrees * std::numbers::pi / 180.0;
  QPointF dir(std::cos(a), std::sin(a));
  QRectF r = to_qrect(rect);
  // Project the corners on the direction; the lowest gets `from`, the highest `to`.
  QPointF corners[] = {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()};
  double lo = 1e300, hi = -1e300;
  for (QPointF c : corners) {
    double d = QPointF::dotProduct(c - r.center(), dir);
    lo = std::min(lo, d);
    hi = std::max(hi, d);
  }
  auto impl = std::make_shared<Impl>();
  impl->brush = line_brush(r.center() + dir * lo, r.center() + dir * hi, from, to, wrap);
  Brush b;
  b.impl_ = impl;
  return b;
}

Brush Brush::path_gradient(const Path& path, Argb centre, Argb surround, float focus_x, float focus_y) {
  QRectF box = path.impl().path.boundingRect();
  if (path.is_empty() || box.isEmpty()) return solid(surround);
  float focus = std::clamp(std::isfinite(focus_x) && std::isfinite(focus_y) ? std::max(focus_x, focus_y) : 0.f, 0.f, 1.f);
  // A radial gradient on the unit circle, stretched onto the bounds of the path.
  QRadialGradient gradient(QPointF(0, 0), 1.0);
  gradient.setColorAt(0, to_qcolor(centre));
  if (focus > 0) gradient.setColorAt(focus, to_qcolor(centre));
  gradient.setColorAt(1, to_qcolor(surround));
  gradient.setSpread(QGradient::PadSpread);
  QBrush brush(gradient);
  brush.setTransform(QTransform(box.width() / 2, 0, 0, box.height() / 2, box.center().x(), box.center().y()));
  auto impl = std::make_shared<Impl>();
  impl->brush = brush;
  impl->bound = path.impl().path;
  Brush b;
  b.impl_ = impl;
  return b;
}

}  // namespace platform::gfx

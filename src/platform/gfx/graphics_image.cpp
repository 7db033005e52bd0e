#include "graphics_impl.h"

#include <QTransform>

#include <cmath>

namespace platform::gfx {
namespace {

bool usable_opacity(float opacity) { return std::isfinite(opacity) && opacity > 0.0f; }

// A reduction to less than half its size samples too few source pixels with plain bilinear
// filtering; high quality first scales the part down with an area filter.
bool needs_prescale(Interpolation mode, const QRectF& dest, const QRectF& source) {
  return mode == Interpolation::high_quality &&
         (dest.width() < source.width() * 0.5 || dest.height() < source.height() * 0.5);
}

bool whole(qreal v) { return v == std::floor(v); }

// An unscaled draw at whole-pixel positions, made in bands of rows (see kBandRows).
bool draw_unscaled_in_bands(QPainter& painter, const QPointF& at, const QImage& image, const QRectF& source) {
  if (!whole(at.x()) || !whole(at.y()) || !whole(source.x()) || !whole(source.y()) || !whole(source.width()) ||
      !whole(source.height()) || !QRectF(image.rect()).contains(source))
    return false;
  for (qreal top = 0; top < source.height(); top += kBandRows) {
    qreal rows = std::min<qreal>(kBandRows, source.height() - top);
    painter.drawImage(QPointF(at.x(), at.y() + top), image,
                      QRectF(source.x(), source.y() + top, source.width(), rows));
  }
  return true;
}

}  // namespace

void Graphics::draw_image(const Bitmap& image, float x, float y, float opacity) {
  if (image.is_null() || !std::isfinite(x) || !std::isfinite(y) || !usable_opacity(opacity)) return;
  const QImage& source = image.impl()->image;
  // Drawing a bitmap onto itself reads from a copy.
  QImage copy = image.impl() == impl_->target ? source.copy() : QImage();
  QPainter* p = impl_->begin(Impl::Space::pixels);
  if (!p) return;
  p->setOpacity(std::min(1.0f, opacity));
  const QImage& drawn = copy.isNull() ? source : copy;
  if (!draw_unscaled_in_bands(*p, QPointF(x, y), drawn, QRectF(drawn.rect()))) p->drawImage(QPointF(x, y), drawn);
  p->setOpacity(1.0);
}

void Graphics::draw_image(const Bitmap& image, const RectF& dest, float opacity) {
  draw_image(image, dest, RectF{0, 0, float(image.width()), float(image.height())}, opacity);
}

void Graphics::draw_image(const Bitmap& image, const RectF& dest, const RectF& source, float opacity) {
  if (image.is_null() || !finite_rect(dest) || !finite_rect(source) || dest.empty() || !usable_opacity(opacity))
    return;
  if (source.width == 0 || source.height == 0) return;
  // A negative source width or height mirrors the part on the other side of x or y.
  bool mirror_x = source.width < 0, mirror_y = source.height < 0;
  QRectF src(mirror_x ? source.x + source.width : source.x, mirror_y ? source.y + source.height : source.y,
             std::abs(source.width), std::abs(source.height));
  QRectF dst = to_qrect(dest);

  const QImage& whole_image = image.impl()->image;
  QImage part;
  if (image.impl() == impl_->target) {
    part = whole_image.copy(src.toAlignedRect());
    src.translate(-src.toAlignedRect().topLeft());
  }
  if (needs_prescale(impl_->interpolation, dst, src)) {
    const QImage& from = part.isNull() ? whole_image : part;
    QSize size(std::max(1, int(std::lround(dst.width()))), std::max(1, int(std::lround(dst.height()))));
    part = from.copy(src.toAlignedRect()).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    src = QRectF(0, 0, size.width(), size.height());
  }

  QPainter* p = impl_->begin(Impl::Space::pixels);
  if (!p) return;
  if (mirror_x || mirror_y) {
    QTransform flip = QTransform::fromTranslate(dst.center().x(), dst.center().y());
    flip.scale(mirror_x ? -1 : 1, mirror_y ? -1 : 1);
    flip.translate(-dst.center().x(), -dst.center().y());
    p->setTransform(flip * QTransform::fromTranslate(impl_->origin.x(), impl_->origin.y()));
    impl_->space = Impl::Space::unknown;
  }
  p->setOpacity(std::min(1.0f, opacity));
  const QImage& drawn = part.isNull() ? whole_image : part;
  bool unscaled = !mirror_x && !mirror_y && dst.size() == src.size();
  if (!unscaled || !draw_unscaled_in_bands(*p, dst.topLeft(), drawn, src)) p->drawImage(dst, drawn, src);
  p->setOpacity(1.0);
}

}  // namespace platform::gfx

#include "graphics_impl.h"

#include <QTransform>

#include <cmath>

namespace platform::gfx {

// ----- painter management ----------------------------------------------------------------

QPainter* Graphics::Impl::begin(Space wanted) {
  if (!target) return nullptr;
  if (target->painter_owner != this) {
    if (target->painter_owner) target->painter_owner->end();
    if (!painter.begin(&target->image)) return nullptr;
    target->painter_owner = this;
    apply_hints();
    apply_clip();
  }
  set_space(wanted);
  return &painter;
}

void Graphics::Impl::end() {
  if (target && target->painter_owner == this) {
    painter.end();
    target->painter_owner = nullptr;
  }
  space = Space::unknown;
}

void Graphics::Impl::apply_hints() {
  painter.setRenderHint(QPainter::Antialiasing, antialias);
  painter.setRenderHint(QPainter::TextAntialiasing, text_antialiased());
  painter.setRenderHint(QPainter::SmoothPixmapTransform, interpolation != Interpolation::nearest);
}

bool Graphics::Impl::text_antialiased() const {
  return text_hint != TextHint::single_bit && text_hint != TextHint::single_bit_grid_fit;
}

void Graphics::Impl::apply_clip() {
  painter.resetTransform();
  space = Space::device;
  if (!clipped || clip.kind == Area::Kind::infinite) {
    // Dropping the clip (rather than disabling it) matters: Qt's raster engine keeps a disabled
    // clip and would leave it disabled when the same region is set again.
    painter.setClipRect(QRect(), Qt::NoClip);
    return;
  }
  switch (clip.kind) {
    case Area::Kind::empty: painter.setClipRect(QRect(0, 0, 0, 0)); break;
    case Area::Kind::pixels: painter.setClipRegion(clip.pixels); break;
    case Area::Kind::shape: painter.setClipPath(clip.shape); break;
    case Area::Kind::infinite: break;
  }
}

void Graphics::Impl::set_space(Space wanted) {
  if (space == wanted) return;
  // Antialiased shapes put pixel centres at +0.5; Qt's aliased rasteriser already hits the
  // pixel at integer coordinates.
  qreal shift = wanted == Space::shapes && antialias ? kPixelCentre : 0.0;
  if (wanted == Space::device)
    painter.resetTransform();
  else
    painter.setTransform(QTransform::fromTranslate(origin.x() + shift, origin.y() + shift));
  space = wanted;
}

void Graphics::Impl::set_clip_area(const Area& area, CombineMode mode) {
  Area current;
  current.kind = Area::Kind::infinite;
  if (clipped) current = clip;
  clip = combine_areas(current, area, mode);
  clipped = clip.kind != Area::Kind::infinite;
  if (target && target->painter_owner == this) apply_clip();
}

// ----- construction and settings ---------------------------------------------------------

Graphics::Graphics() : impl_(std::make_unique<Impl>()) {}
Graphics::Graphics(Bitmap& target) : impl_(std::make_unique<Impl>()) { impl_->target = target.impl(); }
Graphics::~Graphics() = default;
// A moved-from graphics is null; the state lives in the heap object that moves along.
Graphics::Graphics(Graphics&& other) noexcept : impl_(std::make_unique<Impl>()) { impl_.swap(other.impl_); }
Graphics& Graphics::operator=(Graphics&& other) noexcept {
  if (this != &other) {
    impl_.swap(other.impl_);
    other.impl_ = std::make_unique<Impl>();
  }
  return *this;
}

bool Graphics::is_null() const { return !impl_->target; }

void Graphics::set_smoothing(bool antialias) {
  impl_->antialias = antialias;
  impl_->space = Impl::Space::unknown;
  if (impl_->target && impl_->target->painter_owner == impl_.get()) impl_->apply_hints();
}
bool Graphics::smoothing() const { return impl_->antialias; }

void Graphics::set_text_hint(TextHint hint) {
  impl_->text_hint = hint;
  if (impl_->target && impl_->target->painter_owner == impl_.get()) impl_->apply_hints();
}
TextHint Graphics::text_hint() const { return impl_->text_hint; }

void Graphics::set_interpolation(Interpolation mode) {
  impl_->interpolation = mode;
  if (impl_->target && impl_->target->painter_owner == impl_.get()) impl_->apply_hints();
}
Interpolation Graphics::interpolation() const { return impl_->interpolation; }

void Graphics::translate(float dx, float dy) {
  if (!std::isfinite(dx) || !std::isfinite(dy)) return;
  impl_->origin += QPointF(dx, dy);
  impl_->space = Impl::Space::unknown;
}

void Graphics::reset_transform() {
  impl_->origin = QPointF();
  impl_->space = Impl::Space::unknown;
}

PointF Graphics::translation() const { return {float(impl_->origin.x()), float(impl_->origin.y())}; }

// ----- clip ------------------------------------------------------------------------------

void Graphics::set_clip(const RectF& rect, CombineMode mode) {
  RectF device = rect;
  device.x += float(impl_->origin.x());
  device.y += float(impl_->origin.y());
  impl_->set_clip_area(Area::from_pixels(pixels_of_rect(device)), mode);
}

void Graphics::set_clip(const Path& path, CombineMode mode) {
  // The clip follows the same pixel convention as fills, so a clip and a fill of one path agree.
  qreal centre = impl_->antialias ? kPixelCentre : 0.0;
  QPointF shift = impl_->origin + QPointF(centre, centre);
  impl_->set_clip_area(Area::from_shape(path.impl().path.translated(shift)), mode);
}

void Graphics::set_clip(const Region& region, CombineMode mode) {
  Area area = region.impl().area;
  area.translate(impl_->origin.x(), impl_->origin.y());
  impl_->set_clip_area(area, mode);
}

void Graphics::reset_clip() {
  impl_->clipped = false;
  impl_->clip = Area();
  if (impl_->target && impl_->target->painter_owner == impl_.get()) impl_->apply_clip();
}

bool Graphics::has_clip() const { return impl_->clipped; }

Region Graphics::clip() const {
  if (!impl_->clipped) return Region::infinite();
  Region region;
  region.impl().area = impl_->clip;
  region.impl().area.translate(-impl_->origin.x(), -impl_->origin.y());
  return region;
}

RectF Graphics::visible_clip_bounds() const {
  if (!impl_->target) return {};
  QRectF visible = QRectF(impl_->target->image.rect());
  if (impl_->clipped) visible = visible.intersected(impl_->clip.bounds());
  if (visible.isEmpty()) return {};
  return from_qrect(visible.translated(-impl_->origin));
}

// ----- shapes ----------------------------------------------------------------------------

namespace {

QPen make_qpen(const Pen& pen) {
  float width = std::isfinite(pen.width) && pen.width > 0 ? pen.width : 1.0f;
  QPen q(QBrush(to_qcolor(pen.colour)), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  // Dash and gap lengths in pen widths.
  switch (pen.dash) {
    case DashStyle::solid: break;
    case DashStyle::dash: q.setDashPattern({3, 1}); break;
    case DashStyle::dot: q.setDashPattern({1, 1}); break;
    case DashStyle::dash_dot: q.setDashPattern({3, 1, 1, 1}); break;
    case DashStyle::dash_dot_dot: q.setDashPattern({3, 1, 1, 1, 1, 1}); break;
  }
  return q;
}

// A path gradient paints only inside its own path.
QPainterPath bounded_by_brush(const QPainterPath& shape, const Brush& brush) {
  const Brush::Impl& b = brush.impl();
  return b.bound.isEmpty() ? shape : shape.intersected(b.bound);
}

}  // namespace

void Graphics::clear(Argb colour) {
  QPainter* p = impl_->begin(Impl::Space::device);
  if (!p) return;
  QRect area = impl_->target->image.rect();
  if (impl_->clipped) area = area.intersected(impl_->clip.bounds().toAlignedRect());
  p->setCompositionMode(QPainter::CompositionMode_Source);
  for (int top = area.top(); top <= area.bottom(); top += kBandRows)
    p->fillRect(QRect(area.left(), top, area.width(), std::min(kBandRows, area.bottom() + 1 - top)), to_qcolor(colour));
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Graphics::fill_rect(const Brush& brush, const RectF& rect_given) {
  if (!finite_rect(rect_given) || rect_given.empty()) return;
  // Qt's rasteriser drops shapes with astronomical coordinates; no bitmap needs more than this.
  RectF rect = from_qrect(to_qrect(rect_given).intersected(QRectF(huge_rect())));
  QPainter* p = impl_->begin(Impl::Space::shapes);
  if (!p) return;
  if (brush.impl().bound.isEmpty()) {
    p->fillRect(to_qrect(rect), brush.impl().brush);
    return;
  }
  QPainterPath shape;
  shape.addRect(to_qrect(rect));
  p->fillPath(bounded_by_brush(shape, brush), brush.impl().brush);
}

void Graphics::fill_ellipse(const Brush& brush, const RectF& box) {
  if (!finite_rect(box) || box.empty()) return;
  QPainterPath shape;
  shape.addEllipse(to_qrect(box));
  QPainter* p = impl_->begin(Impl::Space::shapes);
  if (p) p->fillPath(bounded_by_brush(shape, brush), brush.impl().brush);
}

void Graphics::fill_path(const Brush& brush, const Path& path) {
  if (path.is_empty()) return;
  QPainter* p = impl_->begin(Impl::Space::shapes);
  if (p) p->fillPath(bounded_by_brush(path.impl().path, brush), brush.impl().brush);
}

void Graphics::fill_region(const Brush& brush, const Region& region) {
  if (region.is_empty() || !impl_->target) return;
  // Regions already hold pixel squares (or shapes moved to them): no centre shift here.
  const Area& area = region.impl().area;
  QPainterPath shape;
  if (area.kind == Area::Kind::infinite)
    shape.addRect(QRectF(impl_->target->image.rect()).translated(-impl_->origin));
  else
    shape = area.to_shape();
  QPainter* p = impl_->begin(Impl::Space::pixels);
  if (p) p->fillPath(bounded_by_brush(shape, brush), brush.impl().brush);
}

void Graphics::draw_line(const Pen& pen, PointF from, PointF to) {
  if (!std::isfinite(from.x) || !std::isfinite(from.y) || !std::isfinite(to.x) || !std::isfinite(to.y)) return;
  QPainter* p = impl_->begin(Impl::Space::shapes);
  if (!p) return;
  p->setPen(make_qpen(pen));
  p->drawLine(QLineF(from.x, from.y, to.x, to.y));
}

void Graphics::draw_rect(const Pen& pen, const RectF& rect) {
  if (!finite_rect(rect) || rect.width < 0 || rect.height < 0) return;
  QPainter* p = impl_->begin(Impl::Space::shapes);
  if (!p) return;
  p->setPen(make_qpen(pen));
  p->setBrush(Qt::NoBrush);
  p->drawRect(to_qrect(rect));
}

void Graphics::draw_ellipse(const Pen& pen, const RectF& box) {
  if (!finite_rect(box) || box.empty()) return;
  QPainter* p = impl_->begin(Impl::Space::shapes);
  if (!p) return;
  p->setPen(make_qpen(pen));
  p->setBrush(Qt::NoBrush);
  p->drawEllipse(to_qrect(box));
}

void Graphics::draw_path(const Pen& pen, const Path& path) {
  if (path.is_empty()) return;
  QPainter* p = impl_->begin(Impl::Space::shapes);
  if (p) p->strokePath(path.impl().path, make_qpen(pen));
}

}  // namespace platform::gfx

#include "gfx_internal.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>

namespace platform::gfx {

QImage new_argb_image(int width, int height) {
  if (width < 1 || height < 1 || width > Bitmap::max_side || height > Bitmap::max_side) return QImage();
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return image;  // allocation failed
  image.fill(Qt::transparent);
  image.setDotsPerMeterX(kDotsPerMeter);
  image.setDotsPerMeterY(kDotsPerMeter);
  return image;
}

namespace {

std::shared_ptr<Bitmap::Impl> make_impl(QImage image) {
  if (image.isNull()) return nullptr;
  auto impl = std::make_shared<Bitmap::Impl>();
  impl->image = std::move(image);
  return impl;
}

std::uint32_t premultiply(Argb c) {
  std::uint32_t a = alpha_of(c);
  if (a == 255) return c;
  if (a == 0) return 0;
  auto mul = [a](std::uint32_t v) { return (v * a + 127) / 255; };
  return (a << 24) | (mul(red_of(c)) << 16) | (mul(green_of(c)) << 8) | mul(blue_of(c));
}

Argb unpremultiply(std::uint32_t p) {
  std::uint32_t a = p >> 24;
  if (a == 255 || a == 0) return a == 0 ? 0 : p;
  auto div = [a](std::uint32_t v) { return std::min<std::uint32_t>(255, (v * 255 + a / 2) / a); };
  return (a << 24) | (div((p >> 16) & 0xFF) << 16) | (div((p >> 8) & 0xFF) << 8) | div(p & 0xFF);
}

}  // namespace

Bitmap::Bitmap() = default;
Bitmap::Bitmap(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
Bitmap::Bitmap(int width, int height) : impl_(make_impl(new_argb_image(width, height))) {}
Bitmap::Bitmap(const Bitmap& other) : impl_(other.impl_ ? make_impl(other.impl_->image) : nullptr) {}
Bitmap::Bitmap(Bitmap&& other) noexcept = default;
Bitmap& Bitmap::operator=(const Bitmap& other) {
  if (this != &other) impl_ = other.impl_ ? make_impl(other.impl_->image) : nullptr;
  return *this;
}
Bitmap& Bitmap::operator=(Bitmap&& other) noexcept = default;
Bitmap::~Bitmap() = default;

bool Bitmap::is_null() const { return !impl_; }
int Bitmap::width() const { return impl_ ? impl_->image.width() : 0; }
int Bitmap::height() const { return impl_ ? impl_->image.height() : 0; }

Argb Bitmap::pixel(int x, int y) const {
  if (!impl_ || x < 0 || y < 0 || x >= width() || y >= height()) return 0;
  const auto* row = reinterpret_cast<const std::uint32_t*>(impl_->image.constScanLine(y));
  return unpremultiply(row[x]);
}

void Bitmap::set_pixel(int x, int y, Argb colour) {
  if (!impl_ || x < 0 || y < 0 || x >= width() || y >= height()) return;
  reinterpret_cast<std::uint32_t*>(impl_->image.scanLine(y))[x] = premultiply(colour);
}

void Bitmap::fill(Argb colour) {
  if (impl_) impl_->image.fill(premultiply(colour));
}

PixelView Bitmap::pixels() const {
  if (!impl_) return {};
  const QImage& img = impl_->image;
  return {reinterpret_cast<const std::uint32_t*>(img.constBits()), img.width(), img.height(),
          int(img.bytesPerLine())};
}

MutablePixelView Bitmap::mutable_pixels() {
  if (!impl_) return {};
  QImage& img = impl_->image;
  return {reinterpret_cast<std::uint32_t*>(img.bits()), img.width(), img.height(), int(img.bytesPerLine())};
}

Bitmap Bitmap::clone_area(const Rect& area) const {
  Bitmap result;
  if (!impl_) return result;
  QRect r = QRect(area.x, area.y, area.width, area.height).intersected(impl_->image.rect());
  if (r.isEmpty()) return result;
  result.impl_ = make_impl(impl_->image.copy(r));
  return result;
}

bool Bitmap::save_png(const std::string& path) const {
  return impl_ && impl_->image.save(QString::fromStdString(path), "PNG");
}

std::string Bitmap::encode_png() const {
  if (!impl_) return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!impl_->image.save(&buffer, "PNG")) return {};
  return std::string(bytes.constData(), size_t(bytes.size()));
}

Bitmap Bitmap::from_argb(const std::uint32_t* argb_pixels, int width, int height, int pixels_per_row) {
  Bitmap result(width, height);
  if (result.is_null() || !argb_pixels) return Bitmap();
  if (pixels_per_row <= 0) pixels_per_row = width;
  if (pixels_per_row < width) return Bitmap();
  MutablePixelView view = result.mutable_pixels();
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* src = argb_pixels + std::ptrdiff_t(y) * pixels_per_row;
    std::uint32_t* dst = view.row(y);
    for (int x = 0; x < width; ++x) dst[x] = premultiply(src[x]);
  }
  return result;
}

Bitmap Bitmap::from_premultiplied(const PixelView& view) {
  Bitmap result(view.width, view.height);
  if (result.is_null() || !view.pixels || view.bytes_per_line < view.width * 4) return Bitmap();
  MutablePixelView target = result.mutable_pixels();
  for (int y = 0; y < view.height; ++y) std::memcpy(target.row(y), view.row(y), size_t(view.width) * 4);
  return result;
}

}  // namespace platform::gfx

#include "gfx_internal.h"

#include <QBuffer>
#include <QImageReader>

namespace platform::gfx {
namespace {

// A reader over the bytes (not copied); the buffer must outlive it.
struct ByteReader {
  QByteArray data;
  QBuffer buffer;
  QImageReader reader;

  explicit ByteReader(std::string_view bytes)
      : data(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()))), buffer(&data) {
    buffer.open(QIODevice::ReadOnly);
    reader.setDevice(&buffer);
    reader.setDecideFormatFromContent(true);
  }

  // The announced size is within bounds (refuses absurd headers before allocating).
  bool size_acceptable() {
    QSize size = reader.size();
    return !size.isValid() || (size.width() <= Bitmap::max_side && size.height() <= Bitmap::max_side);
  }
};

Bitmap to_bitmap(QImage image) {
  if (image.isNull() || image.width() > Bitmap::max_side || image.height() > Bitmap::max_side) return Bitmap();
  auto impl = std::make_shared<Bitmap::Impl>();
  impl->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (impl->image.isNull()) return Bitmap();
  impl->image.setDotsPerMeterX(kDotsPerMeter);
  impl->image.setDotsPerMeterY(kDotsPerMeter);
  return Bitmap(std::move(impl));
}

// Frames of one animation stop being decoded beyond this many bytes of pixels.
constexpr qint64 kMaxAnimationBytes = 256LL << 20;

// Qt reports frame delays in milliseconds; GIF stores hundredths of a second.
int hundredths(int milliseconds) { return milliseconds > 0 ? (milliseconds + 5) / 10 : 0; }

}  // namespace

Bitmap decode_bitmap(std::string_view bytes) {
  if (bytes.empty()) return Bitmap();
  ByteReader r(bytes);
  if (!r.reader.canRead() || !r.size_acceptable()) return Bitmap();
  QImage image;
  if (!r.reader.read(&image)) return Bitmap();
  return to_bitmap(std::move(image));
}

Size image_size(std::string_view bytes) {
  if (bytes.empty()) return {};
  ByteReader r(bytes);
  if (!r.reader.canRead()) return {};
  QSize size = r.reader.size();
  if (!size.isValid()) {
    Bitmap first = decode_bitmap(bytes);
    return {first.width(), first.height()};
  }
  return {size.width(), size.height()};
}

AnimatedImage::AnimatedImage() = default;

AnimatedImage AnimatedImage::decode(std::string_view bytes) {
  AnimatedImage result;
  if (bytes.empty()) return result;
  ByteReader r(bytes);
  if (!r.reader.canRead() || !r.size_acceptable()) return result;
  const bool gif = r.reader.format() == "gif";
  qint64 decoded_bytes = 0;
  while (decoded_bytes < kMaxAnimationBytes) {
    QImage image;
    if (!r.reader.read(&image)) break;
    Bitmap frame = to_bitmap(std::move(image));
    if (frame.is_null()) break;
    decoded_bytes += qint64(frame.width()) * frame.height() * 4;
    result.frames_.push_back(std::move(frame));
    if (gif) result.delays_.push_back(hundredths(r.reader.nextImageDelay()));
    if (!r.reader.supportsAnimation() || !r.reader.canRead()) break;
  }
  return result;
}

int AnimatedImage::width() const { return frame().width(); }
int AnimatedImage::height() const { return frame().height(); }

bool AnimatedImage::select_frame(int index) {
  if (index < 0 || index >= frame_count()) return false;
  active_ = index;
  return true;
}

const Bitmap& AnimatedImage::frame() const {
  static const Bitmap null_bitmap;
  return frames_.empty() ? null_bitmap : frames_[size_t(active_)];
}

}  // namespace platform::gfx

// Reading back what windows show and saving it as PNG.
#include "platform/testing.h"

#include "presentation.h"
#include "ui_state.h"
#include "qt_bridge.h"
#include "window_record.h"
#include "window_widget.h"

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstdlib>

namespace platform::testing {
namespace {

namespace pw = platform::window;

pw::pixel_image to_pixels(const QImage& source) {
  pw::pixel_image out;
  if (source.isNull()) return out;
  const QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  out.width = image.width();
  out.height = image.height();
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y) {
    const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
    std::copy(line, line + out.width, out.pixels.begin() + static_cast<std::ptrdiff_t>(y) * out.width);
  }
  return out;
}

QImage to_qimage(const pw::pixel_image& image) {
  if (image.width <= 0 || image.height <= 0) return {};
  QImage wrapped(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height, image.width * 4,
                 QImage::Format_ARGB32_Premultiplied);
  return wrapped.copy();
}

bool has_child_widgets(const QWidget& widget) {
  for (const QObject* child : widget.children()) {
    if (child->isWidgetType() && !static_cast<const QWidget*>(child)->isWindow()) return true;
  }
  return false;
}

}  // namespace

pw::pixel_image presented_pixels(handle window) {
  auto record = pw::detail::ui_record(window);
  return record ? to_pixels(pw::detail::presented_image(*record)) : pw::pixel_image{};
}

void watch_presentations(std::function<void(handle window)> observer) {
  pw::detail::state().present_observer = std::move(observer);
}

int present_count(handle window) {
  auto record = pw::detail::ui_record(window);
  return record ? record->present_count : 0;
}

// A window of standard controls is rendered by Qt; a drawn window is its presented pixels.
pw::pixel_image grab(handle window) {
  auto record = pw::detail::ui_record(window);
  if (!record || !record->widget) return {};
  if (!has_child_widgets(*record->widget)) return presented_pixels(window);
  return to_pixels(record->widget->grab().toImage());
}

bool save_png(const pw::pixel_image& image, const std::string& path) {
  const QImage q = to_qimage(image);
  return !q.isNull() && q.convertToFormat(QImage::Format_ARGB32).save(QString::fromStdString(path), "PNG");
}

std::string save_window_png(handle window, std::string_view name) {
  const char* env = std::getenv("QUENBO_TEST_ARTIFACTS");
  const QString dir = env != nullptr && *env != '\0' ? QString::fromUtf8(env) : QDir::tempPath() + "/quenbo-test-artifacts";
  if (!QDir().mkpath(dir)) return {};
  const std::string path = (dir + "/" + QString::fromUtf8(name.data(), static_cast<int>(name.size())) + ".png").toStdString();
  return save_png(grab(window), path) ? path : std::string();
}

}  // namespace platform::testing

// The graphics object's state and its Qt painter, shared by the graphics source files.
#pragma once

#include "gfx_internal.h"

#include <QPainter>

namespace platform::gfx {

// Qt 6's raster engine hands operations taller than about 90 rows to its thread pool and waits
// for it; bands this tall stay on the calling thread, which is cheaper for control-sized areas.
constexpr int kBandRows = 64;

struct Graphics::Impl {
  std::shared_ptr<Bitmap::Impl> target;
  QPainter painter;
  bool antialias = false;
  TextHint text_hint = TextHint::system_default;
  Interpolation interpolation = Interpolation::bilinear;
  QPointF origin;                // translation of the drawing coordinates
  bool clipped = false;
  Area clip;                     // Qt device coordinates; meaningful while clipped

  // Which coordinate space the painter's transform is set up for.
  enum class Space { unknown, shapes, pixels, device };
  Space space = Space::unknown;

  ~Impl() { end(); }

  // The painter, active on the target with this graphics' state; null when it cannot paint.
  QPainter* begin(Space wanted);
  void end();
  void apply_hints();
  void apply_clip();
  void set_space(Space wanted);
  void set_clip_area(const Area& area, CombineMode mode);
  bool text_antialiased() const;

  void draw_text(const QString& text, const Font& font, const RectF& layout, const StringFormat& format,
                 const Brush& brush);
  static TextMeasure measure_text(const QString& text, const Font& font, const RectF& layout,
                                  const StringFormat& format);
  static std::vector<RectF> measure_text_ranges(const QString& text, const Font& font, const RectF& layout,
                                                const StringFormat& format, const std::vector<CharacterRange>& ranges);
};

}  // namespace platform::gfx

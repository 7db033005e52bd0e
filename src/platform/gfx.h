// 2D drawing: 32-bit ARGB bitmaps, a graphics object that draws on them (shapes, gradients,
// images with opacity, text with string formats and measuring), fonts with an alias table for
// families a Linux desktop lacks, and image decoding (PNG, JPEG, GIF with frames, BMP).
//
// Conventions:
// - Colours in and out are non-premultiplied 0xAARRGGBB. Pixels are stored premultiplied.
// - Coordinates are float pixels; the centre of pixel (i, j) is at (i, j). So a one-pixel
//   line at integer coordinates covers one row of pixels, and a fill of (0, 0, 10, 10) with
//   antialiasing has half-covered edge pixels.
// - Texts are GBK byte strings (the program's encoding) or UTF-16. Character positions in
//   measuring (ranges, characters fitted) are UTF-16 code units of the whole text, "&"
//   prefixes included.
// - Nothing throws. Bad input (corrupt bytes, zero or huge sizes, empty texts) gives a null
//   object or draws nothing.
// - Objects may be made on any thread once the application object exists. A bitmap and its
//   graphics are used by one thread at a time; a font may be shared (its caches are locked).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::gfx {

using Argb = std::uint32_t;

constexpr Argb argb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return (Argb(a) << 24) | (Argb(r) << 16) | (Argb(g) << 8) | Argb(b);
}
constexpr std::uint8_t alpha_of(Argb c) { return std::uint8_t(c >> 24); }
constexpr std::uint8_t red_of(Argb c) { return std::uint8_t(c >> 16); }
constexpr std::uint8_t green_of(Argb c) { return std::uint8_t(c >> 8); }
constexpr std::uint8_t blue_of(Argb c) { return std::uint8_t(c); }

struct PointF {
  float x = 0, y = 0;
};

struct RectF {
  float x = 0, y = 0, width = 0, height = 0;
  float right() const { return x + width; }
  float bottom() const { return y + height; }
  bool empty() const { return !(width > 0) || !(height > 0); }
};

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  int right() const { return x + width; }
  int bottom() const { return y + height; }
  bool empty() const { return width <= 0 || height <= 0; }
};

// How a new clip (or region) combines with the current one. Numbers as the framework passes them.
enum class CombineMode : int { replace = 0, intersect = 1, unite = 2, exclusive_or = 3, exclude = 4, complement = 5 };

enum class TextHint : int {
  system_default = 0,
  single_bit_grid_fit = 1,
  single_bit = 2,
  antialias_grid_fit = 3,
  antialias = 4,
  cleartype_grid_fit = 5,  // drawn as antialias_grid_fit: bitmaps have no sub-pixel order
};

enum class Interpolation : int { nearest = 0, bilinear = 1, high_quality = 2 };

enum class DashStyle : int { solid = 0, dash = 1, dot = 2, dash_dot = 3, dash_dot_dot = 4 };

enum class LinearMode : int { horizontal = 0, vertical = 1, forward_diagonal = 2, backward_diagonal = 3 };

enum class WrapMode : int { tile = 0, tile_flip_x = 1, tile_flip_y = 2, tile_flip_xy = 3, clamp = 4 };

// ---------------------------------------------------------------------------------------------
// Bitmap: a 32-bit ARGB image. Copies are deep (copy-on-write underneath), moves are cheap.

// Read-only view of the premultiplied pixels, row by row from the top.
struct PixelView {
  const std::uint32_t* pixels = nullptr;  // premultiplied 0xAARRGGBB
  int width = 0;
  int height = 0;
  int bytes_per_line = 0;
  const std::uint32_t* row(int y) const {
    return reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pixels) +
                                                  std::ptrdiff_t(y) * bytes_per_line);
  }
};

struct MutablePixelView {
  std::uint32_t* pixels = nullptr;  // premultiplied 0xAARRGGBB
  int width = 0;
  int height = 0;
  int bytes_per_line = 0;
  std::uint32_t* row(int y) const {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(pixels) +
                                            std::ptrdiff_t(y) * bytes_per_line);
  }
};

class Bitmap {
 public:
  // Largest side accepted; bigger requests give a null bitmap instead of a huge allocation.
  static constexpr int max_side = 16384;

  Bitmap();                          // null
  Bitmap(int width, int height);     // transparent; null when a side is not in 1..max_side
  Bitmap(const Bitmap& other);
  Bitmap(Bitmap&& other) noexcept;
  Bitmap& operator=(const Bitmap& other);
  Bitmap& operator=(Bitmap&& other) noexcept;
  ~Bitmap();

  bool is_null() const;
  explicit operator bool() const { return !is_null(); }
  int width() const;   // 0 when null
  int height() const;  // 0 when null

  // Non-premultiplied colour of a pixel; 0 outside the bitmap.
  Argb pixel(int x, int y) const;
  void set_pixel(int x, int y, Argb colour);
  // Every pixel set to the colour (no clip, no blending).
  void fill(Argb colour);

  PixelView pixels() const;
  MutablePixelView mutable_pixels();

  // A new bitmap with the part of this one inside the rectangle (clipped to the bitmap);
  // null when nothing remains.
  Bitmap clone_area(const Rect& area) const;

  // Saves as PNG; false on failure. The path is a UTF-8 file-system path.
  bool save_png(const std::string& path) const;
  // PNG bytes; empty on failure.
  std::string encode_png() const;

  // From non-premultiplied 0xAARRGGBB pixels, rows from the top; `pixels_per_row` 0 = width.
  static Bitmap from_argb(const std::uint32_t* argb_pixels, int width, int height, int pixels_per_row = 0);
  // From premultiplied pixels as a PixelView describes them (a window's buffer or icon).
  static Bitmap from_premultiplied(const PixelView& view);

  // Implementation access for the drawing module itself.
  struct Impl;
  explicit Bitmap(std::shared_ptr<Impl> impl);
  const std::shared_ptr<Impl>& impl() const { return impl_; }

 private:
  std::shared_ptr<Impl> impl_;
};

// ---------------------------------------------------------------------------------------------
// Decoding. `bytes` holds a whole encoded file.

// First frame of a PNG, JPEG, GIF or BMP image; null for empty or undecodable bytes.
Bitmap decode_bitmap(std::string_view bytes);

// Natural size of an encoded image without decoding its pixels; {0,0} when unreadable.
struct Size {
  int width = 0, height = 0;
};
Size image_size(std::string_view bytes);

// A decoded image with all its frames (an animated GIF has several; other images one).
class AnimatedImage {
 public:
  AnimatedImage();
  static AnimatedImage decode(std::string_view bytes);  // null when undecodable

  bool is_null() const { return frames_.empty(); }
  int width() const;
  int height() const;
  int frame_count() const { return int(frames_.size()); }  // 0 when null
  // Delay of each frame in hundredths of a second; empty when the image stores none (not GIF).
  const std::vector<int>& frame_delays() const { return delays_; }
  // Makes frame `index` (0-based) active; out of range: false, nothing changes.
  bool select_frame(int index);
  int active_frame() const { return active_; }
  // The active frame; a null bitmap when the image is null.
  const Bitmap& frame() const;

 private:
  std::vector<Bitmap> frames_;
  std::vector<int> delays_;
  int active_ = 0;
};

// An icon's pixels: colour as non-premultiplied 0xAARRGGBB rows from the top and a mask of one
// byte per pixel (nonzero = transparent); the mask may be empty.
struct IconPixels {
  int width = 0, height = 0;
  std::vector<std::uint32_t> colour;
  std::vector<std::uint8_t> mask;
};
// The icon as a bitmap: when any colour pixel has a nonzero alpha the alpha is used as it is,
// otherwise the mask decides (masked pixels transparent, the others opaque). Null for a
// malformed icon.
Bitmap icon_to_bitmap(const IconPixels& icon);

// ---------------------------------------------------------------------------------------------
// Pixel transfer without a graphics (no clip, no transform): the fast paths of composition.

// Copies the source area to (x, y) of the target, replacing the target's pixels.
void copy_pixels(Bitmap& target, int x, int y, const Bitmap& source, const Rect& source_area);
// Blends the source area over the target at (x, y) ("source over") with a constant opacity
// 0-255 applied to the source.
void blend_pixels(Bitmap& target, int x, int y, const Bitmap& source, const Rect& source_area, int opacity);

// ---------------------------------------------------------------------------------------------
// Paths: figures made of lines and arcs.

class Path {
 public:
  Path();
  Path(const Path&);
  Path(Path&&) noexcept;
  Path& operator=(const Path&);
  Path& operator=(Path&&) noexcept;
  ~Path();

  // Lines and arcs join the current figure; a line is drawn from its last point to the start
  // of the new segment.
  void add_line(PointF from, PointF to);
  // Arc of the ellipse inscribed in `box`; angles in degrees, clockwise from the positive x
  // axis; the sweep may be negative. A box without area adds nothing.
  void add_arc(const RectF& box, float start_degrees, float sweep_degrees);
  // Closed figures of their own.
  void add_rect(const RectF& rect);
  void add_ellipse(const RectF& box);
  void add_polygon(const std::vector<PointF>& points);
  // Four 90-degree arcs of a corner x corner square at the corners of the rectangle (the right
  // and bottom arcs start at right - corner - 1 and bottom - corner - 1), closed. A corner of 0
  // or less gives the plain rectangle (left, top) .. (right - 1, bottom - 1).
  void add_rounded_rect(const RectF& rect, float corner);

  void close_figure();  // closes the current figure; the next segment starts a new one
  void start_figure();  // leaves the current figure open; the next segment starts a new one
  void reset();

  bool is_empty() const;
  RectF bounds() const;
  // Inside the path's filled area (winding rule of the figures, alternate = even-odd).
  bool contains(PointF point) const;
  // The outline flattened into points (curves made of short lines), for tests and hit tests.
  std::vector<PointF> flattened() const;

  struct Impl;
  const Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// A path made by add_rounded_rect.
Path rounded_rect_path(const RectF& rect, float corner);

// ---------------------------------------------------------------------------------------------
// Regions: pixel areas for clipping and window shapes.

class Region {
 public:
  Region();  // empty
  static Region infinite();
  static Region from_rect(const RectF& rect);  // pixels whose centres lie in the rectangle
  static Region from_path(const Path& path);
  // The rounded rectangle from (left, top) to (right, bottom) with corner ellipses of the given
  // size (window-region style: the right and bottom edges are outside).
  static Region from_round_rect(int left, int top, int right, int bottom, int corner_width, int corner_height);

  Region(const Region&);
  Region(Region&&) noexcept;
  Region& operator=(const Region&);
  Region& operator=(Region&&) noexcept;
  ~Region();

  void combine(const Region& other, CombineMode mode);
  void translate(float dx, float dy);

  bool is_empty() const;
  bool is_infinite() const;
  bool contains(float x, float y) const;  // whether the pixel at (x, y) belongs to the region
  RectF bounds() const;  // whole pixels that may belong; of an infinite region a very large rectangle
  // The region as disjoint integer rectangles (a curved region is rasterised); an infinite
  // region gives one very large rectangle.
  std::vector<Rect> rects() const;

  struct Impl;
  const Impl& impl() const { return *impl_; }
  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// ---------------------------------------------------------------------------------------------
// Brushes and pens.

class Brush {
 public:
  Brush();  // solid transparent
  static Brush solid(Argb colour);
  // Two colours over a rectangle: `from` at the start edge, `to` at the far one; outside the
  // rectangle the gradient repeats by the wrap mode.
  static Brush linear(const RectF& rect, Argb from, Argb to, LinearMode mode, WrapMode wrap = WrapMode::tile_flip_xy);
  // Direction at an angle (degrees clockwise from the x axis), fitted so that the rectangle's
  // extreme corners get the two colours.
  static Brush linear_angle(const RectF& rect, Argb from, Argb to, float angle_degrees,
                            WrapMode wrap = WrapMode::tile_flip_xy);
  // Centre colour at the centre of the path's bounds, surround colour on the outline; inside
  // the focus scales (0..1 of the size) the centre colour is solid. Paints only inside the
  // path.
  static Brush path_gradient(const Path& path, Argb centre, Argb surround, float focus_x = 0, float focus_y = 0);

  Brush(const Brush&);
  Brush(Brush&&) noexcept;
  Brush& operator=(const Brush&);
  Brush& operator=(Brush&&) noexcept;
  ~Brush();

  struct Impl;
  const Impl& impl() const { return *impl_; }

 private:
  std::shared_ptr<const Impl> impl_;
};

struct Pen {
  Argb colour = 0xFF000000;
  float width = 1.0f;
  DashStyle dash = DashStyle::solid;
};

// ---------------------------------------------------------------------------------------------
// Fonts.

enum FontStyle : int { font_regular = 0, font_bold = 1, font_italic = 2, font_underline = 4, font_strikeout = 8 };

// True when a font of that family (GBK name, alias table included) can be made.
bool font_family_exists(std::string_view family_gbk);
// The installed family that a requested name resolves to (UTF-8), empty when none.
std::string resolve_font_family(std::string_view family_gbk);

class Font {
 public:
  Font();  // null: draws nothing, measures 0
  // A font of the family in pixels (em size). Null when the family does not exist (so the
  // caller can fall back) or the size is not positive.
  static Font create(std::string_view family_gbk, float size_pixels, int style = font_regular);

  bool is_null() const { return impl_ == nullptr; }
  explicit operator bool() const { return !is_null(); }
  std::string family() const;  // the GBK name it was created with
  float size() const;          // em size in pixels
  int style() const;           // FontStyle bits
  float height() const;        // line spacing in pixels

  struct Impl;
  const Impl* impl() const { return impl_.get(); }

 private:
  std::shared_ptr<const Impl> impl_;
};

// ---------------------------------------------------------------------------------------------
// String formats.

enum StringFormatFlags : int {
  format_no_font_fallback = 0x0400,
  format_measure_trailing_spaces = 0x0800,
  format_no_wrap = 0x1000,
  format_line_limit = 0x2000,
  format_no_clip = 0x4000,
};

enum class Alignment : int { near = 0, centre = 1, far = 2 };

enum class Trimming : int {
  none = 0,
  character = 1,
  word = 2,
  ellipsis_character = 3,
  ellipsis_word = 4,
  ellipsis_path = 5,
};

// none: "&" is an ordinary character; show: "&x" draws x underlined; hide: the "&" is removed
// without underline. In both, "&&" draws one "&".
enum class HotkeyPrefix : int { none = 0, show = 1, hide = 2 };

struct StringFormat {
  int flags = 0;
  Alignment alignment = Alignment::near;       // horizontal
  Alignment line_alignment = Alignment::near;  // vertical
  Trimming trimming = Trimming::character;
  HotkeyPrefix hotkey_prefix = HotkeyPrefix::none;
};

struct TextMeasure {
  RectF bounds;              // box of the laid-out text, in the layout rectangle's coordinates
  int characters_fitted = 0; // UTF-16 code units of the text that were laid out
  int lines_filled = 0;
};

struct CharacterRange {
  int first = 0;   // UTF-16 code unit
  int length = 0;
};

// ---------------------------------------------------------------------------------------------
// Graphics: draws on a bitmap. It keeps the bitmap's pixels alive while it exists. Several
// graphics may draw on one bitmap in turn.
//
// Text layout: a layout rectangle of width 0 does not limit the width (no wrapping), height 0
// does not limit the height. Each line has a margin of 1/6 em on both sides. Lines break at
// "\n" ("\r\n") always, and at word boundaries (or inside a word too long for a line) unless
// format_no_wrap is set. Without format_line_limit a partly visible last line is still laid
// out. When text is left over, the last visible line is trimmed as the format says. Drawing
// is clipped to the layout rectangle unless format_no_clip is set or the rectangle is
// unbounded.

class Graphics {
 public:
  Graphics();  // null: does nothing
  // On a null bitmap the graphics is null and does nothing.
  explicit Graphics(Bitmap& target);
  ~Graphics();
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;
  Graphics(Graphics&&) noexcept;
  Graphics& operator=(Graphics&&) noexcept;

  bool is_null() const;

  // Settings. Defaults: no smoothing, TextHint::system_default (antialias, grid fit),
  // Interpolation::bilinear.
  void set_smoothing(bool antialias);
  bool smoothing() const;
  void set_text_hint(TextHint hint);
  TextHint text_hint() const;
  void set_interpolation(Interpolation mode);
  Interpolation interpolation() const;

  // Origin moves; the clip stays where it is on the bitmap.
  void translate(float dx, float dy);
  void reset_transform();
  PointF translation() const;

  // Clip. Shapes are given in the current coordinates.
  void set_clip(const RectF& rect, CombineMode mode = CombineMode::replace);
  void set_clip(const Path& path, CombineMode mode = CombineMode::replace);
  void set_clip(const Region& region, CombineMode mode = CombineMode::replace);
  void reset_clip();
  bool has_clip() const;
  Region clip() const;             // in the current coordinates; infinite when none
  // Whole pixels of the bitmap that the clip lets through (their bounding box), in the current
  // coordinates.
  RectF visible_clip_bounds() const;

  // Sets every pixel inside the clip to the colour (no blending).
  void clear(Argb colour);

  void fill_rect(const Brush& brush, const RectF& rect);
  void fill_ellipse(const Brush& brush, const RectF& box);
  void fill_path(const Brush& brush, const Path& path);
  void fill_region(const Brush& brush, const Region& region);
  void draw_line(const Pen& pen, PointF from, PointF to);
  void draw_rect(const Pen& pen, const RectF& rect);
  void draw_ellipse(const Pen& pen, const RectF& box);
  void draw_path(const Pen& pen, const Path& path);

  // Images. `opacity` is the alpha factor 0..1 of the colour matrix. A source rectangle with a
  // negative width or height is mirrored (the rows above `y` upside down, and so on).
  void draw_image(const Bitmap& image, float x, float y, float opacity = 1.0f);  // own size
  void draw_image(const Bitmap& image, const RectF& dest, float opacity = 1.0f);  // whole, scaled
  void draw_image(const Bitmap& image, const RectF& dest, const RectF& source, float opacity = 1.0f);

  // Text. GBK and UTF-16 forms behave the same.
  void draw_string(std::string_view gbk, const Font& font, const RectF& layout, const StringFormat& format,
                   const Brush& brush);
  void draw_string(std::u16string_view text, const Font& font, const RectF& layout, const StringFormat& format,
                   const Brush& brush);
  TextMeasure measure_string(std::string_view gbk, const Font& font, const RectF& layout,
                             const StringFormat& format) const;
  TextMeasure measure_string(std::u16string_view text, const Font& font, const RectF& layout,
                             const StringFormat& format) const;
  // The box of each range as laid out (empty box for a range that is not visible).
  std::vector<RectF> measure_ranges(std::string_view gbk, const Font& font, const RectF& layout,
                                    const StringFormat& format, const std::vector<CharacterRange>& ranges) const;
  std::vector<RectF> measure_ranges(std::u16string_view text, const Font& font, const RectF& layout,
                                    const StringFormat& format, const std::vector<CharacterRange>& ranges) const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform::gfx

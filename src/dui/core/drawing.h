// The framework's drawing routines: the colour convention, brushes and pens, rounded shapes,
// fills, borders and gradients, pictures with an opacity or nine-grid stretching, picture and
// caption layout, text with a glow or outline, clipping and rectangle arithmetic.
// They keep no state; each makes and drops its own brushes, pens and paths.
#pragma once

#include "dui/core/framework.h"
#include "platform/gfx.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace dui {

using Argb = platform::gfx::Argb;
// A 24-bit colour 0x00BBGGRR (red in the low byte); -1 stands for "none" where a routine says so.
using Colour = std::int32_t;
using PointF = platform::gfx::PointF;
using Path = platform::gfx::Path;
using Brush = platform::gfx::Brush;
using Pen = platform::gfx::Pen;
using StringFormat = platform::gfx::StringFormat;
using DashStyle = platform::gfx::DashStyle;

// ---- Colours ----

// The colour with red and blue swapped into ARGB order and the given alpha; an alpha of 255,
// or none, is stored as 254.
Argb to_argb(Colour colour, std::optional<int> alpha = std::nullopt);
struct ArgbParts {
  int alpha = 0, red = 0, green = 0, blue = 0;
};
ArgbParts argb_parts(Argb colour);
// 0.299 red + 0.587 green + 0.114 blue below 192.
bool is_dark(Argb colour);
// Whether the host's background under the rectangle is dark: with a skin image, more than four
// of nine samples at 20 %, 50 % and 80 % of the rectangle; otherwise the background colour.
// False for a window without host.
bool background_is_dark(WindowHandle window, const RectF& rect);
// Black or white by the background under the rectangle, keeping the alpha of `colour`.
Argb auto_text_colour(WindowHandle window, const RectF& rect, Argb colour);

// ---- Brushes, pens, shapes ----

Brush solid_brush(Argb colour);
Pen make_pen(Argb colour, float width = 1.0f, DashStyle dash = DashStyle::solid);
// Four 90-degree arcs of a corner x corner square; the right and bottom arcs start at
// right - corner - 1 and bottom - corner - 1. Closed.
Path rounded_path(const RectF& rect, float corner);
void fill_rounded(Graphics& graphics, const RectF& rect, int corner, Argb colour);
void draw_rounded(Graphics& graphics, const RectF& rect, float corner, Argb colour, DashStyle dash = DashStyle::solid,
                  float width = 1.0f);
void fill_rect(Graphics& graphics, const RectF& rect, Argb colour);
// Linear gradient over the rectangle filling (left, top, width - 1, height - 1); mode 0
// horizontal, 1 vertical, 2 and 3 diagonal.
void fill_gradient(Graphics& graphics, const RectF& rect, Argb from, Argb to, int mode = 1);
void draw_line(Graphics& graphics, Argb colour, float x1, float y1, float x2, float y2, float width = 1.0f);

// Border styles of draw_border; any other value is itself the colour of a plain rectangle.
namespace border {
inline constexpr Argb none = 0;
inline constexpr Argb sunken = 1;
inline constexpr Argb raised = 2;
inline constexpr Argb flat = 3;
inline constexpr Argb dashed = 4;
}  // namespace border
void draw_border(Graphics& graphics, const RectF& rect, Argb style, std::optional<Argb> colour = std::nullopt,
                 float width = 1.0f);
// A soft white spot of 36 pixels across centred on the point.
void spot_glow(Graphics& graphics, PointF centre);

// ---- Pictures ----

void draw_image_rect(Graphics& graphics, const Bitmap& image, const RectF& rect);
// Opacity 255: the whole image scaled into the rectangle. Otherwise the rectangle-sized top-left
// part of the image 1:1 with that opacity.
void draw_image_alpha(Graphics& graphics, const Bitmap& image, const RectF& rect, int opacity);
// The image in its own size at the rectangle's top-left, or centred in it.
void draw_image_natural(Graphics& graphics, const Bitmap& image, const RectF& rect, bool centred);
// Corners unscaled, edges stretched one way, the centre both ways. `centre` is in image pixels;
// an opacity of 0..254 fades every part.
void draw_nine_grid(Graphics& graphics, const Bitmap& image, const RectF& destination,
                    const platform::gfx::Rect& centre, std::optional<int> opacity = std::nullopt);
Bitmap clone_image_area(const Bitmap& image, const platform::gfx::Rect& area);
// The icon as an ARGB bitmap of its size, alpha included.
Bitmap icon_to_bitmap(IconHandle icon);

// Frames of an animated picture (loaded with keep_stream).
int frame_count(const Image& image);
// Delays in hundredths of a second; empty when the picture stores none.
std::vector<int> frame_delays(const Image& image);
bool select_frame(Image& image, int index);

// ---- Text ----

struct ImageTextLayout {
  RectF text;
  RectF image;
};
// Places a picture of `image_size` and a caption of `text_size` in the container; modes 0-6:
// picture left of caption, caption left of picture, picture above caption, both centred,
// picture at the left edge, caption at the left edge, picture at the top edge. Whole pixels.
// Other modes place nothing.
ImageTextLayout layout_image_text(platform::gfx::Size image_size, int mode, const RectF& container, PointF text_size,
                                  int dx, int dy, int gap);
// The box of `length` UTF-16 units from `first` as the text lays out in the rectangle.
RectF measure_range(const Graphics& graphics, std::u16string_view text, const Font& font, const StringFormat& format,
                    int first, int length, const RectF& layout);

// Text effects of draw_text.
namespace text_effect {
inline constexpr int none = 0;
inline constexpr int glow = 3;
inline constexpr int outline = 4;
}  // namespace text_effect
// The text in a solid colour, after a glow (effect 3) or outline (effect 4) in the effect
// colour (by default white at alpha 85 behind dark text, black at alpha 75 behind light text).
void draw_text(Graphics& graphics, const RectF& rect, std::u16string_view text, const Font& font, Argb colour,
               const StringFormat& format, int effect = text_effect::none, std::optional<Argb> effect_colour = std::nullopt);
void draw_text(Graphics& graphics, const RectF& rect, std::string_view text, const Font& font, Argb colour,
               const StringFormat& format, int effect = text_effect::none, std::optional<Argb> effect_colour = std::nullopt);
// Five offset copies of the text, shrunk by `scale` and enlarged again: a glow at scale 3, a
// one-pixel outline at scale 1.
void draw_text_glow(Graphics& graphics, const RectF& rect, std::u16string_view text, const Font& font,
                    const StringFormat& format, Argb colour, float scale = 3.0f);

// ---- Clipping and geometry ----

// Combine modes: 0 replace, 1 intersect (and the others of platform::gfx::CombineMode).
void set_clip_rect(Graphics& graphics, const RectF& rect, int combine_mode = 0);
void set_clip_region(Graphics& graphics, const platform::gfx::Region& region, int combine_mode = 0);
void set_clip_path(Graphics& graphics, const Path& path, int combine_mode = 0);
void reset_clip(Graphics& graphics);
RectF visible_clip_bounds(const Graphics& graphics);

// Strict overlap (touching rectangles do not overlap), with a tolerance of 1e-7.
bool rects_overlap(const RectF& a, const RectF& b);
// left <= x < right and top <= y < bottom, with a tolerance of 1e-7.
bool point_in_rect(const RectF& rect, float x, float y);
void adjust_rect(RectF& rect, float dx = 0, float dy = 0, float dw = 0, float dh = 0);
RectF make_rect(float x, float y, float w, float h);
// Signed low and high 16 bits (mouse positions).
int low_word(std::intptr_t value);
int high_word(std::intptr_t value);

}  // namespace dui

// Framework start-up and the process-wide utilities every part of the framework uses: the
// default font, cursor and icon, the caption sprite sheet, the window class "Ex_DirectUI",
// the window properties that tie a window to its host, text conversion, the work area, the
// framework's own pop-up windows with their modal loop, and pictures decoded from bytes.
//
// init_framework runs once on the user-interface thread before the first window; afterwards
// the globals are read-only.
#pragma once

#include "platform/gfx.h"
#include "platform/window.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dui {

class Ex_Window;

using WindowHandle = platform::window::handle;
using CursorHandle = platform::window::cursor;
using IconHandle = platform::window::icon;
using RectF = platform::gfx::RectF;
using Bitmap = platform::gfx::Bitmap;
using Graphics = platform::gfx::Graphics;
using Font = platform::gfx::Font;

// The framework's window class.
inline constexpr const char* window_class_name = "Ex_DirectUI";

// Names of the window properties that tie windows to framework objects.
namespace window_property {
inline constexpr const char* control = "Ex_Wnd_Control";  // the Ex_Window drawing on the window
inline constexpr const char* flags = "Ex_Wnd_Flags";      // framework pop-ups: 1 menu, 3 message box
inline constexpr const char* host = "Ex_DirectUI_Host";   // menu windows: window that opened the chain
inline constexpr const char* sub = "Ex_DirectUI_Sub";
inline constexpr const char* act = "Ex_DirectUI_Act";
inline constexpr const char* event = "Ex_DirectUI_Event";
inline constexpr const char* msgbox = "Ex_DirectUI_MsgBox";
}  // namespace window_property

// Values of the "Ex_Wnd_Flags" property.
namespace popup_flag {
inline constexpr int menu = 1;
inline constexpr int message_box = 3;
}  // namespace popup_flag

// One entry of the shared edit menu; command 0 is a separator.
struct EditMenuItem {
  std::string text;
  int command = 0;
};

struct FrameworkOptions {
  // Fills the shared edit menu (the pop-up menu lives in the controls layer, which passes
  // this routine in); nothing is filled when it is empty.
  std::function<void(const std::vector<EditMenuItem>& items)> fill_edit_menu;
};

// Chooses the default font, cursor and icon, decodes the caption sprites, registers the
// window class and fills the edit menu. Later calls do nothing and answer true.
bool init_framework(const FrameworkOptions& options = {});
bool framework_initialised();

// ---- Globals written by init_framework ----
int os_major_version();
// 12 pixels, regular: the first existing family of "宋体" and the system caption font.
const Font& default_font();
CursorHandle default_cursor();
// The program's icon; 0 when it has none.
IconHandle class_icon();
// Caption-button sprite sheet (cells 19 pixels high at y = 2).
const Bitmap& caption_sprites();
// The items the edit menu is filled with: cut, copy, paste, separator, select all.
const std::vector<EditMenuItem>& edit_menu_items();

// Which system font face system_font_face reads.
enum class SystemFont { caption, menu, message };
// The face name of a system font; "宋体" stands in for "Tahoma" and for a face that cannot
// give a 12-pixel font.
std::string system_font_face(SystemFont which);

// ---- Window properties ----
// The host drawing on the window; nullptr for a window that is not a host.
Ex_Window* host_of(WindowHandle window);

// ---- Text conversion (GBK <-> UTF-16) ----
std::u16string to_utf16(std::string_view text);
std::string from_utf16(std::u16string_view text);
// UTF-16 code units of the GBK text.
int utf16_length(std::string_view text);

// The window's title, at most 511 UTF-16 units, as GBK.
std::string window_text(WindowHandle window);

// ---- Screen ----
struct WorkArea {
  int left = 0, top = 0, width = 0, height = 0;
};
WorkArea work_area();

// ---- The framework's own top-level pop-up windows ----
struct FrameWindowOptions {
  std::optional<std::string> class_name = std::nullopt;  // default "Ex_DirectUI"
  std::optional<int> left = std::nullopt;                // default: centred in the work area
  std::optional<int> top = std::nullopt;
  std::optional<int> width = std::nullopt;  // width and height count only when width is given
  int height = 0;                           //   (default 380 x 250)
  std::optional<std::uint32_t> style = std::nullopt;  // default popup, clip children, min/max box, system menu
  std::uint32_t ex_style = 0;
  bool show = false;                      // show normally and paint at once
};
WindowHandle create_frame_window(WindowHandle owner, std::string_view title, const FrameWindowOptions& options = {});
bool make_topmost(WindowHandle window);
// Runs the thread's messages until the window is gone; keyboard and mouse input addressed to
// other windows is dropped meanwhile.
void run_modal(WindowHandle window);

// Measures the whole text in the layout rectangle; false when there is nothing to measure on.
bool measure_text(const Graphics& graphics, std::string_view text, const Font& font, const RectF& layout,
                  const platform::gfx::StringFormat& format, RectF& bounds);
bool measure_text(const Graphics& graphics, std::u16string_view text, const Font& font, const RectF& layout,
                  const platform::gfx::StringFormat& format, RectF& bounds);

// ---- Pictures from bytes ----

// A decoded picture. Loaded with keep_stream it keeps every frame and the encoded bytes (an
// animated picture can then select frames); otherwise it holds its first frame as a plain ARGB
// bitmap that depends on nothing else.
class Image {
 public:
  Image() = default;
  bool is_null() const { return bitmap().is_null(); }
  explicit operator bool() const { return !is_null(); }
  int width() const { return bitmap().width(); }
  int height() const { return bitmap().height(); }
  // The active frame (a null bitmap for a null image).
  const Bitmap& bitmap() const { return frames_.is_null() ? still_ : frames_.frame(); }
  // Frames in time; a still picture has one, a null image none.
  int frame_count() const { return frames_.is_null() ? (still_.is_null() ? 0 : 1) : frames_.frame_count(); }
  // Frame delays in hundredths of a second; empty when the picture stores none.
  const std::vector<int>& frame_delays() const { return frames_.frame_delays(); }
  // Makes frame `index` (0-based) active; false when out of range.
  bool select_frame(int index) { return frames_.is_null() ? index == 0 && !still_.is_null() : frames_.select_frame(index); }
  bool keeps_stream() const { return !stream_.empty(); }

 private:
  friend Image load_image(std::string_view bytes, bool add_png_signature, bool keep_stream);
  friend Image image_from_bitmap(Bitmap bitmap);
  friend void release_image(Image& image);
  Bitmap still_;                         // without the stream: the first frame
  platform::gfx::AnimatedImage frames_;  // with the stream: every frame
  std::string stream_;
};

// Decodes PNG, JPEG, GIF or BMP bytes; with add_png_signature the eight signature bytes are put
// in front first (compiled-in pictures are stored without them). Empty or undecodable input
// gives a null image.
Image load_image(std::string_view bytes, bool add_png_signature = false, bool keep_stream = false);
Image load_image(std::span<const unsigned char> bytes, bool add_png_signature = false, bool keep_stream = false);
// An image holding one bitmap.
Image image_from_bitmap(Bitmap bitmap);
int image_width(const Image& image);
int image_height(const Image& image);
// Draws the source rectangle of the image into the destination; without a source size the
// whole image is the source.
void draw_image_part(Graphics& graphics, const Image& image, const RectF& destination,
                     std::optional<RectF> source = std::nullopt, float opacity = 1.0f);
void release_image(Image& image);

}  // namespace dui

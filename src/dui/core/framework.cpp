#include "dui/core/framework.h"

#include "platform/text.h"
#include "quenbo_resources.h"

namespace dui {
namespace pw = platform::window;
namespace gfx = platform::gfx;

namespace {

struct Globals {
  bool initialised = false;
  int os_major_version = 0;
  Font default_font;
  CursorHandle default_cursor = 0;
  IconHandle class_icon = 0;
  Bitmap caption_sprites;
};

Globals& globals() {
  static Globals g;
  return g;
}

constexpr char png_signature[] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
constexpr int default_font_pixels = 12;
constexpr int max_title_units = 511;

// The face name that stands in for the system fonts: the desktop has no such metrics to read.
std::string read_system_face(SystemFont) { return {}; }

Font choose_default_font() {
  for (const std::string& family : {std::string("宋体"), system_font_face(SystemFont::caption)}) {
    Font font = Font::create(family, default_font_pixels, gfx::font_regular);
    if (font) return font;
  }
  // A desktop without any CJK font still gets readable Latin text.
  return Font::create("Sans", default_font_pixels, gfx::font_regular);
}

std::string_view as_chars(std::span<const unsigned char> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The program icon comes from the compiled-in picture.
IconHandle load_program_icon() {
  Image picture = load_image(as_chars(resources::program_icon_png()));
  if (!picture) return 0;
  gfx::PixelView pixels = picture.bitmap().pixels();
  return pw::create_icon({pixels.pixels, pixels.width, pixels.height, pixels.bytes_per_line});
}

void register_window_class() {
  pw::class_info info;
  info.name = window_class_name;
  info.style = pw::CS_DBLCLKS;
  info.class_cursor = globals().default_cursor;
  info.big_icon = globals().class_icon;
  info.background = 0x00F0F0F0;  // button face
  pw::register_class(info);
}

void fill_edit_menu(const FrameworkOptions& options) {
  if (options.fill_edit_menu) options.fill_edit_menu(edit_menu_items());
}

IconHandle icon_for(WindowHandle window, pw::wparam kind) {
  IconHandle icon = pw::get_icon(window, kind);
  if (icon == 0 && kind == pw::ICON_BIG && pw::class_name(window) == window_class_name) icon = class_icon();
  return icon;
}

}  // namespace

bool init_framework(const FrameworkOptions& options) {
  Globals& g = globals();
  if (g.initialised) return true;
  // The level of a desktop with composition, which the framework's window effects assume.
  g.os_major_version = 6;
  g.default_font = choose_default_font();
  g.default_cursor = pw::load_cursor(pw::IDC_ARROW);
  g.class_icon = load_program_icon();
  g.caption_sprites = load_image(as_chars(resources::caption_buttons_png())).bitmap();
  register_window_class();
  g.initialised = true;
  fill_edit_menu(options);
  return true;
}

bool framework_initialised() { return globals().initialised; }
int os_major_version() { return globals().os_major_version; }
const Font& default_font() { return globals().default_font; }
CursorHandle default_cursor() { return globals().default_cursor; }
IconHandle class_icon() { return globals().class_icon; }
const Bitmap& caption_sprites() { return globals().caption_sprites; }

const std::vector<EditMenuItem>& edit_menu_items() {
  static const std::vector<EditMenuItem> items = {
      {"剪切(&T)", 88}, {"复制(&C)", 67}, {"粘贴(&P)", 86}, {"", 0}, {"全部选择(&A)", 65},
  };
  return items;
}

std::string system_font_face(SystemFont which) {
  std::string face = read_system_face(which);
  if (face.empty() || face == "Tahoma") return "宋体";
  if (!Font::create(face, default_font_pixels, gfx::font_regular)) return "宋体";
  return face;
}

Ex_Window* host_of(WindowHandle window) {
  if (window == 0) return nullptr;
  return reinterpret_cast<Ex_Window*>(pw::get_property(window, window_property::control));
}

std::u16string to_utf16(std::string_view text) { return platform::text::gbk_to_utf16(text); }
std::string from_utf16(std::u16string_view text) { return platform::text::utf16_to_gbk(text); }
int utf16_length(std::string_view text) { return int(to_utf16(text).size()); }

std::string window_text(WindowHandle window) {
  std::u16string title = to_utf16(pw::get_text(window));
  if (title.size() > max_title_units) title.resize(max_title_units);
  return from_utf16(title);
}

WorkArea work_area() {
  pw::rect area = pw::work_area();
  return {area.left, area.top, area.width(), area.height()};
}

WindowHandle create_frame_window(WindowHandle owner, std::string_view title, const FrameWindowOptions& options) {
  const int width = options.width ? *options.width : 380;
  const int height = options.width ? options.height : 250;
  const WorkArea area = work_area();
  pw::create_params params;
  params.class_name = options.class_name.value_or(window_class_name);
  params.title = std::string(title);
  params.style = options.style.value_or(pw::WS_POPUP | pw::WS_CLIPCHILDREN | pw::WS_MINIMIZEBOX |
                                        pw::WS_MAXIMIZEBOX | pw::WS_SYSMENU);
  params.ex_style = options.ex_style;
  params.x = options.left.value_or(area.left + (area.width - width) / 2);
  params.y = options.top.value_or(area.top + (area.height - height) / 2);
  params.width = width;
  params.height = height;
  params.owner = owner;
  WindowHandle window = pw::create(params);
  if (window == 0) return 0;
  for (pw::wparam kind : {pw::ICON_SMALL, pw::ICON_BIG}) {
    if (IconHandle icon = icon_for(window, kind)) pw::set_icon(window, kind, icon);
  }
  if (options.show) {
    pw::show(window, pw::SW_SHOWNORMAL);
    pw::update_now(window);
  }
  return window;
}

bool make_topmost(WindowHandle window) {
  return pw::set_position(window, pw::HWND_TOPMOST, 0, 0, 0, 0, pw::SWP_NOMOVE | pw::SWP_NOSIZE);
}

void run_modal(WindowHandle window) { pw::run_modal(window); }

bool measure_text(const Graphics& graphics, std::string_view text, const Font& font, const RectF& layout,
                  const gfx::StringFormat& format, RectF& bounds) {
  return measure_text(graphics, to_utf16(text), font, layout, format, bounds);
}

bool measure_text(const Graphics& graphics, std::u16string_view text, const Font& font, const RectF& layout,
                  const gfx::StringFormat& format, RectF& bounds) {
  if (graphics.is_null()) return false;
  bounds = graphics.measure_string(text, font, layout, format).bounds;
  return true;
}

Image load_image(std::string_view bytes, bool add_png_signature, bool keep_stream) {
  Image image;
  if (bytes.empty()) return image;
  std::string stream;
  if (add_png_signature) stream.assign(png_signature, sizeof png_signature);
  stream.append(bytes);
  if (!keep_stream) {
    image.still_ = gfx::decode_bitmap(stream);
    return image;
  }
  image.frames_ = gfx::AnimatedImage::decode(stream);
  if (!image.frames_.is_null()) image.stream_ = std::move(stream);
  return image;
}

Image load_image(std::span<const unsigned char> bytes, bool add_png_signature, bool keep_stream) {
  return load_image(as_chars(bytes), add_png_signature, keep_stream);
}

Image image_from_bitmap(Bitmap bitmap) {
  Image image;
  image.still_ = std::move(bitmap);
  return image;
}

int image_width(const Image& image) { return image.width(); }
int image_height(const Image& image) { return image.height(); }

void draw_image_part(Graphics& graphics, const Image& image, const RectF& destination, std::optional<RectF> source,
                     float opacity) {
  if (image.is_null()) return;
  RectF from = source.value_or(RectF{0, 0, float(image.width()), float(image.height())});
  graphics.draw_image(image.bitmap(), destination, from, opacity);
}

void release_image(Image& image) { image = Image{}; }

}  // namespace dui

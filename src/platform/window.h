// The window system: top-level windows driven by window procedures and numbered messages,
// the thread's message loop with nested modal loops, timers, properties, capture, focus,
// cursors, window regions and the presentation of 32-bit premultiplied ARGB back buffers.
//
// Threads: every window belongs to the user-interface thread (the thread that called
// platform::application::init). Only send, post, post_quit, wake, the property functions,
// exists and tick_count may be called from other threads; everything else runs on the UI
// thread and answers 0/false/empty when called elsewhere.
//
// Texts are GBK byte strings. No function throws.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::window {

// ---- Basic types -------------------------------------------------------------------------

// A window; 0 is none. Handles are never reused within a process.
using handle = std::uintptr_t;
using wparam = std::uintptr_t;
using lparam = std::intptr_t;
using result = std::intptr_t;

// A window procedure: (window, message, wparam, lparam) -> result.
using procedure = std::function<result(handle, unsigned, wparam, lparam)>;

// A timer routine: (window, WM_TIMER, timer id, tick_count at firing).
using timer_routine = std::function<void(handle, unsigned, std::uintptr_t, std::uint32_t)>;

struct point {
  int x = 0;
  int y = 0;
  friend bool operator==(const point&, const point&) = default;
};

// Left, top, right (exclusive), bottom (exclusive).
struct rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool contains(point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  friend bool operator==(const rect&, const rect&) = default;
};

// A view of 32-bit premultiplied ARGB pixels (0xAARRGGBB in native byte order), rows of
// stride bytes. The caller keeps the pixels alive during the call only.
struct pixel_view {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};

// An owned copy of pixels in the same format, rows packed (stride = width * 4).
struct pixel_image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// ---- Message numbers ---------------------------------------------------------------------

constexpr unsigned WM_NULL = 0;
constexpr unsigned WM_CREATE = 1;             // lparam: const create_params*; answer -1 to refuse
constexpr unsigned WM_DESTROY = 2;
constexpr unsigned WM_MOVE = 3;               // lparam: client origin in screen coordinates
constexpr unsigned WM_SIZE = 5;               // wparam: SIZE_*; lparam: client width, height
constexpr unsigned WM_ACTIVATE = 6;           // wparam: WA_*; lparam: the other window
constexpr unsigned WM_SETFOCUS = 7;           // wparam: the window that lost the focus
constexpr unsigned WM_KILLFOCUS = 8;          // wparam: the window that gets the focus
constexpr unsigned WM_ENABLE = 10;            // wparam: 1 enabled, 0 disabled
constexpr unsigned WM_SETTEXT = 12;           // lparam: const char* (GBK, zero-terminated)
constexpr unsigned WM_PAINT = 15;
constexpr unsigned WM_CLOSE = 16;
constexpr unsigned WM_QUIT = 18;
constexpr unsigned WM_ERASEBKGND = 20;
constexpr unsigned WM_SHOWWINDOW = 24;        // wparam: 1 shown, 0 hidden
constexpr unsigned WM_SETCURSOR = 32;         // wparam: window under the mouse; lparam: hit | msg << 16
constexpr unsigned WM_MOUSEACTIVATE = 33;     // answer MA_*
constexpr unsigned WM_GETMINMAXINFO = 36;     // lparam: min_max_info*
constexpr unsigned WM_WINDOWPOSCHANGED = 71;  // lparam: const window_pos*; default sends WM_MOVE/WM_SIZE
constexpr unsigned WM_STYLECHANGED = 125;     // wparam: GWL_STYLE or GWL_EXSTYLE; lparam: the new style
constexpr unsigned WM_GETICON = 127;          // wparam: ICON_SMALL / ICON_BIG
constexpr unsigned WM_SETICON = 128;          // wparam: ICON_SMALL / ICON_BIG; lparam: icon
constexpr unsigned WM_NCDESTROY = 130;
constexpr unsigned WM_NCCALCSIZE = 131;       // wparam 1; a non-zero answer means: no frame
constexpr unsigned WM_NCHITTEST = 132;        // lparam: screen position; answer HT*
constexpr unsigned WM_NCACTIVATE = 134;
constexpr unsigned WM_NCLBUTTONDOWN = 161;    // wparam: HT*; default starts the move/size loop
constexpr unsigned WM_KEYFIRST = 256;
constexpr unsigned WM_KEYDOWN = 256;          // wparam: virtual key; lparam: repeat count 1
constexpr unsigned WM_KEYUP = 257;
constexpr unsigned WM_CHAR = 258;             // wparam: one GBK byte; a Chinese character comes as two
                                              //   WM_CHAR, lead byte first (also WM_SYSCHAR)
constexpr unsigned WM_SYSKEYDOWN = 260;
constexpr unsigned WM_SYSKEYUP = 261;
constexpr unsigned WM_SYSCHAR = 262;          // Alt + character
constexpr unsigned WM_KEYLAST = 263;
constexpr unsigned WM_IME_COMPOSITION = 271;
constexpr unsigned WM_COMMAND = 273;
constexpr unsigned WM_SYSCOMMAND = 274;       // wparam: SC_*
constexpr unsigned WM_TIMER = 275;            // wparam: timer id; lparam: 0
constexpr unsigned WM_MOUSEFIRST = 512;
constexpr unsigned WM_MOUSEMOVE = 512;        // wparam: MK_*; lparam: client x, y (signed 16 bit)
constexpr unsigned WM_LBUTTONDOWN = 513;
constexpr unsigned WM_LBUTTONUP = 514;
constexpr unsigned WM_LBUTTONDBLCLK = 515;    // only for classes with CS_DBLCLKS
constexpr unsigned WM_RBUTTONDOWN = 516;
constexpr unsigned WM_RBUTTONUP = 517;
constexpr unsigned WM_RBUTTONDBLCLK = 518;
constexpr unsigned WM_MBUTTONDOWN = 519;
constexpr unsigned WM_MBUTTONUP = 520;
constexpr unsigned WM_MBUTTONDBLCLK = 521;
constexpr unsigned WM_MOUSEWHEEL = 522;       // wparam: MK_* | delta << 16 (120 a notch); lparam: screen x, y
constexpr unsigned WM_MOUSELAST = 525;
constexpr unsigned WM_CAPTURECHANGED = 533;   // lparam: the window that gets the capture
constexpr unsigned WM_MOUSELEAVE = 675;
constexpr unsigned WM_USER = 1024;

// WM_SIZE kinds.
constexpr wparam SIZE_RESTORED = 0;
constexpr wparam SIZE_MINIMIZED = 1;
constexpr wparam SIZE_MAXIMIZED = 2;

// WM_ACTIVATE states.
constexpr wparam WA_INACTIVE = 0;
constexpr wparam WA_ACTIVE = 1;
constexpr wparam WA_CLICKACTIVE = 2;

// WM_MOUSEACTIVATE answers.
constexpr result MA_ACTIVATE = 1;
constexpr result MA_ACTIVATEANDEAT = 2;
constexpr result MA_NOACTIVATE = 3;
constexpr result MA_NOACTIVATEANDEAT = 4;

// WM_SYSCOMMAND commands (the low four bits are free; SC_SIZE + zone picks the border).
constexpr wparam SC_SIZE = 0xF000;
constexpr wparam SC_MOVE = 0xF010;
constexpr wparam SC_MINIMIZE = 0xF020;
constexpr wparam SC_MAXIMIZE = 0xF030;
constexpr wparam SC_CLOSE = 0xF060;
constexpr wparam SC_RESTORE = 0xF120;

// Sizing zones added to SC_SIZE.
constexpr int WMSZ_LEFT = 1;
constexpr int WMSZ_RIGHT = 2;
constexpr int WMSZ_TOP = 3;
constexpr int WMSZ_TOPLEFT = 4;
constexpr int WMSZ_TOPRIGHT = 5;
constexpr int WMSZ_BOTTOM = 6;
constexpr int WMSZ_BOTTOMLEFT = 7;
constexpr int WMSZ_BOTTOMRIGHT = 8;

// WM_NCHITTEST answers.
constexpr result HTTRANSPARENT = -1;
constexpr result HTNOWHERE = 0;
constexpr result HTCLIENT = 1;
constexpr result HTCAPTION = 2;
constexpr result HTLEFT = 10;
constexpr result HTRIGHT = 11;
constexpr result HTTOP = 12;
constexpr result HTTOPLEFT = 13;
constexpr result HTTOPRIGHT = 14;
constexpr result HTBOTTOM = 15;
constexpr result HTBOTTOMLEFT = 16;
constexpr result HTBOTTOMRIGHT = 17;

// Mouse key-state bits of wparam.
constexpr wparam MK_LBUTTON = 1;
constexpr wparam MK_RBUTTON = 2;
constexpr wparam MK_SHIFT = 4;
constexpr wparam MK_CONTROL = 8;
constexpr wparam MK_MBUTTON = 16;

constexpr int WHEEL_DELTA = 120;

// Virtual keys. Letters and digits are their upper-case ASCII codes ('A'..'Z', '0'..'9').
constexpr int VK_LBUTTON = 1;
constexpr int VK_RBUTTON = 2;
constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18;  // Alt
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_PRIOR = 33;
constexpr int VK_NEXT = 34;
constexpr int VK_END = 35;
constexpr int VK_HOME = 36;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_INSERT = 45;
constexpr int VK_DELETE = 46;
constexpr int VK_F1 = 112;  // VK_F1 .. VK_F1 + 11

// Window styles.
constexpr std::uint32_t WS_OVERLAPPED = 0x00000000;
constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t WS_MINIMIZE = 0x20000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_DISABLED = 0x08000000;
constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr std::uint32_t WS_MAXIMIZE = 0x01000000;
constexpr std::uint32_t WS_CAPTION = 0x00C00000;  // WS_BORDER | WS_DLGFRAME
constexpr std::uint32_t WS_BORDER = 0x00800000;
constexpr std::uint32_t WS_DLGFRAME = 0x00400000;
constexpr std::uint32_t WS_SYSMENU = 0x00080000;
constexpr std::uint32_t WS_THICKFRAME = 0x00040000;
constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr std::uint32_t WS_MAXIMIZEBOX = 0x00010000;
constexpr std::uint32_t WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// Extended styles.
constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;
constexpr std::uint32_t WS_EX_TOOLWINDOW = 0x00000080;
constexpr std::uint32_t WS_EX_LAYERED = 0x00080000;
constexpr std::uint32_t WS_EX_NOACTIVATE = 0x08000000;

// Which style set_style / WM_STYLECHANGED refers to.
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;

// Class styles.
constexpr std::uint32_t CS_DBLCLKS = 0x0008;

// show() commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;

// set_position() z-order pseudo-windows and flags.
constexpr handle HWND_TOP = 0;
constexpr handle HWND_TOPMOST = static_cast<handle>(-1);
constexpr handle HWND_NOTOPMOST = static_cast<handle>(-2);
constexpr unsigned SWP_NOSIZE = 0x0001;
constexpr unsigned SWP_NOMOVE = 0x0002;
constexpr unsigned SWP_NOZORDER = 0x0004;
constexpr unsigned SWP_NOREDRAW = 0x0008;
constexpr unsigned SWP_NOACTIVATE = 0x0010;
constexpr unsigned SWP_SHOWWINDOW = 0x0040;
constexpr unsigned SWP_HIDEWINDOW = 0x0080;

// Icon kinds of WM_GETICON / WM_SETICON.
constexpr wparam ICON_SMALL = 0;
constexpr wparam ICON_BIG = 1;

// System cursor ids for load_cursor.
constexpr int IDC_ARROW = 32512;
constexpr int IDC_IBEAM = 32513;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_CROSS = 32515;
constexpr int IDC_SIZENWSE = 32642;
constexpr int IDC_SIZENESW = 32643;
constexpr int IDC_SIZEWE = 32644;
constexpr int IDC_SIZENS = 32645;
constexpr int IDC_SIZEALL = 32646;
constexpr int IDC_NO = 32648;
constexpr int IDC_HAND = 32649;

// ---- Packing helpers ---------------------------------------------------------------------

constexpr lparam make_lparam(int low, int high) {
  return static_cast<lparam>(static_cast<std::uint32_t>((static_cast<std::uint32_t>(high) & 0xFFFFu) << 16 |
                                                        (static_cast<std::uint32_t>(low) & 0xFFFFu)));
}
// Signed 16-bit halves of an lparam (mouse positions can be negative while captured).
constexpr int x_of(lparam l) { return static_cast<std::int16_t>(static_cast<std::uint32_t>(l) & 0xFFFFu); }
constexpr int y_of(lparam l) { return static_cast<std::int16_t>((static_cast<std::uint32_t>(l) >> 16) & 0xFFFFu); }
constexpr unsigned low_word(std::uintptr_t v) { return static_cast<unsigned>(v & 0xFFFFu); }
constexpr unsigned high_word(std::uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFFu); }
// The signed wheel delta of a WM_MOUSEWHEEL wparam.
constexpr int wheel_delta_of(wparam w) { return static_cast<std::int16_t>((w >> 16) & 0xFFFFu); }

// ---- Message payloads --------------------------------------------------------------------

// WM_GETMINMAXINFO: filled with the defaults; the procedure may change it.
struct min_max_info {
  point max_size;        // maximized window size (default: the work area's size)
  point max_position;    // maximized window position (default: the work area's origin)
  point min_track_size;  // smallest size the sizing loop allows
  point max_track_size;  // largest size the sizing loop allows
};

// WM_WINDOWPOSCHANGED: the window's new rectangle in screen coordinates (window rect).
struct window_pos {
  handle window = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  unsigned flags = 0;  // SWP_NOMOVE / SWP_NOSIZE when that part did not change
};

// ---- Classes -----------------------------------------------------------------------------

using cursor = std::uintptr_t;  // 0 = none
using icon = std::uintptr_t;    // 0 = none

struct class_info {
  std::string name;             // e.g. "Ex_DirectUI"
  std::uint32_t style = 0;      // CS_DBLCLKS: double clicks arrive as WM_*BUTTONDBLCLK
  procedure proc;               // empty: default_procedure
  cursor class_cursor = 0;      // 0: the arrow
  icon big_icon = 0;
  icon small_icon = 0;
  std::uint32_t background = 0x00F0F0F0;  // 0x00BBGGRR shown before anything is presented
};

// Registers a class; false when the name is empty or already registered.
bool register_class(const class_info& info);
bool unregister_class(std::string_view name);
bool class_exists(std::string_view name);
// The class of a window ("" for none).
std::string class_name(handle window);

// ---- Creation and destruction ------------------------------------------------------------

constexpr int USE_DEFAULT = INT32_MIN;

struct create_params {
  std::string class_name;        // "" or unknown: fails (0)
  std::string title;             // GBK
  std::uint32_t style = WS_OVERLAPPEDWINDOW;
  std::uint32_t ex_style = 0;
  int x = USE_DEFAULT;           // window rectangle in screen coordinates; USE_DEFAULT centres
  int y = USE_DEFAULT;           //   in the work area
  int width = USE_DEFAULT;       // USE_DEFAULT: 380 x 250
  int height = USE_DEFAULT;
  handle owner = 0;              // an owned window stays above its owner and dies with it
  lparam user_data = 0;          // free for the caller; WM_CREATE sees it through lparam
};

// Creates a top-level window and sends WM_CREATE (lparam: const create_params*); 0 on
// failure or when the procedure answers -1. WS_VISIBLE in the style shows it at once.
handle create(const create_params& params);
// Hides the window, destroys its owned windows, sends WM_DESTROY and WM_NCDESTROY, stops
// its timers, drops its properties and releases focus, capture and activation it held.
bool destroy(handle window);
// True while the window exists (any thread).
bool exists(handle window);
handle owner(handle window);

// ---- Procedures, subclassing, default processing -------------------------------------------

// Replaces the window's procedure and answers the previous one (empty on failure).
procedure set_procedure(handle window, procedure proc);
procedure get_procedure(handle window);
// Calls a procedure (answers 0 when it is empty).
result call_procedure(const procedure& proc, handle window, unsigned message, wparam w, lparam l);
// Default processing: WM_CLOSE destroys; WM_SETTEXT sets the caption (answers 1);
// WM_SYSCOMMAND minimises, maximises (asking WM_GETMINMAXINFO), restores, closes, and
// SC_MOVE / SC_SIZE + zone start the move/size loop; WM_NCLBUTTONDOWN on HTCAPTION or a
// border starts it too; WM_ACTIVATE gives the activated window the focus; WM_SETCURSOR
// shows the class cursor; WM_WINDOWPOSCHANGED sends WM_MOVE and WM_SIZE; WM_GETICON /
// WM_SETICON read and set the window's icons; WM_MOUSEACTIVATE answers MA_ACTIVATE;
// WM_NCHITTEST answers HTCLIENT. Everything else answers 0.
result default_procedure(handle window, unsigned message, wparam w, lparam l);

// ---- Messages ----------------------------------------------------------------------------

// Calls the window's procedure and answers its result. From another thread it waits until
// the UI thread has handled the message (also while that thread runs a nested loop).
// A window that does not exist (or is destroyed before the message runs) answers 0.
result send(handle window, unsigned message, wparam w = 0, lparam l = 0);
// Queues the message for the window; messages run in the order they were posted. False when
// the window does not exist. Input messages posted here pass the modal filter like real input.
bool post(handle window, unsigned message, wparam w = 0, lparam l = 0);

// Runs the thread's message loop until post_quit; answers the quit code.
int run();
// Runs a nested loop until done() answers true, the window `until_gone` (when not 0) no longer
// exists, or post_quit was called. With modal_window not 0, keyboard (255-263) and mouse
// (512-525) messages addressed to any other window are dropped; paints, timers and posted
// messages go on. Answers true when it ended because of done / the window, false on quit.
// done() is checked after each batch of events: a flag set by another thread needs wake().
// With the manual test clock, timers fire only in pump() and testing::advance_clock.
bool run_until(const std::function<bool()>& done, handle until_gone = 0, handle modal_window = 0);
// The modal loop of a pop-up: run_until(nothing, window, window).
bool run_modal(handle window);
// Lets pending messages, input, paints and due timers run once, without waiting.
void pump();
// Makes run/run_until re-check their condition (any thread), e.g. after a flag changed.
void wake();
// Ends run() and every nested loop with the given code (any thread). The request stays until
// run() has returned.
void post_quit(int code = 0);
bool quit_requested();

// ---- Timers and the clock ----------------------------------------------------------------

// Starts or restarts (same window and id) a timer; WM_TIMER to the window's procedure, or
// the routine when given. window 0 needs a routine and answers a new id. Answers the id, 0 on
// failure. Interval below 1 ms counts as 1 ms. Destroying the window stops its timers.
std::uintptr_t set_timer(handle window, std::uintptr_t id, unsigned interval_ms, timer_routine routine = {});
bool kill_timer(handle window, std::uintptr_t id);

// Milliseconds since the window system started (any thread). Tests may drive it by hand
// (platform/testing.h); timers then fire by that clock.
std::uint32_t tick_count();
// Waits the given time; with a test clock it advances the clock instead (timers fire at the
// next pump).
void sleep(unsigned ms);

// ---- Properties (any thread) -------------------------------------------------------------

bool set_property(handle window, std::string_view name, std::intptr_t value);
// 0 when the window or the property does not exist.
std::intptr_t get_property(handle window, std::string_view name);
// Removes the property and answers its value (0 when there was none).
std::intptr_t remove_property(handle window, std::string_view name);

// ---- Input state -------------------------------------------------------------------------

// Sets the mouse capture (all mouse messages go to the window) and answers the previous
// capture window; the window losing the capture gets WM_CAPTURECHANGED.
handle set_capture(handle window);
bool release_capture();
handle get_capture();

// Asks for one WM_MOUSELEAVE when the mouse leaves the window's client area (posted at
// once when it is already outside). Each call arms one notification.
bool track_mouse_leave(handle window);
bool cancel_mouse_leave(handle window);

// Keyboard focus: WM_KILLFOCUS to the old, WM_SETFOCUS to the new window. Answers the old.
handle set_focus(handle window);
handle get_focus();
// Activation: WM_ACTIVATE (WA_INACTIVE) to the old, then WM_ACTIVATE (WA_ACTIVE) to the new
// window, lparam naming the other; the new window is raised. Answers the previous.
handle set_active(handle window);
handle get_active();
bool set_foreground(handle window);
handle get_foreground();

// True while the key (virtual key, VK_LBUTTON / VK_RBUTTON included) is held.
bool key_down(int virtual_key);
// Screen position of the mouse.
point cursor_position();
// The topmost visible window of this process at a screen position (0 for none).
handle window_from_point(point screen);

// ---- Cursors and icons -------------------------------------------------------------------

// A system cursor (IDC_*); 0 for an unknown id.
cursor load_cursor(int system_id);
// A cursor from a picture with its hot spot; release it with destroy_cursor.
cursor create_cursor(const pixel_view& picture, point hot_spot);
bool destroy_cursor(cursor c);
// Shows the cursor over the window that has the mouse; answers the previous cursor.
cursor set_cursor(cursor c);
cursor get_cursor();

icon create_icon(const pixel_view& picture);
bool destroy_icon(icon i);
// The icon's pixels (empty for an unknown icon).
pixel_image icon_pixels(icon i);
// WM_SETICON / WM_GETICON through the window's procedure.
icon set_icon(handle window, wparam kind, icon i);
icon get_icon(handle window, wparam kind);

// ---- Showing, placing, styles --------------------------------------------------------------

// SW_* command; answers whether the window was visible before. SW_SHOWNOACTIVATE / SW_SHOWNA
// show without activating.
bool show(handle window, int command);
bool is_visible(handle window);
bool is_minimized(handle window);
bool is_maximized(handle window);
// Window rectangle in screen coordinates; width/height include the frame when it has one.
bool move(handle window, int x, int y, int width, int height, bool repaint = true);
// insert_after: HWND_TOP, HWND_TOPMOST, HWND_NOTOPMOST or ignored with SWP_NOZORDER.
bool set_position(handle window, handle insert_after, int x, int y, int width, int height, unsigned flags);
bool set_topmost(handle window, bool topmost);
bool is_topmost(handle window);
// Enables or disables input; answers whether the window was disabled before. Sends WM_ENABLE.
bool enable(handle window, bool enabled);
bool is_enabled(handle window);

// Styles (WS_* / WS_EX_*). A window has a system frame when its style has WS_CAPTION or
// WS_THICKFRAME and its procedure answers WM_NCCALCSIZE (wparam 1) with 0; answering non-zero
// (as a host that draws its own frame does) removes the frame. Setting a style sends
// WM_STYLECHANGED and re-evaluates the frame; answers the previous style.
std::uint32_t set_style(handle window, int which, std::uint32_t style);
std::uint32_t get_style(handle window, int which);
bool has_frame(handle window);

rect window_rect(handle window);
// Client area: (0, 0, width, height).
rect client_rect(handle window);
point client_to_screen(handle window, point p);
point screen_to_client(handle window, point p);
// The work area (primary screen minus panels) in screen coordinates.
rect work_area();

// Window text (GBK). set_text sends WM_SETTEXT.
bool set_text(handle window, std::string_view gbk);
std::string get_text(handle window);

// ---- Shape and presentation --------------------------------------------------------------

// The window region (client coordinates): only its inside shows and takes input.
// Rounded rectangle from (left, top) to (right, bottom) with corner ellipse width x height
// (0 gives square corners).
bool set_region_round_rect(handle window, rect area, int corner_width, int corner_height);
bool clear_region(handle window);

// Layered presentation (WS_EX_LAYERED windows): the buffer replaces the whole window content
// with per-pixel alpha, multiplied by global_alpha (255 = as is). The buffer's size should
// be the window's; extra pixels are cut off, missing ones are transparent. False for a window
// that is not layered.
bool present_layered(handle window, const pixel_view& buffer, std::uint8_t global_alpha = 255);
// Copies a rectangle (client coordinates = buffer coordinates) of the buffer to the window.
// A window that is not layered shows it opaque; a layered one takes the pixels as they are.
bool present_rect(handle window, const pixel_view& buffer, rect area);
// Marks the window for repainting: a WM_PAINT follows (coalesced, after pending messages).
bool invalidate(handle window);
// Sends a pending WM_PAINT at once.
bool update_now(handle window);

}  // namespace platform::window

// What the window system keeps per window and per class, and the table of live windows.
#pragma once

#include "platform/window.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QRegion>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform::window::detail {

class window_widget;

// Largest window side: bigger sizes are cut to it, so that no request allocates gigabytes.
constexpr int max_window_side = 8192;
int clamp_side(int size);

struct window_class {
  class_info info;
};

struct window_record {
  handle id = 0;
  std::shared_ptr<const window_class> cls;
  std::shared_ptr<const procedure> proc;  // replaced as a whole, so a running call keeps its copy
  std::string title;
  std::uint32_t style = 0;     // without the state bits WS_VISIBLE, WS_DISABLED, WS_MINIMIZE, WS_MAXIMIZE
  std::uint32_t ex_style = 0;
  handle owner = 0;
  QPointer<window_widget> widget;

  bool destroying = false;
  bool framed = false;
  bool enabled = true;
  bool minimized = false;
  bool maximized = false;
  QRect normal_rect;  // window rectangle before maximizing
  icon icons[2] = {0, 0};

  bool leave_armed = false;
  bool paint_pending = false;
  std::optional<rect> reported_rect;  // last rectangle told through WM_WINDOWPOSCHANGED

  QImage surface;  // what the window shows: client size, premultiplied ARGB
  std::optional<QRegion> region;
  std::uint8_t global_alpha = 255;
  int present_count = 0;

  // Guarded by the table's mutex (any thread).
  std::map<std::string, std::intptr_t, std::less<>> properties;

  bool layered() const { return (ex_style & WS_EX_LAYERED) != 0; }
};

using record_ptr = std::shared_ptr<window_record>;

// The live windows and the registered classes. Safe from any thread.
class window_table {
 public:
  static window_table& instance();

  handle add(record_ptr record);
  void remove(handle window);
  record_ptr find(handle window) const;
  // Live windows in creation order.
  std::vector<record_ptr> all() const;
  std::vector<handle> owned_by(handle owner) const;

  bool add_class(const class_info& info);
  bool remove_class(std::string_view name);
  std::shared_ptr<const window_class> find_class(std::string_view name) const;

  bool set_property(handle window, std::string_view name, std::intptr_t value);
  std::intptr_t get_property(handle window, std::string_view name) const;
  std::intptr_t remove_property(handle window, std::string_view name);

 private:
  mutable std::mutex mutex_;
  handle next_handle_ = 0x10000;
  std::map<handle, record_ptr> windows_;  // handles grow, so the map keeps creation order
  std::map<std::string, std::shared_ptr<const window_class>, std::less<>> classes_;
};

// The record of a live window, for UI-thread code; nullptr from other threads or for 0.
record_ptr ui_record(handle window);

}  // namespace platform::window::detail

// The host's tooltip: one tool (a rectangle of the host window and a text) and a small
// top-most pop-up that shows the text after the mouse rests on the tool.
#pragma once

#include "platform/window.h"

#include <memory>
#include <string>

namespace dui {

class HostTooltip {
 public:
  // Delay before the tip shows, and its widest line.
  static constexpr unsigned show_delay_ms = 500;
  static constexpr int max_tip_width = 1024;

  explicit HostTooltip(platform::window::handle owner);
  ~HostTooltip();
  HostTooltip(const HostTooltip&) = delete;
  HostTooltip& operator=(const HostTooltip&) = delete;

  // `owner` only identifies who set the tool (never dereferenced).
  void set_tool(const void* owner, const platform::window::rect& area, const std::string& text);
  void remove_tool();
  // Removes the tool when it belongs to `owner`.
  void forget_owner(const void* owner);
  // Mouse messages of the host window: moves arm the delay, presses and leaving hide the tip.
  void relay(unsigned message, platform::window::lparam lparam);
  // Shows the tip now when the mouse is on the tool (the delay timer's routine).
  void show_if_hovering();

  const std::string& text() const { return text_; }
  platform::window::handle window() const { return window_; }
  bool showing() const { return showing_; }

 private:
  void arm();
  void ensure_window();
  void show_at(platform::window::point screen);
  void hide();

  platform::window::handle owner_window_ = 0;
  platform::window::handle window_ = 0;
  const void* owner_ = nullptr;
  platform::window::rect area_;
  std::string text_;
  bool showing_ = false;
};

}  // namespace dui

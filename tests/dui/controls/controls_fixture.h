// Shared pieces of the control tests: the framework started once, a host on a fresh window,
// a hand-driven clock, and small picture helpers.
#pragma once

#include "../core/host_fixture.h"
#include "dui/core/framework.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace dui_test {

// A host fixture with the framework started and a manual clock.
class ControlsFixture : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    dui::init_framework();
    platform::testing::use_manual_clock(true);
  }
  static void advance(unsigned ms) {
    platform::testing::advance_clock(ms);
    pump();
  }
};

// Steps that run one by one inside whatever message loop runs next (a modal box, a menu):
// each is a posted message to a hidden helper window, so it runs after what came before it.
class Script {
 public:
  Script() {
    namespace pw = platform::window;
    if (!pw::class_exists("ScriptWindow")) {
      pw::class_info info;
      info.name = "ScriptWindow";
      pw::register_class(info);
    }
    pw::create_params params;
    params.class_name = "ScriptWindow";
    params.style = pw::WS_POPUP;
    window_ = pw::create(params);
    pw::set_procedure(window_, [this](pw::handle w, unsigned m, pw::wparam wp, pw::lparam lp) -> pw::result {
      if (m != pw::WM_USER) return pw::default_procedure(w, m, wp, lp);
      if (steps_.empty()) return 0;
      std::function<void()> step = std::move(steps_.front());
      steps_.pop_front();
      step();
      return 0;
    });
  }
  ~Script() { platform::window::destroy(window_); }
  Script& then(std::function<void()> step) {
    steps_.push_back(std::move(step));
    platform::window::post(window_, platform::window::WM_USER, 0, 0);
    return *this;
  }

 private:
  platform::window::handle window_ = 0;
  std::deque<std::function<void()>> steps_;
};

// The controls of a host, first to last.
inline std::vector<dui::Ex_Control*> controls_of(platform::window::handle window) {
  std::vector<dui::Ex_Control*> out;
  if (dui::Ex_Window* host = dui::host_of(window)) {
    for (dui::Ex_Control* c = host->first_control(); c != nullptr; c = c->next()) out.push_back(c);
  }
  return out;
}

// A 4 x 4 GIF of three frames, red, green and blue, with the given delays (hundredths).
inline std::string three_frame_gif(int d1, int d2, int d3) {
  static const unsigned char gif[] = {
      0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x04, 0x00, 0x04, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x21, 0xf9, 0x04, 0x00, 0x0a, 0x00, 0x00, 0x00, 0x21, 0xff, 0x0b, 0x4e, 0x45, 0x54, 0x53, 0x43, 0x41,
      0x50, 0x45, 0x32, 0x2e, 0x30, 0x03, 0x01, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x04,
      0x00, 0x00, 0x02, 0x04, 0x84, 0x8f, 0x09, 0x05, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x14, 0x00, 0x00, 0x00, 0x2c,
      0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x04, 0x00, 0x80, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00, 0x02, 0x04, 0x84,
      0x8f, 0x09, 0x05, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x1e, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x04,
      0x00, 0x04, 0x00, 0x80, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x02, 0x04, 0x84, 0x8f, 0x09, 0x05, 0x00, 0x3b};
  std::string bytes(reinterpret_cast<const char*>(gif), sizeof gif);
  // Each frame's graphic control extension (21 F9 04 flags delay-low delay-high ...).
  const int delays[] = {d1, d2, d3};
  int frame = 0;
  for (std::size_t i = 0; i + 5 < bytes.size() && frame < 3; ++i) {
    if (bytes[i] == '\x21' && bytes[i + 1] == '\xf9' && bytes[i + 2] == '\x04') {
      bytes[i + 4] = static_cast<char>(delays[frame] & 0xFF);
      bytes[i + 5] = static_cast<char>(delays[frame] >> 8);
      ++frame;
    }
  }
  return bytes;
}

inline std::string solid_png(int width, int height, platform::gfx::Argb colour) {
  platform::gfx::Bitmap bitmap(width, height);
  bitmap.fill(colour);
  return bitmap.encode_png();
}

// Rows of the bitmap that hold any visible pixel.
inline std::vector<int> inked_rows(const platform::gfx::Bitmap& bitmap) {
  std::vector<int> rows;
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) {
      if (platform::gfx::alpha_of(bitmap.pixel(x, y)) > 40) {
        rows.push_back(y);
        break;
      }
    }
  }
  return rows;
}

}  // namespace dui_test

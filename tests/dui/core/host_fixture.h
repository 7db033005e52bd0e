// Shared pieces of the control and host tests: a control that records its events and paints
// itself in one colour, and a fixture that puts a host on a fresh window.
#pragma once

#include "dui/core/control.h"
#include "dui/core/host_window.h"
#include "platform/testing.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace dui_test {

namespace pw = platform::window;
namespace gfx = platform::gfx;

struct SeenEvent {
  int code = 0;
  dui::WParam wparam = 0;
  dui::LParam lparam = 0;
};

// Records every event it gets and paints itself in `colour` (non-premultiplied ARGB).
class ProbeControl : public dui::Ex_Control {
 public:
  explicit ProbeControl(gfx::Argb colour = 0xFFFF0000) : colour_(colour) {}
  ~ProbeControl() override { destroy(); }

  dui::Ex_Control* create(dui::ControlParent parent, dui::RectF bounds, int kind = 2,
                          const dui::ControlOptions& options = {}) {
    return init_control(parent, bounds, kind, 1, options);
  }

  int on_event(int code, dui::WParam wparam, dui::LParam lparam) override {
    event_thread = std::this_thread::get_id();
    seen.push_back({code, wparam, lparam});
    if (code == dui::event::paint) paint();
    auto answer = answers.find(code);
    return answer != answers.end() ? answer->second : -1;
  }

  void paint() {
    dui::PaintContext context;
    if (!dui::begin_paint(this, context)) return;
    if (context.graphics != nullptr) context.graphics->clear(colour_);
    dui::end_paint(this, context);
  }

  void set_colour(gfx::Argb colour) { colour_ = colour; }

  // The codes seen, in order, keeping only those listed.
  std::vector<int> codes(const std::vector<int>& only) const {
    std::vector<int> out;
    for (const SeenEvent& e : seen) {
      for (int code : only) {
        if (e.code == code) out.push_back(e.code);
      }
    }
    return out;
  }
  const SeenEvent* last(int code) const {
    for (auto it = seen.rbegin(); it != seen.rend(); ++it) {
      if (it->code == code) return &*it;
    }
    return nullptr;
  }
  int count(int code) const {
    int n = 0;
    for (const SeenEvent& e : seen) n += e.code == code ? 1 : 0;
    return n;
  }

  std::vector<SeenEvent> seen;
  std::map<int, int> answers;  // results of on_event by code; -1 otherwise
  std::thread::id event_thread;

 private:
  gfx::Argb colour_;
};

inline dui::LParam ref(dui::Ex_Control* c) { return reinterpret_cast<dui::LParam>(c); }
inline dui::WParam wref(dui::Ex_Control* c) { return reinterpret_cast<dui::WParam>(c); }

inline void register_test_class() {
  if (pw::class_exists("HostTestWindow")) return;
  pw::class_info info;
  info.name = "HostTestWindow";
  info.style = pw::CS_DBLCLKS;
  pw::register_class(info);
}

// A host on a fresh top-level window; options as given (features 0 unless set).
class HostFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::testing::reset_input_and_loop();
    register_test_class();
  }

  void TearDown() override {
    dui::set_animation_observer(nullptr);
    dui::set_caption_parts({});
    host.reset();
    if (window != 0) pw::destroy(window);
    platform::testing::use_manual_clock(false);
    platform::testing::set_work_area(std::nullopt);
    platform::testing::reset_input_and_loop();
  }

  // Creates the window and the host. A colour-only background unless the options say more.
  void make_host(int width = 400, int height = 300, dui::HostOptions options = {},
                 std::uint32_t style = pw::WS_POPUP) {
    pw::create_params params;
    params.class_name = "HostTestWindow";
    params.title = "host";
    params.style = style;
    params.x = 40;
    params.y = 40;
    params.width = width;
    params.height = height;
    window = pw::create(params);
    ASSERT_NE(window, 0u);
    if (!options.features) options.features = 0;
    if (!options.background_colour) options.background_colour = 0xFFFFFF;
    host = std::make_unique<dui::Ex_Window>();
    ASSERT_TRUE(host->create(window, options));
    pw::show(window, pw::SW_SHOWNORMAL);
    pump();
  }

  std::unique_ptr<ProbeControl> probe(dui::ControlParent parent, dui::RectF bounds, gfx::Argb colour = 0xFFFF0000,
                                      const dui::ControlOptions& options = {}, int kind = 2) {
    auto control = std::make_unique<ProbeControl>(colour);
    control->create(parent, bounds, kind, options);
    return control;
  }

  static void pump() {
    for (int i = 0; i < 3; ++i) pw::pump();
  }

  // Back-buffer pixel, non-premultiplied.
  gfx::Argb pixel(int x, int y) { return host->buffer().pixel(x, y); }

  pw::handle window = 0;
  std::unique_ptr<dui::Ex_Window> host;
};

}  // namespace dui_test

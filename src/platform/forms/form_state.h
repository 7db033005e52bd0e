// What a form keeps: its layout, handlers, window, controls and timers. UI thread only, except
// that the handle is read from any thread.
#pragma once

#include "form_control.h"

#include "platform/forms.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace platform::forms {

struct Form::State {
  FormLayout layout;

  std::function<void()> on_create;
  std::function<void()> on_destroy;
  std::map<std::string, std::function<void()>, std::less<>> on_click;
  std::map<std::string, std::function<void()>, std::less<>> on_timer;
  std::map<int, std::function<void()>> on_menu;

  std::atomic<window::handle> window = 0;
  std::vector<std::unique_ptr<detail::FormControl>> controls;
  std::map<std::string, std::uintptr_t, std::less<>> timer_ids;
  std::map<std::string, unsigned, std::less<>> timer_intervals;
  bool creating = false;       // inside the creation handler
  bool shown_by_code = false;  // show() was called during creation
  bool destroy_handled = false;

  detail::FormControl* control(std::string_view name) const {
    for (const auto& control : controls) {
      if (control->name() == name) return control.get();
    }
    return nullptr;
  }
};

}  // namespace platform::forms

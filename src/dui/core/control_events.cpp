// Ex_Control: bound handlers and event delivery through the host window's thread.
#include "dui/core/control.h"

#include "platform/window.h"

namespace dui {

namespace pw = platform::window;

int Ex_Control::on_event(int, WParam, LParam) { return -1; }

void Ex_Control::bind_event(int code, EventHandler handler) {
  for (Binding& binding : events_) {
    if (binding.code == code) {
      binding.handler = std::move(handler);
      binding.child_handler = nullptr;
      return;
    }
  }
  events_.push_back(Binding{code, std::move(handler), nullptr});
}

void Ex_Control::bind_event(int code, ChildEventHandler handler) {
  for (Binding& binding : events_) {
    if (binding.code == code) {
      binding.handler = nullptr;
      binding.child_handler = std::move(handler);
      return;
    }
  }
  events_.push_back(Binding{code, nullptr, std::move(handler)});
}

const Ex_Control::Binding* Ex_Control::find_binding(int code, WParam wparam) const {
  for (const Binding& binding : events_) {
    if (binding.code == event::double_click) {
      if (code == event::left_down && wparam == event::double_click_mark) return &binding;
    } else if (binding.code == code) {
      return &binding;
    }
  }
  return nullptr;
}

int fire_event(Ex_Control* control, int code, WParam wparam, LParam lparam) {
  if (control == nullptr) return 0;
  const std::weak_ptr<void> life = control->life_;
  const int result = control->on_event(code, wparam, lparam);
  // The class may have destroyed (or deleted) the control while handling the event.
  if (life.expired()) return result;
  const Ex_Control::Binding* binding = control->find_binding(code, wparam);
  if (binding == nullptr) return result;
  // Copies: a handler may rebind its own code while it runs.
  if (binding->child_handler) {
    auto handler = binding->child_handler;
    handler(control->parent_, control, code, wparam, lparam);
  } else if (binding->handler) {
    auto handler = binding->handler;
    handler(control, code, wparam, lparam);
  }
  return result;
}

int Ex_Control::send_event(int code, WParam wparam, LParam lparam) {
  if (window_ == 0 || handle_ == nullptr) return 0;
  EventBlock block{code, wparam, lparam, life_, false};
  return static_cast<int>(
      pw::send(window_, host_message::deliver_event, reinterpret_cast<WParam>(this), reinterpret_cast<LParam>(&block)));
}

void Ex_Control::post_event(int code, WParam wparam, LParam lparam) {
  if (window_ == 0 || handle_ == nullptr) return;
  auto* block = new EventBlock{code, wparam, lparam, life_, true};
  if (!pw::post(window_, host_message::deliver_event, reinterpret_cast<WParam>(this), reinterpret_cast<LParam>(block))) {
    delete block;
  }
}

}  // namespace dui

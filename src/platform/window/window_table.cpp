#include "window_record.h"

#include "platform/application.h"

#include <algorithm>

namespace platform::window::detail {

window_table& window_table::instance() {
  static window_table table;
  return table;
}

handle window_table::add(record_ptr record) {
  std::lock_guard lock(mutex_);
  record->id = ++next_handle_;
  windows_.emplace(record->id, record);
  return record->id;
}

void window_table::remove(handle window) {
  std::lock_guard lock(mutex_);
  windows_.erase(window);
}

record_ptr window_table::find(handle window) const {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second;
}

std::vector<record_ptr> window_table::all() const {
  std::lock_guard lock(mutex_);
  std::vector<record_ptr> out;
  out.reserve(windows_.size());
  for (const auto& [id, record] : windows_) out.push_back(record);
  return out;
}

std::vector<handle> window_table::owned_by(handle owner) const {
  std::lock_guard lock(mutex_);
  std::vector<handle> out;
  for (const auto& [id, record] : windows_) {
    if (record->owner == owner) out.push_back(id);
  }
  return out;
}

bool window_table::add_class(const class_info& info) {
  if (info.name.empty()) return false;
  std::lock_guard lock(mutex_);
  if (classes_.contains(info.name)) return false;
  auto cls = std::make_shared<window_class>();
  cls->info = info;
  classes_.emplace(info.name, std::move(cls));
  return true;
}

bool window_table::remove_class(std::string_view name) {
  std::lock_guard lock(mutex_);
  auto it = classes_.find(name);
  if (it == classes_.end()) return false;
  classes_.erase(it);
  return true;
}

std::shared_ptr<const window_class> window_table::find_class(std::string_view name) const {
  std::lock_guard lock(mutex_);
  auto it = classes_.find(name);
  return it == classes_.end() ? nullptr : it->second;
}

bool window_table::set_property(handle window, std::string_view name, std::intptr_t value) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it == windows_.end() || name.empty()) return false;
  auto& props = it->second->properties;
  auto prop = props.find(name);
  if (prop == props.end()) {
    props.emplace(std::string(name), value);
  } else {
    prop->second = value;
  }
  return true;
}

std::intptr_t window_table::get_property(handle window, std::string_view name) const {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it == windows_.end()) return 0;
  auto prop = it->second->properties.find(name);
  return prop == it->second->properties.end() ? 0 : prop->second;
}

std::intptr_t window_table::remove_property(handle window, std::string_view name) {
  std::lock_guard lock(mutex_);
  auto it = windows_.find(window);
  if (it == windows_.end()) return 0;
  auto& props = it->second->properties;
  auto prop = props.find(name);
  if (prop == props.end()) return 0;
  std::intptr_t value = prop->second;
  props.erase(prop);
  return value;
}

int clamp_side(int size) { return std::clamp(size, 0, max_window_side); }

record_ptr ui_record(handle window) {
  if (window == 0 || !application::on_ui_thread()) return nullptr;
  return window_table::instance().find(window);
}

}  // namespace platform::window::detail

namespace platform::window {

bool register_class(const class_info& info) { return detail::window_table::instance().add_class(info); }
bool unregister_class(std::string_view name) { return detail::window_table::instance().remove_class(name); }
bool class_exists(std::string_view name) { return detail::window_table::instance().find_class(name) != nullptr; }

std::string class_name(handle window) {
  auto record = detail::window_table::instance().find(window);
  return record && record->cls ? record->cls->info.name : std::string();
}

bool exists(handle window) { return window != 0 && detail::window_table::instance().find(window) != nullptr; }

bool set_property(handle window, std::string_view name, std::intptr_t value) {
  return detail::window_table::instance().set_property(window, name, value);
}
std::intptr_t get_property(handle window, std::string_view name) {
  return detail::window_table::instance().get_property(window, name);
}
std::intptr_t remove_property(handle window, std::string_view name) {
  return detail::window_table::instance().remove_property(window, name);
}

}  // namespace platform::window

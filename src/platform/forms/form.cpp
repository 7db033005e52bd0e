// Form: a window of the window system with standard controls, built from its layout.
#include "form_state.h"
#include "qt_bridge.h"

#include <QWidget>

namespace platform::forms {

namespace {

using detail::FormControl;
using detail::run_on_ui_thread;
using State = Form::State;

constexpr std::string_view form_class = "QuenboForm";
// An ordinary dialog frame: caption, system menu and minimise box; not resizable.
constexpr std::uint32_t form_style = window::WS_CAPTION | window::WS_SYSMENU | window::WS_MINIMIZEBOX;

bool ensure_form_class() {
  if (window::class_exists(form_class)) return true;
  window::class_info info;
  info.name = std::string(form_class);
  // Double clicks arrive as their own message: a framework host on a form (the main window's
  // list) acts on them.
  info.style = window::CS_DBLCLKS;
  info.background = 0x00F0F0F0;
  return window::register_class(info);
}

template <typename Result, typename Operation>
Result on_control(const std::shared_ptr<State>& state, std::string_view name, Result fallback, Operation operation) {
  Result result = fallback;
  run_on_ui_thread([&] {
    FormControl* control = state->control(name);
    if (control != nullptr && control->alive()) result = operation(*control);
  });
  return result;
}

void run_handler(const std::function<void()>& handler) {
  if (handler) {
    std::function<void()> copy = handler;  // the handler may replace itself
    copy();
  }
}

void run_destroy_handler(State& state) {
  if (state.destroy_handled) return;
  state.destroy_handled = true;
  run_handler(state.on_destroy);
}

void forget_window(State& state) {
  state.window = 0;
  state.controls.clear();  // the widgets go with the window's widget
  state.timer_ids.clear();
}

window::result form_procedure(const std::weak_ptr<State>& weak, window::handle h, unsigned message,
                              window::wparam w, window::lparam l) {
  if (auto state = weak.lock()) {
    if (message == window::WM_TIMER) {
      for (const auto& [name, id] : state->timer_ids) {
        if (id == w) {
          auto handler = state->on_timer.find(name);
          if (handler != state->on_timer.end()) run_handler(handler->second);
          return 0;
        }
      }
    } else if (message == window::WM_DESTROY) {
      run_destroy_handler(*state);
    } else if (message == window::WM_NCDESTROY) {
      forget_window(*state);
    }
  }
  return window::default_procedure(h, message, w, l);
}

void start_timer(State& state, const std::string& name, unsigned interval_ms) {
  const window::handle h = state.window;
  auto found = state.timer_ids.find(name);
  if (interval_ms == 0) {
    if (found != state.timer_ids.end()) window::kill_timer(h, found->second);
    return;
  }
  const std::uintptr_t id = found != state.timer_ids.end() ? found->second : state.timer_ids.size() + 1;
  if (window::set_timer(h, id, interval_ms) != 0) state.timer_ids[name] = id;
}

void build_controls(const std::shared_ptr<State>& state, QWidget* parent) {
  parent->setFont(detail::font_for({}, state->layout.font));
  std::weak_ptr<State> weak = state;
  for (const ControlLayout& layout : state->layout.controls) {
    auto click = [weak, name = layout.name] {
      if (auto alive = weak.lock()) {
        auto handler = alive->on_click.find(name);
        if (handler != alive->on_click.end()) run_handler(handler->second);
      }
    };
    state->controls.push_back(std::make_unique<FormControl>(layout, parent, state->layout.font, click));
  }
}

// Creates the window and its controls and runs the creation handler. UI thread.
bool create_form_window(const std::shared_ptr<State>& state, bool visible) {
  if (window::exists(state->window) || !ensure_form_class()) return false;
  window::create_params params;
  params.class_name = std::string(form_class);
  params.title = state->layout.caption;
  params.style = form_style;
  params.x = state->layout.x;
  params.y = state->layout.y;
  params.width = state->layout.width > 0 ? state->layout.width : window::USE_DEFAULT;
  params.height = state->layout.height > 0 ? state->layout.height : window::USE_DEFAULT;
  const window::handle h = window::create(params);
  QWidget* parent = detail::client_widget(h);
  if (h == 0 || parent == nullptr) return false;
  state->window = h;
  state->destroy_handled = false;
  std::weak_ptr<State> weak = state;
  window::set_procedure(h, [weak](window::handle w, unsigned m, window::wparam wp, window::lparam lp) {
    return form_procedure(weak, w, m, wp, lp);
  });
  build_controls(state, parent);
  for (const auto& [name, interval] : state->timer_intervals) start_timer(*state, name, interval);
  state->creating = true;
  state->shown_by_code = false;
  run_handler(state->on_create);
  state->creating = false;
  // The creation handler may have shown, hidden or destroyed the window itself.
  if (visible && window::exists(h) && !state->shown_by_code && !window::is_visible(h)) {
    window::show(h, window::SW_SHOWNORMAL);
  }
  return true;
}

}  // namespace

Form::Form(FormLayout layout) : state_(std::make_shared<State>()) {
  state_->layout = std::move(layout);
  for (const TimerLayout& timer : state_->layout.timers) state_->timer_intervals[timer.name] = timer.interval_ms;
}

Form::~Form() {
  // The program is done with the form: close it quietly.
  run_on_ui_thread([state = state_] {
    state->destroy_handled = true;
    if (window::exists(state->window)) window::destroy(state->window);
  });
}

void Form::on_create(std::function<void()> handler) {
  run_on_ui_thread([&] { state_->on_create = std::move(handler); });
}

void Form::on_click(std::string_view control, std::function<void()> handler) {
  run_on_ui_thread([&] { state_->on_click[std::string(control)] = std::move(handler); });
}

void Form::on_timer(std::string_view timer, std::function<void()> handler) {
  run_on_ui_thread([&] { state_->on_timer[std::string(timer)] = std::move(handler); });
}

void Form::on_destroy(std::function<void()> handler) {
  run_on_ui_thread([&] { state_->on_destroy = std::move(handler); });
}

void Form::on_menu(int item_id, std::function<void()> handler) {
  run_on_ui_thread([&] { state_->on_menu[item_id] = std::move(handler); });
}

bool Form::load(bool visible) {
  return detail::on_ui_thread<bool>([&] { return create_form_window(state_, visible); });
}

bool Form::run_modal() {
  return detail::on_ui_thread<bool>([&] {
    if (!window::exists(state_->window) && !create_form_window(state_, false)) return false;
    const window::handle h = state_->window;
    QWidget* widget = detail::client_widget(h);
    if (widget == nullptr) return true;  // the creation handler already destroyed it
    // Modal for Qt's own input too (the controls are Qt widgets): set while hidden.
    if (window::is_visible(h)) window::show(h, window::SW_HIDE);
    widget->setWindowModality(Qt::ApplicationModal);
    window::show(h, window::SW_SHOWNORMAL);
    window::run_until([] { return false; }, h, h);
    return true;
  });
}

bool Form::destroy() {
  return detail::on_ui_thread<bool>([&] { return window::exists(state_->window) && window::destroy(state_->window); });
}

bool Form::exists() const { return window::exists(state_->window); }

window::handle Form::handle() const { return state_->window; }

bool Form::set_caption(std::string_view gbk) {
  return detail::on_ui_thread<bool>([&] { return window::set_text(state_->window, gbk); });
}

std::string Form::caption() const {
  return detail::on_ui_thread<std::string>([&] { return window::get_text(state_->window); });
}

bool Form::show(bool visible) {
  return detail::on_ui_thread<bool>([&] {
    if (!window::exists(state_->window)) return false;
    if (state_->creating) state_->shown_by_code = true;
    window::show(state_->window, visible ? window::SW_SHOWNORMAL : window::SW_HIDE);
    return true;
  });
}

bool Form::is_visible() const {
  return detail::on_ui_thread<bool>([&] { return window::is_visible(state_->window); });
}

bool Form::set_text(std::string_view control, std::string_view gbk) {
  return on_control(state_, control, false, [&](FormControl& c) { return c.set_text(gbk); });
}

bool Form::append_text(std::string_view control, std::string_view gbk) {
  return on_control(state_, control, false, [&](FormControl& c) { return c.append_text(gbk); });
}

std::string Form::text(std::string_view control) const {
  return on_control(state_, control, std::string(), [](FormControl& c) { return c.text(); });
}

bool Form::set_items(std::string_view control, const std::vector<std::string>& gbk_items) {
  return on_control(state_, control, false, [&](FormControl& c) { return c.set_items(gbk_items); });
}

std::vector<std::string> Form::items(std::string_view control) const {
  return on_control(state_, control, std::vector<std::string>(), [](FormControl& c) { return c.items(); });
}

bool Form::select(std::string_view control, int index) {
  return on_control(state_, control, false, [&](FormControl& c) { return c.select(index); });
}

int Form::selected(std::string_view control) const {
  return on_control(state_, control, -1, [](FormControl& c) { return c.selected(); });
}

bool Form::set_position(std::string_view control, int position) {
  return on_control(state_, control, false, [&](FormControl& c) { return c.set_position(position); });
}

int Form::position(std::string_view control) const {
  return on_control(state_, control, 0, [](FormControl& c) { return c.position(); });
}

bool Form::set_visible(std::string_view control, bool visible) {
  return on_control(state_, control, false, [&](FormControl& c) { return c.set_visible(visible); });
}

bool Form::is_visible(std::string_view control) const {
  return on_control(state_, control, false, [](FormControl& c) { return c.is_visible(); });
}

bool Form::set_enabled(std::string_view control, bool enabled) {
  return on_control(state_, control, false, [&](FormControl& c) { return c.set_enabled(enabled); });
}

bool Form::is_enabled(std::string_view control) const {
  return on_control(state_, control, false, [](FormControl& c) { return c.is_enabled(); });
}

bool Form::move(std::string_view control, ControlPlace place) {
  return on_control(state_, control, false, [&](FormControl& c) { return c.move(place); });
}

std::optional<ControlPlace> Form::place(std::string_view control) const {
  return on_control(state_, control, std::optional<ControlPlace>(), [](FormControl& c) { return c.place(); });
}

bool Form::set_font(std::string_view control, const FontSpec& font) {
  return on_control(state_, control, false, [&](FormControl& c) { return c.set_font(font, state_->layout.font); });
}

bool Form::set_timer_interval(std::string_view timer, unsigned interval_ms) {
  return detail::on_ui_thread<bool>([&] {
    auto known = state_->timer_intervals.find(timer);
    if (known == state_->timer_intervals.end()) return false;
    known->second = interval_ms;
    if (window::exists(state_->window)) start_timer(*state_, known->first, interval_ms);
    return true;
  });
}

bool Form::click(std::string_view control) {
  std::function<void()> handler;
  run_on_ui_thread([&] {
    FormControl* target = state_->control(control);
    if (target == nullptr || !target->is_button() || !target->is_visible() || !target->is_enabled()) return;
    auto found = state_->on_click.find(control);
    if (found != state_->on_click.end()) handler = found->second;
  });
  if (!handler) return false;
  run_on_ui_thread(handler);
  return true;
}

}  // namespace platform::forms

// Creating and destroying windows.
#include "icon_table.h"
#include "input_router.h"
#include "message_queue.h"
#include "move_size_loop.h"
#include "timer_scheduler.h"
#include "ui_state.h"
#include "widget_graveyard.h"
#include "window_record.h"
#include "window_sync.h"
#include "window_widget.h"

#include "platform/application.h"
#include "platform/text.h"

#include <QGuiApplication>

namespace platform::window {
namespace {

constexpr int default_width = 380;
constexpr int default_height = 250;

// Widgets must go before the application object does; windows still alive then lose them.
void drop_widgets_at_exit() {
  for (const auto& record : detail::window_table::instance().all()) {
    if (!record->widget) continue;
    record->widget->detach();
    detail::bury_later(record->widget.data());
  }
  detail::bury_dead_widgets();
}

// The application must not end when its last Qt window closes: windows end by destroy().
void prepare_application() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  QGuiApplication::setQuitOnLastWindowClosed(false);
  qAddPostRoutine(drop_widgets_at_exit);
}

rect initial_rect(const create_params& params) {
  const int width = params.width == USE_DEFAULT ? default_width : detail::clamp_side(params.width);
  const int height = params.height == USE_DEFAULT ? default_height : detail::clamp_side(params.height);
  const rect area = work_area();
  const int x = params.x == USE_DEFAULT ? area.left + (area.width() - width) / 2 : params.x;
  const int y = params.y == USE_DEFAULT ? area.top + (area.height() - height) / 2 : params.y;
  return {x, y, x + width, y + height};
}

detail::record_ptr make_record(const create_params& params, std::shared_ptr<const detail::window_class> cls) {
  auto record = std::make_shared<detail::window_record>();
  record->cls = cls;
  record->proc = std::make_shared<const procedure>(cls->info.proc ? cls->info.proc : procedure(default_procedure));
  record->title = params.title;
  record->style = params.style & ~(WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE);
  record->ex_style = params.ex_style;
  record->enabled = (params.style & WS_DISABLED) == 0;
  record->icons[ICON_SMALL] = cls->info.small_icon;
  record->icons[ICON_BIG] = cls->info.big_icon;
  return record;
}

}  // namespace

handle create(const create_params& params) {
  if (!application::on_ui_thread()) return 0;
  auto cls = detail::window_table::instance().find_class(params.class_name);
  if (!cls) return 0;
  prepare_application();
  auto owner_record = detail::ui_record(params.owner);
  auto record = make_record(params, cls);
  record->owner = owner_record ? params.owner : 0;
  const handle id = detail::window_table::instance().add(record);

  QWidget* owner_widget = owner_record ? owner_record->widget.data() : nullptr;
  record->widget = new detail::window_widget(id, owner_widget, Qt::Window | Qt::FramelessWindowHint);
  record->widget->setWindowTitle(QString::fromStdString(text::gbk_to_utf8(params.title)));
  const rect r = initial_rect(params);
  record->widget->setGeometry(r.left, r.top, r.width(), r.height());
  record->surface = QImage(r.width(), r.height(), QImage::Format_ARGB32_Premultiplied);
  record->surface.fill(Qt::transparent);
  record->reported_rect = r;

  detail::show_window_icon(*record);
  detail::evaluate_frame(id);
  if (detail::call_window(id, WM_CREATE, 0, reinterpret_cast<lparam>(&params)) == -1) {
    destroy(id);
    return 0;
  }
  if (!exists(id)) return 0;
  record->reported_rect.reset();
  detail::report_geometry(id);
  if (params.style & WS_VISIBLE) show(id, SW_SHOW);
  return exists(id) ? id : 0;
}

namespace {

void let_go_of_input(handle window) {
  auto& s = detail::state();
  if (s.active == window) {
    const handle next = owner(window) != 0 && is_visible(owner(window)) ? owner(window) : 0;
    set_active(next);
  }
  if (s.focus == window) set_focus(0);
  if (s.capture == window) release_capture();
  if (s.pointer_window == window) s.pointer_window = 0;
  detail::move_size_loop::instance().cancel(window);
}

}  // namespace

bool destroy(handle window) {
  auto record = detail::ui_record(window);
  if (!record || record->destroying) return false;
  record->destroying = true;
  for (handle owned : detail::window_table::instance().owned_by(window)) destroy(owned);
  if (record->widget) record->widget->hide();
  detail::drop_from_stacking(window);
  let_go_of_input(window);
  detail::call_window(window, WM_DESTROY, 0, 0);
  detail::timer_scheduler::instance().stop_all(window);
  detail::call_window(window, WM_NCDESTROY, 0, 0);
  detail::window_table::instance().remove(window);
  detail::message_queue::instance().forget(window);
  detail::timer_scheduler::instance().stop_all(window);  // in case WM_NCDESTROY started one
  if (record->widget) {
    record->widget->detach();
    detail::bury_later(record->widget.data());
  }
  return true;
}

handle owner(handle window) {
  auto record = detail::window_table::instance().find(window);
  return record ? record->owner : 0;
}

}  // namespace platform::window

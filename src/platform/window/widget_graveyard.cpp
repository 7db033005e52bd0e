#include "widget_graveyard.h"

#include <QPointer>
#include <QWidget>

#include <vector>

namespace platform::window::detail {
namespace {

int handler_depth = 0;
std::vector<QPointer<QWidget>> graveyard;

}  // namespace

void bury_later(QWidget* widget) {
  if (widget == nullptr) return;
  widget->hide();
  graveyard.emplace_back(widget);
}

void bury_dead_widgets() {
  if (handler_depth > 0 || graveyard.empty()) return;
  auto dead = std::move(graveyard);
  graveyard.clear();
  for (auto& widget : dead) delete widget.data();  // QPointer is null when a parent took it along
}

widget_event_scope::widget_event_scope() { ++handler_depth; }
widget_event_scope::~widget_event_scope() { --handler_depth; }

}  // namespace platform::window::detail

#include "window_widget.h"

#include "input_router.h"
#include "key_map.h"
#include "ui_state.h"
#include "widget_graveyard.h"
#include "window_record.h"
#include "window_sync.h"

#include "platform/text.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

namespace platform::window::detail {
namespace {

mouse_button button_of(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return mouse_button::left;
    case Qt::RightButton: return mouse_button::right;
    case Qt::MiddleButton: return mouse_button::middle;
    default: return mouse_button::none;
  }
}

point global_point(const QPointF& p) { return {qRound(p.x()), qRound(p.y())}; }

QColor colour_of(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF));
}

}  // namespace

window_widget::window_widget(handle id, QWidget* owner, Qt::WindowFlags flags) : QWidget(owner, flags), id_(id) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_NoSystemBackground);
  setAttribute(Qt::WA_QuitOnClose, false);
  setAttribute(Qt::WA_InputMethodEnabled);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
}

void window_widget::show_cursor(const QCursor& cursor) {
  const qint64 key = cursor.shape() == Qt::BitmapCursor ? cursor.pixmap().cacheKey() : -1;
  if (cursor.shape() == shown_shape_ && key == shown_cursor_key_) return;
  shown_shape_ = cursor.shape();
  shown_cursor_key_ = key;
  setCursor(cursor);
}

bool window_widget::event(QEvent* event) {
  widget_event_scope scope;
  return QWidget::event(event);
}

void window_widget::paintEvent(QPaintEvent* event) {
  auto record = ui_record(id_);
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  const QRect area = event->rect();
  if (!record) {
    painter.fillRect(area, Qt::transparent);
    return;
  }
  if (record->layered()) {
    painter.fillRect(area, Qt::transparent);
    painter.setOpacity(record->global_alpha / 255.0);
  } else {
    painter.fillRect(area, colour_of(record->cls->info.background));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  if (!record->surface.isNull()) painter.drawImage(area.topLeft(), record->surface, area);
}

void window_widget::note_modifiers(Qt::KeyboardModifiers modifiers) {
  set_key_held(VK_SHIFT, modifiers.testFlag(Qt::ShiftModifier));
  set_key_held(VK_CONTROL, modifiers.testFlag(Qt::ControlModifier));
  set_key_held(VK_MENU, modifiers.testFlag(Qt::AltModifier));
}

void window_widget::route_mouse_event(QMouseEvent* event, int action) {
  if (id_ == 0) return;
  note_modifiers(event->modifiers());
  // The buttons as the desktop sees them: a release it kept (its own move loop) is caught up.
  set_key_held(VK_LBUTTON, event->buttons().testFlag(Qt::LeftButton));
  set_key_held(VK_RBUTTON, event->buttons().testFlag(Qt::RightButton));
  mouse_input input;
  input.target = id_;
  input.screen = global_point(event->globalPosition());
  input.action = static_cast<mouse_action>(action);
  input.button = button_of(event->button());
  state().injected_cursor.reset();
  route_mouse(input);
}

void window_widget::mouseMoveEvent(QMouseEvent* event) { route_mouse_event(event, static_cast<int>(mouse_action::move)); }
void window_widget::mousePressEvent(QMouseEvent* event) { route_mouse_event(event, static_cast<int>(mouse_action::press)); }
void window_widget::mouseReleaseEvent(QMouseEvent* event) {
  route_mouse_event(event, static_cast<int>(mouse_action::release));
}
void window_widget::mouseDoubleClickEvent(QMouseEvent* event) {
  route_mouse_event(event, static_cast<int>(mouse_action::double_click));
}

void window_widget::wheelEvent(QWheelEvent* event) {
  if (id_ == 0) return;
  note_modifiers(event->modifiers());
  mouse_input input;
  input.target = id_;
  input.screen = global_point(event->globalPosition());
  input.action = mouse_action::wheel;
  input.wheel_delta = event->angleDelta().y();
  route_mouse(input);
}

void window_widget::keyPressEvent(QKeyEvent* event) {
  if (id_ == 0) return;
  note_modifiers(event->modifiers());
  const int vk = virtual_key_of(event->key());
  if (vk != 0) route_key(id_, vk, true);
  std::string text = text::utf16_to_gbk(event->text().toStdU16String());
  if (text.empty() && event->modifiers().testFlag(Qt::AltModifier)) text = alt_character_of(vk, event->modifiers().testFlag(Qt::ShiftModifier));
  if (!text.empty() && exists(id_)) route_text(id_, text);
}

void window_widget::keyReleaseEvent(QKeyEvent* event) {
  if (id_ == 0) return;
  const int vk = virtual_key_of(event->key());
  if (vk != 0) route_key(id_, vk, false);
  note_modifiers(event->modifiers());
}

void window_widget::inputMethodEvent(QInputMethodEvent* event) {
  if (id_ != 0 && !event->commitString().isEmpty()) {
    route_text(id_, text::utf16_to_gbk(event->commitString().toStdU16String()));
  }
  event->accept();
}

void window_widget::leaveEvent(QEvent* event) {
  if (id_ != 0) route_pointer_left(id_);
  QWidget::leaveEvent(event);
}

void window_widget::moveEvent(QMoveEvent* event) {
  if (id_ != 0) report_geometry(id_);
  QWidget::moveEvent(event);
}

void window_widget::resizeEvent(QResizeEvent* event) {
  if (id_ != 0) report_geometry(id_);
  QWidget::resizeEvent(event);
}

// The desktop's close button asks the window, which decides (default: destroy).
void window_widget::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (id_ != 0) post(id_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void window_widget::changeEvent(QEvent* event) {
  if (id_ != 0 && event->type() == QEvent::ActivationChange) follow_desktop_activation();
  QWidget::changeEvent(event);
}

handle handle_of_widget(const QWidget* widget) {
  if (widget == nullptr) return 0;
  const auto* top = dynamic_cast<const window_widget*>(widget->window());
  return top ? top->id() : 0;
}

}  // namespace platform::window::detail

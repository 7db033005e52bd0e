// The Qt widget behind a top-level window: it shows the window's presented pixels and turns
// Qt's input and window events into the window system's input and notifications.
#pragma once

#include "platform/window.h"

#include <QCursor>
#include <QWidget>

namespace platform::window::detail {

class window_widget final : public QWidget {
 public:
  window_widget(handle id, QWidget* owner, Qt::WindowFlags flags);

  handle id() const { return id_; }
  // The window is destroyed: later Qt events are ignored.
  void detach() { id_ = 0; }
  // Shows the cursor unless it is the one shown already.
  void show_cursor(const QCursor& cursor);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void route_mouse_event(QMouseEvent* event, int action);
  void note_modifiers(Qt::KeyboardModifiers modifiers);

  handle id_;
  Qt::CursorShape shown_shape_ = Qt::ArrowCursor;
  qint64 shown_cursor_key_ = -1;
};

// The window of a widget (0 for none of ours).
handle handle_of_widget(const QWidget* widget);

}  // namespace platform::window::detail

// The window system: mouse, keyboard, focus and activation, as injected and from Qt.
#include "window_test_fixture.h"

#include "qt_bridge.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace window_test {
namespace {

// ---- Mouse -----------------------------------------------------------------------------------

TEST_F(WindowTest, CaptureTakesAllMouseMessagesAndTellsTheLoser) {
  handle a = make_window(100, 100, 100, 100);
  handle b = make_window(300, 100, 100, 100);
  EXPECT_EQ(pw::set_capture(a), 0u);
  pt::mouse_move(b, {5, 6});  // over b, captured by a: a's coordinates, signed
  auto moves = records_of(a, pw::WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(pw::x_of(moves[0].l), 205);
  EXPECT_EQ(pw::y_of(moves[0].l), 6);
  pt::mouse_move(a, {-20, -3});
  EXPECT_EQ(pw::x_of(records_of(a, pw::WM_MOUSEMOVE).back().l), -20);
  EXPECT_EQ(pw::y_of(records_of(a, pw::WM_MOUSEMOVE).back().l), -3);
  EXPECT_TRUE(records_of(b, pw::WM_MOUSEMOVE).empty());

  EXPECT_EQ(pw::set_capture(b), a);
  auto changed = records_of(a, pw::WM_CAPTURECHANGED);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(static_cast<handle>(changed[0].l), b);
  EXPECT_TRUE(pw::release_capture());
  EXPECT_EQ(pw::get_capture(), 0u);
  EXPECT_EQ(records_of(b, pw::WM_CAPTURECHANGED).size(), 1u);
}

TEST_F(WindowTest, MouseLeaveComesOncePerTrackingRequest) {
  handle w = make_window();
  pt::mouse_move(w, {10, 10});
  EXPECT_TRUE(pw::track_mouse_leave(w));
  pt::mouse_move(w, {20, 10});
  pt::mouse_leave(w);
  pw::pump();
  EXPECT_EQ(records_of(w, pw::WM_MOUSELEAVE).size(), 1u);

  pt::mouse_move(w, {10, 10});  // back in, not tracked: no second leave
  pt::mouse_leave(w);
  pw::pump();
  EXPECT_EQ(records_of(w, pw::WM_MOUSELEAVE).size(), 1u);

  pw::track_mouse_leave(w);  // tracking while outside answers at once
  pw::pump();
  EXPECT_EQ(records_of(w, pw::WM_MOUSELEAVE).size(), 2u);
}

TEST_F(WindowTest, MouseLeaveWaitsForTheCaptureToEnd) {
  handle w = make_window();
  pt::mouse_move(w, {10, 10});
  pw::track_mouse_leave(w);
  pw::set_capture(w);
  pt::mouse_move(w, {-50, 10});  // dragged out while captured
  pw::pump();
  EXPECT_TRUE(records_of(w, pw::WM_MOUSELEAVE).empty());
  pw::release_capture();
  pw::pump();
  EXPECT_EQ(records_of(w, pw::WM_MOUSELEAVE).size(), 1u);
}

TEST_F(WindowTest, DoubleClicksFollowTheClassStyle) {
  struct case_t {
    const char* cls;
    std::vector<unsigned> expected;
  };
  const case_t cases[] = {
      {"test_window", {pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP, pw::WM_LBUTTONDBLCLK, pw::WM_LBUTTONUP}},
      {"test_plain", {pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP, pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP}},
  };
  for (const auto& c : cases) {
    handle w = make_window(100, 100, 200, 150, 0, c.cls);
    pt::click(w, {30, 40});
    pt::mouse_double_click(w, {30, 40});
    pt::mouse_up(w, {30, 40});
    const std::set<unsigned> buttons = {pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP, pw::WM_LBUTTONDBLCLK};
    EXPECT_EQ(messages_of(w, buttons), c.expected) << c.cls;
    const auto downs = records_of(w, pw::WM_LBUTTONDOWN);
    ASSERT_FALSE(downs.empty());
    EXPECT_EQ(downs[0].w & pw::MK_LBUTTON, pw::MK_LBUTTON);
    EXPECT_EQ(pw::x_of(downs[0].l), 30);
    EXPECT_EQ(pw::y_of(downs[0].l), 40);
  }
}

TEST_F(WindowTest, WheelCarriesItsDeltaInTheHighWordAndScreenPosition) {
  handle w = make_window(100, 100, 200, 150);
  pw::set_focus(w);
  pt::mouse_wheel(w, {10, 20}, -240);
  auto wheels = records_of(w, pw::WM_MOUSEWHEEL);
  ASSERT_EQ(wheels.size(), 1u);
  EXPECT_EQ(pw::wheel_delta_of(wheels[0].w), -240);
  EXPECT_EQ(pw::x_of(wheels[0].l), 110);
  EXPECT_EQ(pw::y_of(wheels[0].l), 120);
}

TEST_F(WindowTest, DisabledWindowsGetNoInput) {
  handle w = make_window();
  EXPECT_FALSE(pw::enable(w, false));
  pt::click(w, {10, 10});
  EXPECT_TRUE(messages_of(w, {pw::WM_LBUTTONDOWN, pw::WM_LBUTTONUP}).empty());
  EXPECT_EQ(records_of(w, pw::WM_ENABLE).size(), 1u);
  EXPECT_NE(pw::get_style(w, pw::GWL_STYLE) & pw::WS_DISABLED, 0u);
  EXPECT_TRUE(pw::enable(w, true));
}

// ---- Keyboard, focus, activation ---------------------------------------------------------------

TEST_F(WindowTest, KeysGoToTheFocusAsKeyCharAndSystemMessages) {
  handle w = make_window();
  handle other = make_window(400, 100);
  pw::set_focus(w);
  pt::key_down(other, pw::VK_SHIFT);  // keys follow the focus, not the window named
  EXPECT_TRUE(pw::key_down(pw::VK_SHIFT));
  pt::key_up(other, pw::VK_SHIFT);
  EXPECT_FALSE(pw::key_down(pw::VK_SHIFT));
  pt::type_text(w, "a\xD6\xD0");  // "a" and one Chinese character: three WM_CHAR bytes
  pt::alt_key(w, 'F');

  const auto chars = records_of(w, pw::WM_CHAR);
  ASSERT_EQ(chars.size(), 3u);
  EXPECT_EQ(chars[0].w, 'a');
  EXPECT_EQ(chars[1].w, 0xD6u);
  EXPECT_EQ(chars[2].w, 0xD0u);
  const auto syschars = records_of(w, pw::WM_SYSCHAR);
  ASSERT_EQ(syschars.size(), 1u);
  EXPECT_EQ(syschars[0].w, 'f');
  EXPECT_EQ(messages_of(w, {pw::WM_KEYDOWN, pw::WM_KEYUP, pw::WM_SYSKEYDOWN, pw::WM_SYSKEYUP}),
            (std::vector<unsigned>{pw::WM_KEYDOWN, pw::WM_KEYUP, pw::WM_SYSKEYDOWN, pw::WM_SYSKEYDOWN,
                                   pw::WM_SYSKEYUP, pw::WM_SYSKEYUP}));
  EXPECT_EQ(records_of(w, pw::WM_SYSKEYDOWN)[1].w, static_cast<pw::wparam>('F'));
  EXPECT_TRUE(records_of(other, pw::WM_KEYDOWN).empty());
}

TEST_F(WindowTest, ActivationAndFocusMessagesNameTheOtherWindow) {
  handle a = make_window(100, 100);
  handle b = make_window(400, 100);
  pw::set_active(a);
  journal.clear();
  EXPECT_EQ(pw::set_active(b), a);
  auto deactivated = records_of(a, pw::WM_ACTIVATE);
  auto activated = records_of(b, pw::WM_ACTIVATE);
  ASSERT_EQ(deactivated.size(), 1u);
  ASSERT_EQ(activated.size(), 1u);
  EXPECT_EQ(deactivated[0].w, pw::WA_INACTIVE);
  EXPECT_EQ(static_cast<handle>(deactivated[0].l), b);
  EXPECT_EQ(activated[0].w, pw::WA_ACTIVE);
  EXPECT_EQ(static_cast<handle>(activated[0].l), a);
  // The default of WM_ACTIVATE moves the focus along.
  EXPECT_EQ(pw::get_focus(), b);
  EXPECT_EQ(records_of(a, pw::WM_KILLFOCUS).size(), 1u);
  EXPECT_EQ(records_of(b, pw::WM_SETFOCUS)[0].w, a);
  EXPECT_EQ(pw::get_foreground(), b);

  // A press in the inactive window activates it.
  pt::click(a, {5, 5});
  EXPECT_EQ(pw::get_active(), a);
}

TEST_F(WindowTest, ShowingWithoutActivationKeepsTheActiveWindow) {
  handle a = make_window();
  pw::set_active(a);
  pw::create_params params;
  params.class_name = "test_window";
  params.style = pw::WS_POPUP;
  handle hidden = pw::create(params);
  created_.push_back(hidden);
  EXPECT_FALSE(pw::is_visible(hidden));
  EXPECT_FALSE(pw::show(hidden, pw::SW_SHOWNA));
  EXPECT_TRUE(pw::is_visible(hidden));
  EXPECT_EQ(pw::get_active(), a);
  EXPECT_EQ(records_of(hidden, pw::WM_SHOWWINDOW).size(), 1u);
  EXPECT_TRUE(pw::show(hidden, pw::SW_HIDE));
  EXPECT_FALSE(pw::is_visible(hidden));
}

// ---- Input from Qt ------------------------------------------------------------------------------

TEST_F(WindowTest, QtMouseEventsBecomeMessagesAndAWindowMayDestroyItselfInItsHandler) {
  handle w = make_window(100, 100, 200, 150);
  handlers[w] = [w](unsigned m, pw::wparam, pw::lparam) -> std::optional<pw::result> {
    if (m == pw::WM_LBUTTONUP) pw::destroy(w);
    return std::nullopt;
  };
  QPointer<QWidget> widget = pw::widget_of(w);
  ASSERT_TRUE(widget);
  const QPointF local(12, 34);
  QMouseEvent press(QEvent::MouseButtonPress, local, local + QPointF(100, 100), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, local + QPointF(100, 100), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &release);

  const auto downs = records_of(w, pw::WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(pw::x_of(downs[0].l), 12);
  EXPECT_EQ(pw::y_of(downs[0].l), 34);
  EXPECT_EQ(records_of(w, pw::WM_LBUTTONUP).size(), 1u);
  EXPECT_FALSE(pw::exists(w));
  pw::pump();  // the widget goes once no handler of it runs any more
  EXPECT_TRUE(widget.isNull());
}

TEST_F(WindowTest, QtKeyEventsBecomeKeyAndGbkCharacterMessages) {
  handle w = make_window();
  pw::set_focus(w);
  QWidget* widget = pw::widget_of(w);
  QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QCoreApplication::sendEvent(widget, &letter);
  QKeyEvent chinese(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\u4e2d"));
  QCoreApplication::sendEvent(widget, &chinese);
  QKeyEvent escape(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &escape);

  EXPECT_EQ(records_of(w, pw::WM_KEYDOWN).at(0).w, static_cast<pw::wparam>('A'));
  EXPECT_EQ(records_of(w, pw::WM_KEYUP).at(0).w, static_cast<pw::wparam>(pw::VK_ESCAPE));
  std::vector<pw::wparam> chars;
  for (const auto& r : records_of(w, pw::WM_CHAR)) chars.push_back(r.w);
  EXPECT_EQ(chars, (std::vector<pw::wparam>{'a', 0xD6, 0xD0}));
}

}  // namespace
}  // namespace window_test

// Dialog forms driven from tests: every control kind, handlers, worker-thread calls, timers,
// the modal run, pop-up menus and the system message box.
#include "platform/forms.h"
#include "platform/text.h"
#include "platform/window.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace forms = platform::forms;
namespace window = platform::window;
using forms::ControlKind;

namespace {

std::string g(std::string_view utf8) { return platform::text::utf8_to_gbk(utf8); }

// One control of every kind, in the manner of the program's dialogs.
forms::FormLayout sample_layout() {
  const forms::FontSpec yahei{g("微软雅黑"), -12};
  forms::FormLayout layout;
  layout.x = 50;
  layout.y = 50;
  layout.width = 380;
  layout.height = 300;
  layout.caption = g("Quenbo社区-自动更新");
  layout.controls = {
      {"label1", ControlKind::label, 16, 16, 40, 24, g("标题："), {}, yahei},
      {"edit1", ControlKind::edit, 64, 16, 184, 24},
      {"edit2", ControlKind::password_edit, 64, 48, 184, 24, "secret"},
      {"combo1", ControlKind::drop_down_list, 264, 16, 80, 20, "",
       {g("编程源码"), g("软件辅助"), g("活动线报"), g("精品资源")}},
      {"button1", ControlKind::push_button, 256, 80, 96, 24, g("确定"), {}, yahei},
      {"link1", ControlKind::link_button, 8, 112, 48, 16, g("注册")},
      {"progress1", ControlKind::progress_bar, 2, 140, 322, 20},
      {"notes", ControlKind::text_box, 8, 170, 312, 80, "*"},
  };
  layout.timers = {{"clock1", 0}};
  layout.menus = {{g("操作"), {{1, g("打开")}, {2, g("复制地址")}}}};
  return layout;
}

template <typename Widget>
Widget* widget_of(const forms::Form& form, const QString& text) {
  // The form's window: the visible top-level widget with its caption (windows of earlier
  // tests may linger hidden until deleted).
  QWidget* top = nullptr;
  for (QWidget* candidate : QApplication::topLevelWidgets()) {
    if (candidate->isVisible() && window::exists(form.handle()) &&
        candidate->windowTitle().toStdString() == platform::text::gbk_to_utf8(window::get_text(form.handle()))) {
      top = candidate;
    }
  }
  if (top == nullptr) return nullptr;
  for (Widget* child : top->findChildren<Widget*>()) {
    if (child->property("text").toString() == text || text.isEmpty()) return child;
  }
  return nullptr;
}

// Runs the UI thread's loop until the condition holds (at most 5 s).
bool pump_until(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition() && std::chrono::steady_clock::now() < deadline) {
    window::pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return condition();
}

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    forms::testing::intercept_message_boxes(true);
    forms::testing::intercept_menus(true);
    forms::testing::clear_recorded();
  }
};

}  // namespace

TEST_F(FormsTest, CreationHandlerSeesEveryControlAndTheWindowIsOne) {
  forms::Form form(sample_layout());
  std::string seen_in_create;
  form.on_create([&] {
    form.append_text("notes", g("新版本说明\r\n第二行"));
    seen_in_create = form.text("label1");
  });
  ASSERT_TRUE(form.load());
  EXPECT_EQ(seen_in_create, g("标题："));
  EXPECT_TRUE(form.is_visible());
  EXPECT_EQ(window::class_name(form.handle()), "QuenboForm");
  EXPECT_EQ(form.caption(), g("Quenbo社区-自动更新"));
  EXPECT_EQ(window::get_text(form.handle()), g("Quenbo社区-自动更新"));
  EXPECT_EQ(form.text("notes"), g("*新版本说明\r\n第二行"));
  EXPECT_EQ(form.text("edit2"), "secret");
  EXPECT_EQ(form.items("combo1"), (std::vector<std::string>{g("编程源码"), g("软件辅助"), g("活动线报"), g("精品资源")}));
  EXPECT_EQ(form.selected("combo1"), -1);
  EXPECT_EQ(form.text("combo1"), "");
  EXPECT_EQ(form.place("edit1"), (forms::ControlPlace{64, 16, 184, 24}));
  EXPECT_FALSE(form.load());
}

TEST_F(FormsTest, EveryControlIsReadAndWritten) {
  forms::Form form(sample_layout());
  ASSERT_TRUE(form.load());
  EXPECT_TRUE(form.set_text("edit1", g("账号abc")));
  EXPECT_EQ(form.text("edit1"), g("账号abc"));
  EXPECT_TRUE(form.set_text("button1", g("注册")));
  EXPECT_EQ(form.text("button1"), g("注册"));
  EXPECT_TRUE(form.select("combo1", 1));
  EXPECT_EQ(form.text("combo1"), g("软件辅助"));
  EXPECT_TRUE(form.set_text("combo1", g("精品资源")));
  EXPECT_EQ(form.selected("combo1"), 3);
  EXPECT_FALSE(form.select("combo1", 4));
  EXPECT_TRUE(form.set_items("combo1", {"a", "b"}));
  EXPECT_EQ(form.selected("combo1"), -1);
  EXPECT_TRUE(form.set_caption(g("新标题")));
  EXPECT_EQ(form.caption(), g("新标题"));
  EXPECT_TRUE(form.set_visible("link1", false));
  EXPECT_FALSE(form.is_visible("link1"));
  EXPECT_TRUE(form.set_enabled("button1", false));
  EXPECT_FALSE(form.is_enabled("button1"));
  EXPECT_TRUE(form.move("label1", {1, 2, 30, 40}));
  EXPECT_EQ(form.place("label1"), (forms::ControlPlace{1, 2, 30, 40}));
  // Progress bars keep positions within 0-100.
  for (auto [given, kept] : {std::pair{40, 40}, {150, 100}, {-5, 0}}) {
    EXPECT_TRUE(form.set_position("progress1", given));
    EXPECT_EQ(form.position("progress1"), kept);
  }
  // Unknown controls and operations a kind does not have do nothing.
  EXPECT_FALSE(form.set_text("nothing", "x"));
  EXPECT_EQ(form.text("nothing"), "");
  EXPECT_FALSE(form.place("nothing").has_value());
  EXPECT_FALSE(form.set_position("edit1", 5));
  EXPECT_FALSE(form.set_items("edit1", {"a"}));
}

TEST_F(FormsTest, TextsAreShownAsPlainTextInTheAliasFont) {
  forms::Form form(sample_layout());
  ASSERT_TRUE(form.load());
  form.set_text("label1", g("<b>标题</b>"));
  auto* label = widget_of<QLabel>(form, QStringLiteral("<b>标题</b>"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->textFormat(), Qt::PlainText);
  EXPECT_EQ(label->font().family(), QStringLiteral("WenQuanYi Micro Hei"));
  EXPECT_EQ(label->font().pixelSize(), 12);
}

TEST_F(FormsTest, ClicksRunTheirHandlersOnlyOnUsableButtons) {
  forms::Form form(sample_layout());
  int button_clicks = 0;
  int link_clicks = 0;
  form.on_click("button1", [&] { ++button_clicks; });
  form.on_click("link1", [&] { form.set_text("button1", g("注册")); ++link_clicks; });
  ASSERT_TRUE(form.load());
  EXPECT_TRUE(form.click("link1"));
  EXPECT_EQ(form.text("button1"), g("注册"));
  EXPECT_TRUE(form.click("button1"));
  form.set_enabled("button1", false);
  EXPECT_FALSE(form.click("button1"));
  form.set_enabled("button1", true);
  form.set_visible("button1", false);
  EXPECT_FALSE(form.click("button1"));
  EXPECT_FALSE(form.click("label1"));
  EXPECT_EQ(button_clicks, 1);
  EXPECT_EQ(link_clicks, 1);
  // A real click on the Qt button reaches the handler from the event loop.
  form.set_visible("button1", true);
  auto* button = widget_of<QPushButton>(form, QStringLiteral("注册"));
  ASSERT_NE(button, nullptr);
  button->click();
  EXPECT_TRUE(pump_until([&] { return button_clicks == 2; }));
}

TEST_F(FormsTest, AClickHandlerMayDestroyItsForm) {
  forms::Form form(sample_layout());
  int destroyed = 0;
  form.on_click("button1", [&] { form.destroy(); });
  form.on_destroy([&] { ++destroyed; });
  ASSERT_TRUE(form.load());
  auto* button = widget_of<QPushButton>(form, QStringLiteral("确定"));
  ASSERT_NE(button, nullptr);
  button->click();
  EXPECT_TRUE(pump_until([&] { return !form.exists(); }));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(form.text("label1"), "");
  EXPECT_FALSE(form.set_text("label1", "x"));
}

TEST_F(FormsTest, WorkerThreadCallsRunOnTheUiThread) {
  forms::Form form(sample_layout());
  ASSERT_TRUE(form.load());
  std::atomic<bool> done = false;
  std::thread worker([&] {
    for (int percent : {40, 81, 100}) {
      form.set_position("progress1", percent);
      form.set_text("label1", g("Quenbo资源社区1.8.exe  已更新") + std::to_string(form.position("progress1")) + "%");
    }
    form.set_text("button1", g("启动"));
    forms::message_box(g("读文件出错!"), g("信息："));
    done = true;
  });
  EXPECT_TRUE(pump_until([&] { return done.load(); }));
  worker.join();
  EXPECT_EQ(form.text("label1"), g("Quenbo资源社区1.8.exe  已更新100%"));
  EXPECT_EQ(form.position("progress1"), 100);
  EXPECT_EQ(form.text("button1"), g("启动"));
  ASSERT_EQ(forms::testing::message_boxes().size(), 1u);
  EXPECT_EQ(forms::testing::message_boxes()[0].text, g("读文件出错!"));
}

TEST_F(FormsTest, DestroyHandlerRunsOnceWhenClosedButNotWhenTheProgramDropsTheForm) {
  int destroyed = 0;
  {
    forms::Form form(sample_layout());
    form.on_destroy([&] { ++destroyed; });
    ASSERT_TRUE(form.load());
    window::send(form.handle(), window::WM_CLOSE);  // the user closes the window
    EXPECT_FALSE(form.exists());
    EXPECT_FALSE(form.destroy());
  }
  EXPECT_EQ(destroyed, 1);
  {
    forms::Form form(sample_layout());
    form.on_destroy([&] { ++destroyed; });
    ASSERT_TRUE(form.load());
  }
  EXPECT_EQ(destroyed, 1);
}

TEST_F(FormsTest, TimersTickAndModalRunEndsWithTheWindow) {
  forms::Form form(sample_layout());
  int ticks = 0;
  bool visible_while_modal = false;
  bool other_windows_blocked = false;
  form.on_create([&] { form.set_timer_interval("clock1", 10); });
  form.on_timer("clock1", [&] {
    visible_while_modal = form.is_visible();
    other_windows_blocked = QGuiApplication::modalWindow() != nullptr;
    if (++ticks == 3) form.destroy();
  });
  EXPECT_FALSE(form.set_timer_interval("no-such-timer", 10));
  ASSERT_TRUE(form.run_modal());
  EXPECT_EQ(ticks, 3);
  EXPECT_TRUE(visible_while_modal);
  EXPECT_TRUE(other_windows_blocked);
  EXPECT_FALSE(form.exists());
  EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
}

TEST_F(FormsTest, HostCanTakeTheWindowOver) {
  forms::Form form(sample_layout());
  int ticks = 0;
  form.on_timer("clock1", [&] { ++ticks; });
  ASSERT_TRUE(form.load());
  // A host subclasses the procedure and drops the frame; the form's handlers keep working.
  window::procedure previous = window::set_procedure(form.handle(), {});
  ASSERT_TRUE(previous);
  window::set_procedure(form.handle(), [previous](window::handle h, unsigned m, window::wparam w, window::lparam l) {
    if (m == window::WM_NCCALCSIZE && w == 1) return window::result{1};
    return window::call_procedure(previous, h, m, w, l);
  });
  window::set_style(form.handle(), window::GWL_STYLE, 0);
  EXPECT_FALSE(window::has_frame(form.handle()));
  form.set_timer_interval("clock1", 10);
  EXPECT_TRUE(pump_until([&] { return ticks > 0; }));
}

TEST_F(FormsTest, MenuReportsTheChosenItemAndRunsItsHandler) {
  forms::Form form(sample_layout());
  int copied = 0;
  form.on_menu(2, [&] { ++copied; });
  ASSERT_TRUE(form.load());
  forms::testing::queue_menu_choice(2);
  EXPECT_EQ(form.popup_menu(g("操作")), 2);
  EXPECT_EQ(form.popup_menu(g("操作")), 0);  // nothing queued: dismissed
  forms::testing::queue_menu_choice(99);      // not an item of the menu
  EXPECT_EQ(form.popup_menu(g("操作")), 0);
  EXPECT_EQ(form.popup_menu(g("没有")), 0);
  EXPECT_EQ(copied, 1);
  const auto shown = forms::testing::menus_shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].name, g("操作"));
  EXPECT_EQ(shown[0].captions, (std::vector<std::string>{g("打开"), g("复制地址")}));
}

TEST_F(FormsTest, MessageBoxesAreRecordedWithTitleTextAndIcon) {
  forms::message_box(g("转账成功\r\n温馨提示：Quenbo币以后将支持商城物品购买啦！敬请期待"), g("信息："));
  forms::message_box(g("请认真填写要发布的资源"), g("信息："), forms::MessageIcon::information);
  const auto boxes = forms::testing::message_boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].title, g("信息："));
  EXPECT_EQ(boxes[0].text, g("转账成功\r\n温馨提示：Quenbo币以后将支持商城物品购买啦！敬请期待"));
  EXPECT_EQ(boxes[0].icon, forms::MessageIcon::none);
  EXPECT_EQ(boxes[1].icon, forms::MessageIcon::information);
}

TEST_F(FormsTest, RealMessageBoxHasOneOkButtonAndLineBreaks) {
  forms::testing::intercept_message_boxes(false);
  QString shown_text;
  int buttons = 0;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QTimer::singleShot(50, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    shown_text = box->text();
    buttons = static_cast<int>(box->buttons().size());
    icon = box->icon();
    box->accept();
  });
  EXPECT_TRUE(forms::message_box(g("投稿成功，进入官方审核\r\n审核时间为12小时内！"), g("信息："),
                                 forms::MessageIcon::information));
  EXPECT_EQ(shown_text, QStringLiteral("投稿成功，进入官方审核\n审核时间为12小时内！"));
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(icon, QMessageBox::Information);
}

// Ex_PopupMenu and Ex_MenuItem: size and placement, commands by mouse and mnemonic, disabled
// items, Esc, sub-menus on hover, and the shared edit menu.
#include "dui/controls/popup_menu.h"

#include "controls_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

namespace pw = platform::window;
namespace pt = platform::testing;
namespace gfx = platform::gfx;
using dui_test::Script;

// Both menu windows at their screen places over a plain backdrop, saved for a person to look at.
void save_menu_screenshot(pw::handle menu, pw::handle sub) {
  const pw::rect a = pw::window_rect(menu);
  const pw::rect b = pw::window_rect(sub);
  const int left = std::min(a.left, b.left) - 20;
  const int top = std::min(a.top, b.top) - 20;
  gfx::Bitmap canvas(std::max(a.right, b.right) - left + 20, std::max(a.bottom, b.bottom) - top + 20);
  gfx::Graphics g(canvas);
  g.fill_rect(gfx::Brush::linear({0, 0, float(canvas.width()), float(canvas.height())}, 0xFF5B8DB8, 0xFF2F5E8C,
                                 gfx::LinearMode::vertical),
              {0, 0, float(canvas.width()), float(canvas.height())});
  for (pw::handle w : {menu, sub}) {
    const pw::pixel_image shot = pt::grab(w);
    const gfx::Bitmap picture =
        gfx::Bitmap::from_premultiplied({shot.pixels.data(), shot.width, shot.height, shot.width * 4});
    const pw::rect r = pw::window_rect(w);
    g.draw_image(picture, float(r.left - left), float(r.top - top));
  }
  const char* folder = std::getenv("QUENBO_TEST_ARTIFACTS");
  canvas.save_png(std::string(folder != nullptr ? folder : ".") + "/popup_menu_with_submenu.png");
}

class PopupMenuTest : public dui_test::ControlsFixture {
 protected:
  void SetUp() override {
    ControlsFixture::SetUp();
    pt::use_manual_clock(false);
    pt::set_work_area(pw::rect{0, 0, 1000, 700});
    dui::framework_options_with_edit_menu(edit_menu).fill_edit_menu(dui::edit_menu_items());
    make_host();
    target = probe(window, {10, 10, 200, 200});
    host->set_message_hook([this](pw::handle, unsigned message, dui::WParam wparam, dui::LParam lparam) -> dui::LResult {
      if (message == pw::WM_COMMAND) commands.push_back({int(wparam), lparam});
      return -1;
    });
  }

  // Puts the mouse over the owner at a client point.
  pw::point mouse_at(int x, int y) {
    pt::mouse_move(window, {x, y});
    return pw::client_to_screen(window, {x, y});
  }

  // Opens `menu` at the mouse; `act` runs inside its loop once the root menu is up.
  void open(dui::Ex_PopupMenu& menu, std::function<void(pw::handle root)> act, std::optional<int> x = std::nullopt,
            std::optional<int> y = std::nullopt) {
    root = 0;
    menu.set_on_open([this](pw::handle w, int is_root) {
      if (is_root) root = w;
    });
    Script script;
    std::function<void()> when_shown = [&] {
      if (root == 0 || !pw::is_visible(root)) {
        script.then(when_shown);
        return;
      }
      act(root);
    };
    script.then(when_shown);
    menu.popup(window, x, y);
  }

  // Client point of an item's centre in its menu window.
  static pw::point item_centre(pw::handle menu_window, int position) {
    int i = 0;
    for (dui::Ex_Control* c : dui_test::controls_of(menu_window)) {
      if (++i == position) return {c->left() + c->width() / 2, c->top() + c->height() / 2};
    }
    return {};
  }

  struct Command {
    int id;
    dui::LParam control;
    bool operator==(const Command&) const = default;
  };
  dui::Ex_PopupMenu edit_menu;
  std::unique_ptr<dui_test::ProbeControl> target;
  std::vector<Command> commands;
  pw::handle root = 0;
};

TEST_F(PopupMenuTest, EditMenuOpensAtTheMouseSizedByItsCaptions) {
  const pw::point cursor = mouse_at(50, 60);
  gfx::Bitmap surface(1, 1);
  gfx::Graphics g(surface);
  float widest = 0;
  for (const dui::EditMenuItem& item : dui::edit_menu_items()) {
    widest = std::max(widest, g.measure_string(item.text, dui::default_font(), {}, {gfx::format_no_wrap}).bounds.width);
  }
  pw::rect shown;
  open(edit_menu, [&](pw::handle menu) {
    shown = pw::window_rect(menu);
    EXPECT_EQ(dui_test::controls_of(menu).size(), 5u);
    EXPECT_EQ(target->host()->focus(), target.get());  // the control under the mouse
    pt::key_down(menu, pw::VK_ESCAPE);
  });
  EXPECT_EQ(shown.left, cursor.x);
  EXPECT_EQ(shown.top, cursor.y);
  EXPECT_EQ(shown.height(), 107);
  EXPECT_EQ(shown.width(), int(std::ceil(widest)) + 50);
  EXPECT_FALSE(pw::exists(root));
  EXPECT_TRUE(commands.empty());
}

TEST_F(PopupMenuTest, FixedWidthBelowFiftyOpensFiftyWideAtTheGivenPoint) {
  edit_menu.set_width(30);
  pw::rect shown;
  open(
      edit_menu,
      [&](pw::handle menu) {
        shown = pw::window_rect(menu);
        pw::post(menu, pw::WM_CLOSE);
      },
      50, 60);
  EXPECT_EQ(shown, (pw::rect{50, 60, 100, 167}));
}

TEST_F(PopupMenuTest, NearTheWorkAreaEdgesTheMenuOpensLeftAndUp) {
  pt::set_work_area(pw::rect{0, 0, 400, 300});
  edit_menu.set_width(100);
  struct Case {
    int x, y;
    bool left, up;
  };
  for (Case c : {Case{20, 20, false, false}, Case{338, 20, true, false}, Case{20, 240, false, true}}) {
    const pw::point cursor = mouse_at(c.x, c.y);
    pw::rect shown;
    open(edit_menu, [&](pw::handle menu) {
      shown = pw::window_rect(menu);
      pw::post(menu, pw::WM_CLOSE);
    });
    EXPECT_EQ(shown.left, c.left ? cursor.x - 100 : cursor.x) << c.x << "," << c.y;
    EXPECT_EQ(shown.top, c.up ? cursor.y - 107 + 5 : cursor.y) << c.x << "," << c.y;
  }
}

TEST_F(PopupMenuTest, CopyIsSentToTheOwnerWithTheControlUnderTheMouse) {
  struct Case {
    const char* how;
    std::function<void(pw::handle)> choose;
  };
  const Case cases[] = {
      {"click", [](pw::handle menu) { pt::click(menu, item_centre(menu, 2)); }},
      {"mnemonic", [](pw::handle menu) { pt::key_down(menu, 'C'); }},
  };
  for (const Case& c : cases) {
    commands.clear();
    mouse_at(60, 60);
    open(edit_menu, c.choose);
    EXPECT_EQ(commands, (std::vector<Command>{{67, dui_test::ref(target.get())}})) << c.how;
    EXPECT_FALSE(pw::exists(root)) << c.how;
  }
}

TEST_F(PopupMenuTest, DisabledItemDoesNotHighlightOrChoose) {
  edit_menu.item_state(2, dui::menu_item_state::disabled);
  mouse_at(60, 60);
  open(edit_menu, [&](pw::handle menu) {
    const pw::point p = item_centre(menu, 2);
    pt::mouse_move(menu, p);
    EXPECT_EQ(dui::host_of(menu)->hot(), nullptr);
    pt::click(menu, p);
    pt::key_down(menu, 'C');
    EXPECT_TRUE(pw::is_visible(menu));
    pt::key_down(menu, pw::VK_ESCAPE);
  });
  EXPECT_TRUE(commands.empty());
}

TEST_F(PopupMenuTest, ActivatingAWindowOutsideTheChainClosesIt) {
  mouse_at(60, 60);
  open(edit_menu, [this](pw::handle) { pw::set_active(window); });
  EXPECT_FALSE(pw::exists(root));
  EXPECT_TRUE(commands.empty());
}

TEST_F(PopupMenuTest, RoutineItemsAreCalledAndInvalidPositionsChangeNothing) {
  dui::Ex_PopupMenu menu;
  int called = 0;
  dui::MenuItemOptions run;
  run.routine = [&] { ++called; };
  menu.add_item("运行(&R)", run);
  menu.add_item("无动作");  // a routine item without routine does nothing
  EXPECT_FALSE(menu.remove_item(3));
  EXPECT_EQ(menu.item_state(0, 4), 0);
  EXPECT_EQ(menu.item_text(9), "");
  EXPECT_EQ(menu.item_text(1), "运行(&R)");
  mouse_at(60, 60);
  open(menu, [](pw::handle m) { pt::click(m, item_centre(m, 2)); });
  open(menu, [](pw::handle m) { pt::key_down(m, 'R'); });
  EXPECT_EQ(called, 1);
  EXPECT_TRUE(commands.empty());
}

TEST_F(PopupMenuTest, SubMenuOpensAfterHalfASecondBesideItsItem) {
  pt::use_manual_clock(true);
  dui::Ex_PopupMenu sub;
  sub.add_item("资源链接");
  dui::MenuItemOptions checked;
  checked.state = dui::menu_item_state::checked;
  sub.add_item("资源标题", checked);
  dui::Ex_PopupMenu menu;
  dui::MenuItemOptions opens;
  opens.type = dui::menu_item_type::submenu;
  opens.submenu = &sub;
  menu.add_item("打开(&O)");
  menu.add_item("复制到剪贴板", opens);
  dui::MenuItemOptions separator;
  separator.type = dui::menu_item_type::separator;
  menu.add_item("", separator);
  menu.add_item("属性");
  pw::handle sub_window = 0;
  sub.set_on_open([&](pw::handle w, int is_root) {
    EXPECT_EQ(is_root, 0);
    sub_window = w;
  });
  mouse_at(60, 60);
  open(menu, [&](pw::handle menu_window) {
    pt::mouse_move(menu_window, item_centre(menu_window, 2));
    pt::advance_clock(499);
    EXPECT_EQ(sub_window, 0u);
    // The sub-menu runs its own loop from here; the steps below run inside it.
    Script inside;
    std::function<void()> check_sub = [&] {
      if (sub_window == 0 || pw::get_active() != sub_window) {
        inside.then(check_sub);
        return;
      }
      const pw::rect parent = pw::window_rect(menu_window);
      const pw::rect opened = pw::window_rect(sub_window);
      EXPECT_EQ(opened.left, parent.right - 10);
      EXPECT_EQ(opened.top, parent.top + 30 - 7);
      EXPECT_EQ(pw::get_property(menu_window, "Ex_DirectUI_Sub"), static_cast<pw::lparam>(sub_window));
      pw::pump();
      save_menu_screenshot(menu_window, sub_window);
      pt::key_down(sub_window, pw::VK_ESCAPE);
    };
    inside.then(check_sub);
    pt::advance_clock(1);
    EXPECT_NE(sub_window, 0u);
    EXPECT_FALSE(pw::exists(sub_window));
    EXPECT_TRUE(pw::exists(menu_window));
    pw::post(menu_window, pw::WM_CLOSE);
  });
  EXPECT_FALSE(pw::exists(root));
}

}  // namespace

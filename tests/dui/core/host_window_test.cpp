// The host window: mouse routing, caption layout, window sizes, border zones, keyboard and
// focus.
#include "host_fixture.h"

namespace dui_test {
namespace {

using dui::Ex_Control;
namespace pt = platform::testing;

class HostWindowTest : public HostFixture {};

// Caption parts made of probe controls, as the controls layer will make real ones.
dui::CaptionParts probe_caption_parts() {
  dui::CaptionParts parts;
  parts.make_button = [](dui::Ex_Window& host, int bit) -> std::unique_ptr<Ex_Control> {
    auto button = std::make_unique<ProbeControl>(0xFF808080);
    const float width = bit == dui::feature::close_button ? 39.0f : 28.0f;
    button->create(host.window(), {0, 0, width, 19}, dui::kind::caption_button);
    return button;
  };
  parts.make_icon = [](dui::Ex_Window& host) -> std::unique_ptr<Ex_Control> {
    auto icon = std::make_unique<ProbeControl>(0xFF2060C0);
    dui::ControlOptions options;
    options.focusable = 0;
    icon->create(host.window(), {11, 11, 16, 16}, dui::kind::picture, options);
    return icon;
  };
  parts.make_title = [](dui::Ex_Window& host, const std::string& title) -> std::unique_ptr<Ex_Control> {
    auto label = std::make_unique<ProbeControl>(0x00000000);
    label->create(host.window(), {0, 9, 10, 18}, dui::kind::label);
    label->tag(title);
    return label;
  };
  parts.set_title = [](Ex_Control& title, const std::string& text) { title.tag(text); };
  return parts;
}

TEST_F(HostWindowTest, PressAndReleaseOnOneControlClicksIt) {
  make_host();
  auto a = probe(window, {20, 20, 50, 50});
  int clicks = 0;
  host->set_on_click([&](dui::WindowHandle, Ex_Control* c, dui::WParam, dui::LParam, int kind) {
    EXPECT_EQ(c, a.get());
    EXPECT_EQ(kind, 2);
    ++clicks;
  });
  pt::mouse_move(window, {30, 30});
  pt::click(window, {30, 30});
  pump();
  EXPECT_EQ(a->codes({513, 514, dui::event::click}), (std::vector<int>{513, 514, dui::event::click}));
  EXPECT_EQ(a->last(514)->wparam, wref(a.get()));
  EXPECT_EQ(a->last(dui::event::click)->wparam, wref(a.get()));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(host->button_down(), 0);
  EXPECT_EQ(host->pressed(), nullptr);
  EXPECT_EQ(host->focus(), a.get());
}

TEST_F(HostWindowTest, ReleasingOverAnotherControlMovesHoverInsteadOfClicking) {
  make_host();
  auto a = probe(window, {20, 20, 50, 50});
  auto b = probe(window, {100, 20, 50, 50});
  pt::mouse_move(window, {30, 30});
  pt::mouse_down(window, {30, 30});
  pt::mouse_move(window, {110, 30});
  pump();
  EXPECT_EQ(a->last(512)->wparam, wref(a.get()));  // moves go to the pressed control
  EXPECT_EQ(b->count(dui::event::mouse_enter), 0);
  pt::mouse_up(window, {110, 30});
  pump();
  EXPECT_EQ(a->count(dui::event::click), 0);
  EXPECT_EQ(a->last(dui::event::mouse_leave)->lparam, ref(b.get()));
  EXPECT_EQ(b->last(dui::event::mouse_enter)->lparam, ref(a.get()));
  EXPECT_EQ(host->hot(), b.get());
}

TEST_F(HostWindowTest, DoubleClickArrivesAsPressWithMark) {
  make_host();
  auto a = probe(window, {20, 20, 50, 50});
  int double_clicks = 0;
  host->set_on_double_click([&](dui::WindowHandle, Ex_Control*, dui::WParam, dui::LParam, int) { ++double_clicks; });
  pt::mouse_move(window, {30, 30});
  pt::click(window, {30, 30});
  pt::mouse_double_click(window, {30, 30});
  pt::mouse_up(window, {30, 30});
  pump();
  std::vector<dui::WParam> presses;
  for (const SeenEvent& e : a->seen) {
    if (e.code == 513) presses.push_back(e.wparam);
  }
  ASSERT_EQ(presses.size(), 2u);
  EXPECT_NE(presses[0], dui::event::double_click_mark);
  EXPECT_EQ(presses[1], dui::event::double_click_mark);
  EXPECT_EQ(double_clicks, 1);
}

TEST_F(HostWindowTest, LeavingTheWindowClearsHover) {
  make_host();
  auto a = probe(window, {20, 20, 50, 50});
  int leaves = 0;
  host->set_on_mouse_leave([&](dui::WindowHandle, Ex_Control*, dui::WParam, dui::LParam, int) { ++leaves; });
  pt::mouse_move(window, {30, 30});
  pump();
  EXPECT_EQ(host->hot(), a.get());
  pt::mouse_leave(window);
  pump();
  EXPECT_EQ(host->hot(), nullptr);
  EXPECT_EQ(a->count(dui::event::mouse_leave), 1);
  EXPECT_EQ(leaves, 1);
}

TEST_F(HostWindowTest, CaptionLayoutAndMinimumSize) {
  dui::set_caption_parts(probe_caption_parts());
  dui::HostOptions options;
  options.features = 23;  // icon, title, close, minimise
  make_host(600, 400, options);
  ASSERT_EQ(host->caption_buttons().size(), 2u);
  const dui::RectF close = host->caption_buttons()[0]->bounds();
  const dui::RectF minimise = host->caption_buttons()[1]->bounds();
  EXPECT_EQ(close.x, 555);
  EXPECT_EQ(close.y, 7);
  EXPECT_EQ(close.width, 39);
  EXPECT_EQ(minimise.x, 527);
  EXPECT_EQ(minimise.y, 7);
  const dui::RectF title = host->title_label()->bounds();
  EXPECT_EQ(title.x, 28);
  EXPECT_EQ(title.x + title.width, 527);
  EXPECT_EQ(title.y, 10);
  EXPECT_EQ(title.height, 20);
  EXPECT_EQ(host->icon_picture()->bounds().x, 11);

  pw::min_max_info info{};
  pw::send(window, pw::WM_GETMINMAXINFO, 0, reinterpret_cast<pw::lparam>(&info));
  EXPECT_EQ(info.min_track_size, (pw::point{103, 38}));

  pw::set_text(window, "new title");
  EXPECT_EQ(host->title_label()->tag(), "new title");
}

TEST_F(HostWindowTest, DoubleClickOnTheCaptionAreaTogglesMaximised) {
  dui::HostOptions options;
  options.features = dui::feature::maximize_button;
  options.drag_anywhere = 0;
  make_host(400, 300, options);
  std::vector<pw::wparam> commands;
  host->set_message_hook([&](dui::WindowHandle, unsigned message, dui::WParam wparam, dui::LParam) -> dui::LResult {
    if (message == pw::WM_SYSCOMMAND) {
      commands.push_back(wparam);
      return 0;
    }
    return message == pw::WM_NCLBUTTONDOWN ? 0 : -1;
  });
  for (int y : {60, 20}) {  // below the caption area: nothing; within the top 30 pixels: maximise
    pt::click(window, {100, y});
    pt::mouse_double_click(window, {100, y});
    pt::mouse_up(window, {100, y});
    pump();
  }
  EXPECT_EQ(commands, (std::vector<pw::wparam>{pw::SC_MAXIMIZE}));
}

TEST_F(HostWindowTest, MaximisedSizeCoversTheWorkAreaPlusTheFrame) {
  pt::set_work_area(pw::rect{0, 0, 1920, 1040});
  make_host();
  pw::min_max_info info{};
  pw::send(window, pw::WM_GETMINMAXINFO, 0, reinterpret_cast<pw::lparam>(&info));
  EXPECT_EQ(info.max_size, (pw::point{1934, 1054}));
  EXPECT_EQ(info.max_position, (pw::point{-7, -7}));
}

TEST_F(HostWindowTest, BordersResizeAResizableWindow) {
  dui::HostOptions options;
  options.resizable = 1;
  make_host(400, 300, options);
  auto a = probe(window, {0, 50, 100, 100});
  std::vector<pw::wparam> commands;
  host->set_message_hook([&](dui::WindowHandle, unsigned message, dui::WParam wparam, dui::LParam) -> dui::LResult {
    if (message != pw::WM_SYSCOMMAND) return -1;
    commands.push_back(wparam);
    return 0;
  });
  // Sent straight to the window: the outermost pixels lie outside the window's rounded region,
  // where a real mouse would not reach it.
  auto send_mouse = [&](unsigned message, pw::point at) {
    pw::send(window, message, message == pw::WM_LBUTTONDOWN ? pw::MK_LBUTTON : 0, pw::make_lparam(at.x, at.y));
  };
  struct Case {
    pw::point at;
    int cursor;
  };
  for (const Case& c : {Case{{5, 100}, pw::IDC_SIZEWE}, Case{{200, 3}, pw::IDC_SIZENS}, Case{{395, 295}, pw::IDC_SIZENWSE},
                        Case{{395, 3}, pw::IDC_SIZENESW}}) {
    send_mouse(pw::WM_MOUSEMOVE, c.at);
    EXPECT_EQ(pw::get_cursor(), pw::load_cursor(c.cursor)) << c.at.x << "," << c.at.y;
    EXPECT_EQ(host->hot(), nullptr);
  }
  send_mouse(pw::WM_LBUTTONDOWN, {5, 100});
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0], pw::SC_SIZE + pw::WMSZ_LEFT);
  EXPECT_EQ(a->count(513), 0);

  send_mouse(pw::WM_MOUSEMOVE, {8, 100});  // no zone: the control gets the mouse
  EXPECT_EQ(host->hot(), a.get());
  EXPECT_EQ(a->count(512), 1);
}

TEST_F(HostWindowTest, TabWithoutFocusStartsAtTheSecondControl) {
  make_host();
  auto first = probe(window, {0, 0, 10, 10});
  auto caption = probe(window, {20, 0, 10, 10}, 0xFF000000, {}, dui::kind::caption_button);
  auto second = probe(window, {40, 0, 10, 10});
  auto disabled = probe(window, {60, 0, 10, 10});
  auto third = probe(window, {80, 0, 10, 10});
  disabled->disabled(1);
  std::vector<Ex_Control*> order;
  for (int i = 0; i < 3; ++i) {
    pt::key_down(window, pw::VK_TAB);
    pt::key_up(window, pw::VK_TAB);
    pump();
    order.push_back(host->focus());
  }
  EXPECT_EQ(order, (std::vector<Ex_Control*>{second.get(), third.get(), first.get()}));
  EXPECT_EQ(host->keyboard_focus(), first.get());
  EXPECT_EQ(first->last(dui::event::focus_gained)->lparam, ref(third.get()));
  EXPECT_EQ(third->last(dui::event::focus_lost)->lparam, ref(first.get()));
}

TEST_F(HostWindowTest, EnterAndSpaceClickTheFocusedControl) {
  make_host();
  auto a = probe(window, {0, 0, 10, 10});
  auto b = probe(window, {20, 0, 10, 10});
  host->set_focus(b.get(), false);
  for (int key : {pw::VK_RETURN, pw::VK_SPACE}) {
    pt::key_down(window, key);
    pt::key_up(window, key);
  }
  pump();
  EXPECT_EQ(b->count(dui::event::click), 2);

  b->answers[pw::WM_KEYDOWN] = 1;  // a control that handles its keys itself
  pt::key_down(window, pw::VK_RETURN);
  pt::key_down(window, pw::VK_TAB);
  pump();
  EXPECT_EQ(b->count(dui::event::click), 2);
  EXPECT_EQ(host->focus(), b.get());
}

TEST_F(HostWindowTest, MnemonicsSkipHiddenControls) {
  make_host();
  auto hidden = probe(window, {0, 0, 10, 10});
  auto shown = probe(window, {20, 0, 10, 10});
  pw::send(window, dui::host_message::register_mnemonic, wref(hidden.get()), 'S');
  pw::send(window, dui::host_message::register_mnemonic, wref(shown.get()), 'S');
  hidden->visible(0);
  pt::alt_key(window, 's');
  pump();
  EXPECT_EQ(hidden->count(dui::event::click), 0);
  EXPECT_EQ(shown->count(dui::event::click), 1);

  pw::send(window, dui::host_message::register_mnemonic, wref(shown.get()), 0);
  hidden->destroy();  // its mnemonic goes with it
  pt::alt_key(window, 's');
  pump();
  EXPECT_EQ(shown->count(dui::event::click), 1);
}

TEST_F(HostWindowTest, TimersAndTooltipsFollowTheirControls) {
  make_host();
  auto a = probe(window, {20, 20, 50, 50});
  a->tooltip(std::string("tip"), true);
  EXPECT_EQ(host->tooltip_text(), "tip");
  pw::set_timer(window, wref(a.get()), 5);
  pw::send(window, pw::WM_TIMER, wref(a.get()), 0);
  EXPECT_EQ(a->last(dui::event::timer)->wparam, wref(a.get()));
  a->destroy();
  EXPECT_EQ(host->tooltip_text(), "");
  pw::send(window, pw::WM_TIMER, wref(a.get()), 0);  // a stale id reaches nobody
  SUCCEED();
}

TEST_F(HostWindowTest, CreateRefusesNullHostedOrDeadWindows) {
  make_host();
  dui::Ex_Window other;
  EXPECT_FALSE(other.create(0));
  EXPECT_FALSE(other.create(window));  // already hosted
  EXPECT_FALSE(host->create(window));
  pw::create_params params;
  params.class_name = "HostTestWindow";
  const pw::handle dead = pw::create(params);
  pw::destroy(dead);
  EXPECT_FALSE(other.create(dead));
}

TEST_F(HostWindowTest, DestroyingTheWindowReleasesTheControls) {
  make_host();
  auto a = probe(window, {20, 20, 50, 50});
  pw::destroy(window);
  window = 0;
  EXPECT_FALSE(a->is_live());
  EXPECT_EQ(a->count(dui::event::destroy), 1);
  EXPECT_EQ(host->window(), 0u);
}

}  // namespace
}  // namespace dui_test

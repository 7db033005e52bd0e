// The text control: defaults, properties, painting by state, transitions, mnemonics and the
// string format wrapper.
#include "dui/core/text_control.h"

#include "dui/core/framework.h"
#include "host_fixture.h"

#include <cmath>
#include <cstdlib>

namespace dui_test {
namespace {

using dui::Ex_TextControl;
using dui::RectF;
namespace pt = platform::testing;

// A text control that records what its hooks see; the background can be left out so that only
// the picture and caption are painted.
class RecordingButton : public Ex_TextControl {
 public:
  ~RecordingButton() override { destroy(); }

  int paint_background(dui::PaintContext&, int state) override {
    ++paints;
    last_state = state;
    return skip_background ? 1 : 0;
  }
  int paint_content(dui::PaintContext&, int, RectF& caption, RectF& picture) override {
    caption_rect = caption;
    picture_rect = picture;
    return hide_focus_cue ? 1 : 0;
  }
  int filter_event(int code, dui::WParam, dui::LParam) override {
    auto answer = answers.find(code);
    return answer != answers.end() ? answer->second : -1;
  }

  bool skip_background = false;
  bool hide_focus_cue = false;
  int paints = 0;
  int last_state = -2;
  RectF caption_rect, picture_rect;
  std::map<int, int> answers;
};

class TextControlTest : public HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    dui::init_framework();
  }

  std::unique_ptr<RecordingButton> button(dui::ControlParent parent, RectF r, dui::TextControlOptions options = {}) {
    auto b = std::make_unique<RecordingButton>();
    EXPECT_NE(b->create(parent, int(r.x), int(r.y), int(r.width), int(r.height), options), nullptr);
    return b;
  }

  static std::string png(int w, int h, gfx::Argb colour) {
    gfx::Bitmap b(w, h);
    b.fill(colour);
    return b.encode_png();
  }
};

// Painted pixels of a bitmap that are not transparent, as a list of (x, y, colour).
struct Painted {
  int x, y;
  gfx::Argb colour;
  bool operator==(const Painted&) const = default;
};
std::vector<Painted> painted(const gfx::Bitmap& b, int dx = 0, int dy = 0) {
  std::vector<Painted> out;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x)
      if (gfx::alpha_of(b.pixel(x, y)) != 0) out.push_back({x + dx, y + dy, b.pixel(x, y)});
  return out;
}

TEST_F(TextControlTest, CreateTakesTheDefaults) {
  make_host();
  auto top = button(window, {10, 10, 80, 24}, {.text = "确定"});
  EXPECT_EQ(top->kind(), dui::kind::text_control);
  EXPECT_EQ(top->focusable(), 1);
  EXPECT_EQ(top->animation_interval(), 60);
  EXPECT_EQ(top->animation_frames(), 0);
  EXPECT_EQ(top->state(), dui::text_state::normal);
  EXPECT_EQ(top->text(), "确定");
  EXPECT_EQ(top->text_utf16(), u"确定");
  EXPECT_EQ(top->text_colour(), 0xD2000000u);
  EXPECT_EQ(top->text_effect(), 0);
  EXPECT_EQ(top->effect_colour(), 0u);
  EXPECT_EQ(top->round_corners(), host->corner_radius());
  EXPECT_EQ(top->font().impl(), dui::default_font().impl());
  const dui::NativeStringFormat format = top->string_format();
  ASSERT_NE(format, nullptr);
  EXPECT_EQ(format->flags, gfx::format_no_wrap);
  EXPECT_EQ(format->trimming, gfx::Trimming::none);
  EXPECT_EQ(format->hotkey_prefix, gfx::HotkeyPrefix::show);
  EXPECT_GE(top->paints, 1);

  auto child = button(top.get(), {12, 12, 20, 20});
  EXPECT_EQ(child->round_corners(), 0);

  auto styled = button(window, {10, 40, 80, 24}, {.font_size = 16, .font_style = gfx::font_bold});
  EXPECT_EQ(styled->font_name(), dui::default_font().family());
  EXPECT_EQ(styled->font_size(), 16);
  EXPECT_EQ(styled->font_style(), gfx::font_bold);
}

TEST_F(TextControlTest, FontOperationsReplaceTheFontAndFallBack) {
  make_host();
  auto b = button(window, {10, 10, 80, 24}, {.font_name = "没有这种字体"});
  EXPECT_EQ(b->font_name(), dui::default_font().family());
  EXPECT_EQ(b->font_size(12.5f), 12);
  EXPECT_EQ(b->font_style(gfx::font_italic | gfx::font_underline), gfx::font_italic | gfx::font_underline);
  EXPECT_EQ(b->font_size(), 12);
  EXPECT_EQ(b->font_name("微软雅黑"), "微软雅黑");
  EXPECT_EQ(b->font_style(), gfx::font_italic | gfx::font_underline);

  b->font(dui::default_font());
  b->font_size(14);  // replaces the shared default font: it must stay usable
  EXPECT_FALSE(dui::default_font().is_null());
  EXPECT_FLOAT_EQ(dui::default_font().size(), 12.0f);
}

TEST_F(TextControlTest, PropertiesRepaintOnlyWhenTheCaptionChanges) {
  make_host();
  auto b = button(window, {10, 10, 80, 24}, {.text = "A"});
  const int before = b->paints;
  EXPECT_EQ(b->text("A"), "A");
  EXPECT_EQ(b->paints, before);
  EXPECT_EQ(b->text("B"), "B");
  EXPECT_EQ(b->paints, before + 1);
  EXPECT_EQ(b->text_colour(0xFF112233), 0xFF112233u);
  EXPECT_EQ(b->image_position(3), 3);
  EXPECT_EQ(b->image_gap(5), 5);
  EXPECT_EQ(b->content_offset_x(2), 2);
  EXPECT_EQ(b->content_offset_y(1), 1);
  EXPECT_EQ(b->paints, before + 6);
  EXPECT_EQ(b->image_gap(), 5);
  EXPECT_EQ(b->paints, before + 6);
}

TEST_F(TextControlTest, MnemonicComesFromTheCharacterAfterTheAmpersand) {
  make_host();
  auto plain = button(window, {10, 10, 60, 24}, {.text = "AB"});
  auto marked = button(window, {80, 10, 60, 24}, {.text = "A&B"});
  int clicks = 0;
  marked->bind_event(dui::event::click, [&](dui::Ex_Control*, int, dui::WParam, dui::LParam) { ++clicks; });
  pt::alt_key(window, 'b');
  pump();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(plain->register_hotkey("AB"), 1);  // code 0: registered as "none"
  pt::alt_key(window, 'a');
  pump();
  EXPECT_EQ(clicks, 1);

  marked->text("保存(&S)");
  pt::alt_key(window, 'b');
  pt::alt_key(window, 's');
  pump();
  EXPECT_EQ(clicks, 2);

  Ex_TextControl loose;  // never created: no host to register with
  EXPECT_EQ(loose.register_hotkey("&X"), 0);
}

TEST_F(TextControlTest, PressedContentMovesOnePixelRightAndDown) {
  make_host();
  auto b = button(window, {10, 10, 100, 30}, {.text = "资源Ab"});
  b->skip_background = true;
  b->image(png(8, 8, 0xFF2080FF));
  b->paint(dui::text_state::hover, true);
  const RectF caption = b->caption_rect;
  const RectF picture = b->picture_rect;
  const std::vector<Painted> released = painted(*b->bitmap(), 1, 1);
  b->paint(dui::text_state::pressed, true);
  EXPECT_EQ(b->state(), dui::text_state::pressed);
  EXPECT_EQ(b->caption_rect.x, caption.x + 1);
  EXPECT_EQ(b->caption_rect.y, caption.y + 1);
  EXPECT_EQ(b->picture_rect.x, picture.x + 1);
  EXPECT_EQ(b->picture_rect.y, picture.y + 1);
  ASSERT_GT(released.size(), 60u);
  EXPECT_EQ(painted(*b->bitmap()), released);
}

TEST_F(TextControlTest, PictureAndCaptionFollowTheLayoutMode) {
  make_host();
  auto b = button(window, {10, 10, 100, 30}, {.text = "Ab"});
  b->image(png(16, 16, 0xFF00A000));
  b->image_gap(4);
  b->image_position(0);
  const RectF caption = b->caption_rect;
  EXPECT_EQ(b->picture_rect.width, 16);
  EXPECT_EQ(b->picture_rect.y, 7);
  EXPECT_EQ(caption.x, b->picture_rect.right() + 4);
  EXPECT_EQ(b->bitmap()->pixel(int(b->picture_rect.x) + 8, 15), 0xFF00A000u);

  b->image("not a picture");  // undecodable: no picture, the caption alone is centred
  const float text_width = caption.width - 2;
  EXPECT_NEAR(b->caption_rect.x, std::trunc((100 - (4 + text_width)) / 2) + 4, 1);
  EXPECT_EQ(b->picture_rect.width, 0);
}

TEST_F(TextControlTest, AutoTextColourPicksBlackOrWhiteKeepingTheAlpha) {
  struct Case {
    dui::Colour host_background;
    std::uint8_t expected_channel;
  };
  for (const Case& c : {Case{0xFFFFFF, 0}, Case{0x000000, 255}}) {
    dui::HostOptions options;
    options.background_colour = c.host_background;
    make_host(300, 200, options);
    auto b = button(window, {20, 20, 120, 40}, {.text = "资源", .font_size = 20});
    b->skip_background = true;
    b->auto_text_colour(1);
    int darkest_alpha = 0;
    for (const Painted& p : painted(*b->bitmap())) {
      EXPECT_EQ(gfx::red_of(p.colour), c.expected_channel);
      darkest_alpha = std::max<int>(darkest_alpha, gfx::alpha_of(p.colour));
    }
    EXPECT_NEAR(darkest_alpha, 210, 2);
    b.reset();
    host.reset();
    pw::destroy(window);
    window = 0;
  }
}

TEST_F(TextControlTest, BackgroundBrightnessSamplesNinePointsOfTheSkin) {
  // Skin: black left of x = 200, white from there on.
  gfx::Bitmap skin(400, 300);
  skin.fill(0xFFFFFFFF);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 200; ++x) skin.set_pixel(x, y, 0xFF000000);
  dui::HostOptions options;
  options.skin_image = skin.encode_png();
  options.background_colour = 0xFFFFFF;  // a light colour must not outvote the skin
  make_host(400, 300, options);
  struct Case {
    RectF rect;
    bool dark;
  };
  const Case cases[] = {
      {{20, 20, 100, 40}, true},    // all nine samples black
      {{250, 20, 100, 40}, false},  // all white
      {{50, 20, 200, 40}, true},    // columns at 90 and 150 black, 210 white: six of nine
      {{100, 20, 200, 40}, false},  // column 140 black, 200 and 260 white: three of nine
  };
  for (const Case& c : cases) EXPECT_EQ(dui::background_is_dark(window, c.rect), c.dark) << c.rect.x;

  auto b = button(window, {20, 20, 120, 40}, {.text = "资源", .font_size = 20});
  b->skip_background = true;
  b->auto_text_colour(1);
  const std::vector<Painted> caption = painted(*b->bitmap());
  ASSERT_FALSE(caption.empty());
  for (const Painted& p : caption) EXPECT_EQ(gfx::red_of(p.colour), 255);
}

TEST_F(TextControlTest, RoundCornersLeaveTheCornersTransparent) {
  make_host();
  auto round = button(window, {10, 10, 60, 24}, {.round_corners = 1});
  auto square = button(window, {80, 10, 60, 24}, {.round_corners = 0});
  // Corner pixels keep at most the faint edge of the antialiased border line.
  EXPECT_LT(gfx::alpha_of(round->bitmap()->pixel(0, 0)), 10);
  EXPECT_LT(gfx::alpha_of(round->bitmap()->pixel(59, 22)), 10);
  EXPECT_GT(gfx::alpha_of(round->bitmap()->pixel(30, 12)), 100);
  EXPECT_GT(gfx::alpha_of(square->bitmap()->pixel(0, 0)), 50);
}

TEST_F(TextControlTest, HoverFadesOverFourFramesPressRepaintsAtOnce) {
  pt::use_manual_clock(true);
  make_host();
  auto b = button(window, {20, 20, 80, 30}, {.text = "OK"});
  pt::mouse_move(window, {40, 30});
  pump();
  EXPECT_EQ(b->state(), dui::text_state::hover);
  EXPECT_EQ(b->animation_frames(), 4);
  EXPECT_TRUE(b->transition_running());
  for (int i = 0; i < 4; ++i) pt::advance_clock(60);
  pump();
  EXPECT_FALSE(b->transition_running());
  EXPECT_EQ(b->animation_frames(), 0);

  pt::mouse_down(window, {40, 30});
  pump();
  EXPECT_EQ(b->state(), dui::text_state::pressed);
  EXPECT_FALSE(b->transition_running());
  pt::mouse_up(window, {40, 30});
  pump();
  EXPECT_EQ(b->state(), dui::text_state::hover);

  pt::mouse_move(window, {200, 200});
  pump();
  EXPECT_EQ(b->state(), dui::text_state::normal);
  EXPECT_EQ(b->animation_frames(), 4);
}

TEST_F(TextControlTest, FocusCueOnlyForKeyboardFocus) {
  make_host();
  auto b = button(window, {20, 20, 80, 30});
  b->skip_background = true;
  auto column_two_painted = [&] {
    for (int y = 2; y < 25; ++y)
      if (gfx::alpha_of(b->bitmap()->pixel(2, y)) != 0) return true;
    return false;
  };
  host->set_focus(b.get(), false);
  pump();
  EXPECT_EQ(b->state(), dui::text_state::focused);
  EXPECT_FALSE(column_two_painted());
  auto other = button(window, {120, 20, 80, 30});
  host->set_focus(other.get(), false);
  host->set_focus(b.get(), true);
  pump();
  ASSERT_EQ(host->keyboard_focus(), b.get());
  b->paint(dui::text_state::focused, true);
  EXPECT_TRUE(column_two_painted());
  b->hide_focus_cue = true;
  b->paint(dui::text_state::focused, true);
  EXPECT_FALSE(column_two_painted());
}

TEST_F(TextControlTest, FilterEventAnswersFirst) {
  make_host();
  auto b = button(window, {20, 20, 80, 30});
  b->answers[dui::event::left_down] = 7;
  EXPECT_EQ(dui::fire_event(b.get(), dui::event::left_down, 0, 0), 7);
  EXPECT_EQ(b->state(), dui::text_state::normal);
  EXPECT_EQ(dui::fire_event(b.get(), dui::event::left_up, 0, 0), -1);
  EXPECT_EQ(b->state(), dui::text_state::hover);
}

TEST_F(TextControlTest, DestroyReleasesFormatAndFont) {
  make_host();
  auto b = button(window, {20, 20, 80, 30}, {.font_size = 15});
  const dui::NativeStringFormat format = b->string_format();
  b->destroy();
  EXPECT_EQ(b->string_format(), nullptr);
  EXPECT_TRUE(b->font().is_null());
  EXPECT_EQ(format.use_count(), 1);  // only this test holds it now
}

TEST_F(TextControlTest, DegenerateSizesAndInputsPaintNothingAndDoNotCrash) {
  make_host();
  auto empty = button(window, {10, 10, 0, 0}, {.text = "A"});
  auto negative = button(window, {10, 10, -20, 5}, {.text = "B", .font_size = -3});
  empty->image("garbage");
  empty->paint(dui::text_state::pressed, true);
  negative->text("C&");
  negative->paint(dui::text_state::hover, true);
  EXPECT_EQ(negative->font_size(), 0);  // no font could be made of that size
  auto odd = button(window, {10, 10, 40, 20}, {.text = "D"});
  odd->image_position(42);  // places nothing
  odd->image_gap(-500);
  odd->content_offset_x(100000);
  EXPECT_EQ(odd->text(), "D");
}

// ---- Ex_StringFormat ----

TEST(StringFormat, CreateAndProperties) {
  dui::Ex_StringFormat format;
  EXPECT_EQ(format.alignment(), 0);  // no native format yet
  EXPECT_EQ(format.native(), nullptr);
  ASSERT_TRUE(format.create(0x1800, 0));
  EXPECT_EQ(format.owns_native(), 1);
  EXPECT_EQ(format.flags(), 0x1800);
  EXPECT_EQ(format.alignment(1), 1);
  EXPECT_EQ(format.trimming(3), 3);
  EXPECT_EQ(format.hotkey_prefix(2), 2);
  EXPECT_EQ(format.native()->alignment, gfx::Alignment::centre);
  EXPECT_EQ(format.native()->trimming, gfx::Trimming::ellipsis_character);
  EXPECT_EQ(format.native()->hotkey_prefix, gfx::HotkeyPrefix::hide);
  EXPECT_EQ(format.flags(0x1000), 0x1000);

  dui::Ex_StringFormat copy = format;
  EXPECT_EQ(copy.native(), format.native());
  const dui::NativeStringFormat first = format.native();
  format.create(0, 0);
  EXPECT_NE(format.native(), first);
  format.delete_native();
  EXPECT_EQ(format.native(), nullptr);
  EXPECT_EQ(format.trimming(), 0);
}

// ---- How it looks ----

TEST_F(TextControlTest, LooksInEachState) {
  dui::HostOptions options;
  options.background_colour = 0xB07A3C;  // a calm blue
  make_host(520, 120, options);
  const char* captions[] = {"正常", "悬停", "按下", "焦点", "禁用"};
  const int states[] = {dui::text_state::normal, dui::text_state::hover, dui::text_state::pressed,
                        dui::text_state::focused, dui::text_state::disabled};
  std::vector<std::unique_ptr<RecordingButton>> buttons;
  for (int i = 0; i < 5; ++i) {
    buttons.push_back(button(window, {float(20 + i * 98), 20, 86, 30}, {.text = captions[i]}));
    buttons.back()->paint(states[i], true);
  }
  auto glow = button(window, {20, 70, 130, 30}, {.text = "发光文字", .text_colour = 0xFFFFFFFF, .font_size = 14,
                                                 .text_effect = dui::text_effect::glow});
  glow->skip_background = true;
  glow->repaint();
  auto outline = button(window, {160, 70, 130, 30}, {.text = "描边文字", .text_colour = 0xFFFFFFFF,
                                                     .font_size = 14, .text_effect = dui::text_effect::outline});
  outline->skip_background = true;
  outline->repaint();
  auto pictured = button(window, {300, 70, 200, 30}, {.text = "带图片(&P)"});
  pictured->image(png(14, 14, 0xFF30A050));
  pictured->image_gap(6);
  pump();
  const std::string path = pt::save_window_png(window, "text_control_states");
  EXPECT_FALSE(path.empty());
  // The disabled button is fainter than the normal one.
  EXPECT_LT(gfx::alpha_of(buttons[4]->bitmap()->pixel(5, 15)), gfx::alpha_of(buttons[0]->bitmap()->pixel(5, 15)));
}

}  // namespace
}  // namespace dui_test

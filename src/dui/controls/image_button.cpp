#include "dui/controls/image_button.h"

namespace dui {

namespace gfx = platform::gfx;

namespace {

constexpr float fill_clip_corner = 11;
constexpr float outer_corner = 6;
constexpr float inner_corner = 4;

}  // namespace

const Ex_ImageButton::Look Ex_ImageButton::lit_look = {0x000000, 80, 0xFFFFFF, 81, 0xFFFFFF, 102, 10};
const Ex_ImageButton::Look Ex_ImageButton::pressed_look = {0x000000, 80, 0xFFFFFF, 81, 0xFFFFFF, 10, 120};
const Ex_ImageButton::Look Ex_ImageButton::plain_look = {0x000000, 0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0};
const Ex_ImageButton::Look Ex_ImageButton::off_look = {0x000000, 0, 0x000000, 0, 0x000000, 0, 0};

Ex_ImageButton::~Ex_ImageButton() { destroy(); }

const Ex_ImageButton::Look& Ex_ImageButton::look_for(int state) const {
  switch (state) {
    case text_state::hover:
      return lit_look;
    case text_state::pressed:
      return pressed_look;
    case text_state::normal:
    case text_state::focused:
      return toggled_ != 0 ? lit_look : plain_look;
    default:
      return off_look;
  }
}

int Ex_ImageButton::toggled(std::optional<int> value) {
  if (value && *value != toggled_) {
    toggled_ = *value;
    repaint();
  }
  return toggled_;
}

int Ex_ImageButton::paint_background(PaintContext& context, int state) {
  if (context.graphics == nullptr) return 1;
  Graphics& g = *context.graphics;
  const Look& look = look_for(state);
  const bool rounded = round_corners() != 0;
  RectF r = context.area;
  if (rounded) set_clip_path(g, rounded_path(r, fill_clip_corner));
  const RectF fill{r.x + 1, r.y + 1, r.width - 3, r.height - 3};
  g.fill_rect(Brush::linear(fill, to_argb(look.fill_colour, look.top_alpha), to_argb(look.fill_colour, look.bottom_alpha),
                            gfx::LinearMode::vertical, gfx::WrapMode::tile_flip_xy),
              fill);
  if (rounded) reset_clip(g);
  const Argb outer = to_argb(look.outer_colour, look.outer_alpha);
  const Argb inner = to_argb(look.inner_colour, look.inner_alpha);
  if (rounded) {
    draw_rounded(g, r, outer_corner, outer);
    adjust_rect(r, 1, 1, -2, -2);
    draw_rounded(g, r, inner_corner, inner);
  } else {
    // A transparent colour draws no outline.
    if (gfx::alpha_of(outer) != 0) draw_border(g, r, outer);
    adjust_rect(r, 1, 1, -2, -2);
    if (gfx::alpha_of(inner) != 0) draw_border(g, r, inner);
  }
  return 1;
}

int Ex_ImageButton::paint_content(PaintContext&, int, RectF&, RectF&) { return 0; }

int Ex_ImageButton::pre_filter_event(int, WParam, LParam) { return -1; }

int Ex_ImageButton::filter_event(int code, WParam wparam, LParam lparam) {
  const int answer = pre_filter_event(code, wparam, lparam);
  if (answer != -1) return answer;
  switch (code) {
    case event::create:
      set_kind(kind::image_button);
      return -1;
    case event::destroy:
      toggled_ = 0;
      return -1;
    case event::focus_gained:
    case event::focus_lost:
      return 0;  // no focused look and no fade on focus loss
    default:
      return -1;
  }
}

}  // namespace dui

// Ex_Picture: one image, decoded from encoded bytes or taken from an icon, drawn at natural
// size, stretched, centred or nine-grid stretched, over an optional background colour and
// inside an optional border. Animated pictures play their frames with the delays stored in
// the image, on a window timer of the host; replacing the image can run a transition.
#pragma once

#include "dui/core/control.h"
#include "dui/core/drawing.h"
#include "dui/core/framework.h"

#include <optional>
#include <string>
#include <vector>

namespace dui {

// Left, top, right, bottom in image pixels; all 0 = empty.
struct GridRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
};

namespace draw_mode {
inline constexpr int natural = 0;
inline constexpr int stretched = 1;
inline constexpr int centred = 2;
inline constexpr int nine_grid = 3;
}  // namespace draw_mode

// Optional arguments of Ex_Picture::create and create_from_icon.
struct PictureOptions {
  std::optional<int> playing;            // default 0 (create_from_icon: always 0)
  std::optional<Argb> background_colour; // default 0 (none)
  std::optional<int> fix_zero_delays;    // default 0
  std::optional<int> draw_mode;          // default 1 (stretched)
  GridRect grid_rect;
  std::optional<Argb> border;            // draw_border style value, default 0
  std::optional<int> visible;            // default 1
  std::optional<int> focusable;          // default 1
};

class Ex_Picture : public Ex_Control {
 public:
  Ex_Picture() = default;
  ~Ex_Picture() override;

  int on_event(int code, WParam wparam, LParam lparam) override;
  Ex_Control* create(ControlParent parent, int left, int top, int width, int height, std::string_view image_bytes,
                     const PictureOptions& options = {});
  Ex_Control* create_from_icon(ControlParent parent, int left, int top, int width, int height, IconHandle icon,
                               const PictureOptions& options = {});
  // Set: restarts at frame 1 and plays (nonzero) or stops (0) at the next frame tick.
  int playing(std::optional<int> value = std::nullopt);
  // Replaces the image when given; with an effect the change runs that transition. Answers the
  // encoded bytes.
  std::string image(std::optional<std::string> bytes = std::nullopt, std::optional<int> effect = std::nullopt,
                    int frames = 5, int interval = 60, bool redraw = true);
  Argb background_colour(std::optional<Argb> value = std::nullopt);
  void paint();

  int current_frame() const { return current_frame_; }
  int frame_total() const { return frame_total_; }
  const std::vector<int>& delays() const { return delays_; }
  int draw_mode() const { return draw_mode_; }
  int image_transition() const { return image_transition_; }

 private:
  void load(std::string_view bytes);
  void apply_zero_delay_fix();
  void draw_picture(Graphics& graphics, const RectF& area);
  void next_frame();
  void stop_frame_timer();
  void start_frame_timer(int hundredths);
  Ex_Control* init_picture(ControlParent parent, int left, int top, int width, int height,
                           const PictureOptions& options);

  std::string image_data_;
  Image picture_;
  int playing_ = 0;
  Argb border_ = 0;
  int current_frame_ = 0;
  int frame_total_ = 0;
  Argb background_colour_ = 0;
  std::vector<int> delays_;
  int draw_mode_ = draw_mode::stretched;
  int fix_zero_delays_ = 0;
  GridRect grid_rect_;
  int image_transition_ = -1;
};

}  // namespace dui

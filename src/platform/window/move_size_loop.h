// The system move and size loops: moving a window by its caption and sizing it by a border.
// Where the desktop offers it, the desktop's own loop runs; otherwise the window follows the
// mouse until the left button is released, while the mouse messages go to the loop only.
#pragma once

#include "input_router.h"

#include <QRect>

namespace platform::window::detail {

class move_size_loop {
 public:
  static move_size_loop& instance();

  // zone 0 moves; WMSZ_* sizes by that border. False for a window that cannot do it.
  bool start(handle window, int zone);
  // Takes the mouse input while a loop runs; false when no loop runs.
  bool feed(const mouse_input& input);
  void cancel(handle window);
  bool running() const { return window_ != 0; }

 private:
  QRect moved_rect(point cursor) const;

  handle window_ = 0;
  int zone_ = 0;
  point start_cursor_;
  QRect start_rect_;
  point min_size_;
  point max_size_;
};

// Which sides a sizing zone moves.
struct sizing_sides {
  bool left = false;
  bool top = false;
  bool right = false;
  bool bottom = false;
};
sizing_sides sides_of_zone(int zone);

}  // namespace platform::window::detail

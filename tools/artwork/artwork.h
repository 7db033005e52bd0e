// The project's own compiled-in pictures, drawn in code.
#pragma once

#include "platform/gfx.h"

namespace artwork {

// The caption-button sprite sheet (730 x 23).
platform::gfx::Bitmap caption_sprites();
// The program icon (32 x 32).
platform::gfx::Bitmap program_icon();

}  // namespace artwork

// The client's own compiled-in pictures, drawn in code: the main window's skin and the seven
// button icons.
#pragma once

#include "platform/gfx.h"

namespace client_artwork {

// 800 x 600; stretched over the 503 x 441 main window.
platform::gfx::Bitmap main_skin();

// The button icons: 35 x 31 for the featured category, 32 x 32 for the others.
platform::gfx::Bitmap featured_icon();
platform::gfx::Bitmap source_code_icon();
platform::gfx::Bitmap software_tools_icon();
platform::gfx::Bitmap offers_icon();
platform::gfx::Bitmap member_icon();
platform::gfx::Bitmap transfer_icon();
platform::gfx::Bitmap submit_icon();

}  // namespace client_artwork

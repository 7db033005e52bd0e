// Writes the compiled-in pictures: artwork <resources folder>.
#include "artwork.h"
#include "platform/application.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int app_argc = 1;  // the application object keeps referring to it
  platform::application::init(app_argc, argv);
  const std::string folder = argv[1];
  bool ok = artwork::caption_sprites().save_png(folder + "/caption_buttons.png");
  ok = artwork::program_icon().save_png(folder + "/program_icon.png") && ok;
  if (!ok) std::fprintf(stderr, "could not write the pictures into %s\n", folder.c_str());
  // Leave without tearing the application object down: nothing is left to clean up.
  std::fflush(nullptr);
  std::_Exit(ok ? 0 : 1);
}

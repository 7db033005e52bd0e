// Writes the client's compiled-in pictures as PNG: client_artwork <output folder>.
// tools/client_artwork/make turns the skin into the JPEG the program carries.
#include "client_artwork.h"
#include "platform/application.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  platform::application::init(argc, argv);
  const std::string folder = argv[1];
  struct Picture {
    const char* name;
    platform::gfx::Bitmap (*draw)();
  } pictures[] = {
      {"main_skin.png", client_artwork::main_skin},
      {"button_featured.png", client_artwork::featured_icon},
      {"button_source_code.png", client_artwork::source_code_icon},
      {"button_software_tools.png", client_artwork::software_tools_icon},
      {"button_offers.png", client_artwork::offers_icon},
      {"button_member.png", client_artwork::member_icon},
      {"button_transfer.png", client_artwork::transfer_icon},
      {"button_submit.png", client_artwork::submit_icon},
  };
  bool ok = true;
  for (const Picture& p : pictures) ok = p.draw().save_png(folder + "/" + p.name) && ok;
  if (!ok) std::fprintf(stderr, "could not write the pictures into %s\n", folder.c_str());
  platform::application::shutdown();
  return ok ? 0 : 1;
}

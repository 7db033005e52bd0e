// Serves one file slowly on 127.0.0.1 for the end-to-end run of the self-update, so that the
// progress bar can be watched: update_e2e_server FILE PATH. Prints the address, then serves
// until it is killed.
#include "http_test_server.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FILE PATH\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  test_support::HttpTestServer server;
  if (!server.listening()) return 1;
  // About ten seconds for the whole file.
  const std::size_t chunk = content.str().size() / 200 + 1;
  server.serve(argv[2], {.body = content.str(), .chunk_size = chunk, .chunk_delay_ms = 50});
  std::printf("%s\n", server.url(argv[2]).c_str());
  std::fflush(stdout);
  for (;;) ::pause();
}

// main() of the tests that need the window system: the application object comes first.
#include "platform/application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  // Tests run headless unless the caller asks for a real display platform; test discovery
  // runs this main too, outside the tests' own environment.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  platform::application::init(argc, argv);
  int result = RUN_ALL_TESTS();
  platform::application::shutdown();
  return result;
}

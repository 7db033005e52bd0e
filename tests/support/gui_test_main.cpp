// main() of the tests that need the window system: the application object comes first.
#include "platform/application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  platform::application::init(argc, argv);
  return RUN_ALL_TESTS();
}

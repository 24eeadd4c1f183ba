#include <gtest/gtest.h>

#include "tests/support/ErrorBoxes.h"
#include "ui/Application.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  Application().Initialize(nullptr);
  // A test that expects an error box captures it.
  FailOnErrorBox();
  return RUN_ALL_TESTS();
}

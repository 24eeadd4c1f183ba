#include <gtest/gtest.h>

#include <stdexcept>

#include "ui/Application.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  Application().Initialize(nullptr);
  // An error box would block the run; a test that expects an error replaces this.
  Application().SetExceptionHandler(
      [](const std::exception& e) { ADD_FAILURE() << "unexpected error box: " << e.what(); });
  return RUN_ALL_TESTS();
}

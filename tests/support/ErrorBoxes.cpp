#include "tests/support/ErrorBoxes.h"

#include <gtest/gtest.h>

#include "ui/Application.h"

void FailOnErrorBox() {
  Application().SetExceptionHandler(
      [](const std::exception& e) { ADD_FAILURE() << "unexpected error box: " << e.what(); });
}

CapturedErrorBoxes::CapturedErrorBoxes() {
  Application().SetExceptionHandler(
      [this](const std::exception& e) { texts_.push_back(e.what()); });
}

CapturedErrorBoxes::~CapturedErrorBoxes() {
  FailOnErrorBox();
}

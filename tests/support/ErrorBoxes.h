#pragma once

#include <string>
#include <vector>

// The test run's answer to an error box: it would block the run, so it fails the test.
void FailOnErrorBox();

// Collects the texts of the error boxes the application would show while it lives,
// then puts FailOnErrorBox back.
class CapturedErrorBoxes {
 public:
  CapturedErrorBoxes();
  CapturedErrorBoxes(const CapturedErrorBoxes&) = delete;
  CapturedErrorBoxes& operator=(const CapturedErrorBoxes&) = delete;
  ~CapturedErrorBoxes();

  const std::vector<std::string>& Texts() const { return texts_; }

 private:
  std::vector<std::string> texts_;
};

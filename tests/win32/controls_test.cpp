#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "tests/support/TestWindows.h"

namespace {

// A form with one slider and one check box that records their events.
class ControlsForm : public ProbeWindow {
 public:
  ControlsForm() : ProbeWindow(300, 200, WS_OVERLAPPEDWINDOW, {20, 20}) {
    Slider.OnChange.Bind(
        [this](TTrackBar* s) { events.push_back("change " + std::to_string(s->Position())); });
    Box.OnClick.Bind(
        [this](TCheckBox* b) { events.push_back(b->Checked() ? "checked" : "unchecked"); });
  }
  TTrackBar Slider{*this, {10, 10, 150, 30}, {1, 10}, 1, 2, 1};
  TCheckBox Box{*this, {10, 50, 100, 20}, "Box"};
  std::vector<std::string> events;
};

class Controls : public testing::Test {
 protected:
  void SetUp() override { Application().Reset(); }
  void TearDown() override { Application().Reset(); }
};

// Setting a state by program clamps it and reports only a change, as a user's move does.
TEST_F(Controls, StateSetByProgramIsClampedAndReportedOnlyWhenItChanges) {
  struct Case {
    std::vector<int> set;
    int shown;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {{0}, 1, {}},  // clamped to the design position: no change
      {{20}, 10, {"change 10"}},
      {{5, 5}, 5, {"change 5"}},
      {{-3, 4, 11}, 10, {"change 4", "change 10"}},
  };
  for (const Case& c : cases) {
    ControlsForm form;
    for (int p : c.set) {
      form.Slider.SetPosition(p);
    }
    EXPECT_EQ(form.Slider.Position(), c.shown);
    EXPECT_EQ(form.events, c.events);
  }
  ControlsForm form;
  for (bool checked : {false, true, true, false}) {
    form.Box.SetChecked(checked);
  }
  const std::vector<std::string> expected = {"checked", "unchecked"};
  EXPECT_EQ(form.events, expected);
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Form.h"

namespace {

void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    Application().ProcessMessages();
    Sleep(5);
  }
}

// A form with one slider, a check box and a button that records what reaches it.
class ControlsForm : public TForm {
 public:
  explicit ControlsForm(bool dialog)
      : TForm([dialog] {
          FormDescription d;
          d.caption = "controls";
          d.x = d.y = 20;
          d.width = 300;
          d.height = 200;
          d.key_preview = dialog;
          d.dialog_keys = dialog;
          return d;
        }()) {
    Slider.OnChange.Bind(
        [this](TTrackBar* s) { events.push_back("change " + std::to_string(s->Position())); });
    Box.OnClick.Bind(
        [this](TCheckBox* b) { events.push_back(b->Checked() ? "checked" : "unchecked"); });
    Button.OnClick.Bind([this](TButton*) { events.push_back("click"); });
  }
  TTrackBar Slider{*this, {10, 10, 150, 30}, {1, 10}, 1, 2, 1};
  TCheckBox Box{*this, {10, 50, 100, 20}, "Box"};
  TButton Button{*this, {10, 80, 80, 24}, "Button"};
  std::vector<std::string> events;

 protected:
  void FormKeyDown(WORD key) override { events.push_back("form key " + std::to_string(key)); }
};

class Controls : public testing::Test {
 protected:
  void SetUp() override { Application().Reset(); }
  void TearDown() override { Application().Reset(); }
};

// Setting a position by program clamps it and reports only a change, as a user's move does.
TEST_F(Controls, SliderPositionSetByProgramClampsAndReportsOnlyChanges) {
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
    ControlsForm form(false);
    for (int p : c.set) {
      form.Slider.SetPosition(p);
    }
    EXPECT_EQ(form.Slider.Position(), c.shown);
    EXPECT_EQ(form.events, c.events);
  }
}

TEST_F(Controls, NotificationsReachTheSendersEventSlots) {
  ControlsForm form(false);
  SendMessageA(form.Slider.Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageA(form.Slider.Handle(), WM_KEYDOWN, VK_NEXT, 0);
  SendMessageA(form.Box.Handle(), BM_CLICK, 0, 0);
  SendMessageA(form.Button.Handle(), BM_CLICK, 0, 0);
  form.Box.SetChecked(false);
  form.Box.SetChecked(false);
  const std::vector<std::string> expected = {"change 2", "change 4", "checked", "click",
                                             "unchecked"};
  EXPECT_EQ(form.events, expected);
}

TEST_F(Controls, KeyPreviewAndDialogKeysRunFromTheMessageLoop) {
  ControlsForm form(true);
  form.Show();
  SetForegroundWindow(form.Handle());
  PumpFor(100);
  ASSERT_EQ(GetFocus(), form.Slider.Handle());
  PostMessageA(form.Slider.Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  PostMessageA(form.Slider.Handle(), WM_KEYDOWN, VK_TAB, 0);
  PumpFor(50);
  EXPECT_EQ(GetFocus(), form.Box.Handle());
  const std::vector<std::string> expected = {"form key 39", "change 2", "form key 9"};
  EXPECT_EQ(form.events, expected);
}

}  // namespace

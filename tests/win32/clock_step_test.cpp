// The clock steps while each drawing window runs in this process: the full-screen saver,
// the settings window and the preview. The step goes through the clock seam (the
// machine's clock is never moved); the windows' own timers, the preview's worker and
// their frames are the real ones. After a step the next frames show the new time, a
// kept picture is labelled with it, and the frames go on a second later.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "base/ClockSource.h"
#include "saver/Full.h"
#include "saver/Preview.h"
#include "scene/SceneState.h"
#include "windowsetup/WindowSetup.h"
#include "settings/win32/RegistryStore.h"
#include "settingswindow/Settings.h"
#include "tests/support/Pump.h"
#include "tests/support/TestWindows.h"
#include "ui/Application.h"
#include "win32/WinHandles.h"

namespace {

struct ShownTime {
  TimeOfDay time;
  HandAngles angles;
};

struct ClockStep {
  const char* what;
  ShownTime before;
  ShownTime after;
  ShownTime second_later;
};

const ClockStep kSteps[] = {
    {"back exactly one hour",
     {{16, 30, 45, 0}, {-270, -180, -495}},
     {{15, 30, 45, 0}, {-270, -180, -465}},
     {{15, 30, 46, 0}, {-276, -180, -465}}},
    {"forward across midnight",
     {{23, 59, 58, 0}, {-348, -354, -719.5f}},
     {{0, 0, 3, 0}, {-18, 0, 0}},
     {{0, 0, 4, 0}, {-24, 0, 0}}},
};

// What a running window's frames have left: its scene state, and its kept still picture
// where its context keeps one; and the clock the window is handed, which shows `now`.
struct Observed {
  const SceneState* state = nullptr;
  const KeptStillState* still = nullptr;
  TimeOfDay now;
  ClockSource ClockShowingNow() {
    return {[this] { return now; }, [this] { return now; }};
  }
};

// Whether the last frame was drawn, or put back, for `shown`.
bool LastFrameShows(const Observed& seen, const ShownTime& shown) {
  const HandAngles& a = seen.state->Angles;
  return a.second_deg == shown.angles.second_deg && a.minute_deg == shown.angles.minute_deg &&
         a.hour_deg == shown.angles.hour_deg &&
         (seen.still == nullptr || !seen.still->valid || seen.still->key.time == shown.time);
}

// The preview as RunPreview starts it, inside a dialog's area made here, with its worker.
class RunningPreview {
 public:
  explicit RunningPreview(Observed& seen)
      : state_(std::make_shared<PreviewState>(
            PreviewCalls{RenderContextCalls{}, seen.ClockShowingNow()})) {
    seen.state = &state_->Scene;
    parent_.reset(CreateWindowExA(0, "STATIC", "dialog", WS_POPUP | WS_VISIBLE, 40, 40, 152, 112,
                                  nullptr, nullptr, nullptr, nullptr));
    PreviewSceneFixedValues(state_->Settings, state_->Scene);
    CreatePreviewWindow(152, 112, parent_.get(), *state_);
    worker_.reset(StartPreviewWorker(state_));
  }
  ~RunningPreview() {
    state_->PreviewStopRequested.store(true);
    PumpUntil([this] { return WaitForSingleObject(worker_.get(), 0) == WAIT_OBJECT_0; },
              kStateBound_ms);
    // The dialog's area goes, and the preview inside it with it.
    parent_.reset();
    Application().Reset();
  }

 private:
  std::shared_ptr<PreviewState> state_;
  UniqueWindow parent_;
  UniqueKernelHandle worker_;
};

struct DrawingWindow {
  const char* what;
  std::function<std::shared_ptr<void>(Observed& seen)> start;
  // Whether its frames keep their still part (one monitor, a static dial).
  bool keeps_still_part;
};

template <typename Form, typename Calls>
std::shared_ptr<void> StartForm(Observed& seen, Calls calls) {
  calls.clock = seen.ClockShowingNow();
  auto* made = new Form(std::move(calls));
  seen.state = &made->Scene();
  seen.still = &made->SceneObjects().KeptStill;
  return std::shared_ptr<Form>(made,
                               [](Form* form) { CloseOwnWindow(std::unique_ptr<TForm>(form)); });
}

const DrawingWindow kWindows[] = {
    {"full-screen saver",
     [](Observed& seen) { return StartForm<TForm1>(seen, SystemFullScreenCalls()); }, true},
    {"settings window",
     [](Observed& seen) { return StartForm<TForm2>(seen, SystemSettingsWindowCalls()); }, true},
    {"preview",
     [](Observed& seen) { return std::shared_ptr<void>(std::make_shared<RunningPreview>(seen)); },
     false},
};

class ClockStepWhileRunning : public testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
    Application().Reset();
  }
};

// Each window runs through both steps, one after the other.
TEST_F(ClockStepWhileRunning, NextFramesShowTheNewTime) {
  for (const DrawingWindow& window : kWindows) {
    SCOPED_TRACE(window.what);
    Reset();
    Observed seen{.now = kSteps[0].before.time};
    const std::shared_ptr<void> running = window.start(seen);
    for (const ClockStep& step : kSteps) {
      SCOPED_TRACE(step.what);
      for (const ShownTime* shown : {&step.before, &step.after, &step.second_later}) {
        seen.now = shown->time;
        EXPECT_TRUE(PumpUntil([&] { return LastFrameShows(seen, *shown); }, kStateBound_ms))
            << "no frame for " << shown->time.hour << ":" << shown->time.minute << ":"
            << shown->time.second;
      }
      const bool one_monitor = GetSystemMetrics(SM_CMONITORS) == 1;
      EXPECT_EQ(seen.still != nullptr && seen.still->valid, window.keeps_still_part && one_monitor);
    }
  }
}

}  // namespace

// The system clock steps while a window runs (a synchronisation, the user, a change of
// daylight-saving time): the next frame shows the new time, and a kept picture is never
// put back for a time that is no longer now.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SceneTrace.h"
#include "scene/SceneFrames.h"
#include "scene/KeptStill.h"

namespace {

struct ClockStep {
  const char* what;
  TimeOfDay before;
  TimeOfDay after;
  // The hand angles at `after`, in degrees as for glRotatef before the quarter turn.
  HandAngles angles;
  // Whether the picture at `after` differs from the one at `before`.
  bool moves;
};

TimeOfDay OneSecondLater(TimeOfDay t) {
  t.second = static_cast<uint16_t>((t.second + 1) % 60);
  return t;
}

const ClockStep kSteps[] = {
    {"back exactly one hour", {16, 30, 45, 0}, {15, 30, 45, 0}, {-270, -180, -465}, true},
    {"forward across midnight", {23, 59, 58, 0}, {0, 0, 3, 0}, {-18, 0, 0}, true},
    {"back across midnight", {0, 0, 2, 0}, {23, 59, 57, 0}, {-342, -354, -719.5f}, true},
    {"back one second", {12, 0, 1, 0}, {12, 0, 0, 0}, {0, 0, -360}, true},
    // 03:30:45 and 15:30:45 look the same; drawn anew or put back, they must.
    {"forward twelve hours", {3, 30, 45, 0}, {15, 30, 45, 0}, {-270, -180, -465}, false},
};

struct WindowFrame {
  const char* what;
  void (*draw)(const FrameInputs& in, WindowScene scene);
  bool keeps_still_part;
};

const WindowFrame kWindowFrames[] = {
    {"saver", [](const FrameInputs& in, WindowScene scene) { DrawSaverScene(in, scene, 64, 64); },
     true},
    {"settings window", DrawSettingsScene, true},
    {"saver over two monitors",
     [](const FrameInputs& in, WindowScene scene) {
       DrawSaverSceneInEach(in, scene, {{0, 0, 32, 64}, {32, 16, 32, 48}});
     },
     false},
    {"preview", DrawPreviewScene, false},
};

class ClockSteps : public SceneTest {
 protected:
  // Two frames before the step, two after it, then one a second later, as the clock runs
  // on (nothing may wait for a time the step pushed away); with the copies kept or every
  // frame drawn. Checks what each frame was drawn from.
  std::vector<std::vector<uint8_t>> Frames(const WindowFrame& frame, const ClockStep& step,
                                           bool keep) {
    state_ = {};
    state_.Caption = {0.6f, 0.01f};
    random_.SetState(20240601u);
    settings_.clock = {9, 10, 7, 1, 3, 5, 0};
    settings_.HandRGB = {1.0f, 0.7f, 0.0f};
    settings_.DialRGB = {0.85f, 0.85f, 0.85f};
    state_.LightLevel = 9;
    SetupCamera({0, 0, 64, 64}, 1.0f);
    SetupLights(state_.LightLevel);
    Objects().KeptDial.valid = false;
    Objects().KeptStill.valid = false;
    Objects().KeepCopies = keep;
    std::vector<std::vector<uint8_t>> pictures;
    const TimeOfDay times[] = {step.before, step.before, step.after, step.after,
                               OneSecondLater(step.after)};
    for (size_t i = 0; i < std::size(times); ++i) {
      time_ = times[i];
      frame.draw(Inputs(), Window());
      pictures.push_back(context_.Read().rgb);
      ExpectDrawnFrom(times[i], frame.keeps_still_part && keep);
      if (i == 2) {
        EXPECT_EQ(state_.Angles.second_deg, step.angles.second_deg);
        EXPECT_EQ(state_.Angles.minute_deg, step.angles.minute_deg);
        EXPECT_EQ(state_.Angles.hour_deg, step.angles.hour_deg);
      }
    }
    Objects().KeepCopies = true;
    return pictures;
  }

  void ExpectDrawnFrom(const TimeOfDay& t, bool kept) {
    EXPECT_EQ(state_.Angles.second_deg, -6.0f * t.second);
    const KeptStillState& still = Objects().KeptStill;
    EXPECT_EQ(still.valid, kept);
    if (still.valid) {
      EXPECT_EQ(still.key.time, t);
    }
  }
};

TEST_F(ClockSteps, EachFrameAfterAStepIsTheFrameDrawnForTheNewTime) {
  for (const WindowFrame& frame : kWindowFrames) {
    for (const ClockStep& step : kSteps) {
      SCOPED_TRACE(std::string(frame.what) + ", " + step.what);
      const auto kept = Frames(frame, step, true);
      EXPECT_EQ(kept, Frames(frame, step, false));
      EXPECT_EQ(kept[1] != kept[2], step.moves);
      EXPECT_NE(kept[3], kept[4]);
    }
  }
}

}  // namespace

#include "scene/KeptStill.h"

#include <array>

#include "base/ClockSource.h"
#include "scene/Clocks.h"
#include "scene/GlHeaders.h"
#include "scene/KeptDial.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"

namespace {

constexpr int32_t kMovingDial = 1;

KeptStillKey StillKeyNow(const TimeOfDay& now) {
  const SettingsState& settings = AppSettings();
  const ClockSettings& c = settings.clock;
  KeptStillKey key;
  key.dial = DialKeyNow(c.Color);
  key.settings = {c.Brightness, c.Sizes, c.Color, c.Alpha, c.Arrows, c.Ar_Color, c.Rands};
  key.hand_rgb = {settings.HandRGB.red, settings.HandRGB.green, settings.HandRGB.blue};
  key.time = {now.hour, now.minute, now.second};
  return key;
}

// `window` is null where the caller has cleared the frame already.
void StillPart(void (*draw)(), const std::array<int, 4>* window) {
  KeptStillState& kept = Scene().KeptStill;
  if (!Scene().KeepCopies || AppSettings().clock.Color == kMovingDial) {
    kept.valid = false;
    if (window != nullptr) {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    draw();
    return;
  }
  // One reading of the clock for the key and the drawing, so a second that turns
  // in between cannot label one picture with another's time.
  const OneClockReading reading;
  const KeptStillKey key = StillKeyNow(Clock().LocalNow());
  const bool put_back = Scene().DialMeshReady && kept.Shows(key);
  if (window != nullptr) {
    const bool covers = put_back && key.dial.viewport == *window;
    glClear(covers ? GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  if (put_back) {
    kept.copy.PutBack();
    NoteClockHands();
  } else {
    draw();
    kept.Keep(key, key.dial.viewport);
  }
}

}  // namespace

void DrawStillPart(void (*draw)()) {
  StillPart(draw, nullptr);
}

void ClearAndDrawStillPart(void (*draw)(), int width, int height) {
  const std::array<int, 4> window = {0, 0, width, height};
  StillPart(draw, &window);
}

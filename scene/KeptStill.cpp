#include "scene/KeptStill.h"

#include "base/ClockSource.h"
#include "scene/Clocks.h"
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

}  // namespace

void DrawStillPart(void (*draw)()) {
  KeptStillState& kept = Scene().KeptStill;
  if (!Scene().KeepCopies || AppSettings().clock.Color == kMovingDial) {
    kept.valid = false;
    draw();
    return;
  }
  // One reading of the clock for the key and the drawing, so a second that turns
  // in between cannot label one picture with another's time.
  const ClockSource clock_before = Clock();
  Clock().Pin(Clock().LocalNow());
  const KeptStillKey key = StillKeyNow(Clock().LocalNow());
  if (kept.valid && Scene().DialMeshReady && kept.key == key) {
    kept.copy.PutBack();
    NoteClockHands();
  } else {
    draw();
    kept.valid = kept.copy.Keep(key.dial.viewport);
    kept.key = key;
  }
  Clock() = clock_before;
}

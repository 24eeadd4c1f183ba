#include "settings/window/ClockSync.h"

#include "settings/window/Settings.h"

namespace {
SyncCountdowns g_countdowns;
}

SyncCountdowns& Countdowns() {
  return g_countdowns;
}

// The request, its notice and the status texts come with the synchronisation itself;
// until then the button starts nothing and the timer has no status to advance.
void ClockSync::Button2Click() {}

void ClockSync::StatusStep() {}

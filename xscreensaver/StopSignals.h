#pragma once

// SIGTERM (how XScreenSaver stops a hack), SIGINT and SIGHUP end the program within a
// fraction of a second at every point of its life. Until the frame loop serves them,
// the program ends at once: a start-up step (fontconfig, the GL context, the font's
// glyphs) cannot be interrupted and may take seconds on a loaded machine. Once the loop
// serves them they raise a flag it sees within a frame, so it ends cleanly; a watchdog
// ends the program anyway when that takes longer than a quarter of a second, as a
// first frame's shader compilation can.
void InstallStopSignals();
// From here on a stop is the frame loop's to serve.
void ServeStopsInLoop();
bool StopRequested();

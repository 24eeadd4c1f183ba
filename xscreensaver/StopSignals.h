#pragma once

// SIGTERM (how XScreenSaver stops a hack), SIGINT and SIGHUP only raise a flag; the
// frame loop sees it within one frame and ends the program cleanly.
void InstallStopSignals();
bool StopRequested();

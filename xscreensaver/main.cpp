// tessaryn: the analog clock as an XScreenSaver hack, drawn with GLX into the window
// XScreenSaver names, the root window or a window of its own.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "xscreensaver/ClockHack.h"
#include "xscreensaver/HackOptions.h"
#include "xscreensaver/StopSignals.h"
#include "xscreensaver/TestSeams.h"
#include "xscreensaver/XErrors.h"
#include "xscreensaver/XHandles.h"

namespace {

int BadUsage(const std::string& error) {
  std::fprintf(stderr, "tessaryn: %s\n%s", error.c_str(), kHackUsageHint);
  return 2;
}

int RunHack(const HackOptions& options, const TestSeams& seams) {
  const char* name = options.display.empty() ? nullptr : options.display.c_str();
  const DisplayHandle display(XOpenDisplay(name));
  if (!display) {
    std::fprintf(stderr, "tessaryn: cannot open display %s\n", XDisplayName(name));
    return 1;
  }
  InstallXErrorHandler();
  try {
    ClockHack hack(display.get(), options, seams);
    return hack.Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessaryn: %s\n", e.what());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options =
      ParseHackOptions(argc - 1, argv + 1, std::getenv("XSCREENSAVER_WINDOW"), error);
  if (!options) {
    return BadUsage(error);
  }
  if (options->help) {
    std::printf("%s", HackUsage().c_str());
    return 0;
  }
  const auto seams = ReadTestSeams(error);
  if (!seams) {
    return BadUsage(error);
  }
  InstallStopSignals();
  return RunHack(*options, *seams);
}

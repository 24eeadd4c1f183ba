#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <map>
#include <string>

#include "tests/support/Pump.h"

// Runs a command of the Linux host and returns its standard output.
std::string HostShell(const std::string& command, DWORD timeout_ms = kStateBound_ms);

// The X windows that have no name, by id, with their size ("152x112"). Wine's own
// windows are among them, and so is the off-screen window of each OpenGL child window.
using XWindowSizes = std::map<std::string, std::string>;
XWindowSizes UnnamedXWindows();

std::string SizeText(int width, int height);

// NOTE: Wine draws a child window's OpenGL frames into an off-screen X window of its own
// (XComposite), not onto its parent: that is where the child's pixels are read. Waits
// for an unnamed X window of the size that is not among `before` (or was seen gone
// since); its id, or empty (a test failure) when none came.
std::string NewXWindowOfSize(int width, int height, const XWindowSizes& before = {});

// Whether the X server shows the top-level window of this title: Wine may count a window
// as shown before the X server has mapped it, and input sent meanwhile goes elsewhere.
bool XWindowViewable(const std::string& title);

// The X window of an OpenGL child window of this size: the test fails unless there is
// exactly one.
std::string OnlyXWindowOfSize(int width, int height);

// One capture of an X window, 8-bit red, green, blue per pixel.
struct Picture {
  int width = 0;
  int height = 0;
  std::string rgb;

  int Pixels() const { return width * height; }
  const unsigned char* At(int i) const {
    return reinterpret_cast<const unsigned char*>(rgb.data()) + 3 * i;
  }
  const unsigned char* At(int x, int y) const { return At(y * width + x); }
  int Brightness(int x, int y) const { return At(x, y)[0] + At(x, y)[1] + At(x, y)[2]; }
  // Pixels brighter than a dark grey.
  int Lit() const;
  // The largest difference between two channels of one pixel: 0 for a grey picture.
  int ColourSpread() const;
  // Pixels whose channels differ by more than 24 in sum from the other picture's.
  int Differences(const Picture& other) const;
};

Picture CaptureXWindow(const std::string& id);
// The same, or an empty picture while the window cannot be read (not yet shown again).
Picture TryCaptureXWindow(const std::string& id);

#include "xscreensaver/XErrors.h"

#include <X11/Xlib.h>

#include <cstdio>

namespace {

bool g_x_error_seen = false;

int RecordXError(Display* display, XErrorEvent* error) {
  char text[256] = {};
  XGetErrorText(display, error->error_code, text, sizeof text);
  std::fprintf(stderr, "tessaryn: X error: %s (request %d, resource 0x%lx)\n", text,
               error->request_code, error->resourceid);
  g_x_error_seen = true;
  return 0;
}

}  // namespace

void InstallXErrorHandler() {
  XSetErrorHandler(&RecordXError);
}

bool XErrorSeen() {
  return g_x_error_seen;
}

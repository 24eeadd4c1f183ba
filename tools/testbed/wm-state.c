// The one duty of a window manager that Wine waits for on a bare X server: each
// top-level window's ICCCM WM_STATE, Normal once it is mapped and Withdrawn once it is
// unmapped. Without it Wine's X11 driver waits 2 s at every hide of a managed window
// for an acknowledgement that never comes; Windows has no such wait. Windows are
// neither moved, framed nor focused: only the property is written.
//
//   wm-state [READY_FILE]    runs until the X server goes; touches READY_FILE once it
//                            watches the root window
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>

enum { kWithdrawnState = 0, kNormalState = 1 };

static Atom wm_state;

// A window may be gone before its event is read: that is not an error here.
static int IgnoreError(Display* display, XErrorEvent* error) {
  (void)display;
  (void)error;
  return 0;
}

static void SetState(Display* display, Window window, long state) {
  const long data[2] = {state, None};
  XChangeProperty(display, window, wm_state, wm_state, 32, PropModeReplace,
                  (const unsigned char*)data, 2);
}

// Only windows a window manager would manage: mapped without override-redirect. An
// unmapped one is acknowledged only if it was acknowledged when mapped.
static int HasState(Display* display, Window window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long left = 0;
  unsigned char* value = NULL;
  if (XGetWindowProperty(display, window, wm_state, 0, 2, False, wm_state, &type, &format, &count,
                         &left, &value) != Success) {
    return 0;
  }
  if (value != NULL) {
    XFree(value);
  }
  return type == wm_state;
}

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "wm-state: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(IgnoreError);
  wm_state = XInternAtom(display, "WM_STATE", False);
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);
  if (argc > 1) {
    FILE* ready = fopen(argv[1], "w");
    if (ready != NULL) {
      fclose(ready);
    }
  }

  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify && event.xmap.event == root && !event.xmap.override_redirect) {
      SetState(display, event.xmap.window, kNormalState);
    } else if (event.type == UnmapNotify && event.xunmap.event == root && !event.xany.send_event &&
               HasState(display, event.xunmap.window)) {
      SetState(display, event.xunmap.window, kWithdrawnState);
    }
    XFlush(display);
  }
}

#include "saver/Preview.h"

#include "scene/SceneFrames.h"
#include "scene/win32/RenderContext.h"
#include "settings/setup/WindowSetup.h"
#include "ui/Application.h"
#include "win32/WinHandles.h"

void DrawPreviewFrame() {
  const HWND window = Preview().PreviewWindow;
  RECT area{};
  GetClientRect(window, &area);
  const UniqueWindowDc dc(WindowDc{window, GetDC(window)});
  if (!dc) {
    return;
  }
  // Without the format no frame can ever be drawn: its box has been shown, the preview ends.
  if (!SetupPixelFormat(dc.get().dc)) {
    Preview().FrameSetupFailed = true;
    Application().Terminate();
    return;
  }
  // Nothing of OpenGL's state outlives the frame: the context is made and deleted here.
  const UniqueGlContext rc(wglCreateContext(dc.get().dc));
  // A context the system cannot make now only costs this frame: at 25 frames a second a
  // box per failure would bury the dialog, and the next frame may well get one.
  if (!rc || !wglMakeCurrent(dc.get().dc, rc.get())) {
    return;
  }
  PreviewFrameSetup(area.right, area.bottom);
  DrawPreviewScene();
  SwapBuffers(dc.get().dc);
}

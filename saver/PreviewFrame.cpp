#include "saver/Preview.h"

#include "scene/FrameInputs.h"
#include "scene/SceneFrames.h"
#include "scene/win32/RenderContext.h"
#include "windowsetup/WindowSetup.h"
#include "ui/Application.h"
#include "win32/WinHandles.h"

void DrawPreviewFrame(PreviewState& preview, const RenderContextCalls& gl) {
  const HWND window = preview.PreviewWindow;
  RECT area{};
  GetClientRect(window, &area);
  const UniqueWindowDc dc(WindowDc{window, GetDC(window)});
  if (!dc) {
    return;
  }
  // Without the format no frame can ever be drawn: the box says so, the preview ends.
  if (const SetupResult format = SetupPixelFormat(dc.get().dc, gl); !format.ok()) {
    preview.FrameSetupFailed = true;
    Application().ShowSetupError(*format.failure);
    Application().Terminate();
    return;
  }
  // Nothing of OpenGL's state outlives the frame: the context is made and deleted here.
  const UniqueGlContext rc(gl.CreateContext(dc.get().dc));
  // A context the system cannot make now only costs this frame: at 25 frames a second a
  // box per failure would bury the dialog, and the next frame may well get one.
  if (!rc || !gl.MakeCurrent(dc.get().dc, rc.get())) {
    return;
  }
  SceneState& state = preview.Scene;
  PreviewFrameSetup(area.right, area.bottom, state, preview.Generator);
  SceneGl objects(&RenderContext::GlProcAddress);
  DrawPreviewScene(
      ReadFrameInputs(preview.Settings, state.LightLevel, preview.Calls.clock.LocalNow()),
      {state, objects, preview.Generator});
  objects.Release();
  SwapBuffers(dc.get().dc);
}

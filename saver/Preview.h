#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <memory>
#include <utility>

#include "base/ClockSource.h"
#include "base/RandomGenerator.h"
#include "scene/FrameInterval.h"
#include "scene/SceneState.h"
#include "scene/win32/RenderContext.h"
#include "settings/ClockSettings.h"

// Every system call the preview makes that a test replaces, handed in whole.
struct PreviewCalls {
  RenderContextCalls gl;
  ClockSource clock;
};

// The system's own.
PreviewCalls SystemPreviewCalls();

// The preview's state inside the display-properties dialog, owned by its run and shared
// with its worker.
struct PreviewState {
  explicit PreviewState(PreviewCalls calls = SystemPreviewCalls())
      : Calls(std::move(calls)), Generator(Calls.clock) {}

  const PreviewCalls Calls;
  // Seeded for the worker and at every frame; only the main thread touches it.
  RandomGenerator Generator;
  // Set for the whole preview mode: `PreviewWindow` ignores the mouse.
  bool PreviewMode = false;
  HWND PreviewWindow = nullptr;
  // Written by the main thread's leave check, read by the worker after every sleep.
  std::atomic<bool> PreviewStopRequested{false};
  // A frame is being drawn: a paint that arrives inside it (an error box's own message
  // loop) must not start another one.
  bool FrameInProgress = false;
  // The pixel format could not be set: the preview is ending and draws no more.
  bool FrameSetupFailed = false;
  // The fixed values the preview draws with; nothing is loaded.
  SettingsState Settings;
  // The clock's state from frame to frame.
  SceneState Scene;
};

// Without a dialog to draw into, the preview is a top-most pop-up of the size the
// dialog's preview area usually has, centred on the screen.
inline constexpr int kPopupPreviewWidth = 152;
inline constexpr int kPopupPreviewHeight = 112;

// The worker's pace: one invalidation per frame interval.
inline constexpr DWORD kPreviewFrameInterval_ms = kFrameInterval_ms;

// The whole preview mode inside the dialog's area `parent` (null: no usable handle was
// given). Returns when its message loop has received the quit message, or at once when
// `parent` names no window any more.
void RunPreview(HWND parent, PreviewCalls calls = SystemPreviewCalls());

// Registers the class, creates `state.PreviewWindow` (a child of `parent`, or a top-most
// pop-up when `parent` is null) bound to `state`, and returns it; null when the window
// could not be made.
HWND CreatePreviewWindow(int width, int height, HWND parent, PreviewState& state);

// Starts the worker thread, which holds its own share of `state`: it shows the window,
// then invalidates it once per frame interval until a stop is requested, or until the
// window is gone without its loop having been told. Null when no thread could start.
HANDLE StartPreviewWorker(std::shared_ptr<PreviewState> state);

LRESULT CALLBACK PreviewWndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// One frame of `state`'s window with a device context and rendering context of its own,
// both released before it returns, made with the system calls `gl`.
void DrawPreviewFrame(PreviewState& state, const RenderContextCalls& gl = {});

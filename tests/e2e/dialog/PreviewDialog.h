#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// What the preview tests and the program that plays the display dialog share.
inline constexpr char kDialogClass[] = "TessarynTestDialog";
inline constexpr char kAreaClass[] = "TessarynTestPreviewArea";
inline constexpr char kDialogTitle[] = "Display Properties (test)";

inline constexpr int kDialogX = 60;
inline constexpr int kDialogY = 60;
inline constexpr int kDialogWidth = 420;
inline constexpr int kDialogHeight = 320;
// The area inside the dialog's client area, as the system's dialog sizes it.
inline constexpr int kAreaX = 130;
inline constexpr int kAreaY = 70;
inline constexpr int kAreaWidth = 152;
inline constexpr int kAreaHeight = 112;

// Messages the tests post to the dialog's window.
inline constexpr UINT kDestroyArea = WM_APP + 1;
inline constexpr UINT kResizeArea = WM_APP + 2;  // wParam width, lParam height
inline constexpr UINT kShowDialog = WM_APP + 3;  // wParam the ShowWindow command

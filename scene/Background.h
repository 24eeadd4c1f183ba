#pragma once

#include <cstdint>

// Draws dial face `style` (1 to 10) in DialRGB into the current context; any other
// style draws nothing and changes nothing. While DialMeshReady is clear, the style is
// initialised first.
void DrawDialFace(int32_t style);

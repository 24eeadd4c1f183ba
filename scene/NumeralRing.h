#pragma once

#include "scene/QuadBatch.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"

// The ring drawn over the hands: 60 soft minute marks and 12 dot-matrix numerals in
// HandRGB. Nothing here touches the matrix, so the ring stays upright.

// What the ring draws with: its colour, the window's state (DigitScale and
// MarkBrightness) and the room its blocks are built in.
struct RingPen {
  const RGB& HandRGB;
  SceneState& state;
  QuadBatch& batch;
};

// One mark dot centred at (centre_x, centre_y) on the plane z = -0.1, its colour
// scaled by MarkBrightness, which is then set back to 1.
void DrawMarkDot(const RingPen& pen, float centre_x, float centre_y);

// One hexagonal numeral dot centred at the pen position, sized by DigitScale.
void DrawNumeralDot(const RingPen& pen, float pen_x, float pen_y);

// The dots of `digit` (0 to 9; any other digit draws nothing) from its glyph origin.
void DrawDigitGlyph(const RingPen& pen, int digit, float origin_x, float origin_y);

// The 60 marks, the one of `current_second` lit 1.2 times brighter, then the numerals.
void DrawNumeralRing(const RingPen& pen, int current_second);

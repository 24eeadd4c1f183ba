#pragma once

// The ring drawn over the hands: 60 soft minute marks and 12 dot-matrix numerals in
// HandRGB. Nothing here touches the matrix, so the ring stays upright.

// One mark dot centred at (centre_x, centre_y) on the plane z = -0.1, its colour
// scaled by MarkBrightness, which is then set back to 1.
void DrawMarkDot(float centre_x, float centre_y);

// One hexagonal numeral dot centred at the pen position, sized by DigitScale.
void DrawNumeralDot(float pen_x, float pen_y);

// The dots of `digit` (0 to 9; any other digit draws nothing) from its glyph origin.
void DrawDigitGlyph(int digit, float origin_x, float origin_y);

// The 60 marks, the one of `current_second` lit 1.2 times brighter, then the numerals.
void DrawNumeralRing(int current_second);

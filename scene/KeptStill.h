#pragma once

// Draws the still part of a frame with `draw`: the dial, the hands, the minute marks and
// the numerals, everything before the caption. Unless the dial moves (style 1), that
// part changes only with the whole second, the settings, HandRGB and what the dial
// depends on; the first frame of each such picture draws it and keeps a copy, later
// ones put the copy back, which gives the same pixels.
void DrawStillPart(void (*draw)());

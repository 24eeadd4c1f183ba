#pragma once

// Draws the still part of a frame with `draw`: the dial, the hands, the minute marks and
// the numerals, everything before the caption. Unless the dial moves (style 1), that
// part changes only with the whole second, the settings, HandRGB and what the dial
// depends on; the first frame of each such picture draws it and keeps a copy, later
// ones put the copy back, which gives the same pixels.
void DrawStillPart(void (*draw)());

// Clears the frame, then draws the still part as above. Where the copy put back covers
// the whole window of `width` x `height` pixels, only depth is cleared: the copy
// overwrites every colour the clear would have set.
void ClearAndDrawStillPart(void (*draw)(), int width, int height);

#pragma once

#include <cstdint>

// Draws dial face `style` as the first thing of a frame, right after the clear.
// Styles 2 to 10 draw the same picture while their style, DialRGB, the light level,
// the viewport and the projection stay the same: the first such frame draws the dial
// and keeps a copy of it, later ones put the copy back (a framebuffer copy where the
// context has one, else one textured quad), which gives the same pixels. Style 1 moves every frame
// and is always drawn.
void DrawDialAfterClear(int32_t style);

struct KeptDialKey;

// What the dial of `style` drawn now would be drawn from.
KeptDialKey DialKeyNow(int32_t style);

// The kept copies belonged to a context that is gone or about to be replaced.
void ForgetKeptCopies();

// The window's pixels changed under the kept copies (the display changed): the next
// frames draw and keep them again, in the same textures.
void RetakeKeptCopies();

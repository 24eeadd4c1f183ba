#pragma once

#include "xscreensaver/CaptionFace.h"

// Builds the caption font's kFontCharCount display lists as wglUseFontBitmaps does for
// a bold font made with CreateFont at the negative height -`char_height_px`, which asks
// for that character (em) height: one-bit hinted glyphs, each drawn with its origin at
// the raster position and moving it on by its whole-pixel advance. Needs a current
// context. Returns the first list, 0 when the face cannot be read.
unsigned BuildFreeTypeFontLists(const CaptionFace& face, int char_height_px);

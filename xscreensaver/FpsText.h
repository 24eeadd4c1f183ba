#pragma once

#include <string>

// `text` at the bottom left of a `width` x `height` viewport in the font whose display
// lists start at `font_list_base`, in yellow over the frame; the scene's state is put
// back.
void DrawFpsText(unsigned font_list_base, const std::string& text, int width, int height);

#pragma once

#include <cstdint>
#include <functional>

#include "scene/Lighting.h"
#include "scene/SetupFailure.h"

// A context's own way of filling the caption's 96 character lists into the scene's
// objects: a system font, FreeType's glyphs, or empty lists offscreen.
using CaptionFontHook = std::function<SetupFailure()>;

// The scene's set-up once a window's context is current, in the order every window
// follows: the camera over `viewport` (aspect 1), the caption font when the window has
// one, then capabilities and lights at `light_level`. Returns the font's failure, or
// nothing; a failed font leaves the scene without its caption.
SetupFailure SetupSceneContext(const Viewport& viewport, const CaptionFontHook& caption_font,
                               int32_t light_level);

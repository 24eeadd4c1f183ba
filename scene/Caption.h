#pragma once

// The full-screen saver's two-line caption, whose transparency pulses.

struct CaptionState {
  float CaptionAlpha = 0.0f;
  float CaptionAlphaStep = 0.0f;
};

// The caption font's display lists: characters 32 to 127, from the first.
constexpr int kFontFirstChar = 32;
constexpr int kFontCharCount = 96;

extern const char kCaptionLine1[];
extern const char kCaptionLine2[];

// The caption font's character height for a screen width: width / 30 rounded to the
// nearest integer, ties to even.
int CaptionFontCharHeight(int screen_width);

// Draws `text` at the current raster position with the font whose lists start at
// `font_list_base`; nothing for null.
void DrawBitmapText(unsigned font_list_base, const char* text);

// Both matrices at the identity while it lives, so that a raster position is given in
// the viewport's coordinates, -1 to 1 across; both are put back at its end, which leaves
// GL_PROJECTION the matrix mode for the caller's glPopAttrib(GL_TRANSFORM_BIT) to restore.
class ViewportRaster {
 public:
  ViewportRaster();
  ~ViewportRaster();
  ViewportRaster(const ViewportRaster&) = delete;
  ViewportRaster& operator=(const ViewportRaster&) = delete;

  // The raster position at (x, y) of the viewport.
  void MoveTo(float x, float y) const;
  // The raster position `x_px`, `y_px` pixels in from the bottom left of a `width` x
  // `height` viewport.
  void MoveToPixels(int x_px, int y_px, int width, int height) const;
};

// NOTE: Wine's bitmap font lists give the space no advance, so the caption's words run
// together. Gives the space's list (the first of `list_base`) an advance of
// `advance_px` when drawing it leaves the raster position where it was; a list that
// already advances is left alone. Needs a current context with a viewport.
void GiveSpaceItsAdvance(unsigned list_base, float advance_px);

// The caption colour at `alpha` and the two lines at (-1, 1.2) and (-1, 1.0).
void DrawCaption(float alpha, unsigned font_list_base);

// Advances CaptionAlpha by its step and turns the step at the pulse's ends.
void StepCaptionAlpha(CaptionState& c);

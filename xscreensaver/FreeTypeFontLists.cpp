#include "xscreensaver/FreeTypeFontLists.h"

#include <GL/gl.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <vector>

#include "scene/Caption.h"

namespace {

struct LibraryDone {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDone {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using Library = std::unique_ptr<std::remove_pointer_t<FT_Library>, LibraryDone>;
using Face = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDone>;

// A negative CreateFont height names the character height, which for a TrueType face
// is its em: the pixels per em are the height itself.
bool SetCharHeight(FT_Face face, int char_height_px) {
  return char_height_px > 0 &&
         FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(char_height_px)) == 0;
}

// glBitmap reads rows bottom first, each of whole bytes; FreeType gives them top first,
// padded to its pitch.
std::vector<GLubyte> BottomUpRows(const FT_Bitmap& bitmap) {
  const unsigned row_bytes = (bitmap.width + 7) / 8;
  std::vector<GLubyte> rows(static_cast<size_t>(row_bytes) * bitmap.rows);
  for (unsigned y = 0; y < bitmap.rows; ++y) {
    const unsigned char* source = bitmap.buffer + static_cast<long>(y) * bitmap.pitch;
    std::copy(source, source + row_bytes, rows.begin() + (bitmap.rows - 1 - y) * row_bytes);
  }
  return rows;
}

void CompileGlyph(FT_Face face, unsigned list, unsigned long code) {
  const FT_GlyphSlot slot = face->glyph;
  const bool drawn = FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0 &&
                     slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
  const float advance_px = drawn ? static_cast<float>((slot->advance.x + 32) >> 6) : 0.0f;
  glNewList(list, GL_COMPILE);
  if (drawn && slot->bitmap.width > 0 && slot->bitmap.rows > 0) {
    const std::vector<GLubyte> rows = BottomUpRows(slot->bitmap);
    glBitmap(static_cast<GLsizei>(slot->bitmap.width), static_cast<GLsizei>(slot->bitmap.rows),
             static_cast<float>(-slot->bitmap_left),
             static_cast<float>(static_cast<int>(slot->bitmap.rows) - slot->bitmap_top), advance_px,
             0.0f, rows.data());
  } else {
    // NOTE: Mesa records no glBitmap without an image in a display list, so a blank
    // glyph such as the space carries its advance on one unset pixel.
    const GLubyte blank = 0;
    glBitmap(1, 1, 0.0f, 0.0f, advance_px, 0.0f, &blank);
  }
  glEndList();
}

}  // namespace

unsigned BuildFreeTypeFontLists(const CaptionFace& caption_face, int char_height_px) {
  FT_Library raw_library = nullptr;
  if (FT_Init_FreeType(&raw_library) != 0) {
    return 0;
  }
  const Library library(raw_library);
  FT_Face raw_face = nullptr;
  if (FT_New_Face(library.get(), caption_face.file.c_str(), caption_face.index, &raw_face) != 0) {
    return 0;
  }
  const Face face(raw_face);
  if (!SetCharHeight(face.get(), char_height_px)) {
    return 0;
  }
  const unsigned base = glGenLists(kFontCharCount);
  if (base == 0) {
    return 0;
  }
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  for (int i = 0; i < kFontCharCount; ++i) {
    CompileGlyph(face.get(), base + static_cast<unsigned>(i),
                 static_cast<unsigned long>(kFontFirstChar + i));
  }
  glPopClientAttrib();
  return base;
}

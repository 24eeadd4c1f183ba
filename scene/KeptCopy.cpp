#include "scene/KeptCopy.h"

#include "scene/GlHeaders.h"

namespace {

// OpenGL 1.1 textures have power-of-two sides; most contexts lift that, and then the
// texture is no larger than the viewport.
int TextureSide(int n) {
  if (HasGlExtension("GL_ARB_texture_non_power_of_two")) {
    return n;
  }
  int p = 1;
  while (p < n) {
    p *= 2;
  }
  return p;
}

// A small software OpenGL may not offer a texture as large as the viewport; the caller
// then draws every frame as before.
bool TextureFits(int width, int height) {
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  return width > 0 && height > 0 && TextureSide(width) <= max_size &&
         TextureSide(height) <= max_size;
}

// Unsized RGBA with BGRA data lets a software OpenGL store the texture as the window
// stores its pixels, which the copies need to be plain ones; anything under 8 bits a
// channel would change the picture, so then the sized format is asked for.
void SpecifyTexture(int width, int height) {
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, nullptr);
  for (GLenum channel : {GL_TEXTURE_RED_SIZE, GL_TEXTURE_GREEN_SIZE, GL_TEXTURE_BLUE_SIZE}) {
    GLint bits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, channel, &bits);
    if (bits < 8) {
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                   nullptr);
      return;
    }
  }
}

}  // namespace

void KeptCopy::Allocate(int width, int height, GlProcLookup lookup) {
  const bool created = texture_ == 0;
  if (created) {
    GLuint name = 0;
    glGenTextures(1, &name);
    texture_ = name;
  }
  glBindTexture(GL_TEXTURE_2D, texture_);
  const int texture_width = TextureSide(width);
  const int texture_height = TextureSide(height);
  if (texture_width != texture_width_ || texture_height != texture_height_) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    SpecifyTexture(texture_width, texture_height);
    texture_width_ = texture_width;
    texture_height_ = texture_height;
  }
  if (created) {
    blit_.Attach(texture_, lookup);
  }
}

// A context may refuse the copy where the window's buffer cannot be copied plainly (one
// with several samples a pixel, say); the texture is then taken the quad's way.
bool KeptCopy::CopiedFromWindow(const std::array<int, 4>& viewport) const {
  // Errors left from before are not the copy's; OpenGL holds a few at most.
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
  blit_.CopyFromWindow(viewport);
  return glGetError() == GL_NO_ERROR;
}

bool KeptCopy::Keep(const std::array<int, 4>& viewport, GlProcLookup lookup) {
  if (!TextureFits(viewport[2], viewport[3])) {
    return false;
  }
  glPushAttrib(GL_TEXTURE_BIT);
  Allocate(viewport[2], viewport[3], lookup);
  if (blit_.Attached() && !CopiedFromWindow(viewport)) {
    blit_.Release();
  }
  if (!blit_.Attached()) {
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, viewport[0], viewport[1], viewport[2], viewport[3]);
  }
  glPopAttrib();
  viewport_ = viewport;
  return true;
}

void KeptCopy::Release() {
  blit_.Release();
  if (texture_ != 0) {
    const GLuint name = texture_;
    glDeleteTextures(1, &name);
  }
  *this = {};
}

void KeptCopy::PutBack() const {
  if (blit_.Attached()) {
    blit_.CopyToWindow(viewport_);
  } else {
    DrawQuad();
  }
}

// One quad over the whole viewport, one texel per pixel: nearest sampling at the pixel
// centres, and neither lighting nor blending, so every byte comes back as it was kept.
// Depth is never tested, so the quad writes no depth either.
void KeptCopy::DrawQuad() const {
  const float s = static_cast<float>(viewport_[2]) / static_cast<float>(texture_width_);
  const float t = static_cast<float>(viewport_[3]) / static_cast<float>(texture_height_);
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glPushMatrix();
  glLoadIdentity();
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(-1.0f, -1.0f);
  glTexCoord2f(s, 0.0f);
  glVertex2f(1.0f, -1.0f);
  glTexCoord2f(s, t);
  glVertex2f(1.0f, 1.0f);
  glTexCoord2f(0.0f, t);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
  glPopMatrix();
  glPopAttrib();
}

#include "scene/KeptDial.h"

#include "scene/Background.h"
#include "scene/GlHeaders.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"

namespace {

// OpenGL 1.1 textures have power-of-two sides.
int PowerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n) {
    p *= 2;
  }
  return p;
}

bool IsStaticStyle(int32_t style) {
  return style >= 2 && style <= 10;
}

KeptDialKey CurrentKey(int32_t style) {
  KeptDialKey key;
  key.style = style;
  const RGB& rgb = AppSettings().DialRGB;
  key.dial_rgb = {rgb.red, rgb.green, rgb.blue};
  key.light_level = Scene().LightLevel;
  glGetIntegerv(GL_VIEWPORT, key.viewport.data());
  glGetFloatv(GL_PROJECTION_MATRIX, key.projection.data());
  return key;
}

// A kept copy needs a texture as large as the viewport; a small software OpenGL may
// not offer one, and then the dial is drawn every frame as before.
bool TextureFits(int width, int height) {
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  return width > 0 && height > 0 && PowerOfTwoAtLeast(width) <= max_size &&
         PowerOfTwoAtLeast(height) <= max_size;
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

void AllocateTexture(KeptDialState& kept, int width, int height) {
  const bool created = kept.texture == 0;
  if (created) {
    GLuint name = 0;
    glGenTextures(1, &name);
    kept.texture = name;
    kept.texture_width = 0;
  }
  glBindTexture(GL_TEXTURE_2D, kept.texture);
  const int texture_width = PowerOfTwoAtLeast(width);
  const int texture_height = PowerOfTwoAtLeast(height);
  if (texture_width != kept.texture_width || texture_height != kept.texture_height) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    SpecifyTexture(texture_width, texture_height);
    kept.texture_width = texture_width;
    kept.texture_height = texture_height;
  }
  if (created) {
    kept.blit.Attach(kept.texture);
  }
}

void KeepDrawnDial(const KeptDialKey& key) {
  KeptDialState& kept = Scene().KeptDial;
  const auto& vp = key.viewport;
  if (!TextureFits(vp[2], vp[3])) {
    kept.valid = false;
    return;
  }
  glPushAttrib(GL_TEXTURE_BIT);
  AllocateTexture(kept, vp[2], vp[3]);
  if (kept.blit.Attached()) {
    kept.blit.CopyFromWindow(vp);
  } else {
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, vp[0], vp[1], vp[2], vp[3]);
  }
  glPopAttrib();
  kept.key = key;
  kept.valid = true;
}

// Without the copy: one quad over the whole viewport, one texel per pixel: nearest sampling at the
// pixel centres, and neither lighting nor blending, so every byte comes back as it was kept. Depth
// is never tested, so the quad writes no depth either.
void PutBackKeptDial() {
  const KeptDialState& kept = Scene().KeptDial;
  const auto& vp = kept.key.viewport;
  if (kept.blit.Attached()) {
    kept.blit.CopyToWindow(vp);
    return;
  }
  const float s = static_cast<float>(vp[2]) / static_cast<float>(kept.texture_width);
  const float t = static_cast<float>(vp[3]) / static_cast<float>(kept.texture_height);
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, kept.texture);
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

}  // namespace

void DrawDialAfterClear(int32_t style) {
  KeptDialState& kept = Scene().KeptDial;
  if (!kept.enabled || !IsStaticStyle(style)) {
    kept.valid = false;
    DrawDialFace(style);
    return;
  }
  const KeptDialKey key = CurrentKey(style);
  // While the dial is still to be initialised, the kept copy may be another style's.
  if (kept.valid && Scene().DialMeshReady && kept.key == key) {
    PutBackKeptDial();
    return;
  }
  DrawDialFace(style);
  KeepDrawnDial(key);
}

void ForgetKeptDial() {
  KeptDialState& kept = Scene().KeptDial;
  kept.valid = false;
  kept.texture = 0;
  kept.texture_width = 0;
  kept.texture_height = 0;
  kept.blit = {};
}

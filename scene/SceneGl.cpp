#include "scene/SceneGl.h"

#include "scene/Caption.h"
#include "scene/GlHeaders.h"

void SceneGl::Release() {
  KeptDial.copy.Release();
  KeptStill.copy.Release();
  if (FontListBase != 0) {
    glDeleteLists(FontListBase, kFontCharCount);
  }
  Forget();
}

void SceneGl::Forget() {
  KeptDial = {};
  KeptStill = {};
  FontListBase = 0;
}

void SceneGl::RetakeKeptCopies() {
  KeptDial.valid = false;
  KeptStill.valid = false;
}

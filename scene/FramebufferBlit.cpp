#include "scene/FramebufferBlit.h"

#include <string_view>

#include "scene/GlHeaders.h"

#include <GL/glext.h>

namespace {

enum EntryPoint { kGen, kBind, kTexture2D, kCheckStatus, kBlit, kDelete };

constexpr const char* kEntryPointNames[] = {
    "glGenFramebuffersEXT",        "glBindFramebufferEXT", "glFramebufferTexture2DEXT",
    "glCheckFramebufferStatusEXT", "glBlitFramebufferEXT", "glDeleteFramebuffersEXT"};

template <typename Function>
Function Call(const std::array<void*, 6>& entry_points, EntryPoint which) {
  return reinterpret_cast<Function>(entry_points[which]);
}

}  // namespace

bool NamesExtension(std::string_view list, std::string_view name) {
  for (size_t at = list.find(name); at != std::string_view::npos; at = list.find(name, at + 1)) {
    const size_t end = at + name.size();
    if ((at == 0 || list[at - 1] == ' ') && (end == list.size() || list[end] == ' ')) {
      return true;
    }
  }
  return false;
}

bool HasGlExtension(std::string_view name) {
  const auto* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  return all != nullptr && NamesExtension(all, name);
}

bool FramebufferBlit::Attach(unsigned texture, GlProcLookup lookup) {
  Release();
  if (lookup == nullptr || !HasGlExtension("GL_EXT_framebuffer_object") ||
      !HasGlExtension("GL_EXT_framebuffer_blit")) {
    return false;
  }
  for (size_t i = 0; i < entry_points_.size(); ++i) {
    entry_points_[i] = lookup(kEntryPointNames[i]);
    if (entry_points_[i] == nullptr) return false;
  }
  GLuint name = 0;
  Call<PFNGLGENFRAMEBUFFERSEXTPROC>(entry_points_, kGen)(1, &name);
  const auto bind = Call<PFNGLBINDFRAMEBUFFEREXTPROC>(entry_points_, kBind);
  bind(GL_FRAMEBUFFER_EXT, name);
  Call<PFNGLFRAMEBUFFERTEXTURE2DEXTPROC>(entry_points_, kTexture2D)(
      GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture, 0);
  const GLenum status =
      Call<PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC>(entry_points_, kCheckStatus)(GL_FRAMEBUFFER_EXT);
  bind(GL_FRAMEBUFFER_EXT, 0);
  framebuffer_ = name;
  if (status != GL_FRAMEBUFFER_COMPLETE_EXT) {
    Release();
    return false;
  }
  return true;
}

void FramebufferBlit::Release() {
  if (framebuffer_ == 0) {
    return;
  }
  const GLuint name = framebuffer_;
  Call<PFNGLDELETEFRAMEBUFFERSEXTPROC>(entry_points_, kDelete)(1, &name);
  framebuffer_ = 0;
}

void FramebufferBlit::CopyFromWindow(const std::array<int, 4>& viewport) const {
  const auto [x, y, width, height] = viewport;
  const auto bind = Call<PFNGLBINDFRAMEBUFFEREXTPROC>(entry_points_, kBind);
  bind(GL_DRAW_FRAMEBUFFER_EXT, framebuffer_);
  Call<PFNGLBLITFRAMEBUFFEREXTPROC>(entry_points_, kBlit)(
      x, y, x + width, y + height, 0, height, width, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  bind(GL_DRAW_FRAMEBUFFER_EXT, 0);
}

void FramebufferBlit::CopyToWindow(const std::array<int, 4>& viewport) const {
  const auto [x, y, width, height] = viewport;
  const auto bind = Call<PFNGLBINDFRAMEBUFFEREXTPROC>(entry_points_, kBind);
  bind(GL_READ_FRAMEBUFFER_EXT, framebuffer_);
  Call<PFNGLBLITFRAMEBUFFEREXTPROC>(entry_points_, kBlit)(
      0, height, width, 0, x, y, x + width, y + height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  bind(GL_READ_FRAMEBUFFER_EXT, 0);
}

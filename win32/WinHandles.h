#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// Winsock's header must come before <windows.h>.
#include <winsock2.h>
#include <windows.h>

#include <utility>

// One owner per handle, released on every path. The traits name the handle type, its
// invalid value and how it is released:
//   struct Traits { using Handle = ...; static Handle Invalid(); static void Close(Handle); };
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : handle_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset(other.release());
    }
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  bool valid() const { return !(handle_ == Traits::Invalid()); }
  explicit operator bool() const { return valid(); }
  Handle release() { return std::exchange(handle_, Traits::Invalid()); }
  void reset(Handle h = Traits::Invalid()) {
    const Handle old = std::exchange(handle_, h);
    if (!(old == Traits::Invalid())) {
      Traits::Close(old);
    }
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { FreeLibrary(h); }
};
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { RegCloseKey(h); }
};
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
struct FontTraits {
  using Handle = HFONT;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
// Threads, events, processes: CreateThread and friends report failure as null.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CloseHandle(h); }
};
// Files report failure as INVALID_HANDLE_VALUE instead.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
// The platform's full handle width is kept: a SOCKET is pointer-sized on 64-bit Windows.
struct SocketTraits {
  using Handle = SOCKET;
  static Handle Invalid() { return INVALID_SOCKET; }
  static void Close(Handle h) { closesocket(h); }
};
struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DestroyWindow(h); }
};

// A window's device context, released to the window it came from.
struct WindowDc {
  HWND window = nullptr;
  HDC dc = nullptr;
  bool operator==(const WindowDc& other) const { return dc == other.dc; }
};
struct WindowDcTraits {
  using Handle = WindowDc;
  static Handle Invalid() { return {}; }
  static void Close(Handle h) { ReleaseDC(h.window, h.dc); }
};
// An OpenGL rendering context; made not current first when it is the current one.
struct GlContextTraits {
  using Handle = HGLRC;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) {
    if (wglGetCurrentContext() == h) {
      wglMakeCurrent(nullptr, nullptr);
    }
    wglDeleteContext(h);
  }
};

using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueFont = UniqueHandle<FontTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueSocket = UniqueHandle<SocketTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueWindowDc = UniqueHandle<WindowDcTraits>;
using UniqueGlContext = UniqueHandle<GlContextTraits>;

#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <utility>

// One owner per handle, released on every path.
template <typename Handle, typename Traits>
class UniqueHandle {
 public:
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
  explicit operator bool() const { return handle_ != Handle{}; }
  Handle release() { return std::exchange(handle_, Handle{}); }
  void reset(Handle h = Handle{}) {
    if (handle_ != Handle{}) {
      Traits::Close(handle_);
    }
    handle_ = h;
  }

 private:
  Handle handle_{};
};

struct ModuleTraits {
  static void Close(HMODULE h) { FreeLibrary(h); }
};
struct RegKeyTraits {
  static void Close(HKEY h) { RegCloseKey(h); }
};
struct GdiObjectTraits {
  static void Close(HGDIOBJ h) { DeleteObject(h); }
};

using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;
using UniqueRegKey = UniqueHandle<HKEY, RegKeyTraits>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, GdiObjectTraits>;

// A library loaded at run time. The platform's old convention counts a handle
// of 32 or less as a failure.
inline UniqueModule LoadOptionalLibrary(const char* name) {
  HMODULE h = LoadLibraryA(name);
  if (reinterpret_cast<UINT_PTR>(h) <= 32) {
    return UniqueModule{};
  }
  return UniqueModule{h};
}

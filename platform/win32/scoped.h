// Handles own themselves: a move-only owner per handle kind, closed exactly once.
#pragma once

#include <utility>

#include "platform/win32/win32.h"

namespace kestrava::win32 {

template <typename Traits>
class Scoped {
 public:
  using Handle = typename Traits::Handle;

  Scoped() = default;
  explicit Scoped(Handle handle) : handle_(handle) {}
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  Scoped(Scoped&& other) noexcept : handle_(other.Release()) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~Scoped() { Reset(); }

  Handle Get() const { return handle_; }
  bool Valid() const { return Traits::IsValid(handle_); }
  explicit operator bool() const { return Valid(); }

  Handle Release() {
    Handle handle = handle_;
    handle_ = Traits::Invalid();
    return handle;
  }
  void Reset(Handle handle = Traits::Invalid()) {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

// CreateFile handles: INVALID_HANDLE_VALUE when absent.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Handle h) { CloseHandle(h); }
};
using ScopedFile = Scoped<FileHandleTraits>;

// Kernel objects (mutexes, threads): null when absent.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { CloseHandle(h); }
};
using ScopedKernelHandle = Scoped<KernelHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Handle h) { FindClose(h); }
};
using ScopedFind = Scoped<FindHandleTraits>;

struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
using ScopedGdiObject = Scoped<GdiObjectTraits>;

// Device contexts made with CreateDC or CreateCompatibleDC (not those of GetDC).
struct DeviceContextTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DeleteDC(h); }
};
using ScopedDeviceContext = Scoped<DeviceContextTraits>;

struct SocketTraits {
  using Handle = SOCKET;
  static Handle Invalid() { return INVALID_SOCKET; }
  static bool IsValid(Handle h) { return h != INVALID_SOCKET; }
  static void Close(Handle h) { closesocket(h); }
};
using ScopedSocket = Scoped<SocketTraits>;

struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DestroyIcon(h); }
};
using ScopedIcon = Scoped<IconTraits>;

}  // namespace kestrava::win32

// Move-only owners of system handles: one owner per handle, closed exactly
// once, never copied. Closing keeps the thread's last-error value, so a
// caller that fails, cleans up and then reads GetLastError sees its own error.
#pragma once

#include <windows.h>

#include <utility>

namespace utility {

// Traits: `static T invalid()`, `static void close(T)`.
template <typename T, typename Traits>
class UniqueResource {
 public:
  UniqueResource() noexcept : value_(Traits::invalid()) {}
  explicit UniqueResource(T value) noexcept : value_(value) {}
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { reset(); }

  T get() const noexcept { return value_; }
  bool valid() const noexcept { return value_ != Traits::invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  // Gives up ownership without closing.
  T release() noexcept { return std::exchange(value_, Traits::invalid()); }

  void reset(T value = Traits::invalid()) noexcept {
    T old = std::exchange(value_, value);
    if (old != Traits::invalid()) {
      DWORD error = GetLastError();
      Traits::close(old);
      SetLastError(error);
    }
  }

 private:
  T value_;
};

struct KernelHandleTraits {  // null means "none" (processes, threads, mappings, mutexes)
  static HANDLE invalid() { return nullptr; }
  static void close(HANDLE h) { CloseHandle(h); }
};
struct FileHandleTraits {  // INVALID_HANDLE_VALUE means "none" (CreateFile)
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { CloseHandle(h); }
};
struct RegKeyTraits {
  static HKEY invalid() { return nullptr; }
  static void close(HKEY h) { RegCloseKey(h); }
};
struct ViewTraits {
  static const void* invalid() { return nullptr; }
  static void close(const void* p) { UnmapViewOfFile(p); }
};

using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;
using UniqueFile = UniqueResource<HANDLE, FileHandleTraits>;
using UniqueRegKey = UniqueResource<HKEY, RegKeyTraits>;
using UniqueView = UniqueResource<const void*, ViewTraits>;

}  // namespace utility

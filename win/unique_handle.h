#pragma once
// One move-only owner for every kind of Win32 handle. A trait gives the empty value(s) and the
// function that frees the handle; borrowed handles stay plain.
#include <windows.h>
// After windows.h: WIN32_LEAN_AND_MEAN keeps the old winsock.h out of it.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const noexcept { return m_handle; }
  explicit operator bool() const noexcept { return !Traits::IsEmpty(m_handle); }

  // Gives up ownership without freeing.
  [[nodiscard]] Handle release() noexcept { return std::exchange(m_handle, Traits::Empty()); }

  void reset(Handle handle = Traits::Empty()) noexcept {
    Handle old = std::exchange(m_handle, handle);
    if (!Traits::IsEmpty(old) && old != handle) Traits::Close(old);
  }

 private:
  Handle m_handle = Traits::Empty();
};

// GDI objects of every kind are freed by DeleteObject.
template <typename H>
struct GdiObjectTraits {
  using Handle = H;
  static constexpr Handle Empty() noexcept { return nullptr; }
  static bool IsEmpty(Handle handle) noexcept { return handle == nullptr; }
  static void Close(Handle handle) noexcept { ::DeleteObject(handle); }
};

// Kernel handles: some functions fail with null, others (CreateFile) with INVALID_HANDLE_VALUE.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() noexcept { return nullptr; }
  static bool IsEmpty(Handle handle) noexcept {
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
  }
  static void Close(Handle handle) noexcept { ::CloseHandle(handle); }
};

struct MemoryDcTraits {
  using Handle = HDC;
  static constexpr Handle Empty() noexcept { return nullptr; }
  static bool IsEmpty(Handle handle) noexcept { return handle == nullptr; }
  static void Close(Handle handle) noexcept { ::DeleteDC(handle); }
};

struct ModuleTraits {
  using Handle = HMODULE;
  static constexpr Handle Empty() noexcept { return nullptr; }
  static bool IsEmpty(Handle handle) noexcept { return handle == nullptr; }
  static void Close(Handle handle) noexcept { ::FreeLibrary(handle); }
};

struct IconTraits {
  using Handle = HICON;
  static constexpr Handle Empty() noexcept { return nullptr; }
  static bool IsEmpty(Handle handle) noexcept { return handle == nullptr; }
  static void Close(Handle handle) noexcept { ::DestroyIcon(handle); }
};

struct MenuTraits {
  using Handle = HMENU;
  static constexpr Handle Empty() noexcept { return nullptr; }
  static bool IsEmpty(Handle handle) noexcept { return handle == nullptr; }
  static void Close(Handle handle) noexcept { ::DestroyMenu(handle); }
};

// A window created by its owner and not managed by a Window object (for example a plain child
// control).
struct WindowHandleTraits {
  using Handle = HWND;
  static constexpr Handle Empty() noexcept { return nullptr; }
  static bool IsEmpty(Handle handle) noexcept { return handle == nullptr; }
  static void Close(Handle handle) noexcept { ::DestroyWindow(handle); }
};

// Winsock sockets (the functions are only pulled in where an owner is used).
struct SocketTraits {
  using Handle = SOCKET;
  static constexpr Handle Empty() noexcept { return INVALID_SOCKET; }
  static bool IsEmpty(Handle handle) noexcept { return handle == INVALID_SOCKET; }
  static void Close(Handle handle) noexcept { ::closesocket(handle); }
};

// The list getaddrinfo hands out.
struct AddressInfoTraits {
  using Handle = addrinfo*;
  static constexpr Handle Empty() noexcept { return nullptr; }
  static bool IsEmpty(Handle handle) noexcept { return handle == nullptr; }
  static void Close(Handle handle) noexcept { ::freeaddrinfo(handle); }
};

using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueWindowHandle = UniqueHandle<WindowHandleTraits>;
using UniqueSocket = UniqueHandle<SocketTraits>;
using UniqueAddressInfo = UniqueHandle<AddressInfoTraits>;

// Hands a region to SetWindowRgn. The system owns the region only when the call succeeded; on
// failure it stays with `region` and is freed by it.
inline bool SetWindowRegion(HWND window, UniqueRegion& region, bool redraw) noexcept {
  if (::SetWindowRgn(window, region.get(), redraw ? TRUE : FALSE) == 0) return false;
  static_cast<void>(region.release());
  return true;
}

#pragma once
// The pictures a skinned window needs before its first paint, decoded on a thread of their own
// while the window and its controls are being made: the background (a PNG, through GDI+) and the
// outline of the mask. Under Wine they cost a window's start 20-30 ms, about as long as making
// the window and its controls takes.
//
//   prefetch.Start(backgroundPath, maskPath);   // before the window is made
//   ...                                         // the window and its controls
//   prefetch.Finish();
//   SkinImage background = prefetch.TakeBackground();
#include <windows.h>

#include <string>

#include "skin/skin_image.h"
#include "win/unique_handle.h"

class SkinPrefetch {
 public:
  SkinPrefetch() = default;
  SkinPrefetch(const SkinPrefetch&) = delete;
  SkinPrefetch& operator=(const SkinPrefetch&) = delete;
  // Waits for the thread.
  ~SkinPrefetch();

  // Starts decoding either path (an empty one is left out); false, and nothing runs, when no
  // thread could be made.
  bool Start(std::wstring backgroundPath, std::wstring maskPath);
  bool Started() const noexcept { return static_cast<bool>(m_thread); }
  // Waits until both are decoded (at once when nothing was started).
  void Finish() noexcept;

  // What Finish left: empty when the file was missing or broken, or was not asked for.
  SkinImage TakeBackground() noexcept { return std::move(m_background); }
  UniqueRegion TakeOutline() noexcept { return std::move(m_outline); }

 private:
  static DWORD WINAPI Run(void* self) noexcept;

  std::wstring m_backgroundPath;
  std::wstring m_maskPath;
  SkinImage m_background;
  UniqueRegion m_outline;
  UniqueKernelHandle m_thread;
};

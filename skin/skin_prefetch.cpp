#include "skin/skin_prefetch.h"

#include <utility>

SkinPrefetch::~SkinPrefetch() {
  Finish();
}

bool SkinPrefetch::Start(std::wstring backgroundPath, std::wstring maskPath) {
  Finish();
  m_backgroundPath = std::move(backgroundPath);
  m_maskPath = std::move(maskPath);
  m_thread.reset(::CreateThread(nullptr, 0, &SkinPrefetch::Run, this, 0, nullptr));
  return Started();
}

void SkinPrefetch::Finish() noexcept {
  if (!m_thread) return;
  ::WaitForSingleObject(m_thread.get(), INFINITE);
  m_thread.reset();
}

DWORD WINAPI SkinPrefetch::Run(void* self) noexcept {
  auto& prefetch = *static_cast<SkinPrefetch*>(self);
  try {
    if (!prefetch.m_backgroundPath.empty()) {
      prefetch.m_background = LoadImageFile(prefetch.m_backgroundPath);
    }
    if (!prefetch.m_maskPath.empty()) prefetch.m_outline = OutlineFromMask(prefetch.m_maskPath);
  } catch (...) {
    // Out of memory: the window goes without, as without the files.
  }
  return 0;
}

#include "skin/skin_prefetch.h"

#include <utility>

#include "skin/skin_image_set.h"
#include "win/scoped_select.h"

SkinPrefetch::~SkinPrefetch() {
  Finish();
}

bool SkinPrefetch::Start(Work work) {
  Finish();
  m_work = std::move(work);
  m_background.reset();
  m_outline.reset();
  m_backgroundCopy.reset();
  for (Piece* piece : {&m_backgroundPiece, &m_outlinePiece, &m_copyPiece}) {
    piece->state = State::kWaiting;
  }
  m_pictures = std::make_unique<Picture[]>(m_work.files.size());
  for (std::size_t i = 0; i < m_work.files.size(); ++i) {
    m_pictures[i].file = m_work.files[i];
    m_pictures[i].path = SkinPath(m_work.files[i]);
  }
  m_stop = false;
  if (m_work.backgroundPath.empty() && m_work.maskPath.empty() && m_work.files.empty()) {
    return false;
  }
  m_thread.reset(::CreateThread(nullptr, 0, &SkinPrefetch::Run, this, 0, nullptr));
  return static_cast<bool>(m_thread);
}

void SkinPrefetch::Stop() noexcept {
  m_stop = true;
}

void SkinPrefetch::Finish() noexcept {
  if (!m_thread) return;
  m_stop = true;
  ::WaitForSingleObject(m_thread.get(), INFINITE);
  m_thread.reset();
}

DWORD WINAPI SkinPrefetch::Run(void* self) noexcept {
  auto& prefetch = *static_cast<SkinPrefetch*>(self);
  prefetch.DoUnlessTaken(prefetch.m_outlinePiece, [&] { prefetch.MakeOutline(); });
  prefetch.DoUnlessTaken(prefetch.m_backgroundPiece, [&] { prefetch.DecodeBackground(); });
  prefetch.DoUnlessTaken(prefetch.m_copyPiece, [&] { prefetch.MakeBackgroundCopy(); });
  for (std::size_t i = 0; i < prefetch.m_work.files.size(); ++i) {
    Picture& picture = prefetch.m_pictures[i];
    prefetch.DoUnlessTaken(picture.piece, [&] { prefetch.Decode(picture); });
  }
  return 0;
}

template <typename Job>
void SkinPrefetch::DoUnlessTaken(Piece& piece, Job job) {
  State waiting = State::kWaiting;
  if (m_stop || !piece.state.compare_exchange_strong(waiting, State::kBusy)) return;
  job();
  Done(piece);
}

template <typename Job>
void SkinPrefetch::Ensure(Piece& piece, Job job) {
  State waiting = State::kWaiting;
  if (piece.state.compare_exchange_strong(waiting, State::kBusy)) {
    job();
    Done(piece);
    return;
  }
  std::unique_lock lock(m_mutex);
  m_done.wait(lock, [&] { return piece.state == State::kDone; });
}

void SkinPrefetch::Done(Piece& piece) {
  {
    std::lock_guard lock(m_mutex);
    piece.state = State::kDone;
  }
  m_done.notify_all();
}

SkinImage SkinPrefetch::Background() {
  Ensure(m_backgroundPiece, [this] { DecodeBackground(); });
  return m_background;
}

UniqueRegion SkinPrefetch::TakeOutline() {
  Ensure(m_outlinePiece, [this] { MakeOutline(); });
  return std::move(m_outline);
}

UniqueBitmap SkinPrefetch::TakeBackgroundCopy(PictureSize size) {
  // Waited for in any case: until it is done the background may be being drawn.
  Ensure(m_copyPiece, [this] { MakeBackgroundCopy(); });
  if (size.width != m_work.size.width || size.height != m_work.size.height) return {};
  return std::move(m_backgroundCopy);
}

std::optional<SkinImage> SkinPrefetch::Image(const ImageFile& file) {
  if (file.Empty() || file.turn != ImageTurn::kNone) return std::nullopt;
  for (std::size_t i = 0; i < m_work.files.size(); ++i) {
    Picture& picture = m_pictures[i];
    if (picture.file.SameFile(file)) {
      Ensure(picture.piece, [&] { Decode(picture); });
      return picture.image;
    }
  }
  return std::nullopt;
}

// Out of memory in any piece leaves it empty, as a missing file would.

void SkinPrefetch::DecodeBackground() noexcept {
  try {
    if (!m_work.backgroundPath.empty()) m_background = LoadImageFile(m_work.backgroundPath);
  } catch (...) {
  }
}

void SkinPrefetch::MakeOutline() noexcept {
  try {
    if (!m_work.maskPath.empty()) m_outline = OutlineFromMask(m_work.maskPath);
  } catch (...) {
  }
}

void SkinPrefetch::MakeBackgroundCopy() noexcept {
  Ensure(m_backgroundPiece, [this] { DecodeBackground(); });
  const PictureSize size = m_work.size;
  if (!m_background || size.width <= 0 || size.height <= 0) return;
  // Compatible with the screen, as the window's own bitmaps are.
  const HDC screen = ::GetDC(nullptr);
  UniqueBitmap copy(::CreateCompatibleBitmap(screen, size.width, size.height));
  UniqueMemoryDc dc(::CreateCompatibleDC(screen));
  ::ReleaseDC(nullptr, screen);
  if (!copy || !dc) return;
  {
    ScopedSelect select(dc.get(), copy.get());
    if (!select) return;
    const RECT all{0, 0, size.width, size.height};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    DrawSkinImage(dc.get(), m_background.get(), 0, 0, size.width, size.height);
    ::GdiFlush();
  }
  m_backgroundCopy = std::move(copy);
}

void SkinPrefetch::Decode(Picture& picture) noexcept {
  try {
    picture.image = LoadImageFile(picture.path);
  } catch (...) {
  }
}

#pragma once
// The pictures a skinned window needs before and for its first paint, made ready on a thread of
// their own while the window and its controls are being made: the mask's outline, the
// background (a PNG, through GDI+) and its copy at the window's size, and the skin pictures
// its controls decode as they are made and first drawn. Under Wine these cost a window's start
// about as long as making the window and its controls takes.
//
// Each piece is done once, by whichever thread comes to it first: the window's thread asking
// for a piece the other has not begun does it itself, and waits for one the other is doing.
// So nothing is ever waited for that the window could not have done as fast itself.
//
//   prefetch.Start({backgroundPath, size, maskPath, files});  // before the window is made
//   ...                                          // the window and its controls
//   UniqueRegion outline = prefetch.TakeOutline();
//   ...                                          // the first paint
//   UniqueBitmap copy = prefetch.TakeBackgroundCopy(size);
//   prefetch.Finish();
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "skin/core/control_table.h"
#include "skin/skin_image.h"
#include "win/unique_handle.h"

class SkinPrefetch {
 public:
  struct Work {
    std::wstring backgroundPath;   // a PNG; empty: none
    PictureSize size{};            // the client area the background is copied at; zero: no copy
    std::wstring maskPath;         // empty: none
    std::vector<ImageFile> files;  // skin pictures (upright), in the order they are wanted
  };

  SkinPrefetch() = default;
  SkinPrefetch(const SkinPrefetch&) = delete;
  SkinPrefetch& operator=(const SkinPrefetch&) = delete;
  // Waits for the thread.
  ~SkinPrefetch();

  // Starts on `work` (after finishing any earlier work); false when no thread could be made,
  // and the pieces are then done as they are asked for.
  bool Start(Work work);
  // Lets the thread end after the piece it is doing, without waiting for it.
  void Stop() noexcept;
  // Stops the thread and waits for it. Pieces left are done when asked for.
  void Finish() noexcept;

  // The decoded background, empty when the file is missing or broken, or was not asked for.
  SkinImage Background();
  // The outline of the mask; empty when there is none.
  UniqueRegion TakeOutline();
  // The background stretched over a black bitmap of the work's size, compatible with the
  // screen; empty when `size` is another or there is no background.
  UniqueBitmap TakeBackgroundCopy(PictureSize size);
  // The picture of `file` when the work has it (empty when it could not be decoded); nullopt
  // for a file not in the work.
  std::optional<SkinImage> Image(const ImageFile& file);

 private:
  enum class State { kWaiting, kBusy, kDone };
  struct Piece {
    std::atomic<State> state{State::kWaiting};
  };
  struct Picture {
    ImageFile file;
    std::wstring path;
    SkinImage image;
    Piece piece;
  };

  static DWORD WINAPI Run(void* self) noexcept;
  // Does `job` for `piece` unless another thread did or does it (then waits for it).
  template <typename Job>
  void Ensure(Piece& piece, Job job);
  // For the thread: does `job` unless the window's thread took the piece already.
  template <typename Job>
  void DoUnlessTaken(Piece& piece, Job job);
  void Done(Piece& piece);

  void DecodeBackground() noexcept;
  void MakeOutline() noexcept;
  void MakeBackgroundCopy() noexcept;
  void Decode(Picture& picture) noexcept;

  Work m_work;
  SkinImage m_background;
  UniqueRegion m_outline;
  UniqueBitmap m_backgroundCopy;
  Piece m_backgroundPiece;
  Piece m_outlinePiece;
  Piece m_copyPiece;
  std::unique_ptr<Picture[]> m_pictures;  // one per file of the work
  std::atomic<bool> m_stop{false};
  std::mutex m_mutex;
  std::condition_variable m_done;
  UniqueKernelHandle m_thread;
};

#pragma once
// The pictures of one window: each file is loaded once, however many of the window's controls
// show it, and lives as long as the set or the last control holding it. PNG pictures become
// GDI+ bitmaps (Image); BMP, JPEG and GIF pictures become GDI bitmaps decoded by the OLE
// picture loader (Picture), which never starts GDI+ (the agent relies on that).
#include <windows.h>

#include <string>
#include <vector>

#include "skin/core/control_table.h"
#include "skin/skin_image.h"
#include "win/unique_handle.h"

class SkinPrefetch;

// "images\0409\background\" and its siblings.
const wchar_t* SkinFolderPath(SkinFolder folder) noexcept;
// The full path of a skin picture below the program folder.
std::wstring SkinPath(const ImageFile& file);
// PNG files are drawn with GDI+; the others are decoded into GDI bitmaps.
bool IsPngFile(const ImageFile& file) noexcept;
// Size of a GDI bitmap; zero for none.
PictureSize BitmapSize(HBITMAP bitmap) noexcept;

class SkinImageSet {
 public:
  SkinImageSet() = default;
  SkinImageSet(const SkinImageSet&) = delete;
  SkinImageSet& operator=(const SkinImageSet&) = delete;

  // The GDI+ picture of `file`, turned as the reference says; empty when there is none.
  SkinImage Image(const ImageFile& file);
  // From now, pictures `prefetch` has (or will have) are taken from it instead of being decoded
  // here; null: no more. It must outlive the set or be unset.
  void DecodeAheadBy(SkinPrefetch* prefetch) noexcept { m_ahead = prefetch; }
  // Takes `image`, decoded elsewhere, as the set's picture of `file`, unless it has one.
  void Keep(const ImageFile& file, SkinImage image);
  // The GDI bitmap of `file`, owned by the set (valid until Clear); null when there is none.
  HBITMAP Picture(const ImageFile& file);

  void Clear() noexcept;

 private:
  struct Key {
    SkinFolder folder;
    std::u16string file;
    ImageTurn turn;
    bool operator==(const Key&) const = default;
  };
  static Key KeyOf(const ImageFile& file);

  std::vector<std::pair<Key, SkinImage>> m_images;
  std::vector<std::pair<Key, UniqueBitmap>> m_pictures;
  SkinPrefetch* m_ahead = nullptr;
};

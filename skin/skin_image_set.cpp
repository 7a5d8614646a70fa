#include "skin/skin_image_set.h"

#include <cwctype>
#include <optional>
#include <string_view>
#include <utility>

#include "skin/skin_prefetch.h"
#include "win/text.h"

SkinImageSet::Key SkinImageSet::KeyOf(const ImageFile& file) {
  return {file.folder, std::u16string(file.file != nullptr ? file.file : u""), file.turn};
}

const wchar_t* SkinFolderPath(SkinFolder folder) noexcept {
  switch (folder) {
    case SkinFolder::kButtons:
      return kSkinButtonsFolder;
    case SkinFolder::kControls:
      return kSkinControlsFolder;
    case SkinFolder::kBackground:
      break;
  }
  return kSkinBackgroundFolder;
}

std::wstring SkinPath(const ImageFile& file) {
  if (file.Empty()) return {};
  return SkinPath(SkinFolderPath(file.folder), AsWide(file.file));
}

bool IsPngFile(const ImageFile& file) noexcept {
  if (file.Empty()) return false;
  const std::u16string_view name(file.file);
  if (name.size() < 4) return false;
  const std::u16string_view extension = name.substr(name.size() - 4);
  const char16_t png[] = u".png";
  for (size_t i = 0; i < 4; ++i) {
    if (std::towlower(static_cast<wint_t>(extension[i])) != static_cast<wint_t>(png[i])) {
      return false;
    }
  }
  return true;
}

PictureSize BitmapSize(HBITMAP bitmap) noexcept {
  BITMAP info{};
  if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof(info), &info) == 0) return {};
  return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

SkinImage SkinImageSet::Image(const ImageFile& file) {
  if (file.Empty()) return {};
  const Key key = KeyOf(file);
  for (const auto& [known, image] : m_images) {
    if (known == key) return image;
  }
  SkinImage image;
  if (file.turn == ImageTurn::kNone) {
    std::optional<SkinImage> ahead = m_ahead != nullptr ? m_ahead->Image(file) : std::nullopt;
    image = ahead ? std::move(*ahead) : LoadImageFile(SkinPath(file));
  } else if (const SkinImage upright = Image({file.folder, file.file, ImageTurn::kNone})) {
    image.reset(upright->Clone(0, 0, ImageWidth(upright.get()), ImageHeight(upright.get()),
                               PixelFormat32bppARGB));
    if (image) image->RotateFlip(Gdiplus::Rotate90FlipNone);
  }
  m_images.emplace_back(key, image);
  return image;
}

void SkinImageSet::Keep(const ImageFile& file, SkinImage image) {
  if (file.Empty()) return;
  const Key key = KeyOf(file);
  for (const auto& entry : m_images) {
    if (entry.first == key) return;
  }
  m_images.emplace_back(key, std::move(image));
}

HBITMAP SkinImageSet::Picture(const ImageFile& file) {
  if (file.Empty()) return nullptr;
  const Key key = KeyOf(file);
  for (const auto& [known, picture] : m_pictures) {
    if (known == key) return picture.get();
  }
  UniqueBitmap picture;
  LoadPictureBitmap(SkinPath(file), picture);
  const HBITMAP handle = picture.get();
  m_pictures.emplace_back(key, std::move(picture));
  return handle;
}

void SkinImageSet::Clear() noexcept {
  m_images.clear();
  m_pictures.clear();
}

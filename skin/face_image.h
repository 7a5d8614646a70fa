#pragma once
// One face of a skinned button: a picture, or a skin file decoded from its window's picture set
// the first time the face is drawn. Most buttons rarely or never show their hover, pressed and
// disabled faces, and every decoded file costs a window's start about a millisecond or two
// under Wine.
#include <cstddef>
#include <utility>

#include "skin/core/control_table.h"
#include "skin/skin_image.h"

class SkinImageSet;

class FaceImage {
 public:
  FaceImage() = default;
  FaceImage(std::nullptr_t) noexcept {}  // implicit: no picture
  // A picture already at hand.
  FaceImage(SkinImage image) : m_image(std::move(image)) {}  // implicit: a face is a picture
  // `file` from `images`, which must outlive the face; nothing for an empty file.
  FaceImage(SkinImageSet& images, const ImageFile& file) noexcept;

  // The picture, decoded now when it was not yet; null for none.
  Gdiplus::Bitmap* get() const noexcept;

 private:
  mutable SkinImage m_image;
  mutable SkinImageSet* m_images = nullptr;  // until the file is decoded
  ImageFile m_file{};
};

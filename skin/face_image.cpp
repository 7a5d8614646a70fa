#include "skin/face_image.h"

#include "skin/skin_image_set.h"

FaceImage::FaceImage(SkinImageSet& images, const ImageFile& file) noexcept
    : m_images(file.Empty() ? nullptr : &images), m_file(file) {}

Gdiplus::Bitmap* FaceImage::get() const noexcept {
  if (m_images != nullptr) {
    try {
      m_image = m_images->Image(m_file);
    } catch (...) {
      // Out of memory: the face stays empty, as for a missing file.
    }
    m_images = nullptr;
  }
  return m_image.get();
}

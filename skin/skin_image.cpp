#include "skin/skin_image.h"

#include <objbase.h>
#include <olectl.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "settings/folders.h"
#include "skin/core/region_runs.h"
#include "win/scoped_select.h"
#include "win/text.h"

namespace {

// COM for the picture decoders that need it (Wine decodes JPEG through WIC); harmless when the
// thread already has COM in any mode.
class ComScope {
 public:
  ComScope() noexcept : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(m_result)) ::CoUninitialize();
  }

 private:
  HRESULT m_result;
};

template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (m_ptr != nullptr) m_ptr->Release();
  }
  T* get() const noexcept { return m_ptr; }
  T** put() noexcept { return &m_ptr; }
  T* operator->() const noexcept { return m_ptr; }

 private:
  T* m_ptr = nullptr;
};

// The whole file in movable global memory, or null.
HGLOBAL ReadFileIntoGlobal(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  LARGE_INTEGER size{};
  // Pictures are small; anything near 2 GB is not a picture of ours.
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > 0x7FFFFFFF) {
    return nullptr;
  }
  const auto bytes = static_cast<DWORD>(size.QuadPart);
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return nullptr;
  void* data = ::GlobalLock(memory);
  DWORD read = 0;
  const bool ok =
      data != nullptr && ::ReadFile(file.get(), data, bytes, &read, nullptr) && read == bytes;
  if (data != nullptr) ::GlobalUnlock(memory);
  if (!ok) {
    ::GlobalFree(memory);
    return nullptr;
  }
  return memory;
}

// The mask's pixels as 0x00RRGGBB words, top row first.
bool ReadMaskPixels(HBITMAP bitmap, int& width, int& height, std::vector<std::uint32_t>& pixels) {
  BITMAP info{};
  if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof(info), &info) == 0) return false;
  width = info.bmWidth;
  height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  if (width <= 0 || height <= 0) return false;

  BITMAPINFO dibInfo{};
  dibInfo.bmiHeader.biSize = sizeof(dibInfo.bmiHeader);
  dibInfo.bmiHeader.biWidth = width;
  dibInfo.bmiHeader.biHeight = -height;  // top-down, so row 0 is the top row
  dibInfo.bmiHeader.biPlanes = 1;
  dibInfo.bmiHeader.biBitCount = 32;
  dibInfo.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap section(::CreateDIBSection(nullptr, &dibInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueMemoryDc source(::CreateCompatibleDC(nullptr));
  UniqueMemoryDc target(::CreateCompatibleDC(nullptr));
  if (!section || bits == nullptr || !source || !target) return false;
  {
    ScopedSelect selectSource(source.get(), bitmap);
    ScopedSelect selectTarget(target.get(), section.get());
    if (!selectSource || !selectTarget) return false;
    if (!::BitBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY)) return false;
    ::GdiFlush();
  }
  const auto* words = static_cast<const std::uint32_t*>(bits);
  pixels.assign(words, words + static_cast<std::size_t>(width) * height);
  return true;
}

UniqueRegion RegionFromBatch(const RegionBatch& batch) {
  const std::size_t count = batch.rects.size();
  std::vector<std::uint8_t> buffer(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(count);
  data->rdh.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
  data->rdh.rcBound = {batch.bounds.left, batch.bounds.top, batch.bounds.right,
                       batch.bounds.bottom};
  auto* rects = reinterpret_cast<RECT*>(data->Buffer);
  for (std::size_t i = 0; i < count; ++i) {
    const RegionRect& run = batch.rects[i];
    rects[i] = {run.left, run.top, run.right, run.bottom};
  }
  return UniqueRegion(::ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data));
}

}  // namespace

std::wstring SkinPath(std::wstring_view folder, std::wstring_view file) {
  std::wstring path = ToWide(ProgramFolder());
  path.append(folder);
  path.append(file);
  return path;
}

SkinImage LoadSkinImage(std::wstring_view folder, std::wstring_view file) {
  return LoadImageFile(SkinPath(folder, file));
}

SkinImage LoadImageFile(const std::wstring& path) {
  if (path.empty() || ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
  SkinImage image(Gdiplus::Bitmap::FromFile(path.c_str(), FALSE));
  if (!image || image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0) return {};
  return image;
}

int ImageWidth(const Gdiplus::Image* image) noexcept {
  return image != nullptr ? static_cast<int>(const_cast<Gdiplus::Image*>(image)->GetWidth()) : 0;
}

int ImageHeight(const Gdiplus::Image* image) noexcept {
  return image != nullptr ? static_cast<int>(const_cast<Gdiplus::Image*>(image)->GetHeight()) : 0;
}

void DrawSkinImage(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int x, int y, int width,
                   int height) {
  if (image == nullptr || width <= 0 || height <= 0) return;
  if (static_cast<UINT>(width) == image->GetWidth() &&
      static_cast<UINT>(height) == image->GetHeight()) {
    // Most faces are drawn at their own size: no resampling, so no edge handling either.
    graphics.DrawImage(image, x, y, width, height);
    return;
  }
  // Without these a stretched picture's outermost pixels blend with the transparent space
  // around it, leaving a faded rim on every face.
  Gdiplus::ImageAttributes attributes;
  attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  graphics.DrawImage(image, Gdiplus::Rect(x, y, width, height), 0, 0,
                     static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()),
                     Gdiplus::UnitPixel, &attributes);
}

void DrawSkinImage(HDC dc, Gdiplus::Image* image, int x, int y, int width, int height) {
  if (dc == nullptr || image == nullptr) return;
  Gdiplus::Graphics graphics(dc);
  DrawSkinImage(graphics, image, x, y, width, height);
}

namespace {

PictureSize SizeOf(UniqueBitmap& bitmap) {
  BITMAP info{};
  if (::GetObjectW(bitmap.get(), sizeof(info), &info) == 0) {
    bitmap.reset();
    return {};
  }
  return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

bool HasBmpExtension(const std::wstring& path) {
  return path.size() > 4 && ::_wcsicmp(path.c_str() + path.size() - 4, L".bmp") == 0;
}

}  // namespace

PictureSize LoadPictureBitmap(const std::wstring& path, UniqueBitmap& bitmap) {
  bitmap.reset();
  // Bitmap files (the masks) without the OLE picture loader, which costs a window's start
  // tens of milliseconds under Wine; anything it cannot read goes the OLE way.
  if (HasBmpExtension(path)) {
    bitmap.reset(static_cast<HBITMAP>(::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (bitmap) return SizeOf(bitmap);
  }
  HGLOBAL memory = ReadFileIntoGlobal(path);
  if (memory == nullptr) return {};
  ComPtr<IStream> stream;
  // The stream frees the memory when it goes.
  if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, stream.put()))) {
    ::GlobalFree(memory);
    return {};
  }
  ComScope com;
  ComPtr<IPicture> picture;
  if (FAILED(::OleLoadPicture(stream.get(), 0, FALSE, IID_IPicture,
                              reinterpret_cast<void**>(picture.put()))) ||
      picture.get() == nullptr) {
    return {};
  }
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP ||
      FAILED(picture->get_Handle(&handle)) || handle == 0) {
    return {};
  }
  // The picture deletes its own bitmap when released, so keep a copy of ours.
  HBITMAP copy =
      static_cast<HBITMAP>(::CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (copy == nullptr) return {};
  bitmap.reset(copy);
  return SizeOf(bitmap);
}

UniqueRegion RegionFromBitmap(HBITMAP bitmap, COLORREF key, int tolerance) {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  if (!ReadMaskPixels(bitmap, width, height, pixels)) return {};
  const RegionKey regionKey{GetRValue(key), GetGValue(key), GetBValue(key), tolerance};
  const std::vector<RegionBatch> batches =
      RegionBatches(RegionRuns(pixels.data(), width, height, width, regionKey));
  UniqueRegion result;
  for (const RegionBatch& batch : batches) {
    UniqueRegion part = RegionFromBatch(batch);
    if (!part) continue;
    if (!result) {
      result = std::move(part);
    } else {
      ::CombineRgn(result.get(), result.get(), part.get(), RGN_OR);
    }
  }
  return result;
}

UniqueRegion OutlineFromMask(const std::wstring& maskPath) {
  UniqueBitmap mask;
  if (LoadPictureBitmap(maskPath, mask).width == 0) return {};
  return RegionFromBitmap(mask.get(), RGB(255, 255, 255), 0);
}

bool ShapeWindowFromMask(HWND window, const std::wstring& maskPath) {
  UniqueRegion region = OutlineFromMask(maskPath);
  return region && SetWindowRegion(window, region, true);
}

PictureSize PngFileSize(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  // The signature, then the IHDR chunk: length, type, width and height (big-endian).
  std::uint8_t header[24] = {};
  DWORD read = 0;
  if (!::ReadFile(file.get(), header, sizeof(header), &read, nullptr) || read != sizeof(header)) {
    return {};
  }
  constexpr std::uint8_t kStart[16] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                       0,    0,   0,   13,  'I',  'H',  'D',  'R'};
  if (std::memcmp(header, kStart, sizeof(kStart)) != 0) return {};
  auto word = [&](int at) {
    return (static_cast<std::uint32_t>(header[at]) << 24) | (header[at + 1] << 16) |
           (header[at + 2] << 8) | header[at + 3];
  };
  const std::uint32_t width = word(16);
  const std::uint32_t height = word(20);
  if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return {};
  return {static_cast<int>(width), static_cast<int>(height)};
}

// The English skin's pictures: every file that the programs open is there, sized for the place
// the windows give it, and the window masks keep every control inside the window's outline.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSkin = fs::path(VIREO_SKIN_DIR);

struct Size {
  int width = 0;
  int height = 0;
};

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::string bytes(std::size_t(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), std::streamsize(bytes.size()));
  return bytes;
}

std::uint32_t BigEndian32(const std::string& b, std::size_t at) {
  return std::uint32_t(std::uint8_t(b[at])) << 24 | std::uint32_t(std::uint8_t(b[at + 1])) << 16 |
         std::uint32_t(std::uint8_t(b[at + 2])) << 8 | std::uint8_t(b[at + 3]);
}

int BigEndian16(const std::string& b, std::size_t at) {
  return std::uint8_t(b[at]) << 8 | std::uint8_t(b[at + 1]);
}

std::int32_t LittleEndian32(const std::string& b, std::size_t at) {
  return std::int32_t(
      std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
      std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24);
}

// The size in the PNG header (IHDR right after the signature).
std::optional<Size> PngSize(const std::string& b) {
  if (b.size() < 24 || b.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0 || b.compare(12, 4, "IHDR") != 0)
    return std::nullopt;
  return Size{int(BigEndian32(b, 16)), int(BigEndian32(b, 20))};
}

// The size in the frame header of a JPEG file (any SOF marker).
std::optional<Size> JpegSize(const std::string& b) {
  if (b.size() < 4 || std::uint8_t(b[0]) != 0xFF || std::uint8_t(b[1]) != 0xD8) return std::nullopt;
  std::size_t at = 2;
  while (at + 9 < b.size()) {
    if (std::uint8_t(b[at]) != 0xFF) return std::nullopt;
    const int marker = std::uint8_t(b[at + 1]);
    const int length = BigEndian16(b, at + 2);
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
      return Size{BigEndian16(b, at + 7), BigEndian16(b, at + 5)};
    at += 2 + std::size_t(length);
  }
  return std::nullopt;
}

// A 24-bit uncompressed bitmap, the form of the mask files: its size and its pixels.
struct Bitmap {
  Size size;
  std::string bytes;
  std::size_t pixels = 0;
  std::size_t stride = 0;
  bool bottomUp = true;

  // True when the pixel is pure white, the colour that the outline cuts away.
  bool IsWhite(int x, int y) const {
    const std::size_t row = std::size_t(bottomUp ? size.height - 1 - y : y);
    const std::size_t at = pixels + row * stride + std::size_t(x) * 3;
    return std::uint8_t(bytes[at]) == 255 && std::uint8_t(bytes[at + 1]) == 255 &&
           std::uint8_t(bytes[at + 2]) == 255;
  }
};

std::optional<Bitmap> ReadMask(const fs::path& path) {
  Bitmap bmp;
  bmp.bytes = ReadBytes(path);
  const std::string& b = bmp.bytes;
  if (b.size() < 54 || b.compare(0, 2, "BM") != 0) return std::nullopt;
  const int bits = std::uint8_t(b[28]) | std::uint8_t(b[29]) << 8;
  if (bits != 24 || LittleEndian32(b, 30) != 0) return std::nullopt;
  const std::int32_t height = LittleEndian32(b, 22);
  bmp.size = {LittleEndian32(b, 18), height < 0 ? -height : height};
  bmp.bottomUp = height > 0;
  bmp.pixels = std::size_t(LittleEndian32(b, 10));
  bmp.stride = (std::size_t(bmp.size.width) * 3 + 3) / 4 * 4;
  if (bmp.size.width <= 0 || bmp.pixels + bmp.stride * std::size_t(bmp.size.height) > b.size())
    return std::nullopt;
  return bmp;
}

std::optional<Size> ImageSize(const fs::path& path) {
  const std::string bytes = ReadBytes(path);
  const std::string ext = path.extension().string();
  if (ext == ".png") return PngSize(bytes);
  if (ext == ".jpg") return JpegSize(bytes);
  if (const auto bmp = ReadMask(path)) return bmp->size;
  return std::nullopt;
}

struct Expected {
  const char* folder;
  const char8_t* name;
  int width;  // 0: any
  int height;
};

// Every picture the programs open, with the size of the place they draw it (or of the window it
// shapes). Faces of a button share the button's size; stretched parts are free.
const Expected kImages[] = {
    {"background", u8"cfgMainback.png", 0, 0},
    {"background", u8"cfgMainback.bmp", 0, 0},
    {"background", u8"cfgMainback2.bmp", 478, 292},
    {"background", u8"cfgMainback3.bmp", 757, 582},
    {"background", u8"dlg.png", 478, 292},
    {"background", u8"mouse-layout-front.png", 190, 272},
    {"background", u8"mouse-layout-side.png", 0, 0},
    {"background", u8"light.png", 608, 281},
    {"background", u8"trackbar-back-b.png", 210, 18},
    {"background", u8"dbclick-back.png", 0, 0},
    {"background", u8"DPI-1.png", 62, 22},
    {"background", u8"DPI-2.png", 62, 22},
    {"background", u8"menuitem-n.png", 0, 20},
    {"background", u8"menuitem-d.png", 0, 20},
    {"background", u8"menuitem-n2.png", 0, 20},
    {"background", u8"menuitem-d2.png", 0, 20},
    {"background", u8"menuitem-d-b.png", 301, 26},
    {"background", u8"423.png", 7, 9},
    {"background", u8"424.png", 7, 9},
    {"background", u8"warn.png", 96, 90},
    {"background", u8"红色.png", 24, 24},
    {"background", u8"橙色.png", 24, 24},
    {"background", u8"黄色.png", 24, 24},
    {"background", u8"绿色.png", 24, 24},
    {"background", u8"青色.png", 24, 24},
    {"background", u8"蓝色.png", 24, 24},
    {"background", u8"紫色.png", 24, 24},
    {"buttons", u8"ok-1.png", 93, 26},
    {"buttons", u8"ok-2.png", 93, 26},
    {"buttons", u8"ok-3.png", 93, 26},
    {"buttons", u8"min-1.png", 14, 13},
    {"buttons", u8"min-2.png", 14, 13},
    {"buttons", u8"min-3.png", 14, 13},
    {"buttons", u8"close-1.png", 14, 13},
    {"buttons", u8"close-2.png", 14, 13},
    {"buttons", u8"close-3.png", 14, 13},
    {"buttons", u8"tabbutton-1.png", 162, 20},
    {"buttons", u8"tabbutton-2.png", 162, 20},
    {"buttons", u8"tabbutton-3.png", 162, 20},
    {"buttons", u8"ProfileButton-1.png", 85, 19},
    {"buttons", u8"ProfileButton-2.png", 85, 19},
    {"buttons", u8"ProfileButton-3.png", 85, 19},
    {"buttons", u8"ButtonAssign-1.png", 147, 20},
    {"buttons", u8"ButtonAssign-2.png", 147, 20},
    {"buttons", u8"ButtonAssign-3.png", 147, 20},
    {"buttons", u8"RedButton-1.png", 147, 20},
    {"buttons", u8"iconstart1.png", 30, 23},
    {"buttons", u8"iconstart2.png", 30, 23},
    {"buttons", u8"iconstop1.png", 30, 23},
    {"buttons", u8"iconstop2.png", 30, 23},
    {"buttons", u8"color-mode-page-1.png", 150, 26},
    {"buttons", u8"color-mode-page-2.png", 150, 26},
    {"buttons", u8"color-mode-page-3.png", 150, 26},
    {"buttons", u8"color-mode-page-4.png", 150, 26},
    {"controls", u8"checkbox1-1.png", 0, 0},
    {"controls", u8"checkbox1-2.png", 0, 0},
    // Slider thumbs are as wide (or, for y.png, as high) as their tracks.
    {"controls", u8"x.png", 22, 21},
    {"controls", u8"x2.png", 51, 21},
    {"controls", u8"x3.png", 22, 21},
    {"controls", u8"y.png", 0, 18},
    {"controls", u8"dpi-indicator-x.png", 22, 181},
    {"controls", u8"dpi-indicator-x2.png", 51, 181},
    {"controls", u8"dpi-indicator-y.png", 22, 181},
    {"controls", u8"circle.png", 19, 18},
    {"controls", u8"circle_up.png", 19, 18},
    {"controls", u8"circle_down.png", 19, 18},
    {"controls", u8"updatebar_n.jpg", 0, 0},
    {"controls", u8"updatebar_o.jpg", 0, 0},
    {"controls", u8"updatebar_Mask.BMP", 0, 0},
};

fs::path PathOf(const char* folder, const char8_t* name) {
  return kSkin / folder / fs::path(std::u8string(name));
}

Size SizeOf(const char* folder, const char8_t* name) {
  return ImageSize(PathOf(folder, name)).value_or(Size{});
}

std::string Describe(const char* folder, const char8_t* name) {
  return std::string(folder) + "/" + PathOf(folder, name).filename().string();
}

TEST(SkinImages, EveryPictureTheProgramsOpenIsThereWithTheSizeOfItsPlace) {
  for (const Expected& e : kImages) {
    const auto size = ImageSize(PathOf(e.folder, e.name));
    ASSERT_TRUE(size.has_value()) << Describe(e.folder, e.name) << " is missing or unreadable";
    EXPECT_GT(size->width, 0) << Describe(e.folder, e.name);
    EXPECT_GT(size->height, 0) << Describe(e.folder, e.name);
    if (e.width) {
      EXPECT_EQ(size->width, e.width) << Describe(e.folder, e.name);
    }
    if (e.height) {
      EXPECT_EQ(size->height, e.height) << Describe(e.folder, e.name);
    }
  }
}

TEST(SkinImages, OutlinesAndBarPartsMatchThePicturesTheyGoWith) {
  const Size main = SizeOf("background", u8"cfgMainback.png");
  const Size mainMask = SizeOf("background", u8"cfgMainback.bmp");
  EXPECT_EQ(mainMask.width, main.width);
  EXPECT_EQ(mainMask.height, main.height);

  // The fill bar copies both pictures at the window's size, which is the background's.
  const Size back = SizeOf("controls", u8"updatebar_n.jpg");
  for (const char8_t* name : {u8"updatebar_o.jpg", u8"updatebar_Mask.BMP"}) {
    const Size other = SizeOf("controls", name);
    EXPECT_EQ(other.width, back.width) << Describe("controls", name);
    EXPECT_EQ(other.height, back.height) << Describe("controls", name);
  }

  // A menu is as wide as its row picture; rows and sub-rows swap these faces freely.
  const Size row = SizeOf("background", u8"menuitem-n.png");
  for (const char8_t* name : {u8"menuitem-d.png", u8"menuitem-n2.png", u8"menuitem-d2.png"})
    EXPECT_EQ(SizeOf("background", name).width, row.width) << Describe("background", name);

  const Size checked = SizeOf("controls", u8"checkbox1-1.png");
  const Size unchecked = SizeOf("controls", u8"checkbox1-2.png");
  EXPECT_EQ(checked.width, unchecked.width);
  EXPECT_EQ(checked.height, unchecked.height);
}

struct Rect {
  int left, top, right, bottom;
};

// Every control of a window must lie inside the outline, or part of it would be cut away.
void ExpectInsideOutline(const char* folder, const char8_t* mask, const std::vector<Rect>& rects) {
  const auto bmp = ReadMask(PathOf(folder, mask));
  ASSERT_TRUE(bmp.has_value()) << Describe(folder, mask) << " is not a 24-bit bitmap";
  const Size s = bmp->size;
  EXPECT_TRUE(bmp->IsWhite(0, 0)) << Describe(folder, mask) << ": corners are cut away";
  EXPECT_TRUE(bmp->IsWhite(s.width - 1, s.height - 1)) << Describe(folder, mask);
  EXPECT_FALSE(bmp->IsWhite(s.width / 2, s.height / 2)) << Describe(folder, mask);
  for (const Rect& r : rects) {
    ASSERT_LE(r.right, s.width);
    ASSERT_LE(r.bottom, s.height);
    for (const auto& [x, y] :
         {std::pair{r.left, r.top}, std::pair{r.right - 1, r.top}, std::pair{r.left, r.bottom - 1},
          std::pair{r.right - 1, r.bottom - 1}})
      EXPECT_FALSE(bmp->IsWhite(x, y))
          << Describe(folder, mask) << ": control (" << r.left << ", " << r.top << ", " << r.right
          << ", " << r.bottom << ") is cut at (" << x << ", " << y << ")";
  }
}

TEST(SkinImages, WindowOutlinesKeepEveryControl) {
  // Main window: title-bar buttons, tabs, a row of the pages, profiles, bottom row.
  ExpectInsideOutline("background", u8"cfgMainback.bmp",
                      {{722, 34, 736, 47},
                       {742, 34, 756, 47},
                       {72, 162, 234, 182},
                       {566, 162, 728, 182},
                       {73, 201, 715, 501},
                       {675, 441, 734, 457},
                       {100, 480, 700, 506},
                       {109, 525, 674, 544},
                       {57, 560, 150, 586},
                       {649, 560, 742, 586}});
  // Key capture and rapid-fire windows.
  ExpectInsideOutline("background", u8"cfgMainback2.bmp",
                      {{36, 112, 87, 128},
                       {45, 86, 433, 124},
                       {60, 165, 159, 191},
                       {383, 171, 444, 190},
                       {135, 219, 228, 245},
                       {234, 219, 327, 245}});
  // Macro editor.
  ExpectInsideOutline("background", u8"cfgMainback3.bmp",
                      {{27, 78, 236, 507},
                       {572, 80, 727, 509},
                       {29, 478, 130, 496},
                       {38, 516, 127, 541},
                       {617, 516, 706, 541}});
  // The progress window is cut only at its ends.
  const auto bar = ReadMask(PathOf("controls", u8"updatebar_Mask.BMP"));
  ASSERT_TRUE(bar.has_value());
  EXPECT_TRUE(bar->IsWhite(0, 0));
  EXPECT_FALSE(bar->IsWhite(bar->size.width / 2, 0));
  EXPECT_FALSE(bar->IsWhite(bar->size.width / 2, bar->size.height - 1));
}

}  // namespace

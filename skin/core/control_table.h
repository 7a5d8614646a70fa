#pragma once
// Control tables: the controls of a skinned window written down as data, one row per control
// (kind, id, place, faces, caption key, font, radio group, pages). The window base
// (SkinnedDialog) creates and destroys what its table lists, and the layout dump hands the same
// rows to the skin preview, so the program and its preview cannot drift apart. Portable (no
// Windows types), so the tables are checked natively too.
//
//   // <window>_ids.h: one header of control ids per window
//   namespace gallery_id { inline constexpr int kOk = 1001; ... }
//   // <window>_layout.h: the table and the window
//   inline constexpr ControlRow kGalleryControls[] = {
//       ButtonRow(gallery_id::kOk, {24, 72, 117, 98}, {kOkFaces, kBoldCaption},
//                 SkinTextKey(u"General", 46)),
//       LabelRow(gallery_id::kTitle, {24, 16, 400, 40}, FixedText(u"Gallery"),
//                {.font = {21, 700}}),
//       ButtonRow(gallery_id::kTab1, ...).InGroup(1).OnPages({1, 2, 3}),
//   };
//   inline constexpr WindowLayout kGalleryLayout{
//       .name = "gallery", .background = {SkinFolder::kBackground, u"dlg.png"}, ...,
//       .controls = kGalleryControls};
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A colour laid out as the platform's COLORREF (red in the low byte).
using SkinColour = std::uint32_t;
constexpr SkinColour SkinRgb(int red, int green, int blue) {
  return static_cast<SkinColour>(red & 0xFF) | (static_cast<SkinColour>(green & 0xFF) << 8) |
         (static_cast<SkinColour>(blue & 0xFF) << 16);
}
inline constexpr SkinColour kSkinWhite = SkinRgb(255, 255, 255);
inline constexpr SkinColour kSkinBlack = SkinRgb(0, 0, 0);
// "Keep the control's own default" (the system colours a list starts with).
inline constexpr SkinColour kDefaultColour = 0xFFFFFFFF;

// A rectangle in the window's client pixels, right and bottom exclusive.
struct TableRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const TableRect&) const = default;
};

enum class SkinFolder : std::uint8_t { kBackground, kButtons, kControls };
// A picture can be used turned by a quarter (clockwise), e.g. a horizontal track as a vertical.
enum class ImageTurn : std::uint8_t { kNone, kQuarter };

// A picture of the skin. PNG pictures are drawn with GDI+ (they carry alpha); BMP, JPEG and GIF
// pictures are decoded by the OLE picture loader (masks, the progress bar's pictures).
struct ImageFile {
  SkinFolder folder = SkinFolder::kBackground;
  const char16_t* file = nullptr;  // null: no picture
  ImageTurn turn = ImageTurn::kNone;
  constexpr bool Empty() const { return file == nullptr; }
  // The same picture file, whatever the turn; neither may be empty.
  bool SameFile(const ImageFile& other) const {
    return folder == other.folder && std::u16string_view(file) == std::u16string_view(other.file);
  }
};

// The four faces of an image button: normal, hover, pressed (also ticked), disabled.
struct FaceFiles {
  ImageFile normal{};
  ImageFile hover{};
  ImageFile pressed{};
  ImageFile disabled{};
};
// One picture for all four faces.
constexpr FaceFiles SameFace(ImageFile image) {
  return {image, image, image, image};
}

// A caption or label text: key `number` of `section` in the skin's skins.ini, or a fixed text.
struct TextKey {
  const char16_t* section = nullptr;
  int number = 0;
  const char16_t* fixed = nullptr;
  constexpr bool Empty() const { return section == nullptr && fixed == nullptr; }
};
constexpr TextKey SkinTextKey(const char16_t* section, int number) {
  return {section, number, nullptr};
}
constexpr TextKey FixedText(const char16_t* text) {
  return {nullptr, 0, text};
}

// "Arial" in pixels of cell height and a weight (400 regular, 700 bold).
struct FontSpec {
  int height = 15;
  int weight = 400;
  bool italic = false;
};

// ---------------------------------------------------------------- per kind of control

enum class CaptionLayout : std::uint8_t {
  kNone,        // the faces only
  kBox,         // centred in the caption box (0, 0, width - boxInsetRight, height)
  kPoint,       // centred on the button, moved right by pointOffset (check boxes)
  kRotated90,   // turned by 90 degrees, centred
  kRotated270,  // turned by 270 degrees, centred
  kLeftAligned,
};

struct ButtonLook {
  CaptionLayout caption = CaptionLayout::kBox;
  int boxInsetRight = 0;
  int pointOffset = 0;
  FontSpec font{};
  SkinColour normalColour = kSkinWhite;
  SkinColour hoverColour = kSkinWhite;
  SkinColour pressedColour = kSkinWhite;
  bool toggle = false;  // the button ticks and unticks itself (stage buttons, check boxes)
  bool squareFace = false;
};

struct ButtonStyle {
  FaceFiles faces{};
  ButtonLook look{};
};

enum class SliderAxis : std::uint8_t { kVertical, kHorizontal };

struct SliderStyle {
  SliderAxis axis = SliderAxis::kHorizontal;
  ImageFile thumb{};
  ImageFile disabledThumb{};  // empty: the thumb picture also when disabled
  ImageFile track{};
  int minimum = 0;
  int maximum = 10;
};

struct ListLook {
  bool scrollBar = false;
  bool selectionMode = false;
  bool macroListMode = false;
  bool delayEditing = false;
  bool rightClickNotify = false;
  bool plainTextLayout = false;
  SkinColour textColour = kDefaultColour;
  SkinColour selectedTextColour = kDefaultColour;
};

enum class TextAlign : std::uint8_t { kLeft, kCentre, kRight, kWrapped };

struct LabelLook {
  TextAlign align = TextAlign::kLeft;
  FontSpec font{15, 700};
  SkinColour colour = kSkinWhite;
  std::int32_t background = -1;  // a colour painted behind the text; -1: transparent
};

struct EditLook {
  int limit = 0;  // characters; 0: the edit control's own
  std::int32_t tag = 0;
  bool border = false;
  bool notifyKeyRelease = false;
  SkinColour textColour = kSkinWhite;
  SkinColour backgroundColour = kSkinBlack;
  FontSpec font{14, 400};
  const char16_t* fontFace = u"Arial";
};

struct MarkerStyle {
  ImageFile background{};
  ImageFile fill{};
  TableRect source{};  // the part of both pictures shown; empty: from (0, 0) the bar's size
  int minimum = 0;
  int maximum = 10;
};

enum class ControlKind : std::uint8_t { kButton, kSlider, kListBox, kLabel, kEdit, kMarker };
// In the order of ControlKind.
using ControlStyle =
    std::variant<ButtonStyle, SliderStyle, ListLook, LabelLook, EditLook, MarkerStyle>;

// ---------------------------------------------------------------- rows and windows

constexpr std::uint32_t PageBit(int page) {
  return page > 0 && page < 32 ? 1u << page : 0u;
}

struct ControlRow {
  int id = 0;
  TableRect place{};
  ControlStyle style{};
  TextKey text{};
  std::uint32_t pages = 0;   // PageBit of each page it is shown on; 0: shown on every page
  int group = 0;             // radio group number (buttons); 0: none
  bool disabled = false;     // created disabled
  bool ticked = false;       // a button created ticked
  bool fillsClient = false;  // placed over the whole client area, whatever its size

  constexpr ControlKind Kind() const { return static_cast<ControlKind>(style.index()); }
  constexpr bool ShownOnPage(int page) const { return pages == 0 || (pages & PageBit(page)) != 0; }

  constexpr ControlRow OnPages(std::initializer_list<int> list) const {
    ControlRow row = *this;
    for (const int page : list) row.pages |= PageBit(page);
    return row;
  }
  constexpr ControlRow InGroup(int number) const {
    ControlRow row = *this;
    row.group = number;
    return row;
  }
  constexpr ControlRow Disabled() const {
    ControlRow row = *this;
    row.disabled = true;
    return row;
  }
  constexpr ControlRow Ticked() const {
    ControlRow row = *this;
    row.ticked = true;
    return row;
  }
  constexpr ControlRow FillingClient() const {
    ControlRow row = *this;
    row.fillsClient = true;
    return row;
  }
};

constexpr ControlRow ButtonRow(int id, TableRect place, ButtonStyle style, TextKey text = {}) {
  return {id, place, style, text};
}
constexpr ControlRow SliderRow(int id, TableRect place, SliderStyle style) {
  return {id, place, style, {}};
}
constexpr ControlRow ListBoxRow(int id, TableRect place, ListLook look) {
  return {id, place, look, {}};
}
constexpr ControlRow LabelRow(int id, TableRect place, TextKey text, LabelLook look = {}) {
  return {id, place, look, text};
}
constexpr ControlRow EditRow(int id, TableRect place, EditLook look, TextKey text = {}) {
  return {id, place, look, text};
}
constexpr ControlRow MarkerRow(int id, TableRect place, MarkerStyle style) {
  return {id, place, style, {}};
}

// A borderless skinned window: its background picture, outline and controls.
struct WindowLayout {
  const char* name = "";
  ImageFile background{};  // stretched over the client area
  ImageFile mask{};        // white is cut away; empty: rectangular
  int width = 0;           // client size; 0: the background picture's size
  int height = 0;
  bool dragByBackground = true;
  std::span<const ControlRow> controls{};
};

// What is wrong with a layout, one line each: ids that are not positive or appear twice, empty
// places, places outside a window of known size, radio groups of fewer than two buttons or with
// other kinds of control, slider ranges that run backwards. Empty when all is well.
std::vector<std::string> LayoutProblems(const WindowLayout& layout);

// The pictures a window's first paint and the making of its controls decode, for decoding them
// ahead: of the rows made first (those of `firstPage` and of every page; all rows for 0), the
// sliders' pictures, then each button's normal face, its disabled face when it starts disabled,
// and its pressed face when it starts ticked or is in a radio group (one of which is ticked).
// Each file once, upright pictures only.
std::vector<ImageFile> FirstPaintImages(std::span<const ControlRow> rows, int firstPage);

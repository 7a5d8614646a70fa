#include "tools/gallery/gallery_window.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "settings/folders.h"
#include "skin/core/list_rows.h"
#include "win/double_buffered_paint.h"
#include "win/scoped_select.h"
#include "win/text.h"

namespace {

struct Faces {
  const wchar_t* folder;
  const wchar_t* normal;
  const wchar_t* hover;
  const wchar_t* pressed;
  const wchar_t* disabled;
};

constexpr Faces kOkFaces{kSkinButtonsFolder, L"ok-1.png", L"ok-3.png", L"ok-2.png", L"ok-1.png"};
constexpr Faces kAssignFaces{kSkinButtonsFolder, L"ButtonAssign-1.png", L"ButtonAssign-3.png",
                             L"ButtonAssign-2.png", L"RedButton-1.png"};
constexpr Faces kTabFaces{kSkinButtonsFolder, L"tabbutton-1.png", L"tabbutton-2.png",
                          L"tabbutton-3.png", L"tabbutton-1.png"};
constexpr Faces kCheckFaces{kSkinControlsFolder, L"checkbox1-1.png", L"checkbox1-1.png",
                            L"checkbox1-2.png", L"checkbox1-1.png"};
constexpr Faces kStartFaces{kSkinButtonsFolder, L"iconstart1.png", L"iconstart2.png",
                            L"iconstart2.png", L"iconstart2.png"};
constexpr Faces kStopFaces{kSkinButtonsFolder, L"iconstop1.png", L"iconstop2.png", L"iconstop2.png",
                           L"iconstop1.png"};
constexpr Faces kCloseFaces{kSkinButtonsFolder, L"close-1.png", L"close-3.png", L"close-2.png",
                            L"close-1.png"};

enum class Look { kPlain, kHover, kTicked, kDisabled };

void SetUp(CBitmapBtn& button, HWND parent, int id, const RECT& rect, const Faces& faces,
           const std::wstring& caption, Look look, bool toggle = false) {
  if (!button.Create(rect, parent, id)) return;
  button.SetFaces(LoadSkinImage(faces.folder, faces.normal),
                  LoadSkinImage(faces.folder, faces.hover),
                  LoadSkinImage(faces.folder, faces.pressed),
                  LoadSkinImage(faces.folder, faces.disabled), rect);
  button.SetToggleMode(toggle);
  if (!caption.empty()) {
    button.SetShowCaption(true);
    button.SetCaptionBox(RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top});
    button.SetFont(15, 700);
    button.SetCaption(caption, 0, 1);
  }
  switch (look) {
    case Look::kHover:
      // The hover face held still, as a pointer resting on the button shows it.
      button.SetFixedFace(true, true);
      break;
    case Look::kTicked:
      button.SetTicked(true);
      break;
    case Look::kDisabled:
      ::EnableWindow(button.Hwnd(), FALSE);
      break;
    case Look::kPlain:
      break;
  }
}

// Display text of a function code in the skin's function names.
std::wstring FunctionText(int code) {
  const std::u16string file = GeneralIniPath(ProgramFolder());
  struct Range {
    int first;
    int last;
    const char16_t* section;
  };
  static constexpr Range kRanges[] = {{17, 24, u"BASIC"}, {25, 38, u"ADVANCED"},
                                      {39, 46, u"MEDIA"}, {47, 49, u"DPI"},
                                      {50, 51, u"RATE"},  {52, 99, u"SCROLL"}};
  for (const Range& range : kRanges) {
    if (code >= range.first && code <= range.last) {
      return ToWide(SkinTextIn(file, range.section, code - range.first + 1));
    }
  }
  return ToWide(SkinTextIn(file, u"FUNCTION_STRING", code));
}

HFONT MakeFont(int height, int weight) {
  return ::CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_NATURAL_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"Arial");
}

}  // namespace

GalleryWindow::~GalleryWindow() {
  m_menu.reset();
  Destroy();
}

bool GalleryWindow::Open(int x, int y) {
  if (!Create(0, kGalleryTitle, WS_POPUP, x, y, kWidth, kHeight)) return false;
  ShapeWindowFromMask(Hwnd(), SkinPath(kSkinBackgroundFolder, L"cfgMainback3.bmp"));
  ::ShowWindow(Hwnd(), SW_SHOW);
  ::UpdateWindow(Hwnd());
  OpenDelayEditor();
  OpenMenu();
  return true;
}

LRESULT GalleryWindow::OnCreate(const CREATESTRUCTW&) {
  m_background = LoadSkinImage(kSkinBackgroundFolder, L"dlg.png");
  m_track = LoadSkinImage(kSkinBackgroundFolder, L"trackbar-back-b.png");
  // The vertical sliders get the same track turned upright.
  if (m_track) {
    m_verticalTrack.reset(m_track->Clone(0, 0, ImageWidth(m_track.get()),
                                         ImageHeight(m_track.get()), PixelFormat32bppARGB));
    if (m_verticalTrack) m_verticalTrack->RotateFlip(Gdiplus::Rotate90FlipNone);
  }
  m_editFont.reset(MakeFont(14, FW_NORMAL));
  CreateLabels();
  CreateButtons();
  CreateSliders();
  CreateLists();
  CreateEditsAndBars();
  return 0;
}

void GalleryWindow::CreateButtons() {
  const HWND self = Hwnd();
  SetUp(m_buttons[0], self, 1001, RECT{24, 72, 117, 98}, kOkFaces, L"Normal", Look::kPlain);
  SetUp(m_buttons[1], self, 1002, RECT{127, 72, 220, 98}, kOkFaces, L"Hover", Look::kHover);
  SetUp(m_buttons[2], self, 1003, RECT{24, 106, 117, 132}, kOkFaces, L"Pressed", Look::kTicked);
  SetUp(m_buttons[3], self, 1004, RECT{127, 106, 220, 132}, kAssignFaces, L"Disabled",
        Look::kDisabled);
  SetUp(m_buttons[4], self, 1005, RECT{24, 144, 171, 164}, kAssignFaces, FunctionText(1),
        Look::kPlain);
  SetUp(m_buttons[5], self, 1006, RECT{24, 170, 171, 190}, kAssignFaces,
        L"A caption far too long for its button is cut at the button's edge", Look::kPlain);
  SetUp(m_buttons[6], self, 1007, RECT{24, 202, 186, 222}, kTabFaces, L"Tab, ticked", Look::kTicked,
        true);
  SetUp(m_buttons[7], self, 1008, RECT{24, 226, 186, 246}, kTabFaces, L"Tab", Look::kPlain, true);
  SetUp(m_buttons[8], self, 1009, RECT{24, 258, 113, 274}, kCheckFaces, L"", Look::kTicked, true);
  SetUp(m_buttons[9], self, 1010, RECT{127, 258, 216, 274}, kCheckFaces, L"", Look::kPlain, true);
  SetUp(m_buttons[10], self, 1011, RECT{24, 284, 54, 307}, kStartFaces, L"", Look::kPlain);
  SetUp(m_buttons[11], self, 1012, RECT{64, 284, 94, 307}, kStartFaces, L"", Look::kHover);
  SetUp(m_buttons[12], self, 1013, RECT{104, 284, 134, 307}, kStopFaces, L"", Look::kDisabled);
  // Captions turned by 90 and 270 degrees, centred on the button.
  SetUp(m_buttons[14], self, 1014, RECT{170, 430, 194, 556}, kTabFaces, L"", Look::kPlain);
  SetUp(m_buttons[15], self, 1015, RECT{204, 430, 228, 556}, kTabFaces, L"", Look::kTicked);
  for (size_t i : {size_t{14}, size_t{15}}) {
    m_buttons[i].SetShowCaption(true);
    m_buttons[i].SetFont(14, 700);
    m_buttons[i].SetCaption(i == 14 ? L"Rotated 90" : L"Rotated 270", 0, i == 14 ? 2 : 3);
  }
  SetUp(m_buttons[13], self, kCloseId, RECT{712, 10, 736, 30}, kCloseFaces, L"", Look::kPlain);
}

void GalleryWindow::CreateSliders() {
  const std::wstring thumb = SkinPath(kSkinControlsFolder, L"x.png");
  const std::wstring disabledThumb = SkinPath(kSkinControlsFolder, L"x3.png");
  const std::wstring vertical = SkinPath(kSkinControlsFolder, L"y.png");
  struct SliderSetup {
    bool horizontal;
    RECT rect;
    const std::wstring* thumb;
    int value;
    bool enabled;
  };
  const SliderSetup sliders[4] = {
      {true, RECT{24, 348, 234, 366}, &thumb, 4, true},
      {true, RECT{24, 392, 234, 410}, &thumb, 9, false},
      {false, RECT{40, 430, 58, 560}, &vertical, 3, true},
      {false, RECT{110, 430, 128, 560}, &vertical, 8, false},
  };
  for (size_t i = 0; i < m_sliders.size(); ++i) {
    const SliderSetup& setup = sliders[i];
    m_sliders[i] =
        setup.horizontal ? std::make_unique<CPngHSliderBar>() : std::make_unique<CPngSliderBar>();
    CPngSliderBar& slider = *m_sliders[i];
    if (!slider.CreateSlider(*setup.thumb, setup.horizontal ? disabledThumb : std::wstring(),
                             Hwnd(), 2001 + static_cast<int>(i), setup.rect)) {
      continue;
    }
    slider.SetTrackImage(setup.horizontal ? m_track.get() : m_verticalTrack.get());
    slider.SetRange(1, 11);
    slider.SetSliderValue(setup.value);
    if (!setup.enabled) ::EnableWindow(slider.Hwnd(), FALSE);
  }
}

void GalleryWindow::CreateLists() {
  // The record list of the macro editor, with its in-place delay editor open on one row.
  m_recordList.Create(Hwnd(), 3001, RECT{262, 72, 452, 256}, WS_VSCROLL);
  m_recordList.SetOwnerAndIcons(Hwnd());
  m_recordList.SetSelectionMode(true);
  m_recordList.SetRightClickNotify(true);
  m_recordList.SetDelayEditing(true);
  m_recordList.SetTextColors(RGB(200, 200, 200), RGB(255, 255, 255));
  m_recordList.ApplyStyle();
  const std::wstring indent(15, L' ');
  m_recordList.AddListRow(indent + L"Left Shift", kPressRowData);
  m_recordList.AddListRow(ToWide(DelayRowText(120)), 0);
  m_recordList.AddListRow(indent + L"A", kPressRowData);
  m_recordList.AddListRow(ToWide(DelayRowText(30)), 0);
  m_recordList.AddListRow(indent + L"A", kReleaseRowData);
  m_recordList.AddListRow(ToWide(DelayRowText(250)), 0);
  m_recordList.AddListRow(indent + L"Left Shift", kReleaseRowData);
  m_recordList.AddListRow(indent + L"Left button", kPressRowData);

  m_macroList.Create(Hwnd(), 3002, RECT{262, 290, 452, 400});
  m_macroList.SetOwnerAndIcons(Hwnd());
  m_macroList.SetSelectionMode(true);
  m_macroList.SetMacroListMode(true);
  m_macroList.SetTextColors(RGB(200, 200, 200), RGB(255, 255, 255));
  m_macroList.ApplyStyle();
  for (const wchar_t* name : {L"Reload", L"Sprint jump", L"Build wall", L"Emote"}) {
    m_macroList.AddListRow(name, 0);
  }
  ::SendMessageW(m_macroList.Hwnd(), LB_SETCURSEL, 1, 0);

  // Hover mode: the row under the pointer is lit; here row 2 as if the pointer rested on it.
  m_hoverList.Create(Hwnd(), 3003, RECT{262, 432, 452, 548});
  m_hoverList.SetOwnerAndIcons(Hwnd());
  m_hoverList.SetTextColors(RGB(200, 200, 200), RGB(255, 255, 255));
  m_hoverList.ApplyStyle();
  m_hoverList.AddListRow(L"Blank icon cell", kBlankIconRowData);
  m_hoverList.AddListRow(L"Plain row", 0);
  m_hoverList.AddListRow(L"Row under the pointer", 0);
  m_hoverList.AddListRow(std::wstring(300, L'W'), 0);
  RECT row{};
  ::SendMessageW(m_hoverList.Hwnd(), LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  ::SendMessageW(m_hoverList.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(row.left + 10, row.top + 5));
}

void GalleryWindow::OpenDelayEditor() {
  RECT row{};
  ::SendMessageW(m_recordList.Hwnd(), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&row));
  const LPARAM point = MAKELPARAM(row.left + 20, row.top + 5);
  ::SendMessageW(m_recordList.Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  ::SendMessageW(m_recordList.Hwnd(), WM_LBUTTONUP, 0, point);
}

void GalleryWindow::OpenMenu() {
  RECT window{};
  ::GetWindowRect(Hwnd(), &window);
  const std::wstring n = SkinPath(kSkinBackgroundFolder, L"menuitem-n.png");
  const std::wstring d = SkinPath(kSkinBackgroundFolder, L"menuitem-d.png");
  const std::wstring d2 = SkinPath(kSkinBackgroundFolder, L"menuitem-d2.png");
  const std::wstring n2 = SkinPath(kSkinBackgroundFolder, L"menuitem-n2.png");
  m_menu = std::make_unique<CBmpMenu>();
  m_menu->SetRowFaces(n, d, d2, n2);
  m_menu->SetSubRowFaces(n, d, d2, n2);
  // The full assignment menu's rows and two of its cascades.
  for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 100, 12, 13, 14, 15, 54, 16}) {
    m_menu->AddRow(FunctionText(code), code);
  }
  for (int code = 17; code <= 24; ++code) m_menu->AddSubRow(7, FunctionText(code), code);
  for (int code = 25; code <= 38; ++code) m_menu->AddSubRow(8, FunctionText(code), code);
  m_menu->SetPosition(window.left + 588, window.top + 60);
  if (!m_menu->Open(Hwnd())) return;
  // As the pointer resting on the row does: open the cascade of the advanced functions.
  ::SendMessageW(m_menu->Hwnd(), kBitmapBtnMouseMoveMessage,
                 reinterpret_cast<WPARAM>(m_menu->RowButton(8)), 0);
}

CStaticTrans& GalleryWindow::AddLabel(const wchar_t* text, const RECT& rect, int height, int weight,
                                      COLORREF colour, DWORD align) {
  CStaticTrans& label = m_labels[std::min(m_labelCount++, m_labels.size() - 1)];
  label.Create(text, align, rect, Hwnd());
  label.SetFontHeight(height);
  label.SetFontWeight(weight);
  label.SetTextColour(colour);
  return label;
}

void GalleryWindow::CreateLabels() {
  const COLORREF white = RGB(255, 255, 255);
  const COLORREF accent = RGB(90, 170, 230);
  AddLabel(kGalleryTitle, RECT{24, 16, 400, 40}, 21, 700, white);
  AddLabel(L"Image buttons", RECT{24, 50, 240, 66}, 14, 700, accent);
  AddLabel(L"Sliders", RECT{24, 322, 240, 338}, 14, 700, accent);
  AddLabel(L"disabled", RECT{150, 372, 234, 388}, 12, 400, RGB(150, 150, 150), SS_RIGHT);
  AddLabel(L"List: records, editor open", RECT{262, 50, 460, 66}, 14, 700, accent);
  AddLabel(L"List: macros", RECT{262, 268, 460, 284}, 14, 700, accent);
  AddLabel(L"List: hover mode", RECT{262, 410, 460, 426}, 14, 700, accent);
  AddLabel(L"Menu and cascade", RECT{588, 40, 740, 56}, 14, 700, accent);
  AddLabel(L"Fill bars: 25, 50, 100 %, out of range", RECT{470, 406, 740, 422}, 14, 700, accent);
  AddLabel(L"Edits and labels", RECT{470, 506, 740, 522}, 14, 700, accent);
  CStaticTrans& onColour =
      AddLabel(L"On colour", RECT{640, 528, 736, 546}, 14, 400, white, SS_CENTER);
  onColour.SetBackgroundColour(static_cast<std::int32_t>(RGB(1, 60, 100)));
  AddLabel(L"Italic label", RECT{640, 550, 736, 566}, 12, 400, RGB(200, 200, 200), SS_CENTER)
      .SetItalic(true);
  m_choiceLabel = &AddLabel(L"", RECT{24, 560, 460, 576}, 12, 400, RGB(200, 200, 200));
}

void GalleryWindow::CreateEditsAndBars() {
  // The macro editor's number fields: white on black, one with the one-pixel border.
  m_edits[0].SetBorder(true);
  m_edits[0].Create(RECT{470, 528, 530, 546}, Hwnd(), 4001);
  m_edits[1].Create(RECT{540, 528, 630, 546}, Hwnd(), 4002);
  m_edits[1].SetTextColour(RGB(255, 220, 0));
  m_edits[1].SetBackgroundColour(RGB(20, 30, 60));
  const wchar_t* texts[2] = {L"250", L"coloured"};
  for (size_t i = 0; i < m_edits.size(); ++i) {
    if (m_edits[i].Hwnd() == nullptr) continue;
    ::SendMessageW(m_edits[i].Hwnd(), EM_LIMITTEXT, 10, 0);
    ::SendMessageW(m_edits[i].Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_editFont.get()),
                   FALSE);
    ::SetWindowTextW(m_edits[i].Hwnd(), texts[i]);
  }

  // The agent's progress bar images, cut to the bars' size.
  UniqueBitmap background;
  UniqueBitmap fill;
  LoadPictureBitmap(SkinPath(kSkinControlsFolder, L"updatebar_n.jpg"), background);
  LoadPictureBitmap(SkinPath(kSkinControlsFolder, L"updatebar_o.jpg"), fill);
  const int positions[4] = {25, 50, 100, 150};
  for (size_t i = 0; i < m_bars.size(); ++i) {
    const int top = 426 + static_cast<int>(i) * 20;
    if (!m_bars[i].CreateMarker(470, top, 730, top + 16, Hwnd(), 5001 + static_cast<int>(i))) {
      continue;
    }
    m_bars[i].SetMarkerRange(0, 100);
    m_bars[i].SetMarkerImages(0, 10, 260, 26, background.get(), fill.get());
    m_bars[i].SetMarkerPos(positions[i]);
  }
}

void GalleryWindow::OnPaint() {
  DoubleBufferedPaint paint(Hwnd());
  const RECT& client = paint.ClientRect();
  DrawSkinImage(paint.Dc(), m_background.get(), 0, 0, client.right, client.bottom);
}

LRESULT GalleryWindow::OnPrintClient(WPARAM wParam, LPARAM) {
  // Printing (PrintWindow, screenshots without a screen) draws the background too.
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  DrawSkinImage(reinterpret_cast<HDC>(wParam), m_background.get(), 0, 0, client.right,
                client.bottom);
  return 0;
}

LRESULT GalleryWindow::OnEraseBackground(WPARAM, LPARAM) {
  return TRUE;
}

LRESULT GalleryWindow::OnLButtonDown(WPARAM, LPARAM) {
  // The background drags the window, as in the configurator's windows.
  ::ReleaseCapture();
  ::SendMessageW(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
  return 0;
}

LRESULT GalleryWindow::OnMenuChoice(WPARAM wParam, LPARAM lParam) {
  const std::wstring text = L"Chosen: row " + std::to_wstring(HIWORD(wParam)) + L", sub-row " +
                            std::to_wstring(LOWORD(wParam)) + L", code " +
                            std::to_wstring(HIWORD(lParam)) + L"/" +
                            std::to_wstring(LOWORD(lParam));
  if (m_choiceLabel != nullptr) m_choiceLabel->SetText(text);
  return 0;
}

void GalleryWindow::OnClose() {
  Destroy();
}

void GalleryWindow::OnDestroy() {
  m_menu.reset();
  ::PostQuitMessage(0);
}

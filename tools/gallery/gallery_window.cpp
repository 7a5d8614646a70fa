#include "tools/gallery/gallery_window.h"

#include <string>

#include "settings/skin_texts.h"
#include "skin/core/list_rows.h"
#include "win/text.h"

namespace {

// Display text of a function code in the skin's function names.
std::wstring FunctionText(int code) {
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
      return ToWide(GeneralText(range.section, code - range.first + 1));
    }
  }
  return ToWide(GeneralText(u"FUNCTION_STRING", code));
}

LPARAM PointInRow(HWND list, int row) {
  RECT rect{};
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  return MAKELPARAM(rect.left + 20, rect.top + 5);
}

}  // namespace

GalleryWindow::GalleryWindow()
    : SkinnedDialog(kGalleryLayout, DialogTemplate(WS_POPUP, 0, 10, 10, kGalleryTitle)) {}

GalleryWindow::~GalleryWindow() {
  m_menu.reset();
  Destroy();
}

bool GalleryWindow::Open(int x, int y) {
  if (!CreateModeless(nullptr)) return false;
  ::SetWindowPos(Hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(Hwnd(), SW_SHOW);
  ::UpdateWindow(Hwnd());
  OpenDelayEditor();
  // The menu opens once the window is active. Under Wine on a display without a window manager,
  // the activation of a window that has just been shown raises its X window over everything,
  // its own topmost menus included; a menu opened by a click (as in the configurator) comes
  // later and stays on top.
  SetTimer(kOpenMenuTimer, 300);
  return true;
}

void GalleryWindow::OnOpenMenuTimer() {
  KillTimer(kOpenMenuTimer);
  OpenMenu();
}

BOOL GalleryWindow::OnReady() {
  using namespace gallery_id;
  // The hover face held still, as a pointer resting on the button shows it.
  Button(kHover).SetFixedFace(true, true);
  Button(kRecordHover).SetFixedFace(true, true);
  Button(kFunctionCaption).SetCaptionText(FunctionText(1));
  const int values[] = {4, 9, 3, 8};
  for (int i = 0; i < 4; ++i) Slider(kHorizontalSlider + i).SetSliderValue(values[i]);
  const int positions[] = {25, 50, 100, 150};
  for (int i = 0; i < 4; ++i) Marker(kFirstBar + i).SetMarkerPos(positions[i]);
  FillLists();
  return FALSE;
}

void GalleryWindow::FillLists() {
  using namespace gallery_id;
  CListBoxEx& records = ListBox(kRecordList);
  const std::wstring indent(15, L' ');
  records.AddListRow(indent + L"Left Shift", kPressRowData);
  records.AddListRow(ToWide(DelayRowText(120)), 0);
  records.AddListRow(indent + L"A", kPressRowData);
  records.AddListRow(ToWide(DelayRowText(30)), 0);
  records.AddListRow(indent + L"A", kReleaseRowData);
  records.AddListRow(ToWide(DelayRowText(250)), 0);
  records.AddListRow(indent + L"Left Shift", kReleaseRowData);
  records.AddListRow(indent + L"Left button", kPressRowData);

  CListBoxEx& macros = ListBox(kMacroList);
  for (const wchar_t* name : {L"Reload", L"Sprint jump", L"Build wall", L"Emote"}) {
    macros.AddListRow(name, 0);
  }
  macros.SelectRow(1);

  // Hover mode: the row under the pointer is lit; here row 2 as if the pointer rested on it.
  CListBoxEx& hover = ListBox(kHoverList);
  hover.AddListRow(L"Blank icon cell", kBlankIconRowData);
  hover.AddListRow(L"Plain row", 0);
  hover.AddListRow(L"Row under the pointer", 0);
  hover.AddListRow(std::wstring(300, L'W'), 0);
  ::SendMessageW(hover.Hwnd(), WM_MOUSEMOVE, 0, PointInRow(hover.Hwnd(), 2));
}

void GalleryWindow::OpenDelayEditor() {
  const HWND list = ListBox(gallery_id::kRecordList).Hwnd();
  const LPARAM point = PointInRow(list, 3);
  ::SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  ::SendMessageW(list, WM_LBUTTONUP, 0, point);
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

void GalleryWindow::OnMenuChoice(const DecodedMenuChoice& choice) {
  const std::wstring text = L"Chosen: row " + std::to_wstring(choice.row) + L", sub-row " +
                            std::to_wstring(choice.subRow) + L", code " +
                            std::to_wstring(choice.rowId) + L"/" + std::to_wstring(choice.subRowId);
  ShowNote(text);
}

void GalleryWindow::OnDestroy() {
  m_menu.reset();
  ::PostQuitMessage(0);
  SetMsgHandled(false);
}

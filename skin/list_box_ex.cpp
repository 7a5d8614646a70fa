#include "skin/list_box_ex.h"

#include <vector>

#include "skin/core/list_rows.h"
#include "win/scoped_select.h"
#include "win/text.h"

namespace {

// Only one in-place editor exists in the whole program: opening one closes another.
CListBoxEx* g_editingList = nullptr;

constexpr DWORD kEditorStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER | ES_WANTRETURN;
constexpr int kEditorLeft = 145;
constexpr int kEditorWidth = 55;
constexpr int kEditorDigits = 5;
constexpr int kEditorReadLimit = 200;

HBITMAP CreatePanelBitmap() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kPanelWidth;
  info.bmiHeader.biHeight = -kPanelHeight;  // top-down, as the pixels come
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) return bitmap;
  const std::vector<std::uint32_t> pixels = PanelTexturePixels();
  std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
  return bitmap;
}

}  // namespace

CListBoxEx::CListBoxEx()
    : m_textColor(::GetSysColor(COLOR_WINDOWTEXT)),
      m_selectedTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT)),
      m_highlightColor(::GetSysColor(COLOR_HIGHLIGHT)),
      m_font(::CreateFontW(14, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, L"Arial")),
      m_background(::CreateSolidBrush(RGB(6, 6, 6))) {}

CListBoxEx::~CListBoxEx() {
  // While the members (font, editor subclass) still exist.
  Destroy();
  if (g_editingList == this) g_editingList = nullptr;
}

bool CListBoxEx::Create(HWND parent, int controlId, const RECT& rect, const Setup& setup) {
  const ListLook& look = setup.look;
  // Clip the editor child out of the rows' painting.
  const DWORD style = kListStyle | WS_CLIPCHILDREN | (look.scrollBar ? WS_VSCROLL : 0);
  if (!CreateControl(L"LISTBOX", 0, L"", style, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, parent, controlId)) {
    return false;
  }
  // WM_MEASUREITEM came during creation, before this object listened.
  ::SendMessageW(Hwnd(), LB_SETITEMHEIGHT, 0, kRowHeight);
  ::SendMessageW(Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
  m_selectionMode = look.selectionMode;
  m_macroListMode = look.macroListMode;
  m_delayEditing = look.delayEditing;
  m_rightClickNotify = look.rightClickNotify;
  m_plainTextLayout = look.plainTextLayout;
  if (look.textColour != kDefaultColour) m_textColor = look.textColour;
  if (look.selectedTextColour != kDefaultColour) m_selectedTextColor = look.selectedTextColour;
  if (setup.owner != nullptr) SetOwnerAndIcons(setup.owner);
  ApplyStyle();
  return true;
}

void CListBoxEx::SetOwnerAndIcons(HWND owner) {
  m_owner = owner;
  m_pressIcon = LoadSkinImage(kSkinBackgroundFolder, L"423.png");
  m_releaseIcon = LoadSkinImage(kSkinBackgroundFolder, L"424.png");
}

void CListBoxEx::ApplyStyle() {
  m_highlightColor = RGB(200, 0, 0);
  m_highlight.reset(::CreateSolidBrush(m_highlightColor));
  UniqueBrush background;
  if (m_macroListMode) {
    if (!m_panel) m_panel.reset(CreatePanelBitmap());
    if (m_panel) background.reset(::CreatePatternBrush(m_panel.get()));
  }
  if (!background) background.reset(::CreateSolidBrush(RGB(6, 6, 6)));
  m_background = std::move(background);
  if (Hwnd() != nullptr) ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CListBoxEx::SetTextColors(COLORREF normal, COLORREF selected) noexcept {
  m_textColor = normal;
  m_selectedTextColor = selected;
}

int CListBoxEx::AddListRow(const std::wstring& text, std::uintptr_t data) {
  if (Hwnd() == nullptr) return LB_ERR;
  const auto row = static_cast<int>(
      ::SendMessageW(Hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  if (row >= 0) ::SendMessageW(Hwnd(), LB_SETITEMDATA, row, static_cast<LPARAM>(data));
  return row;
}

int CListBoxEx::InsertListRow(int index, const std::wstring& text, std::uintptr_t data) {
  CancelEdit();
  return InsertRowKeepingEdit(index, text, data);
}

void CListBoxEx::DeleteRow(int row) {
  CancelEdit();
  if (Hwnd() != nullptr) ::SendMessageW(Hwnd(), LB_DELETESTRING, row, 0);
}

void CListBoxEx::ResetRows() {
  CancelEdit();
  if (Hwnd() != nullptr) ::SendMessageW(Hwnd(), LB_RESETCONTENT, 0, 0);
  m_hoverRow = -1;
}

int CListBoxEx::SelectedRow() const noexcept {
  if (Hwnd() == nullptr) return -1;
  const LRESULT row = ::SendMessageW(Hwnd(), LB_GETCURSEL, 0, 0);
  return row == LB_ERR ? -1 : static_cast<int>(row);
}

int CListBoxEx::InsertRowKeepingEdit(int index, const std::wstring& text, std::uintptr_t data) {
  if (Hwnd() == nullptr) return LB_ERR;
  const auto row = static_cast<int>(
      ::SendMessageW(Hwnd(), LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
  if (row >= 0) ::SendMessageW(Hwnd(), LB_SETITEMDATA, row, static_cast<LPARAM>(data));
  return row;
}

int CListBoxEx::RowCount() const noexcept {
  if (Hwnd() == nullptr) return 0;
  return static_cast<int>(::SendMessageW(Hwnd(), LB_GETCOUNT, 0, 0));
}

std::wstring CListBoxEx::RowText(int row) const {
  if (Hwnd() == nullptr) return {};
  const LRESULT length = ::SendMessageW(Hwnd(), LB_GETTEXTLEN, row, 0);
  if (length < 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied =
      ::SendMessageW(Hwnd(), LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

std::uintptr_t CListBoxEx::RowData(int row) const noexcept {
  if (Hwnd() == nullptr) return 0;
  const LRESULT data = ::SendMessageW(Hwnd(), LB_GETITEMDATA, row, 0);
  return data == LB_ERR ? 0 : static_cast<std::uintptr_t>(data);
}

bool CListBoxEx::PreTranslateMessage(MSG& msg) {
  // Swallowed before TranslateMessage, so no WM_CHAR type-ahead follows either.
  return msg.hwnd == Hwnd() && m_editor == nullptr &&
         (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP);
}

HWND CListBoxEx::Receiver() const noexcept {
  return m_owner != nullptr ? m_owner : ::GetParent(Hwnd());
}

int CListBoxEx::RowAt(POINT point) const noexcept {
  if (RowCount() <= 0) return -1;
  const LRESULT hit = ::SendMessageW(Hwnd(), LB_ITEMFROMPOINT, 0, LParamFromPoint(point));
  if (HIWORD(hit) != 0) return -1;
  const int row = LOWORD(hit);
  return row < RowCount() ? row : -1;
}

void CListBoxEx::SelectRow(int row) noexcept {
  if (Hwnd() != nullptr) ::SendMessageW(Hwnd(), LB_SETCURSEL, row, 0);
}

void CListBoxEx::ReplaceRow(int row, const std::wstring& text, std::uintptr_t data) {
  ::SendMessageW(Hwnd(), LB_DELETESTRING, row, 0);
  InsertRowKeepingEdit(row, text, data);
}

void CListBoxEx::InvalidateRow(int row) noexcept {
  RECT rect{};
  if (row >= 0 &&
      ::SendMessageW(Hwnd(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)) != LB_ERR) {
    ::InvalidateRect(Hwnd(), &rect, FALSE);
  }
}

BOOL CListBoxEx::OnDrawItem(const DRAWITEMSTRUCT& drawItem) {
  const DRAWITEMSTRUCT* item = &drawItem;
  if (item->itemID == static_cast<UINT>(-1)) return TRUE;
  const int row = static_cast<int>(item->itemID);
  const HDC dc = item->hDC;
  const RECT& rect = item->rcItem;

  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  const bool highlighted = m_selectionMode ? selected : row == m_hoverRow;
  ::FillRect(dc, &rect, highlighted && m_highlight ? m_highlight.get() : m_background.get());

  COLORREF color = m_textColor;
  if ((item->itemAction & ODA_FOCUS) && (item->itemState & ODS_FOCUS) && selected) {
    color = m_selectedTextColor;
  }
  if (item->itemState & ODS_DISABLED) color = ::GetSysColor(COLOR_BTNSHADOW);

  const std::uintptr_t data = item->itemData;
  if (data != 0) DrawIcon(dc, rect, data);

  const std::wstring text = RowText(row);
  RECT textRect = rect;
  textRect.left += RowTextOffset(data, m_plainTextLayout);
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = ::SetTextColor(dc, color);
  {
    ScopedSelect font(dc, m_font.get());
    // Clipped to the row: a long text never spills into the next row or past the edge.
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  ::SetTextColor(dc, oldColor);
  ::SetBkMode(dc, oldMode);
  return TRUE;
}

void CListBoxEx::DrawIcon(HDC dc, const RECT& row, std::uintptr_t data) {
  switch (IconOfRowData(data)) {
    case ListRowIcon::kPress:
      DrawSkinImage(dc, m_pressIcon.get(), row.left + 5, row.top + 5, 7, 9);
      break;
    case ListRowIcon::kRelease:
      DrawSkinImage(dc, m_releaseIcon.get(), row.left + 5, row.top + 5, 7, 9);
      break;
    case ListRowIcon::kResourceBitmap: {
      // Only a 16-bit number names a resource; anything larger would be read as a string.
      if (data > 0xFFFF) break;
      UniqueBitmap bitmap(static_cast<HBITMAP>(
          ::LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(data), IMAGE_BITMAP, 16, 16, 0)));
      if (!bitmap) break;
      UniqueMemoryDc memory(::CreateCompatibleDC(dc));
      if (!memory) break;
      ScopedSelect select(memory.get(), bitmap.get());
      if (select) ::BitBlt(dc, row.left + 5, row.top, 16, 16, memory.get(), 0, 0, SRCCOPY);
      break;
    }
    case ListRowIcon::kNone:
    case ListRowIcon::kBlankCell:
      break;
  }
}

void CListBoxEx::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  item.itemHeight = kRowHeight;
}

HBRUSH CListBoxEx::OnCtlColor(HDC) {
  if (::IsWindowEnabled(Hwnd()) || m_macroListMode) return m_background.get();
  return ::GetSysColorBrush(COLOR_INACTIVEBORDER);
}

void CListBoxEx::OnLButtonDown(UINT, POINT point) {
  const int row = RowAt(point);
  if (m_editor != nullptr) CommitEdit();
  SelectRow(row);
  if (m_macroListMode && row >= 0) {
    ::PostMessageW(Receiver(), kMacroListClickMessage, static_cast<WPARAM>(row),
                   static_cast<LPARAM>(RowData(row)));
  }
  SetMsgHandled(false);
}

void CListBoxEx::OnRButtonUp(UINT, POINT point) {
  if (m_rightClickNotify) {
    const int row = RowAt(point);
    SelectRow(row);
    if (row >= 0) {
      ::PostMessageW(Receiver(), kRightClickMessage, static_cast<WPARAM>(row),
                     static_cast<LPARAM>(RowData(row)));
    }
  }
  SetMsgHandled(false);
}

void CListBoxEx::OnLButtonDblClk(UINT, POINT point) {
  if (!m_delayEditing) return;
  const int row = RowAt(point);
  SelectRow(row);
  if (row >= 0 && IsDelayRow(RowData(row)) && m_owner != nullptr && m_editor == nullptr) {
    OpenEditor(row);
  }
  SetMsgHandled(false);
}

void CListBoxEx::OnKey(UINT, LPARAM) {
  if (m_editor != nullptr) SetMsgHandled(false);
}

void CListBoxEx::OnMouseMove(UINT, POINT point) {
  if (!m_selectionMode) {
    const int row = RowAt(point);
    if (row != m_hoverRow) {
      InvalidateRow(m_hoverRow);
      m_hoverRow = row;
      InvalidateRow(m_hoverRow);
    }
    if (!m_trackingLeave) {
      TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Hwnd(), 0};
      m_trackingLeave = ::TrackMouseEvent(&track) != FALSE;
    }
  }
  SetMsgHandled(false);
}

void CListBoxEx::OnMouseLeave() {
  m_trackingLeave = false;
  // The hover highlight goes with the pointer.
  InvalidateRow(m_hoverRow);
  m_hoverRow = -1;
  SetMsgHandled(false);
}

void CListBoxEx::OnEnable(bool) {
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
  SetMsgHandled(false);
}

void CListBoxEx::OnDestroy() {
  CloseEditor();
  SetMsgHandled(false);
}

void CListBoxEx::OnScroll(int, int, HWND) {
  // The editor sits over one row and would stay behind when the rows move: commit first.
  if (m_editor != nullptr) CommitEdit();
  SetMsgHandled(false);
}

void CListBoxEx::OnWheel(UINT, int, POINT) {
  if (m_editor != nullptr) CommitEdit();
  SetMsgHandled(false);
}

void CListBoxEx::OpenEditor(int row) {
  if (g_editingList != nullptr && g_editingList != this) g_editingList->CommitEdit();
  RECT rect{};
  if (::SendMessageW(Hwnd(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)) == LB_ERR) {
    return;
  }
  m_priorValue = NumberAfterLastSpace(ToU16(RowText(row)));
  m_editingRow = row;
  ReplaceRow(row, L"", 0);
  SelectRow(row);

  m_editor = ::CreateWindowExW(0, L"EDIT", L"", kEditorStyle, rect.left + kEditorLeft, rect.top,
                               kEditorWidth, rect.bottom - rect.top, Hwnd(), nullptr,
                               ModuleInstance(), nullptr);
  if (m_editor == nullptr ||
      !m_editorSubclass.Install(m_editor, [this](HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam, LRESULT& result) {
        return OnEditorMessage(window, message, wParam, lParam, result);
      })) {
    CancelEdit();
    return;
  }
  g_editingList = this;
  ::SendMessageW(m_editor, EM_LIMITTEXT, kEditorDigits, 0);
  ::SendMessageW(m_editor, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), FALSE);
  ::SetWindowTextW(m_editor, std::to_wstring(m_priorValue).c_str());
  ::SendMessageW(m_editor, EM_SETSEL, 0, -1);
  ::SetFocus(m_editor);
}

bool CListBoxEx::OnEditorMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_GETDLGCODE:
      // Enter and Esc belong to the editor, not to the dialog around the list.
      result = DLGC_WANTALLKEYS | DLGC_HASSETSEL | DLGC_WANTCHARS;
      return true;
    case WM_KEYUP:
      if (wParam == VK_RETURN) {
        CommitEdit();
        result = 0;
        return true;
      }
      if (wParam == VK_ESCAPE) {
        CancelEdit();
        result = 0;
        return true;
      }
      return false;
    case WM_CHAR:
      // No beep for the two keys the editor acts on at their release.
      if (wParam == L'\r' || wParam == 0x1B) {
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void CListBoxEx::CommitEdit() {
  if (m_editingRow < 0) return;
  wchar_t buffer[kEditorReadLimit + 1] = {};
  if (m_editor != nullptr) ::GetWindowTextW(m_editor, buffer, kEditorReadLimit + 1);
  const int value = ParseDecimal(ToU16(buffer));
  const int row = m_editingRow;
  ReplaceRow(row, ToWide(DelayRowText(value)), 0);
  SelectRow(row);
  CloseEditor();
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
  // The row that was edited, whatever a right click selected meanwhile.
  ::PostMessageW(Receiver(), kDelayEditedMessage, static_cast<WPARAM>(value),
                 static_cast<LPARAM>(row));
}

void CListBoxEx::CancelEdit() {
  if (m_editingRow < 0) return;
  const int row = m_editingRow;
  ReplaceRow(row, ToWide(DelayRowText(m_priorValue)), 0);
  SelectRow(row);
  CloseEditor();
  ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CListBoxEx::CloseEditor() noexcept {
  m_editingRow = -1;
  if (g_editingList == this) g_editingList = nullptr;
  const HWND editor = std::exchange(m_editor, nullptr);
  if (editor == nullptr) return;
  const bool hadFocus = ::GetFocus() == editor;
  // May run inside the editor's own key handler: the subclass object stays, only the window
  // goes.
  ::DestroyWindow(editor);
  if (hadFocus && Hwnd() != nullptr && ::IsWindowVisible(Hwnd())) ::SetFocus(Hwnd());
}

#include "skin/bmp_menu.h"

#include <utility>

#include "skin/menu_row_button.h"
#include "skin/sub_bmp_menu.h"
#include "win/double_buffered_paint.h"
#include "win/text.h"

namespace {

std::array<SkinImage, 4> LoadFaces(const std::wstring& a, const std::wstring& b,
                                   const std::wstring& c, const std::wstring& d) {
  return {LoadImageFile(a), LoadImageFile(b), LoadImageFile(c), LoadImageFile(d)};
}

}  // namespace

// Topmost, as the system's menus are: owned windows are meant to stay above their owner, but
// Wine lets an owner that is activated after the menu opened (a window that opens its menu
// while it is still being shown, a click on the task bar) cover it, menu and cascade alike.
CBmpMenu::CBmpMenu()
    : Dialog(
          DialogTemplate(WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, 10, 10)) {}

CBmpMenu::~CBmpMenu() {
  // The cascade and the row buttons go while the faces and rows they use still exist.
  Destroy();
}

void CBmpMenu::SetRowFaces(const std::wstring& normal, const std::wstring& hover,
                           const std::wstring& secondHover, const std::wstring& secondNormal) {
  m_faces = LoadFaces(normal, hover, secondHover, secondNormal);
}

void CBmpMenu::SetSubRowFaces(const std::wstring& normal, const std::wstring& hover,
                              const std::wstring& secondHover, const std::wstring& secondNormal) {
  m_subFaces = LoadFaces(normal, hover, secondHover, secondNormal);
}

bool CBmpMenu::AddRow(std::wstring_view text, int id) {
  // An open cascade points into the rows: they stay as they are while the window exists.
  if (Hwnd() != nullptr) return false;
  return AddMenuRow(m_rows, ToU16(text), id);
}

bool CBmpMenu::AddSubRow(int row, std::wstring_view text, int id) {
  if (Hwnd() != nullptr) return false;
  return AddMenuSubRow(m_rows, row, ToU16(text), id);
}

bool CBmpMenu::Open(HWND parent) {
  m_parent = parent;
  if (!CreateModeless(parent)) return false;
  // Like a system menu it does not take the activation from its owner.
  ::ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
  ::SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

HWND CBmpMenu::RowButton(int row) const noexcept {
  if (row < 0 || row >= RowCount()) return nullptr;
  return m_buttons[static_cast<size_t>(row)].Hwnd();
}

MenuRowSize CBmpMenu::RowSize() const noexcept {
  return RowSizeOf(ImageWidth(m_faces[0].get()), ImageHeight(m_faces[0].get()));
}

MenuRowSize CBmpMenu::WindowSize(int rowCount) const noexcept {
  const MenuRowSize row = RowSize();
  const MenuRect rect = BmpMenuRect(0, 0, row.width, row.height, rowCount);
  return {rect.Width(), rect.Height()};
}

BOOL CBmpMenu::OnInitDialog() {
  const MenuRowSize size = RowSize();
  const int w = size.width;
  const int h = size.height;
  const MenuRect rect = BmpMenuRect(m_x, m_y, w, h, RowCount());
  ::SetWindowPos(Hwnd(), nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 0; i < RowCount(); ++i) {
    const bool second = UsesSecondFaces(i);
    // Normal, hover, pressed, disabled: the pressed row looks hovered.
    const SkinImage& normal = second ? m_faces[3] : m_faces[0];
    const SkinImage& hover = second ? m_faces[2] : m_faces[1];
    const ButtonFaces faces{normal, hover, hover, normal};
    const MenuRect r = BmpMenuRowRect(i, w, h);
    CreateMenuRowButton(m_buttons[static_cast<size_t>(i)], Hwnd(), i,
                        RECT{r.left, r.top, r.right, r.bottom}, faces,
                        ToWide(m_rows[static_cast<size_t>(i)].Text()));
  }
  return FALSE;
}

void CBmpMenu::OnRowClicked(int id, HWND) {
  const int row = id - kMenuRowButtonIdBase;
  if (row < 0 || row >= RowCount()) {
    SetMsgHandled(false);
    return;
  }
  const tagBMPMENUINFO& item = m_rows[static_cast<size_t>(row)];
  // A row with sub-items is chosen through its cascade only.
  if (item.hasSubItems) return;
  const MenuChoice choice = RowChoice(row, item.id);
  ::PostMessageW(m_parent, kMenuChoiceMessage, choice.wParam, choice.lParam);
}

void CBmpMenu::OnRowHover(HWND button) {
  m_hoveredRow = button;
  for (int i = 0; i < RowCount(); ++i) {
    tagBMPMENUINFO& item = m_rows[static_cast<size_t>(i)];
    if (m_buttons[static_cast<size_t>(i)].Hwnd() == m_hoveredRow) {
      // Another row's cascade gives way to this row's own; a row without sub-items leaves it
      // to the pointer check below, so the pointer can cross rows on its way into the cascade.
      if (item.hasSubItems && m_cascade && m_cascade->ParentRow() != i) CloseCascade();
      if (item.hasSubItems && !item.subMenuOpen) OpenCascadeFor(i);
    }
    if (item.subMenuOpen && m_cascade && m_cascade->ParentRow() == i &&
        m_buttons[static_cast<size_t>(i)].Hwnd() != m_hoveredRow) {
      // Leaving for a row without sub-items keeps the cascade until the pointer leaves it too.
      POINT cursor{};
      RECT cascade{};
      ::GetCursorPos(&cursor);
      ::GetWindowRect(m_cascade->Hwnd(), &cascade);
      if (!::PtInRect(&cascade, cursor)) CloseCascade();
    }
  }
}

void CBmpMenu::OpenCascadeFor(int row) {
  tagBMPMENUINFO& item = m_rows[static_cast<size_t>(row)];
  const MenuRowSize rowSize = RowSize();
  const MenuRowSize subSize =
      RowSizeOf(ImageWidth(m_subFaces[0].get()), ImageHeight(m_subFaces[0].get()));
  const int sw = subSize.width;
  const int sh = subSize.height;
  std::array<SkinImage, 4> faces;
  for (size_t f = 0; f < faces.size(); ++f) faces[f] = CopyImage(m_subFaces[f].get(), sw, sh);
  const MenuRect rect =
      CascadeRect(m_x, m_y, rowSize.width, rowSize.height, row, sw, sh,
                  static_cast<int>(item.subItems.size()), ::GetSystemMetrics(SM_CXFULLSCREEN),
                  ::GetSystemMetrics(SM_CYFULLSCREEN));
  auto cascade = std::make_unique<CSubBmpMenu>(Hwnd(), row, &item.subItems, std::move(faces), rect);
  if (!cascade->Open()) return;
  item.subMenuOpen = 1;
  m_cascade = std::move(cascade);
}

void CBmpMenu::CloseCascade() noexcept {
  if (m_cascade) {
    const int row = m_cascade->ParentRow();
    if (row >= 0 && row < RowCount()) m_rows[static_cast<size_t>(row)].subMenuOpen = 0;
  }
  m_cascade.reset();
}

void CBmpMenu::OnSubMenuChoice(int parentRow, int subRow, int subRowId) {
  if (parentRow < 0 || parentRow >= RowCount()) return;
  const MenuChoice choice = CascadeChoice(SubMenuReport(parentRow, subRow, subRowId),
                                          m_rows[static_cast<size_t>(parentRow)].id);
  ::PostMessageW(m_parent, kMenuChoiceMessage, choice.wParam, choice.lParam);
}

void CBmpMenu::OnPaint() {
  DoubleBufferedPaint paint(Hwnd());
  const RECT& client = paint.ClientRect();
  ::FillRect(paint.Dc(), &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  DrawSkinImage(paint.Dc(), m_faces[0].get(), 0, 0, client.right, client.bottom);
}

void CBmpMenu::OnDestroy() {
  CloseCascade();
  SetMsgHandled(false);
}

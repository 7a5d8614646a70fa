#include "skin/sub_bmp_menu.h"

#include <algorithm>
#include <utility>

#include "skin/menu_row_button.h"
#include "win/double_buffered_paint.h"
#include "win/text.h"

CSubBmpMenu::CSubBmpMenu(HWND menu, int parentRow, const std::vector<tagBMPMENUINFO>* subItems,
                         std::array<SkinImage, 4> faces, const MenuRect& rect)
    // Topmost like its menu (see CBmpMenu), and above it, as it opens later.
    : Dialog(DialogTemplate(WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, 10, 10)),
      m_menu(menu),
      m_parentRow(parentRow),
      m_subItems(subItems),
      m_faces(std::move(faces)),
      m_rect(rect) {}

CSubBmpMenu::~CSubBmpMenu() {
  // The row buttons go before their faces' owner does.
  Destroy();
}

bool CSubBmpMenu::Open() {
  if (!CreateModeless(m_menu)) return false;
  ::ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
  ::SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

int CSubBmpMenu::RowCount() const noexcept {
  if (m_subItems == nullptr) return 0;
  return std::min(static_cast<int>(m_subItems->size()), kMaxMenuRows);
}

HWND CSubBmpMenu::RowButton(int subRow) const noexcept {
  if (subRow < 0 || subRow >= RowCount()) return nullptr;
  return m_buttons[static_cast<size_t>(subRow)].Hwnd();
}

BOOL CSubBmpMenu::OnInitDialog() {
  ::SetWindowPos(Hwnd(), nullptr, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  const int rowHeight =
      RowSizeOf(ImageWidth(m_faces[0].get()), ImageHeight(m_faces[0].get())).height;
  const ButtonFaces faces{m_faces[0], m_faces[1], m_faces[2], m_faces[3]};
  for (int j = 0; j < RowCount(); ++j) {
    const MenuRect r = CascadeRowRect(j, m_rect.Width(), rowHeight);
    const tagBMPMENUINFO& item = (*m_subItems)[static_cast<size_t>(j)];
    CreateMenuRowButton(m_buttons[static_cast<size_t>(j)], Hwnd(), j,
                        RECT{r.left, r.top, r.right, r.bottom}, faces, ToWide(item.Text()));
  }
  return FALSE;
}

void CSubBmpMenu::OnRowClicked(int id, HWND) {
  const int subRow = id - kMenuRowButtonIdBase;
  if (subRow < 0 || subRow >= RowCount()) {
    SetMsgHandled(false);
    return;
  }
  const MenuChoice report =
      SubMenuReport(m_parentRow, subRow, (*m_subItems)[static_cast<size_t>(subRow)].id);
  ::PostMessageW(m_menu, kSubMenuChoiceMessage, report.wParam, report.lParam);
}

void CSubBmpMenu::OnPaint() {
  DoubleBufferedPaint paint(Hwnd());
  const RECT& client = paint.ClientRect();
  ::FillRect(paint.Dc(), &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  DrawSkinImage(paint.Dc(), m_faces[0].get(), 0, 0, client.right, client.bottom);
}

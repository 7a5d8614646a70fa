#pragma once
// The configurator's dark owner-drawn list box. Rows are drawn here (icon by row data, text, a
// red highlight on the selected row or on the row under the pointer); clicks are reported to the
// owner window with private messages; delay rows can be edited in place in a small numeric
// field. The keyboard never moves the selection.
//
// The parent must be a Window of ours: it reflects WM_DRAWITEM and WM_CTLCOLORLISTBOX here.
#include <windows.h>

#include <cstdint>
#include <string>

#include "skin/skin_image.h"
#include "win/subclass.h"
#include "win/unique_handle.h"
#include "win/window.h"

class CListBoxEx : public Window {
 public:
  // Posted to the owner (the parent when no owner is set).
  static constexpr UINT kRightClickMessage = WM_USER + 12288;      // 0x3400: row, row data
  static constexpr UINT kDelayEditedMessage = WM_USER + 12289;     // 0x3401: value, row
  static constexpr UINT kMacroListClickMessage = WM_USER + 12290;  // 0x3402: row, row data

  static constexpr int kRowHeight = 23;
  static constexpr DWORD kListStyle =
      WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;

  CListBoxEx();
  ~CListBoxEx() override;

  // Creates the list box with kListStyle plus `extraStyle` (WS_VSCROLL where a scroll bar is
  // wanted) at `rect` in the parent's client coordinates.
  bool Create(HWND parent, int controlId, const RECT& rect, DWORD extraStyle = 0);

  // The window that receives the notifications; loads the press and release icons.
  void SetOwnerAndIcons(HWND owner);
  // The red highlight and the background brush (the panel texture in macro-list mode).
  void ApplyStyle();

  // Row index, or a negative LB_ERR/LB_ERRSPACE when the row was not added.
  int AddListRow(const std::wstring& text, std::uintptr_t data);
  int InsertListRow(int index, const std::wstring& text, std::uintptr_t data);

  // Modes; set before ApplyStyle.
  void SetSelectionMode(bool on) noexcept { m_selectionMode = on; }
  void SetMacroListMode(bool on) noexcept { m_macroListMode = on; }
  void SetDelayEditing(bool on) noexcept { m_delayEditing = on; }
  void SetRightClickNotify(bool on) noexcept { m_rightClickNotify = on; }
  void SetPlainTextLayout(bool on) noexcept { m_plainTextLayout = on; }
  void SetTextColors(COLORREF normal, COLORREF selected) noexcept;

  // The in-place editor while one is open, else null; the row it edits, else -1.
  HWND EditorWindow() const noexcept { return m_editor; }
  int EditingRow() const noexcept { return m_editingRow; }

  int RowCount() const noexcept;
  std::wstring RowText(int row) const;
  std::uintptr_t RowData(int row) const noexcept;

  bool PreTranslateMessage(MSG& msg) override;

 private:
  LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
  LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
  LRESULT OnCtlColor(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
  LRESULT OnRButtonUp(WPARAM wParam, LPARAM lParam);
  LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
  LRESULT OnKey(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
  LRESULT OnEnable(WPARAM wParam, LPARAM lParam);
  LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
  LRESULT OnScroll(WPARAM wParam, LPARAM lParam);

  BEGIN_MESSAGE_TABLE(CListBoxEx, Window)
    MESSAGE_HANDLER(kReflectedMessageBase + WM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(kReflectedMessageBase + WM_MEASUREITEM, OnMeasureItem)
    MESSAGE_HANDLER(kReflectedMessageBase + WM_CTLCOLORLISTBOX, OnCtlColor)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_RBUTTONUP, OnRButtonUp)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKey)
    MESSAGE_HANDLER(WM_KEYUP, OnKey)
    MESSAGE_HANDLER(WM_CHAR, OnKey)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_ENABLE, OnEnable)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
    MESSAGE_HANDLER(WM_MOUSEWHEEL, OnScroll)
  END_MESSAGE_TABLE()

  HWND Receiver() const noexcept;
  // The row under a client point, -1 over no row.
  int RowAt(LPARAM point) const noexcept;
  void SelectRow(int row) noexcept;
  void ReplaceRow(int row, const std::wstring& text, std::uintptr_t data);
  void InvalidateRow(int row) noexcept;
  void DrawIcon(HDC dc, const RECT& row, std::uintptr_t data);

  void OpenEditor(int row);
  // Enter or a click in the list: the typed value goes into the row and to the owner.
  void CommitEdit();
  // Esc: the row gets its value back; nothing is reported.
  void CancelEdit();
  void CloseEditor() noexcept;
  bool OnEditorMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  HWND m_owner = nullptr;
  COLORREF m_textColor;
  COLORREF m_selectedTextColor;
  COLORREF m_highlightColor;
  bool m_selectionMode = false;
  bool m_macroListMode = false;
  bool m_delayEditing = false;
  bool m_rightClickNotify = false;
  bool m_plainTextLayout = false;
  int m_hoverRow = -1;
  bool m_trackingLeave = false;

  UniqueFont m_font;
  UniqueBitmap m_panel;
  UniqueBrush m_background;
  UniqueBrush m_highlight;
  SkinImage m_pressIcon;
  SkinImage m_releaseIcon;

  HWND m_editor = nullptr;
  int m_editingRow = -1;
  int m_priorValue = 0;
  Subclass m_editorSubclass;
};

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

#include "skin/control_messages.h"
#include "skin/core/control_table.h"
#include "skin/skin_image.h"
#include "win/subclass.h"
#include "win/unique_handle.h"
#include "win/window.h"

class CListBoxEx : public Window {
 public:
  // Posted to the owner (the parent when no owner is set); see control_messages.h.
  static constexpr UINT kRightClickMessage = kListRightClickMessage;        // row, row data
  static constexpr UINT kDelayEditedMessage = kListDelayEditedMessage;      // value, row
  static constexpr UINT kMacroListClickMessage = ::kMacroListClickMessage;  // row, row data

  static constexpr int kRowHeight = 23;
  static constexpr DWORD kListStyle =
      WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;

  struct Setup {
    ListLook look{};  // modes, colours and scroll bar; the list is styled (ApplyStyle) with them
    // Receives the notifications and makes the in-place editor possible (SetOwnerAndIcons);
    // null: none, notifications go to the parent.
    HWND owner = nullptr;
  };

  CListBoxEx();
  ~CListBoxEx() override;

  // Creates the list box (kListStyle, WS_VSCROLL when the look asks for a scroll bar) at `rect`
  // in the parent's client coordinates.
  bool Create(HWND parent, int controlId, const RECT& rect, const Setup& setup);
  bool Create(HWND parent, int controlId, const RECT& rect) {
    return Create(parent, controlId, rect, Setup{});
  }

  // The window that receives the notifications; loads the press and release icons.
  void SetOwnerAndIcons(HWND owner);
  // The red highlight and the background brush (the panel texture in macro-list mode).
  void ApplyStyle();

  // Row index, or a negative LB_ERR/LB_ERRSPACE when the row was not added. Inserting,
  // deleting and resetting rows first cancels an open edit, so the editor never outlives its row.
  int AddListRow(const std::wstring& text, std::uintptr_t data);
  int InsertListRow(int index, const std::wstring& text, std::uintptr_t data);
  void DeleteRow(int row);
  void ResetRows();
  // Selects `row` (-1: none); the selected row, -1 when none.
  void SelectRow(int row) noexcept;
  int SelectedRow() const noexcept;

  // The in-place editor, when one is open: Enter's way (the typed value goes into the row it
  // was opened on and to the owner as 0x3401) and Escape's way (the row gets its value back,
  // nothing is reported). Nothing happens without an open editor.
  void CommitEdit();
  void CancelEdit();

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
  BOOL OnDrawItem(const DRAWITEMSTRUCT& item);
  void OnMeasureItem(MEASUREITEMSTRUCT& item);
  HBRUSH OnCtlColor(HDC dc);
  void OnLButtonDown(UINT keys, POINT point);
  void OnRButtonUp(UINT keys, POINT point);
  void OnLButtonDblClk(UINT keys, POINT point);
  void OnKey(UINT key, LPARAM keyData);
  void OnMouseMove(UINT keys, POINT point);
  void OnMouseLeave();
  void OnEnable(bool enabled);
  void OnDestroy();
  void OnScroll(int request, int position, HWND scrollBar);
  void OnWheel(UINT keys, int delta, POINT point);

  BEGIN_MESSAGE_TABLE(CListBoxEx, Window)
    REFLECTED_WM_DRAWITEM(OnDrawItem)
    REFLECTED_WM_MEASUREITEM(OnMeasureItem)
    REFLECTED_WM_CTLCOLORLISTBOX(OnCtlColor)
    MSG_WM_LBUTTONDOWN(OnLButtonDown)
    MSG_WM_RBUTTONUP(OnRButtonUp)
    MSG_WM_LBUTTONDBLCLK(OnLButtonDblClk)
    MSG_WM_KEYDOWN(OnKey)
    MSG_WM_KEYUP(OnKey)
    MSG_WM_CHAR(OnKey)
    MSG_WM_MOUSEMOVE(OnMouseMove)
    MSG_WM_MOUSELEAVE(OnMouseLeave)
    MSG_WM_ENABLE(OnEnable)
    MSG_WM_DESTROY(OnDestroy)
    MSG_WM_VSCROLL(OnScroll)
    MSG_WM_MOUSEWHEEL(OnWheel)
  END_MESSAGE_TABLE()

  HWND Receiver() const noexcept;
  // The row under a client point, -1 over no row.
  int RowAt(POINT point) const noexcept;
  // Row operations that leave an open editor alone (the editor's own).
  int InsertRowKeepingEdit(int index, const std::wstring& text, std::uintptr_t data);
  void ReplaceRow(int row, const std::wstring& text, std::uintptr_t data);
  void InvalidateRow(int row) noexcept;
  void DrawIcon(HDC dc, const RECT& row, std::uintptr_t data);

  void OpenEditor(int row);
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

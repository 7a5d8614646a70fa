// The owner-drawn list and the skinned popup menus as real controls under the window manager:
// in-place delay editing, notifications, the keyboard, menu choices at both levels, and what
// many repaints leave behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/folders.h"
#include "skin/core/list_rows.h"
#include "skin/list_box_ex.h"
#include "skin/png_file.h"
#include "support/temp_folder.h"
#include "win/gdiplus_headers.h"
#include "win/gdiplus_session.h"
#include "win/text.h"
#include "win/window.h"

namespace {

struct Posted {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Parent and owner of the controls under test: keeps the private messages it receives.
class RecorderWindow : public Window {
 public:
  std::vector<Posted> posted;

  std::vector<Posted> Take(UINT message) const {
    std::vector<Posted> found;
    for (const Posted& p : posted) {
      if (p.message == message) found.push_back(p);
    }
    return found;
  }

 private:
  LRESULT OnPrivate(WPARAM wParam, LPARAM lParam) {
    posted.push_back({m_current, wParam, lParam});
    return 0;
  }
  LRESULT Record3400(WPARAM w, LPARAM l) { return (m_current = 0x3400, OnPrivate(w, l)); }
  LRESULT Record3401(WPARAM w, LPARAM l) { return (m_current = 0x3401, OnPrivate(w, l)); }
  LRESULT Record3402(WPARAM w, LPARAM l) { return (m_current = 0x3402, OnPrivate(w, l)); }
  LRESULT Record501(WPARAM w, LPARAM l) { return (m_current = 0x501, OnPrivate(w, l)); }

  BEGIN_MESSAGE_TABLE(RecorderWindow, Window)
    MESSAGE_HANDLER(0x3400, Record3400)
    MESSAGE_HANDLER(0x3401, Record3401)
    MESSAGE_HANDLER(0x3402, Record3402)
    MESSAGE_HANDLER(0x501, Record501)
  END_MESSAGE_TABLE()

  UINT m_current = 0;
};

void Pump(DWORD milliseconds = 50) {
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  MSG msg{};
  do {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (::GetTickCount64() < end);
}

LPARAM PointOfRow(HWND list, int row) {
  RECT rect{};
  ::SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
  return MAKELPARAM(rect.left + 20, (rect.top + rect.bottom) / 2);
}

std::wstring WindowText(HWND window) {
  wchar_t buffer[256] = {};
  ::GetWindowTextW(window, buffer, 256);
  return buffer;
}

// GDI objects of this process. Windows counts them; Wine reports 0, so there the count is read
// from the handle table instead: new objects take freed slots first, so the highest slot that a
// batch of fresh objects lands in grows only when objects stay behind.
DWORD GdiObjectGauge() {
  const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0) return counted;
  std::vector<HBRUSH> probes;
  DWORD highest = 0;
  for (int i = 0; i < 64; ++i) {
    HBRUSH brush = ::CreateSolidBrush(RGB(i, 1, 2));
    probes.push_back(brush);
    highest = std::max<DWORD>(highest, LOWORD(reinterpret_cast<ULONG_PTR>(brush)));
  }
  for (HBRUSH brush : probes) ::DeleteObject(brush);
  return highest;
}

// Pixel of a window as it prints itself.
COLORREF PrintedPixel(HBITMAP bitmap, int x, int y) {
  HDC memory = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  const COLORREF color = ::GetPixel(memory, x, y);
  ::SelectObject(memory, old);
  ::DeleteDC(memory);
  return color;
}

// One GDI+ for the whole program (starting it costs seconds under Wine).
bool GdiplusStarted() {
  static GdiplusSession session;
  return session.Started();
}

TEST(GdiObjectGauge, SeesObjectsLeftBehind) {
  const DWORD before = GdiObjectGauge();
  std::vector<HPEN> leaked;
  for (int i = 0; i < 300; ++i) leaked.push_back(::CreatePen(PS_SOLID, 1, RGB(i, 0, 0)));
  EXPECT_GE(GdiObjectGauge(), before + 250);
  for (HPEN pen : leaked) ::DeleteObject(pen);
  EXPECT_LE(GdiObjectGauge(), before + 20);
}

class ListBoxExTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GdiplusStarted());
    ASSERT_TRUE(
        m_parent.Create(0, L"list test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 360));
  }

  // A record list as the macro editor sets it up: press, release and delay rows.
  void MakeRecordList(bool withOwner = true) {
    ASSERT_TRUE(m_list.Create(m_parent.Hwnd(), 0x1012, RECT{10, 10, 300, 300}, WS_VSCROLL));
    if (withOwner) m_list.SetOwnerAndIcons(m_parent.Hwnd());
    m_list.SetSelectionMode(true);
    m_list.SetRightClickNotify(true);
    m_list.SetDelayEditing(true);
    m_list.SetTextColors(RGB(200, 200, 200), RGB(255, 255, 255));
    m_list.ApplyStyle();
    m_list.AddListRow(L"               A", kPressRowData);
    m_list.AddListRow(ToWide(DelayRowText(120)), 0);
    m_list.AddListRow(L"               A", kReleaseRowData);
    m_list.AddListRow(ToWide(DelayRowText(30)), 0);
  }

  void DoubleClick(int row) {
    const LPARAM point = PointOfRow(m_list.Hwnd(), row);
    ::SendMessageW(m_list.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::SendMessageW(m_list.Hwnd(), WM_LBUTTONUP, 0, point);
    ::SendMessageW(m_list.Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    ::SendMessageW(m_list.Hwnd(), WM_LBUTTONUP, 0, point);
  }

  int Selection() const {
    return static_cast<int>(::SendMessageW(m_list.Hwnd(), LB_GETCURSEL, 0, 0));
  }

  RecorderWindow m_parent;
  CListBoxEx m_list;
};

TEST_F(ListBoxExTest, DoubleClickOpensTheEditorOnlyOnDelayRows) {
  MakeRecordList();
  DoubleClick(0);
  EXPECT_EQ(m_list.EditorWindow(), nullptr);
  DoubleClick(2);
  EXPECT_EQ(m_list.EditorWindow(), nullptr);

  DoubleClick(1);
  const HWND editor = m_list.EditorWindow();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(m_list.EditingRow(), 1);
  EXPECT_EQ(WindowText(editor), L"120");
  EXPECT_EQ(::SendMessageW(editor, EM_GETLIMITTEXT, 0, 0), 5);
  EXPECT_TRUE(::GetWindowLongW(editor, GWL_STYLE) & ES_NUMBER);
  EXPECT_EQ(::GetFocus(), editor);
  // The row itself is emptied while its value sits in the editor.
  EXPECT_EQ(m_list.RowText(1), L"");
  // A second double-click elsewhere does not open a second editor: the click commits the first.
  DoubleClick(3);
  EXPECT_EQ(m_list.RowText(1), ToWide(DelayRowText(120)));
  EXPECT_EQ(m_list.EditingRow(), 3);
}

TEST_F(ListBoxExTest, NoEditorWithoutDelayEditingOrWithoutOwner) {
  MakeRecordList(false);
  DoubleClick(1);
  EXPECT_EQ(m_list.EditorWindow(), nullptr);
  m_list.SetOwnerAndIcons(m_parent.Hwnd());
  m_list.SetDelayEditing(false);
  DoubleClick(1);
  EXPECT_EQ(m_list.EditorWindow(), nullptr);
  m_list.SetDelayEditing(true);
  DoubleClick(1);
  EXPECT_NE(m_list.EditorWindow(), nullptr);
}

TEST_F(ListBoxExTest, EnterWritesTheTypedValueIntoTheRowAndPostsIt) {
  MakeRecordList();
  DoubleClick(3);
  const HWND editor = m_list.EditorWindow();
  ASSERT_NE(editor, nullptr);
  ::SetWindowTextW(editor, L"250");
  // The editor acts on the release; the press must not end anything (in a dialog it would be OK).
  ::SendMessageW(editor, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(m_list.EditorWindow(), editor);
  EXPECT_EQ(::SendMessageW(editor, WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS,
            DLGC_WANTALLKEYS);
  ::SendMessageW(editor, WM_KEYUP, VK_RETURN, 0);
  EXPECT_FALSE(::IsWindow(editor));
  EXPECT_EQ(m_list.EditorWindow(), nullptr);
  EXPECT_EQ(m_list.EditingRow(), -1);
  EXPECT_EQ(m_list.RowText(3), std::wstring(46, L' ') + L"250");
  EXPECT_EQ(m_list.RowData(3), 0u);
  EXPECT_EQ(m_list.RowCount(), 4);
  EXPECT_EQ(Selection(), 3);
  Pump();
  const auto edits = m_parent.Take(0x3401);
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0].wParam, 250u);
  EXPECT_EQ(edits[0].lParam, 3);
}

TEST_F(ListBoxExTest, EscRestoresThePriorValueAndPostsNothing) {
  MakeRecordList();
  DoubleClick(1);
  const HWND editor = m_list.EditorWindow();
  ASSERT_NE(editor, nullptr);
  ::SetWindowTextW(editor, L"999");
  ::SendMessageW(editor, WM_KEYUP, VK_ESCAPE, 0);
  EXPECT_FALSE(::IsWindow(editor));
  EXPECT_EQ(m_list.RowText(1), ToWide(DelayRowText(120)));
  EXPECT_EQ(Selection(), 1);
  // Other keys leave the editor open.
  DoubleClick(1);
  ASSERT_NE(m_list.EditorWindow(), nullptr);
  ::SendMessageW(m_list.EditorWindow(), WM_KEYUP, 'A', 0);
  EXPECT_NE(m_list.EditorWindow(), nullptr);
  ::SendMessageW(m_list.EditorWindow(), WM_KEYUP, VK_ESCAPE, 0);
  Pump();
  EXPECT_TRUE(m_parent.Take(0x3401).empty());
}

TEST_F(ListBoxExTest, AClickElsewhereInTheListCommitsFirstThenSelects) {
  MakeRecordList();
  DoubleClick(1);
  ASSERT_NE(m_list.EditorWindow(), nullptr);
  ::SetWindowTextW(m_list.EditorWindow(), L"77");
  // A right click meanwhile moves the selection; the commit still names the edited row.
  ::SendMessageW(m_list.Hwnd(), WM_RBUTTONUP, 0, PointOfRow(m_list.Hwnd(), 3));
  const LPARAM point = PointOfRow(m_list.Hwnd(), 0);
  ::SendMessageW(m_list.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point);
  ::SendMessageW(m_list.Hwnd(), WM_LBUTTONUP, 0, point);
  EXPECT_EQ(m_list.EditorWindow(), nullptr);
  EXPECT_EQ(m_list.RowText(1), ToWide(DelayRowText(77)));
  EXPECT_EQ(Selection(), 0);
  Pump();
  const auto edits = m_parent.Take(0x3401);
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0].wParam, 77u);
  EXPECT_EQ(edits[0].lParam, 1);
  // An emptied editor commits 0.
  DoubleClick(3);
  ::SetWindowTextW(m_list.EditorWindow(), L"");
  ::SendMessageW(m_list.EditorWindow(), WM_KEYUP, VK_RETURN, 0);
  EXPECT_EQ(m_list.RowText(3), ToWide(DelayRowText(0)));
}

TEST_F(ListBoxExTest, TheKeyboardNeverMovesTheSelection) {
  MakeRecordList();
  // The same keys do move a plain list box, so the keys themselves are real.
  HWND plain = ::CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 310, 10,
                                 100, 100, m_parent.Hwnd(), nullptr, nullptr, nullptr);
  for (const wchar_t* text : {L"a", L"b", L"c", L"d"}) {
    ::SendMessageW(plain, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  ::SendMessageW(plain, LB_SETCURSEL, 1, 0);
  ::SendMessageW(plain, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(::SendMessageW(plain, LB_GETCURSEL, 0, 0), 2);
  ::DestroyWindow(plain);

  ::SendMessageW(m_list.Hwnd(), LB_SETCURSEL, 1, 0);
  ::SetFocus(m_list.Hwnd());
  for (WPARAM key : {VK_DOWN, VK_UP, VK_END, VK_HOME, VK_NEXT, VK_PRIOR}) {
    ::SendMessageW(m_list.Hwnd(), WM_KEYDOWN, key, 0);
    ::SendMessageW(m_list.Hwnd(), WM_KEYUP, key, 0);
    EXPECT_EQ(Selection(), 1) << key;
  }
  // Type-ahead neither.
  ::SendMessageW(m_list.Hwnd(), WM_CHAR, L' ', 0);
  EXPECT_EQ(Selection(), 1);
  // Through the message loop as well: the keys are swallowed before they are translated.
  MSG msg{m_list.Hwnd(), WM_KEYDOWN, VK_DOWN, 0, 0, {}};
  EXPECT_TRUE(m_list.PreTranslateMessage(msg));
  EXPECT_EQ(Selection(), 1);
}

TEST_F(ListBoxExTest, MacroListAndRightClicksNotifyTheOwner) {
  ASSERT_TRUE(m_list.Create(m_parent.Hwnd(), 0x1014, RECT{10, 10, 200, 300}));
  m_list.SetOwnerAndIcons(m_parent.Hwnd());
  m_list.SetSelectionMode(true);
  m_list.SetMacroListMode(true);
  m_list.SetRightClickNotify(true);
  m_list.ApplyStyle();
  m_list.AddListRow(L"first", 0);
  m_list.AddListRow(L"second", 0);
  m_list.InsertListRow(1, L"between", 7);
  ::SendMessageW(m_list.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, PointOfRow(m_list.Hwnd(), 1));
  ::SendMessageW(m_list.Hwnd(), WM_LBUTTONUP, 0, PointOfRow(m_list.Hwnd(), 1));
  ::SendMessageW(m_list.Hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, PointOfRow(m_list.Hwnd(), 2));
  ::SendMessageW(m_list.Hwnd(), WM_RBUTTONUP, 0, PointOfRow(m_list.Hwnd(), 2));
  // Double-clicks do nothing without delay editing.
  ::SendMessageW(m_list.Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, PointOfRow(m_list.Hwnd(), 0));
  EXPECT_EQ(m_list.EditorWindow(), nullptr);
  Pump();
  const auto clicks = m_parent.Take(0x3402);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].wParam, 1u);
  EXPECT_EQ(clicks[0].lParam, 7);
  const auto rightClicks = m_parent.Take(0x3400);
  ASSERT_EQ(rightClicks.size(), 1u);
  EXPECT_EQ(rightClicks[0].wParam, 2u);
  EXPECT_EQ(Selection(), 2);
}

TEST_F(ListBoxExTest, RowsAreDrawnWithHighlightAndBackgroundAndStayInTheirRows) {
  // Macro-list mode: the panel texture behind the rows, the red highlight on the selection.
  ASSERT_TRUE(m_list.Create(m_parent.Hwnd(), 0x1014, RECT{10, 10, 200, 300}));
  m_list.SetOwnerAndIcons(m_parent.Hwnd());
  m_list.SetSelectionMode(true);
  m_list.SetMacroListMode(true);
  m_list.ApplyStyle();
  m_list.AddListRow(std::wstring(20000, L'W'), 0);  // huge caption
  m_list.AddListRow(L"", 0);
  m_list.AddListRow(L"x", 0x7FFFFFFF);  // no such bitmap: nothing drawn, no crash
  ::SendMessageW(m_list.Hwnd(), LB_SETCURSEL, 2, 0);
  UniqueBitmap picture(PrintWindowBitmap(m_list.Hwnd()));
  ASSERT_TRUE(picture);
  // Row 1 (y 23..45) is empty: the long text of row 0 did not reach it.
  for (int x = 2; x < 170; x += 7) {
    ASSERT_EQ(PrintedPixel(picture.get(), x, 34), RGB(85, 84, 84)) << x;
  }
  EXPECT_EQ(PrintedPixel(picture.get(), 150, 46 + 20), RGB(200, 0, 0));
  // Below the rows: the control's own background, the same texture.
  EXPECT_EQ(PrintedPixel(picture.get(), 100, 200), RGB(85, 84, 84));

  // The plain dark list.
  CListBoxEx dark;
  ASSERT_TRUE(dark.Create(m_parent.Hwnd(), 0x1012, RECT{210, 10, 400, 300}));
  dark.ApplyStyle();
  dark.AddListRow(L"row", 1);
  UniqueBitmap darkPicture(PrintWindowBitmap(dark.Hwnd()));
  ASSERT_TRUE(darkPicture);
  EXPECT_EQ(PrintedPixel(darkPicture.get(), 150, 100), RGB(6, 6, 6));
  // A row with data 1 leaves the icon cell blank.
  for (int x = 2; x < 30; ++x) {
    ASSERT_EQ(PrintedPixel(darkPicture.get(), x, 11), RGB(6, 6, 6)) << x;
  }
}

TEST_F(ListBoxExTest, ManyRepaintsAndEditsLeaveNoGdiObjectsBehind) {
  MakeRecordList();
  for (int i = 0; i < 30; ++i) m_list.AddListRow(ToWide(DelayRowText(i)), i % 3 == 0 ? 138 : 0);
  auto cycle = [&](int rounds) {
    for (int i = 0; i < rounds; ++i) {
      ::SendMessageW(m_list.Hwnd(), LB_SETCURSEL, i % 10, 0);
      ::RedrawWindow(m_list.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      ::SendMessageW(m_list.Hwnd(), WM_MOUSEMOVE, 0, PointOfRow(m_list.Hwnd(), i % 5));
      if (i % 20 == 0) {
        DoubleClick(1);
        if (m_list.EditorWindow() != nullptr) {
          ::SendMessageW(m_list.EditorWindow(), WM_KEYUP, i % 40 == 0 ? VK_RETURN : VK_ESCAPE, 0);
        }
      }
    }
    Pump(10);
  };
  cycle(50);  // warm-up: caches, icons
  const DWORD before = GdiObjectGauge();
  cycle(600);
  const DWORD after = GdiObjectGauge();
  // A leak of one object per repaint would show as hundreds.
  EXPECT_LE(after, before + 20) << "before " << before << " after " << after;
}

}  // namespace

// The owner-drawn list and the skinned popup menus as real controls under the window manager:
// in-place delay editing, notifications, the keyboard, menu choices at both levels, and what
// many repaints leave behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/folders.h"
#include "skin/bmp_menu.h"
#include "skin/core/bmp_menu_layout.h"
#include "skin/core/list_rows.h"
#include "skin/list_box_ex.h"
#include "skin/png_file.h"
#include "skin/sub_bmp_menu.h"
#include "support/gdi_object_count.h"
#include "support/process_harness.h"
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
  harness::PumpMessages(milliseconds);
}

LPARAM PointOfRow(HWND list, int row) {
  RECT rect{};
  ::SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
  return MAKELPARAM(rect.left + 20, (rect.top + rect.bottom) / 2);
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

// One GDI+ and one parent window for the whole program (starting GDI+ costs seconds under
// Wine); both end in the environment's TearDown, while the program still runs normally,
// rather than in static destructors after wmain has returned.
std::unique_ptr<GdiplusSession> g_gdiplus;
std::unique_ptr<RecorderWindow> g_parent;

class SharedObjectsEnvironment : public testing::Environment {
 public:
  void TearDown() override {
    g_parent.reset();
    g_gdiplus.reset();
  }
};
testing::Environment* const g_sharedObjects =
    testing::AddGlobalTestEnvironment(new SharedObjectsEnvironment);

bool GdiplusStarted() {
  if (!g_gdiplus) g_gdiplus = std::make_unique<GdiplusSession>();
  return g_gdiplus->Started();
}

TEST(GdiObjectCount, SeesObjectsLeftBehind) {
  const DWORD before = GdiObjectCount();
  std::vector<HPEN> leaked;
  for (int i = 0; i < 300; ++i) leaked.push_back(::CreatePen(PS_SOLID, 1, RGB(i, 0, 0)));
  EXPECT_EQ(GdiObjectCount(), before + 300);
  for (HPEN pen : leaked) ::DeleteObject(pen);
  EXPECT_EQ(GdiObjectCount(), before);
}

// One visible parent for all tests: under Wine without a window manager, taking down a managed
// top-level window waits for the manager for seconds.
RecorderWindow& SharedParent() {
  if (!g_parent) g_parent = std::make_unique<RecorderWindow>();
  RecorderWindow& parent = *g_parent;
  if (parent.Hwnd() == nullptr) {
    parent.Create(0, L"list and menu test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 360);
  }
  // Nothing left over from an earlier test reaches this one.
  Pump(20);
  parent.posted.clear();
  return parent;
}

class ListBoxExTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GdiplusStarted());
    ASSERT_NE(m_parent.Hwnd(), nullptr);
  }

  // A record list as the macro editor sets it up: press, release and delay rows.
  void MakeRecordList(bool withOwner = true) {
    ASSERT_TRUE(m_list.Create(m_parent.Hwnd(), 0x1012, RECT{10, 10, 300, 300},
                              {.look = {.scrollBar = true}}));
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

  RecorderWindow& m_parent = SharedParent();
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

TEST_F(ListBoxExTest, TheEditorNeverOutlivesItsRow) {
  MakeRecordList();
  const std::wstring delayRow = ToWide(DelayRowText(30));
  // Rows inserted, deleted or reset while an edit is open cancel it first: the typed value
  // goes nowhere, least of all into the row that moved under the editor.
  DoubleClick(3);
  ::SetWindowTextW(m_list.EditorWindow(), L"777");
  m_list.InsertListRow(0, L"               B", kPressRowData);
  EXPECT_EQ(m_list.EditorWindow(), nullptr);
  EXPECT_EQ(m_list.RowText(4), delayRow);
  DoubleClick(4);
  ::SetWindowTextW(m_list.EditorWindow(), L"777");
  m_list.DeleteRow(0);
  EXPECT_EQ(m_list.EditorWindow(), nullptr);
  EXPECT_EQ(m_list.RowText(3), delayRow);
  DoubleClick(3);
  ::SetWindowTextW(m_list.EditorWindow(), L"777");
  m_list.ResetRows();
  EXPECT_EQ(m_list.EditorWindow(), nullptr);
  EXPECT_EQ(m_list.EditingRow(), -1);
  EXPECT_EQ(m_list.RowCount(), 0);
  Pump();
  EXPECT_TRUE(m_parent.Take(0x3401).empty());

  // Its owner commits or cancels an open edit the way Enter and Escape do.
  m_list.AddListRow(ToWide(DelayRowText(120)), 0);
  m_list.AddListRow(delayRow, 0);
  DoubleClick(0);
  ::SetWindowTextW(m_list.EditorWindow(), L"480");
  m_list.CommitEdit();
  EXPECT_EQ(m_list.RowText(0), ToWide(DelayRowText(480)));
  DoubleClick(1);
  ::SetWindowTextW(m_list.EditorWindow(), L"5");
  m_list.CancelEdit();
  EXPECT_EQ(m_list.RowText(1), delayRow);
  EXPECT_EQ(m_list.SelectedRow(), 1);
  m_list.CommitEdit();  // nothing open: nothing happens
  Pump();
  const auto edits = m_parent.Take(0x3401);
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0].wParam, 480u);
  EXPECT_EQ(edits[0].lParam, 0);
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
  // Scrolling moves the rows away from the editor: it commits first.
  DoubleClick(3);
  ASSERT_NE(m_list.EditorWindow(), nullptr);
  ::SetWindowTextW(m_list.EditorWindow(), L"5");
  ::SendMessageW(m_list.Hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(m_list.EditorWindow(), nullptr);
  EXPECT_EQ(m_list.RowText(3), ToWide(DelayRowText(5)));
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

TEST_F(ListBoxExTest, WithoutSelectionModeTheRowUnderThePointerIsLit) {
  ASSERT_TRUE(m_list.Create(m_parent.Hwnd(), 0x1012, RECT{10, 10, 200, 200}));
  m_list.ApplyStyle();
  for (const wchar_t* text : {L"one", L"two", L"three"}) m_list.AddListRow(text, 0);
  ::SendMessageW(m_list.Hwnd(), LB_SETCURSEL, 0, 0);
  ::SendMessageW(m_list.Hwnd(), WM_MOUSEMOVE, 0, PointOfRow(m_list.Hwnd(), 1));
  UniqueBitmap lit(PrintWindowBitmap(m_list.Hwnd()));
  ASSERT_TRUE(lit);
  EXPECT_EQ(PrintedPixel(lit.get(), 150, 23 + 20), RGB(200, 0, 0));
  // The selected row is not lit in this mode.
  EXPECT_EQ(PrintedPixel(lit.get(), 150, 20), RGB(6, 6, 6));
  ::SendMessageW(m_list.Hwnd(), WM_MOUSELEAVE, 0, 0);
  UniqueBitmap left(PrintWindowBitmap(m_list.Hwnd()));
  ASSERT_TRUE(left);
  EXPECT_EQ(PrintedPixel(left.get(), 150, 23 + 20), RGB(6, 6, 6));
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
  const DWORD before = GdiObjectCount();
  cycle(600);
  const DWORD after = GdiObjectCount();
  // A leak of one object per repaint would show as hundreds.
  EXPECT_LE(after, before + 5) << "before " << before << " after " << after;
}

void TypeKey(WORD key) {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = inputs[1].ki.wVk = key;
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, inputs, sizeof(INPUT));
  Pump(60);
}

TEST_F(ListBoxExTest, ARealDoubleClickAndTypedDigitsWithEnterEditADelay) {
  MakeRecordList();
  ::SetForegroundWindow(m_parent.Hwnd());
  RECT row{};
  ::SendMessageW(m_list.Hwnd(), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&row));
  POINT point{row.left + 30, (row.top + row.bottom) / 2};
  ::ClientToScreen(m_list.Hwnd(), &point);
  ::SetCursorPos(point.x, point.y);
  INPUT clicks[4] = {};
  for (INPUT& input : clicks) input.type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = clicks[2].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = clicks[3].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(4, clicks, sizeof(INPUT));
  Pump(150);
  ASSERT_NE(m_list.EditorWindow(), nullptr) << "no editor after a real double-click";
  EXPECT_EQ(::GetFocus(), m_list.EditorWindow());
  // The prior value is selected, so typing replaces it; letters are refused by the field.
  TypeKey('4');
  TypeKey('X');
  TypeKey('2');
  TypeKey(VK_RETURN);
  EXPECT_EQ(m_list.EditorWindow(), nullptr);
  EXPECT_EQ(m_list.RowText(3), ToWide(DelayRowText(42)));
  Pump();
  const auto edits = m_parent.Take(0x3401);
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0].wParam, 42u);
  EXPECT_EQ(edits[0].lParam, 3);
  // The keyboard goes back to the list, which ignores it.
  TypeKey(VK_DOWN);
  EXPECT_EQ(Selection(), 3);
}

// A PNG of one colour, for faces of known size.
std::wstring MakeFace(const std::wstring& folder, const wchar_t* name, int width, int height,
                      Gdiplus::Color color) {
  Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics graphics(&bitmap);
    graphics.Clear(color);
  }
  const std::wstring path = folder + name;
  EXPECT_TRUE(SaveImageAsPng(bitmap, path)) << name;
  return path;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

class BmpMenuTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(GdiplusStarted());
    ASSERT_NE(m_parent.Hwnd(), nullptr);
    const std::u16string folder = TempTestFolder(u"vireo-menu-");
    ASSERT_FALSE(folder.empty());
    m_folder = ToWide(folder);
    ::CreateDirectoryW(m_folder.c_str(), nullptr);
    m_n = MakeFace(m_folder, L"n.png", 150, 30, Gdiplus::Color(255, 40, 40, 40));
    m_d = MakeFace(m_folder, L"d.png", 150, 30, Gdiplus::Color(255, 160, 0, 0));
    m_subN = MakeFace(m_folder, L"sn.png", 120, 25, Gdiplus::Color(255, 30, 30, 90));
    m_subD = MakeFace(m_folder, L"sd.png", 120, 25, Gdiplus::Color(255, 0, 160, 0));
  }
  void TearDown() override {
    m_menu.reset();
    RemoveTestFolder(m_folder);
  }

  CBmpMenu& NewMenu(int x, int y) {
    m_menu = std::make_unique<CBmpMenu>();
    m_menu->SetRowFaces(m_n, m_d, m_d, m_n);
    m_menu->SetSubRowFaces(m_subN, m_subD, m_subD, m_subN);
    m_menu->SetPosition(x, y);
    return *m_menu;
  }

  void Hover(int row) {
    ::SendMessageW(m_menu->Hwnd(), 0x1511, reinterpret_cast<WPARAM>(m_menu->RowButton(row)), 0);
  }

  RecorderWindow& m_parent = SharedParent();
  std::wstring m_folder, m_n, m_d, m_subN, m_subD;
  std::unique_ptr<CBmpMenu> m_menu;
};

TEST_F(BmpMenuTest, RowsAreStackedButtonsAndAChoicePostsIndexAndId) {
  CBmpMenu& menu = NewMenu(200, 150);
  for (int id : {1, 2, 3}) ASSERT_TRUE(menu.AddRow(L"row " + std::to_wstring(id), id));
  // Its size is known before it opens, for placing it at the screen's edges.
  EXPECT_EQ(menu.RowSize(), (MenuRowSize{150, 30}));
  EXPECT_EQ(menu.WindowSize(16), (MenuRowSize{170, 480}));
  ASSERT_TRUE(menu.Open(m_parent.Hwnd()));
  const RECT window = WindowRect(menu.Hwnd());
  EXPECT_EQ(window.left, 200);
  EXPECT_EQ(window.top, 150);
  EXPECT_EQ(window.right - window.left, 170);
  EXPECT_EQ(window.bottom - window.top, 90);
  for (int row = 0; row < 3; ++row) {
    const RECT button = WindowRect(menu.RowButton(row));
    EXPECT_EQ(button.top - window.top, 30 * row);
    EXPECT_EQ(button.right - button.left, 170);
  }
  ::SendMessageW(menu.RowButton(2), BM_CLICK, 0, 0);
  Pump();
  const auto choices = m_parent.Take(0x501);
  ASSERT_EQ(choices.size(), 1u);
  EXPECT_EQ(choices[0].wParam, 2u << 16);
  EXPECT_EQ(choices[0].lParam, static_cast<LPARAM>(3u << 16));
}

TEST_F(BmpMenuTest, CascadeOpensBesideItsRowAndReportsBothLevels) {
  CBmpMenu& menu = NewMenu(100, 100);
  ASSERT_TRUE(menu.AddRow(L"Left", 1));
  ASSERT_TRUE(menu.AddRow(L"Basic", 8));
  for (int id : {17, 18, 19}) ASSERT_TRUE(menu.AddSubRow(1, L"sub " + std::to_wstring(id), id));
  ASSERT_TRUE(menu.AddRow(L"Media", 10));
  ASSERT_TRUE(menu.AddSubRow(2, L"Play", 39));
  ASSERT_TRUE(menu.Open(m_parent.Hwnd()));

  // Clicking the row that has sub-items chooses nothing.
  ::SendMessageW(menu.RowButton(1), BM_CLICK, 0, 0);
  Pump();
  EXPECT_TRUE(m_parent.Take(0x501).empty());

  Hover(1);
  CSubBmpMenu* cascade = menu.OpenCascade();
  ASSERT_NE(cascade, nullptr);
  EXPECT_EQ(cascade->ParentRow(), 1);
  const RECT rect = WindowRect(cascade->Hwnd());
  EXPECT_EQ(rect.left, 100 + 170);
  EXPECT_EQ(rect.top, 100 + 30);
  EXPECT_EQ(rect.bottom - rect.top, 3 * 25 + 1);
  EXPECT_EQ(WindowRect(cascade->RowButton(2)).top - rect.top, 51);
  // Hovering the same row again keeps the same cascade.
  Hover(1);
  EXPECT_EQ(menu.OpenCascade(), cascade);

  ::SendMessageW(cascade->RowButton(1), BM_CLICK, 0, 0);
  Pump();
  auto choices = m_parent.Take(0x501);
  ASSERT_EQ(choices.size(), 1u);
  EXPECT_EQ(choices[0].wParam, (1u << 16) | 1u);
  EXPECT_EQ(choices[0].lParam, static_cast<LPARAM>((8u << 16) | 18u));

  // Another row with sub-items replaces the cascade.
  Hover(2);
  ASSERT_NE(menu.OpenCascade(), nullptr);
  EXPECT_EQ(menu.OpenCascade()->ParentRow(), 2);
  // A row without sub-items closes it once the pointer is outside the cascade.
  const RECT media = WindowRect(menu.OpenCascade()->Hwnd());
  if (::SetCursorPos((media.left + media.right) / 2, (media.top + media.bottom) / 2)) {
    POINT at{};
    ::GetCursorPos(&at);
    if (at.x == (media.left + media.right) / 2) {
      Hover(0);
      EXPECT_NE(menu.OpenCascade(), nullptr);
    }
  }
  ::SetCursorPos(5, 700);
  Hover(0);
  EXPECT_EQ(menu.OpenCascade(), nullptr);
}

TEST_F(BmpMenuTest, CascadeAtTheRightScreenEdgeOpensToTheLeft) {
  const int screen = ::GetSystemMetrics(SM_CXFULLSCREEN);
  CBmpMenu& menu = NewMenu(screen - 200, 50);
  ASSERT_TRUE(menu.AddRow(L"Basic", 8));
  ASSERT_TRUE(menu.AddSubRow(0, L"Copy", 17));
  ASSERT_TRUE(menu.Open(m_parent.Hwnd()));
  Hover(0);
  ASSERT_NE(menu.OpenCascade(), nullptr);
  EXPECT_EQ(WindowRect(menu.OpenCascade()->Hwnd()).left, screen - 200 + 20 - 120);
}

TEST_F(BmpMenuTest, TwentyOneRowsGiveTwenty) {
  CBmpMenu& menu = NewMenu(10, 10);
  int added = 0;
  for (int i = 0; i < 21; ++i) added += menu.AddRow(L"row", i) ? 1 : 0;
  EXPECT_EQ(added, 20);
  ASSERT_TRUE(menu.Open(m_parent.Hwnd()));
  EXPECT_EQ(menu.RowCount(), 20);
  const RECT window = WindowRect(menu.Hwnd());
  EXPECT_EQ(window.bottom - window.top, 600);
  EXPECT_NE(menu.RowButton(19), nullptr);
  EXPECT_EQ(menu.RowButton(20), nullptr);
  // The rows of an open menu stay as they are.
  EXPECT_FALSE(menu.AddSubRow(0, L"late", 1));
  ::SendMessageW(menu.RowButton(19), BM_CLICK, 0, 0);
  Pump();
  ASSERT_EQ(m_parent.Take(0x501).size(), 1u);
}

TEST_F(BmpMenuTest, MissingImagesAndHugeCaptionsStillMakeAWorkingMenu) {
  m_menu = std::make_unique<CBmpMenu>();
  m_menu->SetRowFaces(m_folder + L"none.png", L"", m_folder + L"bad\\x.png", L"?");
  m_menu->SetSubRowFaces(L"", L"", L"", L"");
  m_menu->SetPosition(30, 30);
  ASSERT_TRUE(m_menu->AddRow(std::wstring(100000, L'M'), 5));
  ASSERT_TRUE(m_menu->AddRow(L"", 6));
  ASSERT_TRUE(m_menu->AddSubRow(1, std::wstring(5000, L'S'), 7));
  ASSERT_TRUE(m_menu->Open(m_parent.Hwnd()));
  ::UpdateWindow(m_menu->Hwnd());
  Hover(1);
  ASSERT_NE(m_menu->OpenCascade(), nullptr);
  ::UpdateWindow(m_menu->OpenCascade()->Hwnd());
  ::SendMessageW(m_menu->RowButton(0), BM_CLICK, 0, 0);
  ::SendMessageW(m_menu->OpenCascade()->RowButton(0), BM_CLICK, 0, 0);
  Pump();
  const auto choices = m_parent.Take(0x501);
  ASSERT_EQ(choices.size(), 2u);
  EXPECT_EQ(choices[0].lParam, static_cast<LPARAM>(5u << 16));
  EXPECT_EQ(choices[1].lParam, static_cast<LPARAM>((6u << 16) | 7u));
}

TEST_F(BmpMenuTest, OpeningAndClosingMenusAndCascadesLeavesNoGdiObjectsBehind) {
  auto round = [&](int count) {
    for (int i = 0; i < count; ++i) {
      CBmpMenu& menu = NewMenu(50, 50);
      for (int r = 0; r < 12; ++r) menu.AddRow(L"row " + std::to_wstring(r), r);
      for (int s = 0; s < 5; ++s) menu.AddSubRow(8, L"sub", s);
      ASSERT_TRUE(menu.Open(m_parent.Hwnd()));
      Hover(8);
      ::RedrawWindow(menu.Hwnd(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      Hover(3);
      m_menu.reset();
    }
    Pump(10);
  };
  round(3);
  const DWORD before = GdiObjectCount();
  round(40);
  const DWORD after = GdiObjectCount();
  EXPECT_LE(after, before + 5) << "before " << before << " after " << after;
}

// Real pointer input, as the window manager delivers it: the pointer resting on a row with
// sub-items opens its cascade, a click on a cascade row chooses it.
void MovePointer(int x, int y) {
  ::SetCursorPos(x, y);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;
  ::SendInput(1, &input, sizeof(input));
  Pump(80);
}

void ClickPointer() {
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, inputs, sizeof(INPUT));
  Pump(150);
}

POINT CentreOf(HWND window) {
  const RECT rect = WindowRect(window);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

TEST_F(BmpMenuTest, ThePointerOpensTheCascadeAndAClickChoosesFromIt) {
  CBmpMenu& menu = NewMenu(500, 300);
  ASSERT_TRUE(menu.AddRow(L"Left", 1));
  ASSERT_TRUE(menu.AddRow(L"Basic", 8));
  for (int id : {17, 18, 19}) ASSERT_TRUE(menu.AddSubRow(1, L"sub", id));
  ASSERT_TRUE(menu.Open(m_parent.Hwnd()));
  ::UpdateWindow(menu.Hwnd());

  const POINT basic = CentreOf(menu.RowButton(1));
  MovePointer(basic.x, basic.y - 2);
  MovePointer(basic.x, basic.y);
  ASSERT_NE(menu.OpenCascade(), nullptr) << "no cascade after the pointer reached the row";
  // Across the menu's edge into the cascade, then onto its last row.
  const POINT target = CentreOf(menu.OpenCascade()->RowButton(2));
  MovePointer(target.x - 30, target.y);
  MovePointer(target.x, target.y);
  ASSERT_NE(menu.OpenCascade(), nullptr) << "the cascade closed on the way into it";
  ClickPointer();
  auto choices = m_parent.Take(0x501);
  ASSERT_EQ(choices.size(), 1u);
  EXPECT_EQ(choices[0].wParam, (1u << 16) | 2u);
  EXPECT_EQ(choices[0].lParam, static_cast<LPARAM>((8u << 16) | 19u));

  // A plain row, clicked for real.
  const POINT left = CentreOf(menu.RowButton(0));
  MovePointer(left.x, left.y);
  ClickPointer();
  choices = m_parent.Take(0x501);
  ASSERT_EQ(choices.size(), 2u);
  EXPECT_EQ(choices[1].wParam, 0u);
  EXPECT_EQ(choices[1].lParam, static_cast<LPARAM>(1u << 16));
  MovePointer(5, 700);
}

}  // namespace

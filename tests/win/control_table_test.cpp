// Skinned windows built from control tables, in this process under Wine: the gallery's table
// made into real controls (places, faces, captions, groups), and a modal skinned dialog whose
// list editor and keyboard work inside the dialog's own loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/folders.h"
#include "skin/core/list_rows.h"
#include "skin/core/skin_faces.h"
#include "skin/png_slider_bar.h"
#include "skin/skinned_dialog.h"
#include "support/process_harness.h"
#include "tools/gallery/gallery_window.h"
#include "win/gdiplus_session.h"
#include "win/text.h"

namespace {

RECT PlaceInParent(HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring TextOfWindow(HWND window) {
  wchar_t text[256] = {};
  ::GetWindowTextW(window, text, 256);
  return text;
}

class ControlTableTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_gdiplus.Started());
    // The built skin beside the test programs.
    SetProcessFolders(ToU16(harness::BinFolder()), ToU16(harness::BinFolder()));
  }
  GdiplusSession m_gdiplus;
};

TEST_F(ControlTableTest, TheGalleryTableMakesEveryControlAtItsPlaceWithItsFacesAndCaption) {
  auto gallery = std::make_unique<GalleryWindow>();
  ASSERT_TRUE(gallery->Open(0, 0));
  const HWND window = gallery->Hwnd();
  RECT client{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, kGalleryLayout.width);
  EXPECT_EQ(client.bottom, kGalleryLayout.height);

  ControlSet& controls = gallery->Controls();
  SkinImageSet& images = gallery->Images();
  for (const ControlRow& row : kGalleryLayout.controls) {
    SCOPED_TRACE(row.id);
    const HWND child = ::GetDlgItem(window, row.id);
    ASSERT_NE(child, nullptr);
    ASSERT_EQ(Window::FromHandle(child), controls.Find(row.id));
    const RECT place = PlaceInParent(child);
    EXPECT_EQ(place.left, row.place.left);
    EXPECT_EQ(place.top, row.place.top);
    EXPECT_EQ(place.right, row.place.right);
    if (row.Kind() == ControlKind::kListBox) {
      // A list box shows whole rows: it ends at the last row that fits.
      EXPECT_LE(place.bottom, row.place.bottom);
      EXPECT_GE(place.bottom, row.place.bottom - CListBoxEx::kRowHeight);
    } else {
      EXPECT_EQ(place.bottom, row.place.bottom);
    }
    EXPECT_EQ(::IsWindowEnabled(child) != FALSE, !row.disabled);
    const std::wstring text = TextOf(row.text);
    switch (row.Kind()) {
      case ControlKind::kButton: {
        const auto& style = std::get<ButtonStyle>(row.style);
        CBitmapBtn& button = controls.Button(row.id);
        // Each face is the window's one copy of its file.
        const ImageFile files[4] = {style.faces.normal, style.faces.hover, style.faces.pressed,
                                    style.faces.disabled};
        for (int face = 1; face <= 4; ++face) {
          ASSERT_NE(button.Face(face), nullptr) << "face " << face;
          EXPECT_EQ(button.Face(face), images.Image(files[face - 1]).get()) << "face " << face;
        }
        if (!row.text.Empty()) {
          EXPECT_EQ(button.Caption(), text);
        }
        EXPECT_EQ(button.IsTicked(), row.ticked);
        EXPECT_EQ(button.IsToggleMode(), style.look.toggle);
        break;
      }
      case ControlKind::kSlider: {
        const auto& style = std::get<SliderStyle>(row.style);
        CPngSliderBar& slider = controls.Slider(row.id);
        EXPECT_EQ(slider.Minimum(), style.minimum);
        EXPECT_EQ(slider.Maximum(), style.maximum);
        EXPECT_EQ(slider.Axis(), style.axis);
        // The thumb has the size of its picture.
        RECT thumb{};
        ::GetClientRect(slider.Thumb().Hwnd(), &thumb);
        const SkinImage picture = images.Image(style.thumb);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(thumb.right, ImageWidth(picture.get()));
        EXPECT_EQ(thumb.bottom, ImageHeight(picture.get()));
        break;
      }
      case ControlKind::kListBox: {
        const auto& look = std::get<ListLook>(row.style);
        EXPECT_EQ((::GetWindowLongPtrW(child, GWL_STYLE) & WS_VSCROLL) != 0, look.scrollBar);
        EXPECT_GT(controls.ListBox(row.id).RowCount(), 0);
        break;
      }
      case ControlKind::kLabel:
      case ControlKind::kEdit:
        EXPECT_EQ(TextOfWindow(child), text);
        break;
      case ControlKind::kMarker: {
        const auto& style = std::get<MarkerStyle>(row.style);
        EXPECT_EQ(controls.Marker(row.id).Minimum(), style.minimum);
        EXPECT_EQ(controls.Marker(row.id).Maximum(), style.maximum);
        break;
      }
    }
  }
  // A caption from the skin's function names, set by the window after the table.
  EXPECT_FALSE(controls.Button(gallery_id::kFunctionCaption).Caption().empty());

  // The tabs are a radio group: a click on the second ticks it and unticks the first.
  ButtonGroup& tabs = controls.Group(gallery_id::kTabGroup);
  ASSERT_EQ(tabs.Size(), 2);
  EXPECT_EQ(tabs.Selected(), 0);
  const HWND secondTab = controls.Button(gallery_id::kTab).Hwnd();
  ::SendMessageW(secondTab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(secondTab, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  harness::PumpMessages(50);
  EXPECT_EQ(tabs.Selected(), 1);
  EXPECT_FALSE(controls.Button(gallery_id::kTabTicked).IsTicked());

  // Gone with the window, objects included.
  const HWND firstButton = controls.Button(gallery_id::kNormal).Hwnd();
  gallery.reset();
  EXPECT_FALSE(::IsWindow(firstButton));
  // The gallery ends its program when it goes.
  MSG quit{};
  EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// ---------------------------------------------------------------- a modal skinned dialog

constexpr int kList = 10;
constexpr int kPageTwoLabel = 11;
constexpr UINT kNextStep = WM_APP + 40;
constexpr INT_PTR kEndedByEnter = 77;

constexpr ControlRow kEditorControls[] = {
    ListBoxRow(kList, {10, 10, 290, 150},
               {.selectionMode = true, .delayEditing = true, .rightClickNotify = true}),
    LabelRow(kPageTwoLabel, {10, 160, 290, 180}, FixedText(u"page two")).OnPages({2}),
};
constexpr WindowLayout kEditorLayout{
    .name = "editor test", .width = 300, .height = 200, .controls = kEditorControls};

// Like the configurator's dialogs: Enter ends it at once before the dialog manager makes it OK,
// unless the list's in-place editor has the keyboard. A script of posted steps drives it from
// inside its own loop.
class EditorDialog : public SkinnedDialog {
 public:
  EditorDialog() : SkinnedDialog(kEditorLayout) {}

  HWND owner = nullptr;
  bool ownerDisabled = false;
  RECT placed{};
  bool pageTwoHidden = false;
  std::vector<std::pair<int, int>> edits;  // row, value
  std::wstring afterEnter;
  std::wstring afterEscape;
  bool quitInStead = false;

  bool PreTranslateMessage(MSG& msg) override {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN &&
        ::GetFocus() != ListBox(kList).EditorWindow()) {
      End(kEndedByEnter);
      return true;
    }
    return SkinnedDialog::PreTranslateMessage(msg);
  }

 private:
  BOOL OnReady() override {
    CListBoxEx& list = ListBox(kList);
    list.AddListRow(L"               A", kPressRowData);
    list.AddListRow(ToWide(DelayRowText(120)), 0);
    list.AddListRow(L"               A", kReleaseRowData);
    list.AddListRow(ToWide(DelayRowText(30)), 0);
    ShowPage(1);
    ::PostMessageW(Hwnd(), kNextStep, 1, 0);
    return TRUE;
  }

  void OpenEditorOn(int row, const wchar_t* text) {
    CListBoxEx& list = ListBox(kList);
    RECT rect{};
    ::SendMessageW(list.Hwnd(), LB_GETITEMRECT, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&rect));
    ::SendMessageW(list.Hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, rect.top + 5));
    ::SetWindowTextW(list.EditorWindow(), text);
  }

  // Keys as the keyboard delivers them: posted to the window with the focus.
  static void PostKey(HWND target, WPARAM key) {
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
  }

  LRESULT OnNextStep(WPARAM step, LPARAM) {
    CListBoxEx& list = ListBox(kList);
    switch (step) {
      case 1:
        ownerDisabled = owner != nullptr && !::IsWindowEnabled(owner);
        ::GetWindowRect(Hwnd(), &placed);
        pageTwoHidden = !::IsWindowVisible(Label(kPageTwoLabel).Hwnd());
        if (quitInStead) {
          ::PostQuitMessage(5);
          return 0;
        }
        OpenEditorOn(1, L"250");
        PostKey(list.EditorWindow(), VK_RETURN);
        break;
      case 2:
        afterEnter = list.RowText(1);
        OpenEditorOn(3, L"999");
        PostKey(list.EditorWindow(), VK_ESCAPE);
        break;
      case 3:
        afterEscape = list.RowText(3);
        // Without an editor Enter belongs to the dialog.
        PostKey(Hwnd(), VK_RETURN);
        return 0;
      default:
        return 0;
    }
    ::PostMessageW(Hwnd(), kNextStep, step + 1, 0);
    return 0;
  }

  void OnDelayEdited(int row, int value) { edits.emplace_back(row, value); }

  BEGIN_MESSAGE_TABLE(EditorDialog, SkinnedDialog)
    MESSAGE_HANDLER(kNextStep, OnNextStep)
    MSG_LIST_DELAY_EDITED(OnDelayEdited)
  END_MESSAGE_TABLE()
};

// Ends a hung dialog so that a failing test fails instead of hanging.
Dialog* g_running = nullptr;
void CALLBACK EndOnGuard(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  if (g_running != nullptr) g_running->End(-2);
}

TEST_F(ControlTableTest, AModalDialogsListEditorAnswersEnterAndEscapeInsideTheDialogsLoop) {
  Window owner;
  ASSERT_TRUE(owner.Create(0, L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300));
  EditorDialog dialog;
  dialog.owner = owner.Hwnd();
  g_running = &dialog;
  const UINT_PTR guard = ::SetTimer(nullptr, 0, 10000, &EndOnGuard);
  const INT_PTR result = dialog.DoModal(owner.Hwnd());
  ::KillTimer(nullptr, guard);
  g_running = nullptr;

  EXPECT_EQ(result, kEndedByEnter);
  EXPECT_TRUE(dialog.ownerDisabled);
  EXPECT_TRUE(::IsWindowEnabled(owner.Hwnd()));
  EXPECT_EQ(dialog.Hwnd(), nullptr);
  // Centred over its owner by the dialog rules.
  EXPECT_EQ(dialog.placed.left, 150);
  EXPECT_EQ(dialog.placed.top, 150);
  EXPECT_EQ(dialog.placed.right - dialog.placed.left, 300);
  EXPECT_TRUE(dialog.pageTwoHidden);
  // Enter committed the typed delay into its row and reported it; Escape put the old one back.
  EXPECT_EQ(dialog.afterEnter, ToWide(DelayRowText(250)));
  ASSERT_EQ(dialog.edits.size(), 1u);
  EXPECT_EQ(dialog.edits[0], std::make_pair(1, 250));
  EXPECT_EQ(dialog.afterEscape, ToWide(DelayRowText(30)));

  // A WM_QUIT ends the dialog and is posted again for the loop outside.
  EditorDialog quitting;
  quitting.quitInStead = true;
  EXPECT_EQ(quitting.DoModal(owner.Hwnd()), -1);
  MSG quit{};
  ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 5u);
  EXPECT_TRUE(::IsWindowEnabled(owner.Hwnd()));
}

// ---------------------------------------------------------------- pages made later

constexpr int kEveryPageButton = 20;
constexpr int kPageOneButton = 21;
constexpr int kPageTwoButton = 22;
constexpr int kPageTwoValue = 23;

constexpr ControlRow kPagedControls[] = {
    ButtonRow(kEveryPageButton, {10, 10, 110, 30}, {kOkFaces, kBoldCaption}, FixedText(u"all")),
    ButtonRow(kPageOneButton, {10, 40, 110, 60}, {kOkFaces, kBoldCaption}, FixedText(u"one"))
        .OnPages({1}),
    ButtonRow(kPageTwoButton, {10, 40, 110, 60}, {kOkFaces, kBoldCaption}, FixedText(u"two"))
        .OnPages({2}),
    LabelRow(kPageTwoValue, {10, 70, 110, 90}, {}).OnPages({2}),
};
constexpr WindowLayout kPagedLayout{
    .name = "paged test", .width = 200, .height = 100, .controls = kPagedControls};

// Shows `value` on page two whenever that page exists, as the configurator sets its pages from
// the profile it holds.
class PagedDialog : public SkinnedDialog {
 public:
  PagedDialog() : SkinnedDialog(kPagedLayout) { MakePagesLater(1); }

  using SkinnedDialog::Button;
  using SkinnedDialog::ShowPage;

  void SetValue(int newValue) {
    value = newValue;
    if (PageMade(2)) Label(kPageTwoValue).SetText(std::to_wstring(value));
  }

  int value = 0;
  std::vector<int> made;
  bool pageOnePaintedFirst = false;

 private:
  BOOL OnReady() override {
    ShowPage(1);
    return TRUE;
  }
  void OnPageMade(int page) override {
    made.push_back(page);
    pageOnePaintedFirst = Button(kPageOneButton).LastDrawnFace() != 0;
    if (page == 2) SetValue(value);
  }
};

TEST_F(ControlTableTest, PagesMadeLaterComeAfterThePaintHiddenAndSetFromTheWindowsState) {
  PagedDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless());
  const HWND window = dialog.Hwnd();
  ::ShowWindow(window, SW_SHOWNA);
  EXPECT_NE(::GetDlgItem(window, kEveryPageButton), nullptr);
  EXPECT_NE(::GetDlgItem(window, kPageOneButton), nullptr);
  EXPECT_EQ(::GetDlgItem(window, kPageTwoButton), nullptr);
  dialog.SetValue(7);  // while page two is not there

  harness::PumpMessages(300);
  // Made once the shown page had painted, hidden and never drawn, showing what it missed.
  const HWND pageTwo = ::GetDlgItem(window, kPageTwoButton);
  ASSERT_NE(pageTwo, nullptr);
  EXPECT_EQ(dialog.made, std::vector<int>{2});
  EXPECT_TRUE(dialog.pageOnePaintedFirst);
  EXPECT_FALSE(::IsWindowVisible(pageTwo));
  EXPECT_EQ(dialog.Button(kPageTwoButton).LastDrawnFace(), 0);
  EXPECT_EQ(TextOfWindow(::GetDlgItem(window, kPageTwoValue)), L"7");
  dialog.ShowPage(2);
  harness::PumpMessages(100);
  EXPECT_TRUE(::IsWindowVisible(pageTwo));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(window, kPageOneButton)));
  EXPECT_NE(dialog.Button(kPageTwoButton).LastDrawnFace(), 0);

  // Asked for before the window is idle, a page's control makes its page at once.
  PagedDialog early;
  ASSERT_TRUE(early.CreateModeless());
  early.SetValue(3);
  EXPECT_EQ(early.Button(kPageTwoButton).Caption(), L"two");
  EXPECT_EQ(early.made, std::vector<int>{2});
  EXPECT_EQ(TextOfWindow(::GetDlgItem(early.Hwnd(), kPageTwoValue)), L"3");
}

}  // namespace

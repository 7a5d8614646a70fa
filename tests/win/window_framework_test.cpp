// The Win32 framework with real windows, dialogs, message loops and processes under Wine.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "skin/control_messages.h"
#include "support/gdi_object_count.h"
#include "win/application.h"
#include "win/dialog.h"
#include "win/double_buffered_paint.h"
#include "win/gdiplus_headers.h"
#include "win/gdiplus_session.h"
#include "win/scoped_select.h"
#include "win/subclass.h"
#include "win/text.h"
#include "win/unique_handle.h"
#include "win/window.h"

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kBaseOnly = WM_APP + 2;
constexpr UINT kBoth = WM_APP + 3;
constexpr UINT kThrow = WM_APP + 4;
constexpr UINT kDecline = WM_APP + 5;
constexpr UINT kUnknown = WM_APP + 6;
constexpr UINT kEndWith = WM_APP + 7;
constexpr UINT kSwallowed = WM_APP + 8;

// Runs the thread's messages until `done` holds; false after the time limit.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  MSG msg{};
  while (!done()) {
    if (::GetTickCount64() > end) return false;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// Ends a hung message loop so that a failing test fails instead of hanging.
constexpr int kGuardExitCode = 99;
void CALLBACK QuitOnGuard(HWND, UINT, UINT_PTR, DWORD) {
  ::PostQuitMessage(kGuardExitCode);
}

class GuardTimer {
 public:
  explicit GuardTimer(UINT ms) : m_id(::SetTimer(nullptr, 0, ms, &QuitOnGuard)) {}
  ~GuardTimer() { ::KillTimer(nullptr, m_id); }

 private:
  UINT_PTR m_id;
};

// Records what reaches it; the base of the table-chaining cases.
class RecordingWindow : public Window {
 public:
  std::vector<std::wstring> log;

 protected:
  LRESULT OnBaseOnly(WPARAM, LPARAM) {
    log.push_back(L"base:only");
    return 20;
  }
  LRESULT OnBaseBoth(WPARAM, LPARAM) {
    log.push_back(L"base:both");
    return 30;
  }
  LRESULT OnBaseDecline(WPARAM, LPARAM) {
    log.push_back(L"base:decline");
    return 40;
  }

  BEGIN_MESSAGE_TABLE(RecordingWindow, Window)
    MESSAGE_HANDLER(kBaseOnly, OnBaseOnly)
    MESSAGE_HANDLER(kBoth, OnBaseBoth)
    MESSAGE_HANDLER(kDecline, OnBaseDecline)
  END_MESSAGE_TABLE()
};

class TestWindow : public RecordingWindow {
 public:
  std::wstring createdTitle;
  bool failCreate = false;
  bool throwInCreate = false;
  bool throwInPaint = false;
  int destroyCount = 0;
  int* externalDestroyCount = nullptr;
  int finalCount = 0;
  int timerFires = 0;
  std::vector<UINT_PTR> timerIds;
  std::vector<std::wstring> commands;
  int textChanges = 0;

  bool PreTranslateMessage(MSG& msg) override {
    if (msg.message != kSwallowed) return false;
    log.push_back(L"pre:swallowed");
    return true;
  }

 private:
  LRESULT OnCreate(const CREATESTRUCTW& create) {
    createdTitle = create.lpszName != nullptr ? create.lpszName : L"";
    if (throwInCreate) throw std::runtime_error("create failed");
    return failCreate ? -1 : 0;
  }
  void OnDestroy() {
    ++destroyCount;
    if (externalDestroyCount != nullptr) ++*externalDestroyCount;
  }
  void OnPaint() {
    if (throwInPaint) throw std::runtime_error("paint failed");
    PAINTSTRUCT paint;
    ::BeginPaint(Hwnd(), &paint);
    ::EndPaint(Hwnd(), &paint);
  }
  void OnTimer(UINT_PTR id) {
    timerIds.push_back(id);
    if (id == 7 && ++timerFires == 3) KillTimer(7);
  }
  void OnCommand(WORD id, WORD code, HWND control) {
    commands.push_back(std::to_wstring(id) + L"/" + std::to_wstring(code) + L"/" +
                       (control != nullptr ? L"hwnd" : L"null"));
  }
  void OnTimerEight() { timerIds.push_back(800); }
  void OnExitCommand() { commands.push_back(L"exit"); }
  LRESULT OnPing(WPARAM wParam, LPARAM lParam) {
    log.push_back(L"ping");
    return static_cast<LRESULT>(wParam + lParam);
  }
  LRESULT OnDerivedBoth(WPARAM, LPARAM) {
    log.push_back(L"derived:both");
    return 31;
  }
  LRESULT OnDecline(WPARAM, LPARAM) {
    log.push_back(L"derived:decline");
    SetMsgHandled(false);
    return 41;
  }
  LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
  LRESULT OnSetText(WPARAM, LPARAM) {
    ++textChanges;
    return 0;
  }
  LRESULT OnSwallowed(WPARAM, LPARAM) {
    log.push_back(L"handler:swallowed");
    return 0;
  }
  void OnFinalMessage() override { ++finalCount; }

  BEGIN_MESSAGE_TABLE(TestWindow, RecordingWindow)
    MSG_WM_CREATE(OnCreate)
    MSG_WM_DESTROY(OnDestroy)
    MSG_WM_PAINT(OnPaint)
    TIMER_ID_HANDLER(8, OnTimerEight)
    MSG_WM_TIMER(OnTimer)
    COMMAND_ID_HANDLER(6006, OnExitCommand)
    MSG_WM_COMMAND(OnCommand)
    MESSAGE_HANDLER(kPing, OnPing)
    MESSAGE_HANDLER(kBoth, OnDerivedBoth)
    MESSAGE_HANDLER(kDecline, OnDecline)
    MESSAGE_HANDLER(kThrow, OnThrow)
    MESSAGE_HANDLER(kSwallowed, OnSwallowed)
    MESSAGE_HANDLER_THEN_DEFAULT(WM_SETTEXT, OnSetText)
  END_MESSAGE_TABLE()
};

std::unique_ptr<TestWindow> MakeWindow(const wchar_t* title = L"framework test") {
  auto window = std::make_unique<TestWindow>();
  EXPECT_TRUE(window->Create(0, title, WS_POPUP, 100, 100, 100, 100));
  return window;
}

std::wstring TitleOf(HWND window) {
  wchar_t text[64] = {};
  ::GetWindowTextW(window, text, 64);
  return text;
}

TEST(WindowMessageTable, HandlersAnswerTheirMessagesAndTheRestGetsDefaultProcessing) {
  auto window = MakeWindow(L"Vireo_GamingMouse_HID");
  const HWND hwnd = window->Hwnd();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(window->createdTitle, L"Vireo_GamingMouse_HID");
  EXPECT_FALSE(::IsWindowVisible(hwnd));

  EXPECT_EQ(::SendMessageW(hwnd, kPing, 5, 7), 12);
  EXPECT_EQ(::SendMessageW(hwnd, kUnknown, 5, 7), 0);
  EXPECT_EQ(window->log, std::vector<std::wstring>{L"ping"});

  // WM_SETTEXT: our handler runs and the default processing still sets the title.
  EXPECT_TRUE(::SetWindowTextW(hwnd, L"renamed"));
  EXPECT_EQ(window->textChanges, 1);
  EXPECT_EQ(TitleOf(hwnd), L"renamed");
  // Unanswered: DefWindowProc answers WM_GETTEXTLENGTH.
  EXPECT_EQ(::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0), 7);

  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(6001, 0), 0);
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(6006, 0), 0);
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(12, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
  EXPECT_EQ(window->commands, (std::vector<std::wstring>{L"6001/0/null", L"exit", L"12/0/hwnd"}));
}

TEST(WindowMessageTable, ChainsToTheBaseTableAndLetsHandlersDecline) {
  auto window = MakeWindow();
  const HWND hwnd = window->Hwnd();

  EXPECT_EQ(::SendMessageW(hwnd, kBaseOnly, 0, 0), 20);  // only the base answers it
  EXPECT_EQ(::SendMessageW(hwnd, kBoth, 0, 0), 31);      // the derived entry hides the base one
  // The derived handler declines: the base handler answers after it.
  EXPECT_EQ(::SendMessageW(hwnd, kDecline, 0, 0), 40);
  EXPECT_EQ(window->log, (std::vector<std::wstring>{L"base:only", L"derived:both",
                                                    L"derived:decline", L"base:decline"}));
}

TEST(WindowMessageTable, WmCreateCanFailTheCreation) {
  TestWindow window;
  window.failCreate = true;
  EXPECT_FALSE(window.Create(0, L"refused", WS_POPUP, 0, 0, 10, 10));
  EXPECT_EQ(window.Hwnd(), nullptr);
  EXPECT_EQ(::FindWindowW(L"VireoWindow", L"refused"), nullptr);
  // The object is still the caller's: no final message for a window that never was.
  EXPECT_EQ(window.finalCount, 0);
  // The object can create a window afterwards.
  window.failCreate = false;
  EXPECT_TRUE(window.Create(0, L"accepted", WS_POPUP, 0, 0, 10, 10));
  EXPECT_EQ(::FindWindowW(L"VireoWindow", L"accepted"), window.Hwnd());
}

TEST(WindowLifetime, UserDataHoldsTheObjectUntilWmNcDestroy) {
  auto window = MakeWindow();
  const HWND hwnd = window->Hwnd();
  EXPECT_EQ(::GetWindowLongPtrW(hwnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(window.get()));
  EXPECT_EQ(Window::FromHandle(hwnd), window.get());

  // Watch the window's last message from outside: once the window procedure has handled
  // WM_NCDESTROY the pointer must be gone.
  LONG_PTR userDataAfterNcDestroy = -1;
  bool objectStillBound = true;
  Subclass watcher;
  ASSERT_TRUE(watcher.Install(
      hwnd, [&](HWND w, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (message != WM_NCDESTROY) return false;
        result = ::DefSubclassProc(w, message, wParam, lParam);
        userDataAfterNcDestroy = ::GetWindowLongPtrW(w, GWLP_USERDATA);
        objectStillBound = window->Hwnd() != nullptr;
        return true;
      }));

  window->Destroy();
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(userDataAfterNcDestroy, 0);
  EXPECT_FALSE(objectStillBound);
  EXPECT_EQ(window->Hwnd(), nullptr);
  EXPECT_EQ(window->destroyCount, 1);
  EXPECT_EQ(window->finalCount, 1);
  EXPECT_EQ(watcher.Hwnd(), nullptr);  // the subclass went with the window
  EXPECT_EQ(Window::FromHandle(hwnd), nullptr);
}

TEST(WindowLifetime, DeletingTheObjectDetachesItBeforeTheWindowIsDestroyed) {
  auto window = MakeWindow();
  const HWND hwnd = window->Hwnd();
  int handlerDestroys = 0;
  window->externalDestroyCount = &handlerDestroys;
  // Watch from outside: WM_DESTROY still comes, but no longer reaches the object's table.
  int destroysSeen = 0;
  LONG_PTR userDataAtDestroy = -1;
  Subclass watcher;
  ASSERT_TRUE(watcher.Install(hwnd, [&](HWND w, UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message == WM_DESTROY) {
      ++destroysSeen;
      userDataAtDestroy = ::GetWindowLongPtrW(w, GWLP_USERDATA);
    }
    return false;
  }));
  window.reset();  // the destructor destroys the window
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(destroysSeen, 1);
  EXPECT_EQ(userDataAtDestroy, 0);
  EXPECT_EQ(handlerDestroys, 0);

  // Destroying the window of a live object does reach its handler.
  auto other = MakeWindow();
  other->externalDestroyCount = &handlerDestroys;
  other->Destroy();
  EXPECT_EQ(handlerDestroys, 1);
}

TEST(WindowLifetime, ExceptionsNeverLeaveTheWindowProcedure) {
  auto window = MakeWindow();
  const HWND hwnd = window->Hwnd();

  EXPECT_EQ(::SendMessageW(hwnd, kThrow, 1, 2), 0);
  // The window and its object carry on.
  EXPECT_EQ(::SendMessageW(hwnd, kPing, 1, 2), 3);
  ::PostMessageW(hwnd, kThrow, 0, 0);
  ::PostMessageW(hwnd, kPing, 2, 2);
  EXPECT_TRUE(PumpUntil([&] { return window->log.size() == 2; }));

  // A failing WM_PAINT handler still leaves the window validated (no endless WM_PAINT).
  window->throwInPaint = true;
  ::ShowWindow(hwnd, SW_SHOWNA);
  ::InvalidateRect(hwnd, nullptr, FALSE);
  ::UpdateWindow(hwnd);
  EXPECT_FALSE(::GetUpdateRect(hwnd, nullptr, FALSE));

  // A failing WM_CREATE handler fails the creation.
  TestWindow failing;
  failing.throwInCreate = true;
  EXPECT_FALSE(failing.Create(0, L"throws", WS_POPUP, 0, 0, 10, 10));
  EXPECT_EQ(failing.Hwnd(), nullptr);
}

// Windows that own themselves: their last message deletes them.
int g_selfOwnedDeleted = 0;

class SelfOwnedWindow : public Window {
 public:
  ~SelfOwnedWindow() override { ++g_selfOwnedDeleted; }

 private:
  LRESULT OnCreate(const CREATESTRUCTW&) { return -1; }
  void OnFinalMessage() override { delete this; }

  BEGIN_MESSAGE_TABLE(SelfOwnedWindow, Window)
    MSG_WM_CREATE(OnCreate)
  END_MESSAGE_TABLE()
};

class SelfOwnedDialog : public Dialog {
 public:
  SelfOwnedDialog() : Dialog(DialogTemplate(WS_POPUP, 0, 50, 50)) {}
  ~SelfOwnedDialog() override { ++g_selfOwnedDeleted; }

 private:
  // A modeless dialog that gives up during its initialisation.
  BOOL OnInitDialog() override {
    End(IDCANCEL);
    return TRUE;
  }
  void OnFinalMessage() override { delete this; }
};

TEST(WindowLifetime, AFailedCreationLeavesTheObjectToItsCreatorOnly) {
  g_selfOwnedDeleted = 0;
  auto* window = new SelfOwnedWindow;
  if (!window->Create(0, L"self-owned", WS_POPUP, 0, 0, 10, 10)) delete window;
  EXPECT_EQ(g_selfOwnedDeleted, 1);

  g_selfOwnedDeleted = 0;
  auto* dialog = new SelfOwnedDialog;
  if (!dialog->CreateModeless(nullptr)) delete dialog;
  EXPECT_EQ(g_selfOwnedDeleted, 1);
}

// A parent that counts the structures it is handed and a child that draws itself through the
// reflected WM_DRAWITEM.
class DrawnChild : public Window {
 public:
  int draws = 0;

 private:
  BOOL OnDrawItem(const DRAWITEMSTRUCT&) {
    ++draws;
    return TRUE;
  }
  BEGIN_MESSAGE_TABLE(DrawnChild, Window)
    REFLECTED_WM_DRAWITEM(OnDrawItem)
  END_MESSAGE_TABLE()
};

class NotifiedParent : public Window {
 public:
  int notifications = 0;
  int measures = 0;

 private:
  LRESULT OnNotify(const NMHDR& header) {
    notifications += header.code == 77 ? 1 : 0;
    return 5;
  }
  void OnMeasureItem(int, MEASUREITEMSTRUCT& item) {
    ++measures;
    item.itemHeight = 23;
  }
  BEGIN_MESSAGE_TABLE(NotifiedParent, Window)
    MSG_WM_NOTIFY(OnNotify)
    MSG_WM_MEASUREITEM(OnMeasureItem)
  END_MESSAGE_TABLE()
};

TEST(WindowPointerMessages, OnlyThisThreadsChildrenAreFollowed) {
  NotifiedParent parent;
  ASSERT_TRUE(parent.Create(0, L"pointer messages", WS_POPUP, 0, 0, 200, 100));
  DrawnChild child;
  ASSERT_TRUE(child.CreateControl(L"BUTTON", 0, L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 50,
                                  20, parent.Hwnd(), 7));
  const HWND parentHwnd = parent.Hwnd();
  const HWND childHwnd = child.Hwnd();

  // From another thread: made-up pointers, and even a real structure naming our child, are
  // never followed (the made-up ones would be an access violation).
  NMHDR realHeader{childHwnd, 7, 77};
  DRAWITEMSTRUCT realItem{ODT_BUTTON, 7, 0, ODA_DRAWENTIRE, 0, childHwnd, nullptr, {}, 0};
  const LPARAM madeUp = 0x5A5A5A50;
  std::vector<LRESULT> answers;
  bool done = false;
  std::thread sender([&] {
    for (UINT message : {WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM}) {
      answers.push_back(::SendMessageW(parentHwnd, message, 7, madeUp));
    }
    answers.push_back(
        ::SendMessageW(parentHwnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&realHeader)));
    answers.push_back(
        ::SendMessageW(parentHwnd, WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(&realItem)));
    // Reflected codes only ever come through the parent, never straight to a control.
    answers.push_back(
        ::SendMessageW(childHwnd, Window::kReflectedMessageBase + WM_DRAWITEM, 7, madeUp));
    // Posted ones (where the system lets them through) reach the window through any loop.
    ::PostMessageW(parentHwnd, WM_NOTIFY, 7, madeUp);
    ::PostMessageW(parentHwnd, WM_DRAWITEM, 7, madeUp);
    ::PostMessageW(parentHwnd, WM_MEASUREITEM, 7, reinterpret_cast<LPARAM>(&realHeader));
    done = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return done; }));
  sender.join();
  PumpUntil([] { return false; }, 50);
  EXPECT_EQ(parent.notifications, 0);
  EXPECT_EQ(parent.measures, 0);
  EXPECT_EQ(child.draws, 0);
  EXPECT_TRUE(::IsWindow(parentHwnd));

  // From this thread, the child's own structures are followed, and reflected to it.
  EXPECT_EQ(::SendMessageW(parentHwnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&realHeader)), 5);
  EXPECT_EQ(parent.notifications, 1);
  EXPECT_EQ(::SendMessageW(parentHwnd, WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(&realItem)), TRUE);
  EXPECT_EQ(child.draws, 1);
  MEASUREITEMSTRUCT measure{ODT_BUTTON, 7, 0, 0, 0, 0};
  ::SendMessageW(parentHwnd, WM_MEASUREITEM, 7, reinterpret_cast<LPARAM>(&measure));
  EXPECT_EQ(parent.measures, 1);
  EXPECT_EQ(measure.itemHeight, 23u);
  // ... but not a structure naming a window that is not one of its children.
  UniqueWindowHandle stranger(::CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                                nullptr, nullptr, nullptr));
  NMHDR strangerHeader{stranger.get(), 7, 77};
  ::SendMessageW(parentHwnd, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&strangerHeader));
  EXPECT_EQ(parent.notifications, 1);
}

// Typed entries hand out what the message means.
class TypedEntriesWindow : public Window {
 public:
  std::vector<std::wstring> log;

 private:
  void OnMouseMove(UINT keys, POINT point) { Log(L"move", keys, point.x, point.y); }
  void OnRightUp(UINT keys, POINT point) { Log(L"rup", keys, point.x, point.y); }
  void OnWheel(UINT keys, int delta, POINT point) {
    Log(L"wheel", keys, delta, point.x * 10000 + point.y);
  }
  LRESULT OnHitTest(POINT point) {
    Log(L"hit", 0, point.x, point.y);
    return HTCAPTION;
  }
  void OnScroll(int request, int position, HWND) { Log(L"vscroll", 0, request, position); }
  void OnRangeClick(int id) { Log(L"click", 0, id, 0); }
  void OnSliderMoved(int id, int value) { Log(L"slider", 0, id, value); }
  void Log(const wchar_t* what, UINT keys, int a, int b) {
    log.push_back(std::wstring(what) + L" " + std::to_wstring(keys) + L" " + std::to_wstring(a) +
                  L" " + std::to_wstring(b));
  }
  BEGIN_MESSAGE_TABLE(TypedEntriesWindow, Window)
    MSG_WM_MOUSEMOVE(OnMouseMove)
    MSG_WM_RBUTTONUP(OnRightUp)
    MSG_WM_MOUSEWHEEL(OnWheel)
    MSG_WM_NCHITTEST(OnHitTest)
    MSG_WM_VSCROLL(OnScroll)
    COMMAND_RANGE_CODE_HANDLER(200, 209, BN_CLICKED, OnRangeClick)
    MSG_SLIDER_MOVED(OnSliderMoved)
  END_MESSAGE_TABLE()
};

TEST(WindowMessageTable, TypedEntriesDecodeNegativePointsKeysAndParameters) {
  TypedEntriesWindow window;
  ASSERT_TRUE(window.Create(0, L"typed", WS_POPUP, 0, 0, 50, 50));
  const HWND hwnd = window.Hwnd();
  // Under a capture the pointer may lie left of and above the window.
  ::SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-5, -300));
  ::SendMessageW(hwnd, WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(32767, -32768));
  ::SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, -240), MAKELPARAM(-12, 40));
  EXPECT_EQ(::SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(-1920, 5)), HTCAPTION);
  ::SendMessageW(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 65535), 0);
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(203, BN_CLICKED), 0);
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(203, BN_SETFOCUS), 0);
  ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(210, BN_CLICKED), 0);
  ::SendMessageW(hwnd, kSliderValueMessage, 75, 10018);
  const std::vector<std::wstring> expected = {
      L"move " + std::to_wstring(MK_LBUTTON | MK_SHIFT) + L" -5 -300",
      L"rup " + std::to_wstring(MK_CONTROL) + L" 32767 -32768",
      L"wheel " + std::to_wstring(MK_CONTROL) + L" -240 -119960",
      L"hit 0 -1920 5",
      L"vscroll 0 5 65535",
      L"click 0 203 0",
      L"slider 0 10018 75",
  };
  EXPECT_EQ(window.log, expected);
}

TEST(WindowTimers, TimersFireWithTheirIdsUntilKilled) {
  auto window = MakeWindow();
  ASSERT_TRUE(window->SetTimer(7, 10));
  ASSERT_TRUE(window->SetTimer(8, 10));
  EXPECT_TRUE(PumpUntil([&] { return window->timerFires == 3; }));
  ASSERT_TRUE(window->KillTimer(8));
  // Timer 7 killed itself on its third tick and 8 is killed: nothing more arrives.
  const size_t count = window->timerIds.size();
  ::Sleep(60);
  EXPECT_FALSE(PumpUntil([&] { return window->timerIds.size() > count; }, 100));
  EXPECT_FALSE(window->KillTimer(7));
  // The id entry answered timer 8 before the general timer handler.
  int sevens = 0;
  for (UINT_PTR id : window->timerIds) {
    EXPECT_TRUE(id == 7 || id == 800) << id;
    if (id == 7) ++sevens;
  }
  EXPECT_EQ(sevens, 3);
}

// An owner-drawn button of ours: it draws itself from the reflected WM_DRAWITEM.
class OwnerDrawnButton : public Window {
 public:
  int drawCount = 0;
  int clicksSeenByControl = 0;

 private:
  LRESULT OnDrawItem(WPARAM, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->hwndItem == Hwnd()) ++drawCount;
    return TRUE;
  }
  LRESULT OnButtonUp(WPARAM, LPARAM) {
    ++clicksSeenByControl;
    SetMsgHandled(false);  // the button class still does its own work
    return 0;
  }

  BEGIN_MESSAGE_TABLE(OwnerDrawnButton, Window)
    MESSAGE_HANDLER(kReflectedMessageBase + WM_DRAWITEM, OnDrawItem)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnButtonUp)
  END_MESSAGE_TABLE()
};

class TestDialog : public Dialog {
 public:
  TestDialog()
      : Dialog(DialogTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 200, 100, L"Test dialog")) {}

  bool initialised = false;
  HWND childAtInit = nullptr;
  HWND buttonAtInit = nullptr;
  int buttonClicks = 0;
  RECT clientAtInit{};
  RECT expectedClient{};
  OwnerDrawnButton button;
  std::function<void(TestDialog&)> afterInit;
  int cancelCount = 0;

 private:
  BOOL OnInitDialog() override {
    initialised = true;
    button.CreateControl(L"BUTTON", 0, L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 80, 24,
                         Hwnd(), 1001);
    childAtInit = ::GetDlgItem(Hwnd(), 1001);
    buttonAtInit = button.Hwnd();
    ::GetClientRect(Hwnd(), &clientAtInit);
    expectedClient = RECT{0, 0, 200, 100};
    ::MapDialogRect(Hwnd(), &expectedClient);
    if (afterInit) afterInit(*this);
    return TRUE;
  }
  void OnCancel() override {
    ++cancelCount;
    Dialog::OnCancel();
  }
  LRESULT OnEndWith(WPARAM wParam, LPARAM) {
    End(static_cast<INT_PTR>(wParam));
    return 0;
  }

  void OnButtonClicked() { ++buttonClicks; }

  BEGIN_MESSAGE_TABLE(TestDialog, Dialog)
    MESSAGE_HANDLER(kEndWith, OnEndWith)
    COMMAND_ID_HANDLER(1001, OnButtonClicked)
  END_MESSAGE_TABLE()
};

HWND g_modalDialog = nullptr;
void CALLBACK EndModalOnGuard(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  if (Dialog* dialog = Dialog::FromDialogHandle(g_modalDialog)) dialog->End(kGuardExitCode);
}

INT_PTR RunModal(TestDialog& dialog) {
  const UINT_PTR guard = ::SetTimer(nullptr, 0, 10000, &EndModalOnGuard);
  auto previous = dialog.afterInit;
  dialog.afterInit = [previous](TestDialog& d) {
    g_modalDialog = d.Hwnd();
    if (previous) previous(d);
  };
  const INT_PTR code = dialog.DoModal(nullptr);
  g_modalDialog = nullptr;
  ::KillTimer(nullptr, guard);
  return code;
}

TEST(DialogFromTemplate, ModalDialogInitialisesCreatesChildrenAndEndsWithTheGivenCode) {
  TestDialog dialog;
  dialog.afterInit = [](TestDialog& d) { ::PostMessageW(d.Hwnd(), kEndWith, 42, 0); };
  EXPECT_EQ(RunModal(dialog), 42);
  EXPECT_TRUE(dialog.initialised);
  EXPECT_NE(dialog.childAtInit, nullptr);
  EXPECT_EQ(dialog.childAtInit, dialog.buttonAtInit);
  // The template's size in dialog units became the client size.
  EXPECT_EQ(dialog.clientAtInit.right, dialog.expectedClient.right);
  EXPECT_EQ(dialog.clientAtInit.bottom, dialog.expectedClient.bottom);
  EXPECT_GT(dialog.clientAtInit.right, 0);
  // The dialog and its child are gone and the objects let go of them.
  EXPECT_EQ(dialog.Hwnd(), nullptr);
  EXPECT_EQ(dialog.button.Hwnd(), nullptr);
  EXPECT_FALSE(::IsWindow(dialog.childAtInit));
}

TEST(DialogFromTemplate, OkCancelAndCloseEndTheDialogInOnePlace) {
  TestDialog ok;
  ok.afterInit = [](TestDialog& d) {
    ::PostMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  };
  EXPECT_EQ(RunModal(ok), IDOK);

  // WM_CLOSE becomes IDCANCEL in the dialog manager.
  TestDialog closed;
  closed.afterInit = [](TestDialog& d) { ::PostMessageW(d.Hwnd(), WM_CLOSE, 0, 0); };
  EXPECT_EQ(RunModal(closed), IDCANCEL);
  EXPECT_EQ(closed.cancelCount, 1);

  // Other notifications from a control with id IDOK do not end the dialog.
  TestDialog notified;
  notified.afterInit = [](TestDialog& d) {
    ::PostMessageW(d.Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, EN_CHANGE), 0);
    ::PostMessageW(d.Hwnd(), kEndWith, 5, 0);
  };
  EXPECT_EQ(RunModal(notified), 5);
}

TEST(DialogFromTemplate, ModelessDialogRunsInTheApplicationLoop) {
  Application app;
  ASSERT_EQ(Application::Instance(), &app);
  GuardTimer guard(10000);

  TestDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  EXPECT_FALSE(dialog.IsModal());
  EXPECT_TRUE(dialog.initialised);
  EXPECT_EQ(Window::FromHandle(dialog.Hwnd()), &dialog);
  EXPECT_EQ(Window::FromHandle(dialog.button.Hwnd()), &dialog.button);
  ::ShowWindow(dialog.Hwnd(), SW_SHOWNA);

  // The owner-drawn child is drawn through the reflected WM_DRAWITEM.
  ::InvalidateRect(dialog.button.Hwnd(), nullptr, TRUE);
  ::UpdateWindow(dialog.button.Hwnd());
  EXPECT_GE(dialog.button.drawCount, 1);

  // The main window is destroyed when the dialog has gone; that ends the loop.
  TestWindow main;
  ASSERT_TRUE(main.Create(0, L"main", WS_POPUP, 0, 0, 10, 10));
  app.SetMainWindow(&main);

  // Escape on the child reaches the dialog only through IsDialogMessage in the loop.
  ::PostMessageW(dialog.button.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  ::PostMessageW(main.Hwnd(), kSwallowed, 0, 0);
  HWND dialogHwnd = dialog.Hwnd();
  ::PostMessageW(main.Hwnd(), kPing, 0, 0);
  main.log.clear();

  // Destroy the main window once the dialog is gone.
  Subclass closer;
  ASSERT_TRUE(closer.Install(main.Hwnd(), [&](HWND w, UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message == kPing && !::IsWindow(dialogHwnd)) ::DestroyWindow(w);
    if (message == kPing && ::IsWindow(dialogHwnd)) ::PostMessageW(w, kPing, 0, 0);
    return false;
  }));

  EXPECT_EQ(app.Run(), 0);
  EXPECT_EQ(dialog.cancelCount, 1);
  EXPECT_EQ(dialog.Result(), IDCANCEL);
  EXPECT_EQ(dialog.Hwnd(), nullptr);
  EXPECT_EQ(main.Hwnd(), nullptr);
  // The main window's PreTranslateMessage consumed its message before dispatch.
  ASSERT_FALSE(main.log.empty());
  EXPECT_EQ(main.log.front(), L"pre:swallowed");
  for (const std::wstring& entry : main.log) EXPECT_NE(entry, L"handler:swallowed");
}

TEST(ApplicationLoop, RunReturnsTheQuitCode) {
  Application app;
  auto window = MakeWindow();
  app.SetMainWindow(window.get());
  GuardTimer guard(10000);
  ::PostQuitMessage(17);
  EXPECT_EQ(app.Run(), 17);
}

TEST(WindowControl, SubclassedControlKeepsItsClassBehaviour) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  const HWND button = dialog.button.Hwnd();
  // Our handler declines WM_LBUTTONUP; the button class still turns the click into BN_CLICKED.
  ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(dialog.button.clicksSeenByControl, 1);
  EXPECT_EQ(dialog.buttonClicks, 1);
  // A window that is not ours has no object.
  UniqueWindowHandle plain(::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 10, 10,
                                             dialog.Hwnd(), nullptr, nullptr, nullptr));
  EXPECT_EQ(Window::FromHandle(plain.get()), nullptr);
  plain.reset();
  dialog.Destroy();
  EXPECT_EQ(dialog.button.Hwnd(), nullptr);
  EXPECT_FALSE(::IsWindow(button));
}

std::wstring UniqueMutexName() {
  return L"VireoFrameworkTest_" + std::to_wstring(::GetCurrentProcessId()) + L"_Mutex";
}

// Runs this test program again, running only the probe below, and returns its exit code.
DWORD RunProbe(const std::wstring& mutexName) {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  ::SetEnvironmentVariableW(L"VIREO_MUTEX_PROBE", mutexName.c_str());
  std::wstring commandLine = L"\"" + std::wstring(path) +
                             L"\" --gtest_also_run_disabled_tests "
                             L"--gtest_filter=SingleInstance.DISABLED_ProbeFromSecondProcess";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return 0;
  }
  UniqueKernelHandle processHandle(process.hProcess);
  UniqueKernelHandle threadHandle(process.hThread);
  ::SetEnvironmentVariableW(L"VIREO_MUTEX_PROBE", nullptr);
  if (::WaitForSingleObject(processHandle.get(), 60000) != WAIT_OBJECT_0) return 0;
  DWORD code = 0;
  ::GetExitCodeProcess(processHandle.get(), &code);
  return code;
}

constexpr DWORD kProbeAcquired = 10;
constexpr DWORD kProbeRefused = 20;

// Started only by RunProbe: tries to become the single instance and reports by exit code.
TEST(SingleInstance, DISABLED_ProbeFromSecondProcess) {
  wchar_t name[128] = {};
  ASSERT_NE(::GetEnvironmentVariableW(L"VIREO_MUTEX_PROBE", name, 128), 0u);
  Application app;
  const bool acquired = app.AcquireSingleInstance(name);
  ::ExitProcess(acquired ? kProbeAcquired : kProbeRefused);
}

TEST(SingleInstance, ASecondProcessIsRefusedUntilTheFirstApplicationEnds) {
  const std::wstring name = UniqueMutexName();
  {
    Application first;
    ASSERT_TRUE(first.AcquireSingleInstance(name.c_str()));
    EXPECT_TRUE(first.HoldsSingleInstance());
    EXPECT_EQ(RunProbe(name), kProbeRefused);

    // Within the process a second application object is refused too, and keeps no handle.
    Application second;
    EXPECT_FALSE(second.AcquireSingleInstance(name.c_str()));
    EXPECT_FALSE(second.HoldsSingleInstance());
  }
  // The first application closed its handle at its end: the name is free again.
  EXPECT_EQ(RunProbe(name), kProbeAcquired);
}

TEST(UniqueHandleOwnership, MovesTransferAndResetsFree) {
  const HBITMAP first = ::CreateBitmap(4, 4, 1, 32, nullptr);
  const HBITMAP second = ::CreateBitmap(4, 4, 1, 32, nullptr);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);

  UniqueBitmap a(first);
  UniqueBitmap b(std::move(a));
  EXPECT_FALSE(a);
  EXPECT_EQ(a.get(), nullptr);
  EXPECT_EQ(b.get(), first);

  UniqueBitmap c(second);
  c = std::move(b);  // frees `second`
  EXPECT_EQ(::GetObjectType(second), 0u);
  EXPECT_EQ(c.get(), first);
  EXPECT_EQ(::GetObjectType(first), static_cast<DWORD>(OBJ_BITMAP));

  c = std::move(c);  // self-move keeps the handle
  EXPECT_EQ(c.get(), first);

  const HBITMAP released = c.release();
  EXPECT_FALSE(c);
  EXPECT_EQ(::GetObjectType(released), static_cast<DWORD>(OBJ_BITMAP));
  c.reset(released);
  c.reset();
  EXPECT_EQ(::GetObjectType(released), 0u);

  // Kernel handles: INVALID_HANDLE_VALUE counts as empty, a real handle is closed.
  UniqueKernelHandle invalid(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(invalid);
  UniqueKernelHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(event);
  const HANDLE raw = event.get();
  DWORD flags = 0;
  EXPECT_TRUE(::GetHandleInformation(raw, &flags));
  event.reset();
  EXPECT_FALSE(::GetHandleInformation(raw, &flags));

  // A window handle owner destroys its window.
  UniqueWindowHandle button(::CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                              nullptr, nullptr, nullptr));
  const HWND buttonHwnd = button.get();
  ASSERT_TRUE(::IsWindow(buttonHwnd));
  button.reset();
  EXPECT_FALSE(::IsWindow(buttonHwnd));
}

TEST(UniqueHandleOwnership, ThousandsOfGdiObjectsLeaveNothingBehind) {
  const DWORD before = GdiObjectCount();
  int leftovers = 0;
  for (int i = 0; i < 1000; ++i) {
    std::vector<HGDIOBJ> made;
    {
      UniqueBitmap bitmap(::CreateBitmap(8, 8, 1, 32, nullptr));
      UniqueBrush brush(::CreateSolidBrush(RGB(i % 256, 0, 0)));
      UniquePen pen(::CreatePen(PS_SOLID, 1, RGB(0, i % 256, 0)));
      UniqueRegion region(::CreateRectRgn(0, 0, i + 1, 10));
      UniqueFont font(
          ::CreateFontW(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial"));
      UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
      ASSERT_TRUE(bitmap && brush && pen && region && font && dc) << i;
      made = {bitmap.get(), brush.get(), pen.get(), region.get(), font.get(), dc.get()};
      UniqueBitmap moved = std::move(bitmap);  // ownership travels, the object is freed once
    }
    for (HGDIOBJ handle : made) {
      if (::GetObjectType(handle) != 0) ++leftovers;
    }
  }
  EXPECT_EQ(leftovers, 0);
  if (before != 0) {
    EXPECT_EQ(GdiObjectCount(), before);
  }
}

TEST(UniqueHandleOwnership, SetWindowRegionReleasesTheRegionOnlyOnSuccess) {
  auto window = MakeWindow();
  UniqueRegion region(::CreateRectRgn(0, 0, 50, 50));
  ASSERT_TRUE(region);
  EXPECT_TRUE(SetWindowRegion(window->Hwnd(), region, false));
  EXPECT_FALSE(region);  // the system owns it now
  UniqueRegion current(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(window->Hwnd(), current.get()), SIMPLEREGION);

  // A failed call leaves the region with us, still valid.
  UniqueRegion kept(::CreateRectRgn(0, 0, 10, 10));
  const HRGN raw = kept.get();
  window->Destroy();
  EXPECT_FALSE(SetWindowRegion(nullptr, kept, false));
  EXPECT_EQ(kept.get(), raw);
  EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_REGION));
}

TEST(ScopedSelectGuard, PutsTheOldObjectBack) {
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  UniqueBrush brush(::CreateSolidBrush(RGB(1, 2, 3)));
  const HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_BRUSH);
  {
    ScopedSelect select(dc.get(), brush.get());
    EXPECT_TRUE(select);
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BRUSH), brush.get());
  }
  EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_BRUSH), original);
  ScopedSelect nothing(dc.get(), nullptr);
  EXPECT_FALSE(nothing);
}

// Paints its client area through DoubleBufferedPaint and remembers the buffer's handles.
class BufferedWindow : public Window {
 public:
  int paints = 0;
  bool buffered = false;
  COLORREF firstPixel = 0;
  HDC lastMemoryDc = nullptr;
  HGDIOBJ lastBitmap = nullptr;

 private:
  void OnPaint() {
    DoubleBufferedPaint paint(Hwnd());
    buffered = paint.Buffered();
    UniqueBrush brush(::CreateSolidBrush(RGB(0x10, 0x20, 0x30)));
    ::FillRect(paint.Dc(), &paint.ClientRect(), brush.get());
    lastMemoryDc = paint.Dc();
    lastBitmap = ::GetCurrentObject(paint.Dc(), OBJ_BITMAP);
    if (paint.Bits() != nullptr) {
      ::GdiFlush();
      firstPixel = *static_cast<const COLORREF*>(paint.Bits()) & 0xFFFFFF;
    }
    ++paints;
  }
  LRESULT OnEraseBackground(WPARAM, LPARAM) { return TRUE; }

  BEGIN_MESSAGE_TABLE(BufferedWindow, Window)
    MSG_WM_PAINT(OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  END_MESSAGE_TABLE()
};

TEST(DoubleBufferedPaintTest, RepaintsDrawIntoAThirtyTwoBitBufferAndLeakNothing) {
  BufferedWindow window;
  ASSERT_TRUE(window.Create(0, L"buffered", WS_POPUP | WS_VISIBLE, 0, 0, 120, 80));
  ASSERT_TRUE(PumpUntil([&] { return window.paints > 0; }));
  ASSERT_TRUE(window.buffered);
  // The DIB holds BGRA: the brush colour RGB(10,20,30) reads as 0x102030 in memory order.
  EXPECT_EQ(window.firstPixel, 0x102030u);

  const DWORD before = GdiObjectCount();
  int leftovers = 0;
  for (int i = 0; i < 1000; ++i) {
    ::InvalidateRect(window.Hwnd(), nullptr, FALSE);
    ::UpdateWindow(window.Hwnd());
    // Each paint's memory DC and bitmap are gone once it ends.
    if (::GetObjectType(window.lastMemoryDc) != 0) ++leftovers;
    if (::GetObjectType(window.lastBitmap) != 0) ++leftovers;
  }
  EXPECT_GE(window.paints, 1001);
  EXPECT_EQ(leftovers, 0);
  EXPECT_FALSE(::GetUpdateRect(window.Hwnd(), nullptr, FALSE));
  if (before != 0) {
    EXPECT_EQ(GdiObjectCount(), before);
  }
}

TEST(GdiplusSessionTest, StartsAndShutsDown) {
  GdiplusSession session;
  ASSERT_TRUE(session.Started());
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(4, 4, PixelFormat32bppARGB);
  EXPECT_EQ(bitmap->GetLastStatus(), Gdiplus::Ok);
  EXPECT_EQ(bitmap->SetPixel(1, 1, Gdiplus::Color(255, 1, 2, 3)), Gdiplus::Ok);
  Gdiplus::Color color;
  EXPECT_EQ(bitmap->GetPixel(1, 1, &color), Gdiplus::Ok);
  EXPECT_EQ(color.GetValue(), Gdiplus::Color(255, 1, 2, 3).GetValue());
}

TEST(WindowsText, ConvertsBetweenU16AndWideAndFormatsErrors) {
  const std::u16string text = u"Makro \u00e4\u00df \U0001F5B1";
  const std::wstring wide = ToWide(text);
  EXPECT_EQ(wide, L"Makro \u00e4\u00df \U0001F5B1");
  EXPECT_EQ(ToU16(wide), text);
  EXPECT_EQ(ToU16(L""), u"");

  const std::wstring error = FormatWindowsError(ERROR_FILE_NOT_FOUND);
  EXPECT_NE(error.find(L"(2)"), std::wstring::npos);
  EXPECT_GT(error.size(), 4u);
  EXPECT_NE(error[error.size() - 5], L'\n');
  ::SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_NE(FormatLastError().find(L"(5)"), std::wstring::npos);
}

}  // namespace

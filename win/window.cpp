#include "win/window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include <utility>
#include <vector>

#include "win/dialog.h"
#include "win/module_instance.h"

namespace {

// One subclass id is enough: a window has at most one Window object.
constexpr UINT_PTR kControlSubclassId = 1;
// A control's object is found through this window property (GWLP_USERDATA belongs to whoever
// created the control, and GetWindowSubclass is not in every import library).
constexpr wchar_t kControlObjectProperty[] = L"VireoWindowObject";

// Whether [address, address + size) lies in committed memory of this process that can be read
// (and written, when asked). A posted message is not sent, so InSendMessageEx cannot tell it
// from one of this thread's own; a made-up pointer in it must fail here, not in the read.
bool IsAccessibleMemory(LPARAM address, size_t size, bool writable) noexcept {
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  constexpr DWORD kWritable =
      PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  auto start = static_cast<std::uintptr_t>(address);
  if (start == 0 || start + size < start) return false;
  const std::uintptr_t end = start + size;
  while (start < end) {
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(reinterpret_cast<const void*>(start), &info, sizeof(info)) == 0) {
      return false;
    }
    if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0 ||
        (info.Protect & (writable ? kWritable : kReadable)) == 0) {
      return false;
    }
    start = reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
  }
  return true;
}

size_t StructureSize(UINT message) noexcept {
  switch (message) {
    case WM_NOTIFY:
      return sizeof(NMHDR);
    case WM_DRAWITEM:
      return sizeof(DRAWITEMSTRUCT);
    case WM_MEASUREITEM:
      return sizeof(MEASUREITEMSTRUCT);
    case WM_COMPAREITEM:
      return sizeof(COMPAREITEMSTRUCT);
    case WM_DELETEITEM:
      return sizeof(DELETEITEMSTRUCT);
    default:
      return 0;
  }
}

// The child window named by one of those structures (for WM_MEASUREITEM the child with the
// control id); null for menu items, which are no child windows. Only for structures known to
// be this thread's own.
HWND ChildOfStructure(HWND parent, UINT message, LPARAM lParam) noexcept {
  if (lParam == 0) return nullptr;
  switch (message) {
    case WM_NOTIFY:
      return reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      return item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
      const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
      return item->CtlType != ODT_MENU ? ::GetDlgItem(parent, static_cast<int>(item->CtlID))
                                       : nullptr;
    }
    case WM_COMPAREITEM:
      return reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem;
    case WM_DELETEITEM:
      return reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem;
    default:
      return nullptr;
  }
}

// The child a parent's message is about, for reflection; null when none.
HWND ReflectionTarget(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  static_cast<void>(wParam);
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
      return reinterpret_cast<HWND>(lParam);
    default:
      // Admitted structures only (see Window::Admits).
      return Window::CarriesChildStructure(message) ? ChildOfStructure(parent, message, lParam)
                                                    : nullptr;
  }
}

// The object whose creation call this thread is in (the innermost one).
thread_local Window* t_creating = nullptr;

// The windows this thread is destroying (DestroyWindow called, not yet gone); their children
// go with them. Only those get WM_DESTROY and WM_NCDESTROY from the system.
thread_local std::vector<HWND> t_destroying;

void ForgetGoneWindows() {
  std::erase_if(t_destroying, [](HWND window) { return !::IsWindow(window); });
}

bool IsBeingDestroyed(HWND window) {
  ForgetGoneWindows();
  for (HWND up = window; up != nullptr; up = ::GetAncestor(up, GA_PARENT)) {
    if (std::find(t_destroying.begin(), t_destroying.end(), up) != t_destroying.end()) return true;
  }
  return false;
}

LRESULT CALLBACK NoteDestruction(int code, WPARAM window, LPARAM info) noexcept {
  if (code == HCBT_DESTROYWND) {
    try {
      ForgetGoneWindows();
      t_destroying.push_back(reinterpret_cast<HWND>(window));
    } catch (...) {
      // Without the note the window keeps its object: a leak, never a wrong delete.
    }
  }
  return ::CallNextHookEx(nullptr, code, window, info);
}

// Turns posted messages that a window takes only when sent into WM_NULL before any loop of
// this thread dispatches them (ours, a menu's, a message box's): lifecycle messages, which the
// system only ever sends, and each window's OnlyFromOwnThread.
LRESULT CALLBACK NeutralisePosted(int code, WPARAM removal, LPARAM message) noexcept {
  if (code == HC_ACTION) {
    auto* const posted = reinterpret_cast<MSG*>(message);
    const Window* target = posted->hwnd != nullptr ? Window::FromHandle(posted->hwnd) : nullptr;
    if (Window::IsLifecycleMessage(posted->message) ||
        (target != nullptr && target->OnlyFromOwnThread(posted->message))) {
      posted->message = WM_NULL;
    }
  }
  return ::CallNextHookEx(nullptr, code, removal, message);
}

// Once per thread that has windows of ours, for the thread's life.
void GuardThisThread() noexcept {
  struct Guard {
    const DWORD thread = ::GetCurrentThreadId();
    HHOOK posted = ::SetWindowsHookExW(WH_GETMESSAGE, &NeutralisePosted, nullptr, thread);
    HHOOK destruction = ::SetWindowsHookExW(WH_CBT, &NoteDestruction, nullptr, thread);
    ~Guard() {
      if (posted != nullptr) ::UnhookWindowsHookEx(posted);
      if (destruction != nullptr) ::UnhookWindowsHookEx(destruction);
    }
  };
  thread_local Guard guard;
}

}  // namespace

Window::~Window() {
  if (m_hwnd == nullptr) return;
  HWND window = m_hwnd;
  ReleaseHandle();
  ::DestroyWindow(window);
}

HINSTANCE Window::ModuleInstance() noexcept {
  return ThisModuleInstance();
}

void Window::PrepareClass(WNDCLASSEXW& windowClass) const {
  static_cast<void>(windowClass);
}

bool Window::RegisterOwnClass() const {
  const HINSTANCE instance = ModuleInstance();
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, ClassName(), &existing)) return true;

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  PrepareClass(windowClass);
  windowClass.lpfnWndProc = &Window::WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = ClassName();
  return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

namespace {

thread_local HWND t_hiddenChildrenParent = nullptr;

DWORD CreationStyle(DWORD style, HWND parent) noexcept {
  return parent != nullptr && parent == t_hiddenChildrenParent ? style & ~WS_VISIBLE : style;
}

}  // namespace

Window::HiddenChildren::HiddenChildren(HWND parent) noexcept
    : m_previous(t_hiddenChildrenParent) {
  t_hiddenChildrenParent = parent;
}

Window::HiddenChildren::~HiddenChildren() {
  t_hiddenChildrenParent = m_previous;
}

bool Window::Create(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu) {
  if (m_hwnd != nullptr || !RegisterOwnClass()) return false;
  style = CreationStyle(style, parent);
  // WM_NCCREATE binds the window (see WindowProc); a failed creation has unbound it again,
  // without OnFinalMessage, so the object is still ours to read here and the caller's to free.
  SetCreating(true);
  const HWND window = ::CreateWindowExW(exStyle, ClassName(), title, style, x, y, width, height,
                                        parent, menu, ModuleInstance(), this);
  SetCreating(false);
  return window != nullptr && window == m_hwnd;
}

bool Window::CreateControl(const wchar_t* className, DWORD exStyle, const wchar_t* title,
                           DWORD style, int x, int y, int width, int height, HWND parent,
                           int controlId) {
  if (m_hwnd != nullptr) return false;
  const HWND window = ::CreateWindowExW(
      exStyle, className, title, CreationStyle(style, parent), x, y, width, height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), ModuleInstance(), nullptr);
  if (window == nullptr) return false;
  if (!SubclassWindow(window)) {
    ::DestroyWindow(window);
    return false;
  }
  return true;
}

bool Window::SubclassWindow(HWND window) {
  if (m_hwnd != nullptr || window == nullptr || FromHandle(window) != nullptr) return false;
  if (!::SetWindowSubclass(window, &Window::ControlProc, kControlSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  if (!::SetPropW(window, kControlObjectProperty, this)) {
    ::RemoveWindowSubclass(window, &Window::ControlProc, kControlSubclassId);
    return false;
  }
  GuardThisThread();
  m_hwnd = window;
  m_kind = Kind::kControl;
  return true;
}

void Window::Destroy() noexcept {
  if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
}

bool Window::SetTimer(UINT_PTR timerId, UINT elapseMs) noexcept {
  return m_hwnd != nullptr && ::SetTimer(m_hwnd, timerId, elapseMs, nullptr) != 0;
}

bool Window::KillTimer(UINT_PTR timerId) noexcept {
  return m_hwnd != nullptr && ::KillTimer(m_hwnd, timerId) != FALSE;
}

Window* Window::FromHandle(HWND window) noexcept {
  if (window == nullptr || !::IsWindow(window)) return nullptr;
  if (reinterpret_cast<WNDPROC>(::GetClassLongPtrW(window, GCLP_WNDPROC)) == &Window::WindowProc) {
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (auto* control = static_cast<Window*>(::GetPropW(window, kControlObjectProperty))) {
    return control;
  }
  return Dialog::FromDialogHandle(window);
}

bool Window::PreTranslateMessage(MSG& msg) {
  static_cast<void>(msg);
  return false;
}

bool Window::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static_cast<void>(message);
  static_cast<void>(wParam);
  static_cast<void>(lParam);
  static_cast<void>(result);
  return false;
}

void Window::SetMsgHandled(bool handled) noexcept {
  if (m_handled != nullptr) *m_handled = handled;
}

bool Window::IsMsgHandled() const noexcept {
  return m_handled != nullptr && *m_handled;
}

LRESULT Window::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (m_kind) {
    case Kind::kOwnClass:
      return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
    case Kind::kControl:
      return ::DefSubclassProc(m_hwnd, message, wParam, lParam);
    default:
      return 0;
  }
}

void Window::BindHandle(HWND window, Kind kind) noexcept {
  GuardThisThread();
  m_hwnd = window;
  m_kind = kind;
}

void Window::ReleaseHandle() noexcept {
  if (m_hwnd == nullptr) return;
  switch (m_kind) {
    case Kind::kOwnClass:
      ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
      break;
    case Kind::kControl:
      ::RemoveWindowSubclass(m_hwnd, &Window::ControlProc, kControlSubclassId);
      ::RemovePropW(m_hwnd, kControlObjectProperty);
      break;
    case Kind::kDialog:
      ::SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
      break;
    case Kind::kNone:
      break;
  }
  m_hwnd = nullptr;
  m_kind = Kind::kNone;
}

bool Window::IsLifecycleMessage(UINT message) noexcept {
  switch (message) {
    case WM_NCCREATE:
    case WM_CREATE:
    case WM_INITDIALOG:
    case WM_DESTROY:
    case WM_NCDESTROY:
      return true;
    default:
      return false;
  }
}

bool Window::OnlyFromOwnThread(UINT message) const noexcept {
  static_cast<void>(message);
  return false;
}

void Window::SetCreating(bool creating) noexcept {
  if (creating == m_creating) return;
  m_creating = creating;
  if (creating) {
    m_outerCreating = std::exchange(t_creating, this);
  } else {
    t_creating = m_outerCreating;
    m_outerCreating = nullptr;
  }
}

bool Window::IsCreatingOnThisThread(const void* object) noexcept {
  return object != nullptr && object == t_creating;
}

bool Window::IsForged(UINT message) const noexcept {
  switch (message) {
    case WM_NCCREATE:
    case WM_CREATE:
    case WM_INITDIALOG:
      return !m_creating;
    case WM_DESTROY:
    case WM_NCDESTROY:
      // A creation that fails destroys the window before CreateWindowEx returns.
      return !m_creating && !IsBeingDestroyed(m_hwnd);
    default:
      // Posted ones never get here (see GuardThisThread). A message sent by this thread in a
      // handler of one sent by another counts as the other's: the library holds its
      // notifications back meanwhile, and the agent sets its title at its creation.
      return OnlyFromOwnThread(message) && ::InSendMessageEx(nullptr) != ISMEX_NOSEND;
  }
}

bool Window::CarriesChildStructure(UINT message) noexcept {
  switch (message) {
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
      return true;
    default:
      return false;
  }
}

bool Window::Admits(UINT message, WPARAM wParam, LPARAM lParam) const noexcept {
  static_cast<void>(wParam);
  // Reflected codes are delivered by ReflectToChild only, never through the window procedure.
  if (message >= kReflectedMessageBase && message < kReflectedMessageBase + WM_USER) return false;
  if (!CarriesChildStructure(message)) return true;
  // Sent from another thread or process (or replied to): the pointer is not ours to follow.
  if (::InSendMessageEx(nullptr) != ISMEX_NOSEND) return false;
  // Sent by this thread, or posted by anyone: the structure must be memory of ours before it is
  // read, and must name one of our children.
  if (!IsAccessibleMemory(lParam, StructureSize(message), message == WM_MEASUREITEM)) return false;
  const HWND child = ChildOfStructure(m_hwnd, message, lParam);
  return child != nullptr && child != m_hwnd && ::IsChild(m_hwnd, child);
}

bool Window::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
  if (!Admits(message, wParam, lParam)) return false;
  return RouteAdmitted(message, wParam, lParam, result);
}

void Window::FinishLastMessage() noexcept {
  const bool created = !m_creating;
  ReleaseHandle();
  if (created) OnFinalMessage();
}

bool Window::RouteAdmitted(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
  bool handled = false;
  bool* const outer = std::exchange(m_handled, &handled);
  bool answered = false;
  try {
    answered = ProcessMessage(message, wParam, lParam, result);
    if (!answered) answered = ReflectToChild(message, wParam, lParam, result);
  } catch (...) {
    // No C++ exception may unwind through user32. A creation whose handler failed fails;
    // anything else gets the default processing (which, for WM_PAINT, validates the window).
    ::OutputDebugStringW(L"Window: exception in a message handler\n");
    answered = false;
    if (message == WM_CREATE) {
      result = -1;
      answered = true;
    } else if (message == WM_NCCREATE) {
      result = FALSE;
      answered = true;
    }
  }
  m_handled = outer;
  return answered;
}

bool Window::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
  const HWND child = ReflectionTarget(m_hwnd, message, wParam, lParam);
  if (child == nullptr || child == m_hwnd) return false;
  Window* const target = FromHandle(child);
  if (target == nullptr) return false;
  return target->RouteAdmitted(kReflectedMessageBase + message, wParam, lParam, result);
}

LRESULT CALLBACK Window::WindowProc(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  // The creation binds the object named by CreateWindowEx, once, from this thread.
  if (message == WM_NCCREATE && self == nullptr) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    if (IsCreatingOnThisThread(create->lpCreateParams)) {
      self = static_cast<Window*>(create->lpCreateParams);
      self->BindHandle(window, Kind::kOwnClass);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  }
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  if (self->IsForged(message)) return 0;

  LRESULT result = 0;
  if (!self->RouteMessage(message, wParam, lParam, result)) {
    result = ::DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) self->FinishLastMessage();
  return result;
}

LRESULT CALLBACK Window::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR subclassId, DWORD_PTR refData) noexcept {
  auto* const self = reinterpret_cast<Window*>(refData);
  if (self->IsForged(message)) return 0;
  // The subclass goes before the window does; DefSubclassProc still reaches the class.
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, &Window::ControlProc, subclassId);
  LRESULT result = 0;
  if (!self->RouteMessage(message, wParam, lParam, result)) {
    result = ::DefSubclassProc(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) self->FinishLastMessage();
  return result;
}

#pragma once
// Base class of every window of ours: a window of its own registered class, a system control
// (BUTTON, LISTBOX ...) whose messages pass through our table first, or (through Dialog) a
// dialog. Messages are answered by the message table of the derived class (message_table.h).
#include <windows.h>

#include "win/message_table.h"

class Window {
 public:
  // Messages that a parent does not answer itself and that concern one child control
  // (WM_DRAWITEM, WM_CTLCOLORxxx, WM_COMMAND ...) are offered to that control as
  // kReflectedMessageBase + message, with the same parameters, when it is a Window.
  static constexpr UINT kReflectedMessageBase = WM_USER + 0x1C00;

  Window() noexcept = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // Detaches from the window first, so the half-destroyed object receives no more messages,
  // then destroys the window.
  virtual ~Window();

  // Creates a window of the class named by ClassName(), registered on first use. Returns false
  // when the object already has a window or the creation failed (WM_CREATE answered -1).
  bool Create(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int width, int height,
              HWND parent = nullptr, HMENU menu = nullptr);

  // Creates a window of a system class with the given control id; its messages go through this
  // object's table first and then to the class's own procedure.
  bool CreateControl(const wchar_t* className, DWORD exStyle, const wchar_t* title, DWORD style,
                     int x, int y, int width, int height, HWND parent, int controlId);

  // While one lives, the children of `parent` that Create and CreateControl make on this thread
  // start hidden, whatever their style says: a window making the controls of a page not shown
  // keeps them off the screen (a visible control may paint at once, before it could be hidden).
  class HiddenChildren {
   public:
    explicit HiddenChildren(HWND parent) noexcept;
    HiddenChildren(const HiddenChildren&) = delete;
    HiddenChildren& operator=(const HiddenChildren&) = delete;
    ~HiddenChildren();

   private:
    HWND m_previous;
  };

  // Routes the messages of an existing window (usually a control) through this object's table.
  // The object owns it from now on.
  bool SubclassWindow(HWND window);

  // Destroys the window; the object stays and can create another one.
  void Destroy() noexcept;

  HWND Hwnd() const noexcept { return m_hwnd; }

  bool SetTimer(UINT_PTR timerId, UINT elapseMs) noexcept;
  bool KillTimer(UINT_PTR timerId) noexcept;

  // The object behind a window of ours, or null.
  static Window* FromHandle(HWND window) noexcept;

  // Called by Application::Run for messages of this window and its children before they are
  // dispatched; true means the message was consumed.
  virtual bool PreTranslateMessage(MSG& msg);

  // The module whose classes and templates the framework uses (the program itself).
  static HINSTANCE ModuleInstance() noexcept;

  // Messages whose lParam points at a structure naming the child they are about (WM_NOTIFY,
  // WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM). Windows copies none of them
  // from another process as they are, so a made-up pointer in one would be read as real.
  static bool CarriesChildStructure(UINT message) noexcept;

  // Messages the system sends a window while it creates or destroys it (WM_NCCREATE, WM_CREATE,
  // WM_INITDIALOG, WM_DESTROY, WM_NCDESTROY). Another process can send or post the same numbers
  // to a live window at any time: those are answered 0 without handler or default processing,
  // so the creation or the teardown never runs twice and the object stays bound to its window.
  // Genuine ones come inside the object's creation call, or while DestroyWindow runs for the
  // window or one of its ancestors (a hook of the thread notes those).
  static bool IsLifecycleMessage(UINT message) noexcept;

  // Messages this window takes only when sent from its own thread (a pointer it follows, a
  // title that is its address): posted ones are dropped before any loop dispatches them, and
  // ones sent from another thread or process are answered 0 unread. None by default.
  virtual bool OnlyFromOwnThread(UINT message) const noexcept;

 protected:
  // The message table; BEGIN_MESSAGE_TABLE overrides it. The base answers nothing.
  virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Class of Create(). Derived classes that need other class settings return their own name
  // and adjust the defaults in PrepareClass.
  virtual const wchar_t* ClassName() const { return L"VireoWindow"; }
  virtual void PrepareClass(WNDCLASSEXW& windowClass) const;

  // Called after WM_NCDESTROY, when the object no longer has a window: the one place where a
  // window may delete its own object (never inside another handler). Not called for a window
  // whose creation failed: Create then returns false and the object is still the caller's.
  virtual void OnFinalMessage() {}

  // Inside a handler: false lets the message go on to the rest of the table and then to
  // default processing.
  void SetMsgHandled(bool handled) noexcept;
  bool IsMsgHandled() const noexcept;

  // The default processing of a window or control, for handlers that want it first. (Dialogs
  // use SetMsgHandled(false) instead.)
  LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

  enum class Kind { kNone, kOwnClass, kControl, kDialog };

  // Runs the table (and reflection to a child) for one message that arrived at the window
  // procedure; true when answered. Never lets an exception out. A message whose lParam points
  // at a structure (WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM) is
  // only read when it was sent by one of this window's children from this thread; otherwise,
  // like a reflected code that did not come through reflection, it gets default processing.
  bool RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;

  // While a creation is under way (CreateWindowEx or CreateDialog has not returned), a
  // WM_NCDESTROY means the creation failed: the object is unbound but OnFinalMessage is not
  // called.
  void SetCreating(bool creating) noexcept;
  // Whether `object` is a Window inside its creation call on this thread: the only object a
  // creation message may bind (lpCreateParams, the dialog's init parameter).
  static bool IsCreatingOnThisThread(const void* object) noexcept;
  // A lifecycle message that did not come from the system's creation or destruction of this
  // window (see IsLifecycleMessage), or a message of OnlyFromOwnThread sent by another thread.
  bool IsForged(UINT message) const noexcept;
  // The window's last message has been handled: unbinds the object and, unless its creation
  // failed, calls OnFinalMessage. The object must not be touched afterwards.
  void FinishLastMessage() noexcept;

  // For Dialog: binds and releases the window. Binding also hooks the thread once, to note its
  // DestroyWindow calls and to drop posted messages of IsLifecycleMessage and OnlyFromOwnThread.
  void BindHandle(HWND window, Kind kind) noexcept;
  void ReleaseHandle() noexcept;
  Kind HandleKind() const noexcept { return m_kind; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR subclassId, DWORD_PTR refData) noexcept;
  bool RegisterOwnClass() const;
  // Whether a message that reached the window procedure may be read (see RouteMessage).
  bool Admits(UINT message, WPARAM wParam, LPARAM lParam) const noexcept;
  bool RouteAdmitted(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;
  bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;

  HWND m_hwnd = nullptr;
  Kind m_kind = Kind::kNone;
  // Handled flag of the message being dispatched (messages nest, so it lives on the stack).
  bool* m_handled = nullptr;
  bool m_creating = false;
  Window* m_outerCreating = nullptr;  // creations nest: a WM_CREATE may create children
};

#pragma once
// Watches the messages of a window that is not ours (for example a plain edit control) through
// SetWindowSubclass. The handler sees every message first; when it returns false the message
// goes on to the window's own procedure. The subclass is removed when this object goes or when
// the window is destroyed, whichever comes first.
#include <windows.h>

#include <functional>

class Subclass {
 public:
  // Returns true and sets the result when it answered the message.
  using Handler =
      std::function<bool(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

  Subclass() noexcept = default;
  Subclass(const Subclass&) = delete;
  Subclass& operator=(const Subclass&) = delete;
  ~Subclass();

  // Fails when already installed or the window is invalid.
  bool Install(HWND window, Handler handler);
  void Remove() noexcept;

  HWND Hwnd() const noexcept { return m_hwnd; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               UINT_PTR subclassId, DWORD_PTR refData) noexcept;

  HWND m_hwnd = nullptr;
  Handler m_handler;
};

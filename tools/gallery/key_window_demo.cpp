#include "tools/gallery/key_window_demo.h"

#include <cstdio>

#include "configurator/win32/fire_key_dlg.h"
#include "configurator/win32/macro_dlg.h"
#include "configurator/win32/single_key.h"
#include "configurator/win32/single_key_dlg.h"
#include "settings/skin_texts.h"
#include "win/text.h"

namespace {

std::wstring Hex(unsigned value) {
  wchar_t text[8];
  std::swprintf(text, 8, L"0x%02X", value);
  return text;
}

std::wstring Outcome(INT_PTR result) {
  return result == IDOK ? L"OK" : result == IDCANCEL ? L"Cancel" : L"failed";
}

std::wstring RunKeyCapture(KeyCapture::Mode mode, HWND owner) {
  // Button 4 of a new mouse holds a single key, or the combination Ctrl + C.
  CapturedKeys preset;
  preset.keyCount = mode == KeyCapture::Mode::kSingleKey ? 1 : 2;
  preset.key = mode == KeyCapture::Mode::kSingleKey ? 0x2C : 0x06;
  if (mode == KeyCapture::Mode::kCombination) {
    preset.block = {0xE0, 5, 0x80, 0x06, 5, 0x80, 0x06, 5, 0x00, 0xE0, 5, 0x00};
  }
  CSingleKey window(mode, preset);
  const INT_PTR result = window.DoModal(owner);
  std::wstring text = L"Key window: " + Outcome(result);
  if (result == IDOK) {
    text += L", " + ToWide(window.KeyText()) + L", key " + Hex(window.Result().key) + L", " +
            std::to_wstring(window.Result().keyCount) + L" key(s)";
  }
  return text;
}

}  // namespace

std::wstring RunKeyWindow(std::wstring_view name, HWND owner) {
  if (name == L"single-key") return RunKeyCapture(KeyCapture::Mode::kSingleKey, owner);
  if (name == L"combination") return RunKeyCapture(KeyCapture::Mode::kCombination, owner);
  if (name == L"fire-key") {
    CFireKey window(FireKey::Setup{0x2C, 3, 10});
    const INT_PTR result = window.DoModal(owner);
    std::wstring text = L"Rapid fire: " + Outcome(result);
    if (result == IDOK) {
      const FireKey::Setup& setup = window.Result();
      text += L", fires " + Hex(setup.fired) + L", " + std::to_wstring(setup.loopNumber) + L" / " +
              std::to_wstring(setup.keyNumber);
    }
    return text;
  }
  if (name == L"text-input") {
    CSingleKeyDlg window(SkinText(u"SINGLEKEY", 5), SkinText(u"SINGLEKEY", 6), u"NewMacro 1");
    const INT_PTR result = window.DoModal(owner);
    return L"Text input: " + Outcome(result) + L", \"" + ToWide(window.Text()) + L"\"";
  }
  if (name == L"macro") {
    // The library in the documents folder, as the configurator shows it.
    CMacroDlg window;
    const INT_PTR result = window.DoModal(owner);
    if (result != CMacroDlg::kResultOk) return L"Macro editor: Leave";
    const MacroChoice choice = window.Selected();
    return L"Macro editor: OK, \"" + ToWide(choice.Name) + L"\" in slot " +
           std::to_wstring(choice.Slot) + L", repeat " + std::to_wstring(choice.LoopTime);
  }
  return {};
}

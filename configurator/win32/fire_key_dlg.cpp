#include "configurator/win32/fire_key_dlg.h"

#include <string>
#include <utility>

#include "configurator/fire_key_layout.h"
#include "settings/skin_texts.h"
#include "win/text.h"

namespace {

// The key field's caption while a mouse button is fired: the key waits, dimmed.
constexpr COLORREF kKeyColour = RGB(255, 255, 255);
constexpr COLORREF kDimmedKeyColour = RGB(120, 124, 132);

}  // namespace

CFireKey::CFireKey(const FireKey::Setup& preset) : CFireKey(SkinText(u"SINGLEKEY", 7), preset) {}

CFireKey::CFireKey(std::u16string title, const FireKey::Setup& preset)
    : KeyDialog(kFireKeyLayout, std::move(title), u""), m_fire(preset), m_result(preset) {}

BOOL CFireKey::OnDialogReady() {
  InstallHook(false);
  ::SetWindowTextW(Edit(fire_key_id::kFirstNumber).Hwnd(),
                   std::to_wstring(m_result.loopNumber).c_str());
  ::SetWindowTextW(Edit(fire_key_id::kSecondNumber).Hwnd(),
                   std::to_wstring(m_result.keyNumber).c_str());
  ShowState();
  // The focus stays off the number fields, so the keyboard kind captures at once.
  ::SetFocus(Hwnd());
  return FALSE;
}

void CFireKey::ShowState() {
  Group(fire_key_id::kKindGroup).Select(m_fire.Kind());
  Hook().Enable(m_fire.HookWanted());
  CBitmapBtn& field = Button(fire_key_id::kKeyField);
  const COLORREF colour = m_fire.Kind() == FireKey::kKeyboardKind ? kKeyColour : kDimmedKeyColour;
  field.SetCaptionColours(colour, colour, colour);
  field.SetCaptionText(AsWide(m_fire.KeyText()));
}

void CFireKey::OnKind(int id) {
  m_fire.SelectKind(id - fire_key_id::kFirstKind);
  ShowState();
}

void CFireKey::OnNumberFocus(bool gained) {
  m_fire.OnNumberFocus(gained);
  Hook().Enable(m_fire.HookWanted());
}

LRESULT CFireKey::OnKeyEvent(WPARAM vk, LPARAM flags) {
  if (m_fire.OnKeyEvent(static_cast<unsigned>(vk), static_cast<unsigned>(flags))) {
    Button(fire_key_id::kKeyField).SetCaptionText(AsWide(m_fire.KeyText()));
  }
  return 0;
}

void CFireKey::OnOK() {
  m_result = m_fire.Confirm(AsU16(WindowText(Edit(fire_key_id::kFirstNumber).Hwnd()).c_str()),
                            AsU16(WindowText(Edit(fire_key_id::kSecondNumber).Hwnd()).c_str()));
  End(IDOK);
}

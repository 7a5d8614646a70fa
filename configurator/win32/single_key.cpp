#include "configurator/win32/single_key.h"

#include <utility>

#include "configurator/single_key_layout.h"
#include "settings/skin_texts.h"
#include "win/text.h"

namespace {

std::u16string TitleFor(KeyCapture::Mode mode) {
  return SkinText(u"SINGLEKEY", mode == KeyCapture::Mode::kSingleKey ? 1 : 3);
}

std::u16string PromptFor(KeyCapture::Mode mode) {
  return SkinText(u"SINGLEKEY", mode == KeyCapture::Mode::kSingleKey ? 2 : 4);
}

}  // namespace

CSingleKey::CSingleKey(KeyCapture::Mode mode, const CapturedKeys& preset)
    : CSingleKey(TitleFor(mode), PromptFor(mode), mode, preset) {}

CSingleKey::CSingleKey(std::u16string title, std::u16string prompt, KeyCapture::Mode mode,
                       const CapturedKeys& preset)
    : KeyDialog(kSingleKeyLayout, std::move(title), std::move(prompt)),
      m_capture(mode, preset),
      m_result(preset) {}

BOOL CSingleKey::OnDialogReady() {
  Button(single_key_id::kKeyField).SetCaptionText(AsWide(m_capture.Text()));
  InstallHook(true);
  // No control takes keys here: they come from the hook.
  ::SetFocus(Hwnd());
  return FALSE;
}

LRESULT CSingleKey::OnKeyEvent(WPARAM vk, LPARAM flags) {
  if (m_capture.OnKeyEvent(static_cast<unsigned>(vk), static_cast<unsigned>(flags))) {
    Button(single_key_id::kKeyField).SetCaptionText(AsWide(m_capture.Text()));
  }
  return 0;
}

void CSingleKey::OnOK() {
  const std::optional<CapturedKeys> keys = m_capture.Confirm();
  if (!keys) {
    End(IDCANCEL);
    return;
  }
  m_result = *keys;
  End(IDOK);
}

#include "configurator/fire_key.h"

#include <algorithm>

#include "settings/button_functions.h"

namespace {

constexpr bool IsFiredButton(std::uint8_t fired) {
  return fired >= kFireMouseButton1 && fired <= kFireMouseButton3;
}

CapturedKeys KeyboardPreset(std::uint8_t fired) {
  CapturedKeys keys;
  if (!IsFiredButton(fired) && fired != 0) keys.key = fired;
  return keys;
}

}  // namespace

FireKey::Setup FireKey::Setup::PresetOf(const ButtonAssignment& button) {
  if (button.ButtonFunc != kFunctionFireKey || button.KeyBlock[0] == 0) return Setup{};
  return {button.KeyBlock[0], button.LoopNumber, button.KeyNumber};
}

FireKey::FireKey(const Setup& preset)
    : m_presetKey(KeyboardPreset(preset.fired).key),
      m_capture(KeyCapture::Mode::kSingleKey, KeyboardPreset(preset.fired)) {
  m_kind = IsFiredButton(preset.fired) ? preset.fired - kFireMouseButton1 : kKeyboardKind;
}

void FireKey::SelectKind(int kind) {
  if (kind >= 0 && kind < kKindCount) m_kind = kind;
}

void FireKey::OnNumberFocus(bool gained) {
  m_numberFocus = gained ? m_numberFocus + 1 : std::max(0, m_numberFocus - 1);
}

bool FireKey::OnKeyEvent(unsigned vk, unsigned flags) {
  // Events posted before the hook was turned off are not taken either.
  return HookWanted() && m_capture.OnKeyEvent(vk, flags);
}

std::uint8_t FireKey::Fired() const {
  if (m_kind != kKeyboardKind) return static_cast<std::uint8_t>(kFireMouseButton1 + m_kind);
  const std::optional<CapturedKeys> captured = m_capture.Confirm();
  return captured ? captured->key : m_presetKey;
}

FireKey::Setup FireKey::Confirm(std::u16string_view firstNumber,
                                std::u16string_view secondNumber) const {
  return {Fired(), NumberOf(firstNumber), NumberOf(secondNumber)};
}

int FireKey::NumberOf(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  int value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min(value * 10 + (text[i] - u'0'), kLargestNumber + 1);
  }
  return negative ? 0 : std::min(value, kLargestNumber);
}

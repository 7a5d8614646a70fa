#include "configurator/key_capture.h"

#include "settings/button_functions.h"
#include "settings/key_tables.h"

namespace {

constexpr unsigned kReleaseFlag = 0x80;

}  // namespace

KeyCapture::KeyCapture(Mode mode, const CapturedKeys& preset) : m_mode(mode), m_keys(preset) {
  if (preset.keyCount >= 2) {
    m_shown = KeyChord::FromSteps(preset.block, static_cast<std::size_t>(2 * preset.keyCount));
    m_text = m_shown.Name();
  } else if (preset.key != CapturedKeys::kNoKey) {
    m_text = UsageKeyName(preset.key);
  }
}

bool KeyCapture::OnKeyEvent(unsigned vk, unsigned flags) {
  if (m_hasPrevious && vk == m_previousVk && flags == m_previousFlags) return false;
  m_hasPrevious = true;
  m_previousVk = vk;
  m_previousFlags = flags;

  unsigned usage = 0;
  const bool sendable = UsageOfVk(vk, usage);
  if (m_mode == Mode::kSingleKey) {
    // Presses and releases alike: the last key touched.
    if (!sendable) return false;
    m_captured = true;
    m_keys.key = static_cast<std::uint8_t>(usage);
    m_keys.keyCount = 1;
    m_text = KeyName(KeyIndexOfVk(vk));
    return true;
  }

  if ((flags & kReleaseFlag) != 0) {
    // What is shown stays as the last press left it.
    if (m_captured) m_down.Release(vk);
    return false;
  }
  if (!sendable) return false;
  if (!m_captured) {
    // The preset and anything held before the window opened go.
    m_down.Clear();
    m_captured = true;
  }
  m_down.Press(vk);
  m_shown = m_down;
  m_text = m_shown.Name();
  return true;
}

std::optional<CapturedKeys> KeyCapture::Confirm() const {
  if (!m_captured) return std::nullopt;
  CapturedKeys keys = m_keys;
  if (m_mode == Mode::kCombination) {
    keys.keyCount = m_shown.Count();
    keys.block.fill(0);
    if (keys.keyCount >= 2) m_shown.WriteSteps(keys.block);
    // The one key of a one-key combination, else the other key.
    const unsigned vk = keys.keyCount == 1 ? m_shown.OnlyKey() : m_shown.OtherKey();
    unsigned usage = 0;
    keys.key =
        vk != 0 && UsageOfVk(vk, usage) ? static_cast<std::uint8_t>(usage) : CapturedKeys::kNoKey;
  }
  return keys;
}

#include "settings/key_chord.h"

#include <algorithm>

#include "settings/button_functions.h"
#include "settings/key_tables.h"

KeyChord::Slot KeyChord::SlotOf(unsigned vk) {
  const auto* modifier = std::find(kModifierVks.begin(), kModifierVks.end(), vk);
  return modifier == kModifierVks.end() ? kOtherKey
                                        : static_cast<Slot>(modifier - kModifierVks.begin());
}

KeyChord KeyChord::FromSteps(std::span<const std::uint8_t> keyBlock, std::size_t stepCount) {
  KeyChord chord;
  const std::size_t steps = std::min(stepCount, keyBlock.size() / kKeyStepSize);
  for (std::size_t step = 0; step < steps; ++step) {
    const unsigned usage = keyBlock[step * kKeyStepSize];
    unsigned vk = 0;
    if (usage != 0 && VkOfUsage(usage, vk)) chord.Press(vk);
  }
  return chord;
}

void KeyChord::Press(unsigned vk) {
  const Slot slot = SlotOf(vk);
  m_held[slot] = true;
  if (slot == kOtherKey) m_otherKey = vk;
}

void KeyChord::Release(unsigned vk) {
  const Slot slot = SlotOf(vk);
  if (slot == kOtherKey && vk != m_otherKey) return;
  m_held[slot] = false;
}

int KeyChord::Count() const {
  return static_cast<int>(std::count(m_held.begin(), m_held.end(), true));
}

unsigned KeyChord::OnlyKey() const {
  int count = 0;
  const std::array<unsigned, kSlotCount> vks = HeldVks(count);
  return count == 1 ? vks[0] : 0;
}

std::array<unsigned, KeyChord::kSlotCount> KeyChord::HeldVks(int& count) const {
  std::array<unsigned, kSlotCount> vks{};
  count = 0;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (!m_held[slot]) continue;
    vks[count++] = slot == kOtherKey ? m_otherKey : kModifierVks[slot];
  }
  return vks;
}

std::u16string KeyChord::Name() const {
  int count = 0;
  const std::array<unsigned, kSlotCount> vks = HeldVks(count);
  std::u16string name;
  for (int i = 0; i < count; ++i) {
    if (!name.empty()) name += u" + ";
    name += KeyName(KeyIndexOfVk(vks[i]));
  }
  return name;
}

void KeyChord::WriteSteps(std::span<std::uint8_t> keyBlock) const {
  std::fill(keyBlock.begin(), keyBlock.end(), std::uint8_t{0});
  int count = 0;
  const std::array<unsigned, kSlotCount> vks = HeldVks(count);
  if (keyBlock.size() < static_cast<std::size_t>(2 * count * kKeyStepSize)) return;
  for (int i = 0; i < count; ++i) {
    unsigned usage = 0;
    UsageOfVk(vks[i], usage);
    // Key i is pressed as step i and released as step 2 * count - 1 - i.
    for (const int step : {i, 2 * count - 1 - i}) {
      std::uint8_t* entry = &keyBlock[static_cast<std::size_t>(step * kKeyStepSize)];
      entry[0] = static_cast<std::uint8_t>(usage);
      entry[1] = kKeyStepMarker;
      entry[2] = step == i ? kKeyStepPress : 0;
    }
  }
}

#pragma once
// KeyChord: the keys of a key combination as the configurator captures, names and stores them:
// any of the four left-hand modifiers (left Shift, left Ctrl, left Windows, left Alt) and one
// other key, always taken in that order. Every other key, the right-hand modifiers included,
// is the other key.
//
// As key steps (KeyBlock): the presses in that order, then the releases in reverse, so
// Ctrl + C is (Ctrl, 5, 0x80), (C, 5, 0x80), (C, 5, 0x00), (Ctrl, 5, 0x00).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class KeyChord {
 public:
  enum Slot { kShift, kControl, kWindows, kAlt, kOtherKey };
  static constexpr int kSlotCount = 5;
  // The virtual keys of the modifier slots.
  static constexpr std::array<unsigned, 4> kModifierVks{0xA0, 0xA2, 0x5B, 0xA4};

  static Slot SlotOf(unsigned vk);

  // The keys named by the first `stepCount` steps of a key block; empty steps and usages
  // without a virtual key name nothing, and of several other keys the last one counts.
  static KeyChord FromSteps(std::span<const std::uint8_t> keyBlock, std::size_t stepCount);

  void Press(unsigned vk);
  // Releasing a key other than the one held as the other key changes nothing.
  void Release(unsigned vk);
  void Clear() { *this = KeyChord(); }

  bool Holds(Slot slot) const { return m_held[slot]; }
  // The other key's virtual key, 0 when none is held.
  unsigned OtherKey() const { return m_held[kOtherKey] ? m_otherKey : 0; }
  int Count() const;
  bool Empty() const { return Count() == 0; }
  // The virtual key of the one key held, 0 unless exactly one is.
  unsigned OnlyKey() const;
  bool operator==(const KeyChord&) const = default;

  // The display names of the keys held, in order, joined with " + ".
  std::u16string Name() const;
  // The key steps of the keys held over the whole block (the rest zero). A block too small for
  // them gets none.
  void WriteSteps(std::span<std::uint8_t> keyBlock) const;

 private:
  // The virtual keys held, in order; `count` of them are set.
  std::array<unsigned, kSlotCount> HeldVks(int& count) const;

  std::array<bool, kSlotCount> m_held{};
  unsigned m_otherKey = 0;
};

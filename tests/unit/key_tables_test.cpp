#include "settings/key_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/keyboard_layout.h"

namespace {

// A layout with a fixed answer per virtual key; it records which keys it was asked about.
class FakeLayout : public KeyboardLayout {
 public:
  explicit FakeLayout(std::map<unsigned, char16_t> chars) : m_chars(std::move(chars)) {}
  char16_t CharacterOf(unsigned vk) const override {
    m_asked.push_back(vk);
    auto it = m_chars.find(vk);
    return it == m_chars.end() ? 0 : it->second;
  }
  const std::vector<unsigned>& Asked() const { return m_asked; }

 private:
  std::map<unsigned, char16_t> m_chars;
  mutable std::vector<unsigned> m_asked;
};

// Key steps of a combination: presses in the given order, releases in reverse.
std::array<std::uint8_t, 189> CombinationBlock(const std::vector<std::uint8_t>& usages) {
  std::array<std::uint8_t, 189> block{};
  std::size_t step = 0;
  for (std::uint8_t usage : usages) {
    block[step * 3] = usage;
    block[step * 3 + 1] = 5;
    block[step * 3 + 2] = 0x80;
    ++step;
  }
  for (auto it = usages.rbegin(); it != usages.rend(); ++it) {
    block[step * 3] = *it;
    block[step * 3 + 1] = 5;
    block[step * 3 + 2] = 0;
    ++step;
  }
  return block;
}

TEST(UsageTableTest, EveryVirtualKeyAndEveryUsageOccursOnce) {
  std::set<unsigned> vks, usages;
  for (const VkUsagePair& pair : UsageTable) {
    EXPECT_TRUE(vks.insert(pair.Vk).second) << "virtual key twice: " << int(pair.Vk);
    EXPECT_TRUE(usages.insert(pair.Usage).second) << "usage twice: " << int(pair.Usage);
    EXPECT_NE(pair.Vk, 0);
    EXPECT_NE(pair.Usage, 0);
  }
  EXPECT_EQ(vks.size(), 104u);
}

TEST(UsageTableTest, ConvertsBothWaysAndTellingRowsHold) {
  const std::vector<std::pair<unsigned, unsigned>> rows = {
      {0xA2, 0xE0}, {0xA0, 0xE1}, {0xA4, 0xE2}, {0x5B, 0xE3}, {0x5C, 0xE7},
      {0x6C, 0x58}, {0x41, 0x04}, {0x30, 0x27}, {0x0D, 0x28}, {0xDE, 0x34}};
  for (auto [vk, usage] : rows) {
    unsigned gotUsage = 0, gotVk = 0;
    EXPECT_TRUE(UsageOfVk(vk, gotUsage));
    EXPECT_EQ(gotUsage, usage) << "vk " << vk;
    EXPECT_TRUE(VkOfUsage(usage, gotVk));
    EXPECT_EQ(gotVk, vk) << "usage " << usage;
  }
}

TEST(UsageTableTest, NotFoundLeavesTheCallersValue) {
  // The generic Shift, Control and Alt keys have no usage; usage 0x64 has no virtual key.
  for (unsigned vk : {0x10u, 0x11u, 0x12u, 0x00u, 0xFFu, 0x141u}) {
    unsigned usage = 0x77;
    EXPECT_FALSE(UsageOfVk(vk, usage)) << vk;
    EXPECT_EQ(usage, 0x77u);
  }
  for (unsigned usage : {0x64u, 0x00u, 0xFFu, 0x104u}) {
    unsigned vk = 0x99;
    EXPECT_FALSE(VkOfUsage(usage, vk)) << usage;
    EXPECT_EQ(vk, 0x99u);
  }
}

TEST(KeyIndexTableTest, CoversIndices16To159WithOneDuplicate) {
  std::map<unsigned, int> seen;
  for (const KeyIndexPair& pair : KeyIndexTable) ++seen[pair.Index];
  EXPECT_EQ(seen.size(), 144u);
  EXPECT_EQ(seen.begin()->first, 16u);
  EXPECT_EQ(seen.rbegin()->first, 159u);
  for (auto [index, count] : seen) EXPECT_EQ(count, index == 156 ? 2 : 1) << index;
}

TEST(KeyIndexTableTest, LastMatchWins) {
  EXPECT_EQ(KeyIndexOfVk(0xB1), 148u);
  EXPECT_EQ(KeyIndexOfVk(0x5B), 156u);
  EXPECT_EQ(KeyIndexOfVk(0x5C), 156u);
  EXPECT_EQ(KeyIndexOfVk(0x41), 20u);
  EXPECT_EQ(KeyIndexOfVk(0xFB), 159u);
  EXPECT_EQ(KeyIndexOfVk(0x6C), 116u);
  // No index for these keys.
  EXPECT_EQ(KeyIndexOfVk(0x07), 0u);
  EXPECT_EQ(KeyIndexOfVk(0x10), 0u);
  EXPECT_EQ(KeyIndexOfVk(0x1FF), 0u);
}

TEST(KeyNameTest, NamesByIndexWithLowEightBits) {
  EXPECT_EQ(KeyName(101), u"NA");
  EXPECT_EQ(KeyName(29), u"");
  EXPECT_EQ(KeyName(0), u"");
  EXPECT_EQ(KeyName(16), u"~");
  EXPECT_EQ(KeyName(256 + 16), u"~");
  EXPECT_EQ(KeyName(512 + 125), u"Alt");
  EXPECT_EQ(KeyName(84), u"\\");
  EXPECT_EQ(KeyName(76), u";");
  EXPECT_EQ(KeyName(135), u"Profile");
  EXPECT_EQ(KeyName(240), u"Left Button");
  EXPECT_EQ(KeyName(245), u"Right Windows");
  EXPECT_EQ(KeyName(243), u"");
  EXPECT_EQ(KeyName(255), u"");
}

TEST(KeyNameTest, UsageKeyNameGoesThroughVirtualKeyAndIndex) {
  EXPECT_EQ(UsageKeyName(0xE2), u"Alt");        // E2 -> A4 -> 125
  EXPECT_EQ(UsageKeyName(0x58), u"Num Enter");  // 58 -> 6C -> 116
  EXPECT_EQ(UsageKeyName(0x64), u"");           // no virtual key
  EXPECT_EQ(UsageKeyName(0x00), u"");
  EXPECT_EQ(UsageKeyName(0x04), u"A");
  EXPECT_EQ(UsageKeyName(0x29), u"ESC");
  EXPECT_EQ(UsageKeyName(0xE3), u"Win");
  EXPECT_EQ(UsageKeyName(0xE7), u"Win");
  EXPECT_EQ(UsageKeyName(0xE4), u"Right Ctrl");
  EXPECT_EQ(UsageKeyName(0x31), u"\\");
}

TEST(CaptionKeyNameTest, TableNamesWinWithoutAskingTheLayout) {
  FakeLayout layout({});
  EXPECT_EQ(CaptionKeyName(108, layout), u"Enter");
  EXPECT_EQ(CaptionKeyName(13, layout), u"Enter");
  EXPECT_EQ(CaptionKeyName(8, layout), u"Backspace");
  EXPECT_EQ(CaptionKeyName(96, layout), u"Num0");
  EXPECT_EQ(CaptionKeyName(105, layout), u"Num9");
  EXPECT_EQ(CaptionKeyName(110, layout), u"Num.");
  EXPECT_EQ(CaptionKeyName(112, layout), u"F1");
  EXPECT_EQ(CaptionKeyName(123, layout), u"F12");
  EXPECT_EQ(CaptionKeyName(145, layout), u"Scrl");
  EXPECT_EQ(CaptionKeyName(165, layout), u"RAlt");
  EXPECT_TRUE(layout.Asked().empty());
}

TEST(CaptionKeyNameTest, OtherKeysAreNamedByTheirUpperCasedCharacter) {
  FakeLayout layout({{0x41, u'a'},
                     {0x31, u'1'},
                     {0xBA, u';'},
                     {0x5A, u'Z'},
                     {0xDE, char16_t(0x1E4)},
                     {0xC0, char16_t(0x1FF)}});
  EXPECT_EQ(CaptionKeyName(0x41, layout), u"A");
  EXPECT_EQ(CaptionKeyName(0x31, layout), u"1");
  EXPECT_EQ(CaptionKeyName(0xBA, layout), u";");
  EXPECT_EQ(CaptionKeyName(0x5A, layout), u"Z");
  // Only the low byte counts, and only ASCII letters are upper-cased.
  EXPECT_EQ(CaptionKeyName(0xDE, layout), u"\u00E4");
  EXPECT_EQ(CaptionKeyName(0xC0, layout), u"\u00FF");
  // A key that types nothing has an empty name.
  EXPECT_EQ(CaptionKeyName(0xFB, layout), u"");
  EXPECT_EQ(layout.Asked(), (std::vector<unsigned>{0x41, 0x31, 0xBA, 0x5A, 0xDE, 0xC0, 0xFB}));
}

TEST(CombinationCaptionTest, ModifiersInFixedOrderThenTheKey) {
  // Pressed as Ctrl, Shift, S: still named Shift first.
  auto block = CombinationBlock({0xE0, 0xE1, 0x16});
  EXPECT_EQ(CombinationCaption(block, 6), u"Shift + Ctrl + S");

  block = CombinationBlock({0x04, 0xE2, 0xE3, 0xE0, 0xE1});
  EXPECT_EQ(CombinationCaption(block, 10), u"Shift + Ctrl + Win + Alt + A");

  block = CombinationBlock({0xE3, 0x08});
  EXPECT_EQ(CombinationCaption(block, 4), u"Win + E");

  // Modifiers alone.
  block = CombinationBlock({0xE2, 0xE0});
  EXPECT_EQ(CombinationCaption(block, 4), u"Ctrl + Alt");

  // Right-hand modifiers are ordinary keys; the last other key wins.
  block = CombinationBlock({0xE0, 0xE4});
  EXPECT_EQ(CombinationCaption(block, 4), u"Ctrl + Right Ctrl");
}

TEST(CombinationCaptionTest, FewerThanFourStepsNameTheFirstStep) {
  auto block = CombinationBlock({0xE0, 0x06});
  EXPECT_EQ(CombinationCaption(block, 3), u"Ctrl");
  EXPECT_EQ(CombinationCaption(block, 2), u"Ctrl");
  block = CombinationBlock({0x58});
  EXPECT_EQ(CombinationCaption(block, 2), u"Num Enter");
  EXPECT_EQ(CombinationCaption(block, 0), u"");
}

TEST(CombinationCaptionTest, OddBlocksStayInBounds) {
  // A missing step count reads as 255: only the 63 steps of the block are looked at.
  auto block = CombinationBlock({0xE1, 0x1D});
  EXPECT_EQ(CombinationCaption(block, 255), u"Shift + Z");
  // Usages without a virtual key and empty steps name nothing.
  block = CombinationBlock({0xE0, 0x64});
  EXPECT_EQ(CombinationCaption(block, 4), u"Ctrl");
  // A short buffer limits the steps too.
  std::vector<std::uint8_t> shortBlock = {0xE0, 5, 0x80, 0x06, 5, 0x80, 0x06, 5, 0, 0xE0, 5};
  EXPECT_EQ(CombinationCaption(shortBlock, 4), u"Ctrl");
  EXPECT_EQ(CombinationCaption({}, 6), u"");
}

}  // namespace

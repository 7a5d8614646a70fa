#include "agent/key_playback.h"

#include <gtest/gtest.h>

#include <vector>

#include "agent/key_synthesiser.h"

namespace {

// One recorded step: a key event (vk, flags) or a wait (vk 0, flags 0, wait > 0).
struct Step {
  int virtualKey;
  unsigned flags;
  unsigned waitMs;
  bool operator==(const Step&) const = default;
};

void PrintTo(const Step& step, std::ostream* out) {
  if (step.waitMs) {
    *out << "wait " << step.waitMs;
  } else {
    *out << "vk 0x" << std::hex << step.virtualKey << " flags " << step.flags;
  }
}

class RecordingSynthesiser : public KeySynthesiser {
 public:
  void KeyEvent(std::uint8_t virtualKey, std::uint32_t flags) override {
    Steps.push_back({virtualKey, flags, 0});
  }
  void Wait(unsigned milliseconds) override { Steps.push_back({0, 0, milliseconds}); }
  std::vector<Step> Steps;
};

Step Down(int vk) {
  return {vk, 1, 0};
}
Step Up(int vk) {
  return {vk, 3, 0};
}
Step Wait50() {
  return {0, 0, 50};
}

std::vector<Step> Played(std::uint8_t code) {
  RecordingSynthesiser keys;
  const std::optional<PcOperation> operation = PcOperationForCode(code);
  EXPECT_TRUE(operation.has_value());
  if (operation) PlayKeysOf(*operation, keys);
  return keys.Steps;
}

std::vector<Step> Shortcut(int modifier, int key) {
  return {Down(modifier), Wait50(), Down(key), Wait50(), Up(key), Wait50(), Up(modifier)};
}

TEST(KeyPlaybackTest, SaveIsControlSWithTheModifierAroundTheKey) {
  EXPECT_EQ(Played(0x18), Shortcut(0x11, 'S'));
}

TEST(KeyPlaybackTest, EveryShortcutHoldsItsModifierAroundItsKey) {
  struct Row {
    std::uint8_t code;
    int modifier;
    int key;
  };
  // Control is the generic key; Alt (0xA4) and Windows (0x5B) the left-hand ones.
  const Row rows[] = {
      {0x11, 0x11, 'X'},  {0x12, 0x11, 'C'},  {0x13, 0x11, 'V'}, {0x14, 0x11, 'A'},
      {0x15, 0x11, 'F'},  {0x16, 0x11, 'N'},  {0x17, 0x11, 'P'}, {0x18, 0x11, 'S'},
      {0x19, 0xA4, 0x09}, {0x1A, 0xA4, 0x73}, {0x1B, 0x5B, 'E'}, {0x1C, 0x5B, 'R'},
      {0x1D, 0x5B, 'D'},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Played(row.code), Shortcut(row.modifier, row.key)) << "code " << int{row.code};
  }
}

TEST(KeyPlaybackTest, SwitchWindowReleasesLeftAltLast) {
  const std::vector<Step> steps = Played(0x19);
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps.back(), Up(0xA4));
  EXPECT_EQ(steps.front(), Down(0xA4));
}

TEST(KeyPlaybackTest, BrowserKeysArePressedAndReleasedWithoutWaiting) {
  const std::pair<std::uint8_t, int> rows[] = {
      {0x20, 0xA6}, {0x21, 0xA7}, {0x22, 0xA9}, {0x23, 0xA8}, {0x25, 0xAB},
  };
  for (const auto& [code, vk] : rows) {
    EXPECT_EQ(Played(code), (std::vector<Step>{Down(vk), Up(vk)})) << "code " << int{code};
  }
}

TEST(KeyPlaybackTest, SearchIsF3NotTheBrowserSearchKey) {
  EXPECT_EQ(Played(0x24), (std::vector<Step>{Down(0x72), Up(0x72)}));
}

TEST(KeyPlaybackTest, ShellActionsPlayNoKeys) {
  for (PcOperation operation : {PcOperation::kRunLockCommand, PcOperation::kOpenBrowserHome,
                                PcOperation::kOpenMailClient}) {
    RecordingSynthesiser keys;
    EXPECT_FALSE(PlayKeysOf(operation, keys));
    EXPECT_TRUE(keys.Steps.empty());
    EXPECT_FALSE(ShortcutFor(operation).has_value());
    EXPECT_FALSE(SingleKeyFor(operation).has_value());
  }
}

TEST(KeyPlaybackTest, AnOperationIsEitherAShortcutOrASingleKeyNeverBoth) {
  int shortcuts = 0, singleKeys = 0;
  for (int code = 0x11; code <= 0x26; ++code) {
    const PcOperation operation = *PcOperationForCode(static_cast<std::uint8_t>(code));
    const bool shortcut = ShortcutFor(operation).has_value();
    const bool single = SingleKeyFor(operation).has_value();
    EXPECT_FALSE(shortcut && single) << code;
    shortcuts += shortcut;
    singleKeys += single;
  }
  EXPECT_EQ(shortcuts, 13);
  EXPECT_EQ(singleKeys, 6);
}

}  // namespace

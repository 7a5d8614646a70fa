#include "configurator/key_capture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace {

constexpr unsigned kPress = 0x00, kRelease = 0x80;
constexpr unsigned kLeftShift = 0xA0, kRightShift = 0xA1, kLeftCtrl = 0xA2, kLeftAlt = 0xA4;
constexpr unsigned kEnter = 0x0D;

using Block = std::array<std::uint8_t, kKeyBlockSize>;

Block Steps(const std::vector<std::uint8_t>& bytes) {
  Block block{};
  std::copy(bytes.begin(), bytes.end(), block.begin());
  return block;
}

const Block kCtrlC = Steps({0xE0, 5, 0x80, 0x06, 5, 0x80, 0x06, 5, 0x00, 0xE0, 5, 0x00});

KeyCapture Captured(KeyCapture::Mode mode, const std::vector<std::pair<unsigned, unsigned>>& events,
                    const CapturedKeys& preset = {}) {
  KeyCapture capture(mode, preset);
  for (const auto& [vk, flags] : events) capture.OnKeyEvent(vk, flags);
  return capture;
}

constexpr KeyCapture::Mode kCombination = KeyCapture::Mode::kCombination;
constexpr KeyCapture::Mode kSingleKey = KeyCapture::Mode::kSingleKey;

TEST(KeyCaptureTest, CombinationIsStoredAsPressesInOrderThenReleasesInReverse) {
  // Ctrl + C, both let go before OK.
  KeyCapture capture = Captured(
      kCombination, {{kLeftCtrl, kPress}, {'C', kPress}, {'C', kRelease}, {kLeftCtrl, kRelease}});
  EXPECT_EQ(capture.Text(), u"Ctrl + C");
  std::optional<CapturedKeys> keys = capture.Confirm();
  ASSERT_TRUE(keys);
  EXPECT_EQ(keys->keyCount, 2);
  EXPECT_EQ(keys->block, kCtrlC);

  // Alt pressed before Shift: Shift still comes first, in the text and in the steps.
  capture = Captured(kCombination, {{kLeftAlt, kPress}, {kLeftShift, kPress}});
  EXPECT_EQ(capture.Text(), u"Shift + Alt");
  EXPECT_EQ(capture.Confirm()->block,
            Steps({0xE1, 5, 0x80, 0xE2, 5, 0x80, 0xE2, 5, 0x00, 0xE1, 5, 0x00}));
}

TEST(KeyCaptureTest, OneKeyCombinationsAndRightHandModifiers) {
  // The right Shift alone is the other key: a combination of one key, no steps.
  std::optional<CapturedKeys> keys =
      Captured(kCombination, {{kRightShift, kPress}, {kRightShift, kRelease}}).Confirm();
  EXPECT_EQ(keys->keyCount, 1);
  EXPECT_EQ(keys->key, 0xE5);
  EXPECT_EQ(keys->block, Block{});
  // A modifier alone is the key too.
  keys = Captured(kCombination, {{kLeftCtrl, kPress}}).Confirm();
  EXPECT_EQ(keys->keyCount, 1);
  EXPECT_EQ(keys->key, 0xE0);
}

TEST(KeyCaptureTest, ReleasesKeepWhatTheLastPressShowed) {
  // After letting go of everything a new press starts from nothing.
  KeyCapture capture = Captured(kCombination, {{kLeftCtrl, kPress},
                                               {'C', kPress},
                                               {'C', kRelease},
                                               {kLeftCtrl, kRelease},
                                               {kLeftShift, kPress}});
  EXPECT_EQ(capture.Text(), u"Shift");
  // Letting go of an earlier other key keeps the one held now.
  capture =
      Captured(kCombination, {{'A', kPress}, {'B', kPress}, {'A', kRelease}, {kLeftCtrl, kPress}});
  EXPECT_EQ(capture.Text(), u"Ctrl + B");
}

TEST(KeyCaptureTest, TheFirstKeyReplacesThePresetAndNoKeyMeansCancel) {
  CapturedKeys preset;
  preset.keyCount = 2;
  preset.block = kCtrlC;
  // OK before any key, or after a release only (a key let go as the window opened): Cancel,
  // so the assignment keeps its combination.
  KeyCapture capture = Captured(kCombination, {{kLeftAlt, kRelease}}, preset);
  EXPECT_EQ(capture.Text(), u"Ctrl + C");
  EXPECT_FALSE(capture.Confirm());
  capture.OnKeyEvent('A', kPress);
  EXPECT_EQ(capture.Text(), u"A");
  EXPECT_EQ(capture.Confirm()->keyCount, 1);

  // Single-key mode shows the preset key and takes a release like a press.
  preset = {};
  preset.key = 0x05;
  capture = KeyCapture(kSingleKey, preset);
  EXPECT_EQ(capture.Text(), u"B");
  EXPECT_FALSE(capture.Confirm());
  capture.OnKeyEvent('A', kRelease);
  EXPECT_EQ(capture.Confirm()->key, 0x04);
}

TEST(KeyCaptureTest, RepeatsAreDroppedWithinOneWindowOnlyAndUnsendableKeysCaptureNothing) {
  KeyCapture capture(kSingleKey, {});
  EXPECT_TRUE(capture.OnKeyEvent(kEnter, kPress));
  EXPECT_FALSE(capture.OnKeyEvent(kEnter, kPress));  // auto-repeat of the held key
  EXPECT_TRUE(capture.OnKeyEvent(kEnter, kRelease));
  EXPECT_TRUE(capture.OnKeyEvent(kEnter, kRelease | 0x01));  // the flags count too
  // A window opened next takes the same event as its first.
  KeyCapture next(kSingleKey, {});
  EXPECT_TRUE(next.OnKeyEvent(kEnter, kRelease | 0x01));
  EXPECT_EQ(next.Confirm()->key, 0x28);

  // Volume Mute has a name but no keyboard usage: the mouse could not send it.
  EXPECT_FALSE(Captured(kSingleKey, {{0xAD, kPress}}).Confirm());
  EXPECT_EQ(Captured(kCombination, {{kLeftCtrl, kPress}, {0xAD, kPress}}).Text(), u"Ctrl");
}

}  // namespace

#include "configurator/key_capture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "settings/button_functions.h"

namespace {

constexpr unsigned kPress = 0x00;
constexpr unsigned kRelease = 0x80;
constexpr unsigned kLeftShift = 0xA0, kRightShift = 0xA1, kLeftCtrl = 0xA2, kLeftAlt = 0xA4;
constexpr unsigned kLeftWin = 0x5B, kEnter = 0x0D;

struct Event {
  unsigned vk;
  unsigned flags;
};

void Feed(KeyCapture& capture, const std::vector<Event>& events) {
  for (const Event& event : events) capture.OnKeyEvent(event.vk, event.flags);
}

// The expected key block: the steps given, the rest zero.
std::array<std::uint8_t, kKeyBlockSize> Steps(const std::vector<std::uint8_t>& bytes) {
  std::array<std::uint8_t, kKeyBlockSize> block{};
  std::copy(bytes.begin(), bytes.end(), block.begin());
  return block;
}

KeyCapture Combination(const CapturedKeys& preset = {}) {
  return KeyCapture(KeyCapture::Mode::kCombination, preset);
}

TEST(KeyCaptureTest, CombinationIsStoredAsPressesInOrderThenReleasesInReverse) {
  // Ctrl + C, both released before OK.
  KeyCapture capture = Combination();
  Feed(capture, {{kLeftCtrl, kPress}, {'C', kPress}, {'C', kRelease}, {kLeftCtrl, kRelease}});
  EXPECT_EQ(capture.Text(), u"Ctrl + C");
  std::optional<CapturedKeys> keys = capture.Confirm();
  ASSERT_TRUE(keys);
  EXPECT_EQ(keys->keyCount, 2);
  EXPECT_EQ(keys->key, 0x06);
  EXPECT_EQ(keys->block, Steps({0xE0, 5, 0x80, 0x06, 5, 0x80, 0x06, 5, 0x00, 0xE0, 5, 0x00}));

  // Pressed Alt first, then Shift: Shift still comes first, in the text and in the steps.
  capture = Combination();
  Feed(capture, {{kLeftAlt, kPress}, {kLeftShift, kPress}});
  EXPECT_EQ(capture.Text(), u"Shift + Alt");
  EXPECT_EQ(capture.Confirm()->block,
            Steps({0xE1, 5, 0x80, 0xE2, 5, 0x80, 0xE2, 5, 0x00, 0xE1, 5, 0x00}));

  // All five: ten steps.
  capture = Combination();
  Feed(capture, {{'A', kPress},
                 {kLeftWin, kPress},
                 {kLeftAlt, kPress},
                 {kLeftCtrl, kPress},
                 {kLeftShift, kPress}});
  EXPECT_EQ(capture.Text(), u"Shift + Ctrl + Win + Alt + A");
  keys = capture.Confirm();
  EXPECT_EQ(keys->keyCount, 5);
  EXPECT_EQ(keys->block,
            Steps({0xE1, 5, 0x80, 0xE0, 5, 0x80, 0xE3, 5, 0x80, 0xE2, 5, 0x80, 0x04, 5, 0x80,
                   0x04, 5, 0x00, 0xE2, 5, 0x00, 0xE3, 5, 0x00, 0xE0, 5, 0x00, 0xE1, 5, 0x00}));
}

TEST(KeyCaptureTest, RightHandModifiersAndLoneKeysAreOrdinaryKeys) {
  // The right Shift alone is the other key, a combination of one key.
  KeyCapture capture = Combination();
  Feed(capture, {{kRightShift, kPress}, {kRightShift, kRelease}});
  EXPECT_EQ(capture.Text(), u"Right Shift");
  std::optional<CapturedKeys> keys = capture.Confirm();
  EXPECT_EQ(keys->keyCount, 1);
  EXPECT_EQ(keys->key, 0xE5);
  EXPECT_EQ(keys->block, Steps({}));

  // With the left Shift it is the main key.
  capture = Combination();
  Feed(capture, {{kLeftShift, kPress}, {kRightShift, kPress}});
  EXPECT_EQ(capture.Text(), u"Shift + Right Shift");
  EXPECT_EQ(capture.Confirm()->keyCount, 2);

  // A modifier alone is the key of a one-key combination too.
  capture = Combination();
  Feed(capture, {{kLeftCtrl, kPress}});
  keys = capture.Confirm();
  EXPECT_EQ(keys->keyCount, 1);
  EXPECT_EQ(keys->key, 0xE0);
}

TEST(KeyCaptureTest, ReleasesKeepWhatTheLastPressShowed) {
  KeyCapture capture = Combination();
  Feed(capture, {{kLeftCtrl, kPress}, {'C', kPress}, {'C', kRelease}, {kLeftCtrl, kRelease}});
  // A new press starts from what is still held: nothing.
  Feed(capture, {{kLeftShift, kPress}});
  EXPECT_EQ(capture.Text(), u"Shift");
  EXPECT_EQ(capture.Confirm()->keyCount, 1);

  // Letting go of an earlier other key keeps the one held now.
  capture = Combination();
  Feed(capture, {{'A', kPress}, {'B', kPress}, {'A', kRelease}, {kLeftCtrl, kPress}});
  EXPECT_EQ(capture.Text(), u"Ctrl + B");
}

TEST(KeyCaptureTest, TheFirstEventReplacesThePresetAndNoEventMeansCancel) {
  CapturedKeys preset;
  preset.keyCount = 2;
  preset.key = 0x06;
  preset.block = Steps({0xE0, 5, 0x80, 0x06, 5, 0x80, 0x06, 5, 0x00, 0xE0, 5, 0x00});
  KeyCapture capture = Combination(preset);
  EXPECT_EQ(capture.Text(), u"Ctrl + C");
  // OK before any key: Cancel, so the assignment keeps its combination.
  EXPECT_FALSE(capture.Confirm());
  // Releases before the first press (a key let go as the window opened) capture nothing.
  Feed(capture, {{kLeftAlt, kRelease}});
  EXPECT_FALSE(capture.Confirm());
  EXPECT_EQ(capture.Text(), u"Ctrl + C");
  // The first press replaces the preset instead of adding to it.
  Feed(capture, {{'A', kPress}});
  EXPECT_EQ(capture.Text(), u"A");
  EXPECT_EQ(capture.Confirm()->keyCount, 1);

  // Single-key mode: the preset key is shown; presses and releases alike are taken.
  CapturedKeys single;
  single.key = 0x05;
  KeyCapture key(KeyCapture::Mode::kSingleKey, single);
  EXPECT_EQ(key.Text(), u"B");
  EXPECT_FALSE(key.Confirm());
  Feed(key, {{'A', kRelease}});
  EXPECT_EQ(key.Text(), u"A");
  EXPECT_EQ(key.Confirm()->key, 0x04);
  EXPECT_EQ(key.Confirm()->keyCount, 1);
}

TEST(KeyCaptureTest, RepeatsAreDroppedWithinOneWindowOnly) {
  KeyCapture capture(KeyCapture::Mode::kSingleKey, {});
  EXPECT_TRUE(capture.OnKeyEvent(kEnter, kPress));
  // Auto-repeat of the held key.
  EXPECT_FALSE(capture.OnKeyEvent(kEnter, kPress));
  EXPECT_TRUE(capture.OnKeyEvent(kEnter, kRelease));
  EXPECT_TRUE(capture.OnKeyEvent(kEnter, kPress));
  // The flags count too: the extended bit makes another event.
  EXPECT_TRUE(capture.OnKeyEvent(kEnter, kPress | 0x01));

  // A window opened next takes the same key as its first event.
  KeyCapture next(KeyCapture::Mode::kSingleKey, {});
  EXPECT_TRUE(next.OnKeyEvent(kEnter, kPress | 0x01));
  EXPECT_EQ(next.Confirm()->key, 0x28);
}

TEST(KeyCaptureTest, KeysTheMouseCannotSendCaptureNothing) {
  // Volume Mute has a name but no keyboard usage.
  KeyCapture key(KeyCapture::Mode::kSingleKey, {});
  EXPECT_FALSE(key.OnKeyEvent(0xAD, kPress));
  EXPECT_FALSE(key.Confirm());
  KeyCapture capture = Combination();
  Feed(capture, {{kLeftCtrl, kPress}, {0xAD, kPress}});
  EXPECT_EQ(capture.Text(), u"Ctrl");
  EXPECT_EQ(capture.Confirm()->keyCount, 1);
}

TEST(CapturedKeysTest, PresetOfAnAssignmentShowsOnlyKeyFunctions) {
  ButtonAssignment button{};
  button.ButtonFunc = kFunctionKeyCombination;
  button.KeyNumber = 4;
  const std::array<std::uint8_t, kKeyBlockSize> block =
      Steps({0xE0, 5, 0x80, 0x06, 5, 0x80, 0x06, 5, 0x00, 0xE0, 5, 0x00});
  std::copy(block.begin(), block.end(), button.KeyBlock);
  EXPECT_EQ(Combination(CapturedKeys::PresetOf(button)).Text(), u"Ctrl + C");

  button.ButtonFunc = kFunctionSingleKey;
  EXPECT_EQ(Combination(CapturedKeys::PresetOf(button)).Text(), u"Ctrl");

  // A mouse button shows nothing, whatever its block holds.
  button.ButtonFunc = kFunctionMouseButton1;
  const CapturedKeys none = CapturedKeys::PresetOf(button);
  EXPECT_EQ(none.key, CapturedKeys::kNoKey);
  EXPECT_EQ(none.keyCount, 0);
  EXPECT_EQ(Combination(none).Text(), u"");
}

}  // namespace

#include "configurator/fire_key.h"

#include <gtest/gtest.h>

namespace {

constexpr unsigned kPress = 0x00, kRelease = 0x80;

TEST(FireKeyTest, KindsFireTheirButtonAndTheKeyboardKindKeepsItsKey) {
  FireKey fire(FireKey::Setup{0xF1, 5, 20});
  EXPECT_EQ(fire.Kind(), 1);
  EXPECT_FALSE(fire.HookWanted());
  EXPECT_FALSE(fire.OnKeyEvent('A', kPress));  // not while a mouse button is chosen

  fire.SelectKind(FireKey::kKeyboardKind);
  EXPECT_EQ(fire.Fired(), CapturedKeys::kNoKey);  // no key yet: the opener keeps the assignment
  EXPECT_TRUE(fire.OnKeyEvent('A', kPress));
  EXPECT_EQ(fire.Fired(), 0x04);
  // Away to a button and back: the key captured before is fired again, not the button.
  fire.SelectKind(2);
  EXPECT_EQ(fire.Fired(), 0xF2);
  fire.SelectKind(FireKey::kKeyboardKind);
  EXPECT_EQ(fire.Fired(), 0x04);

  // A preset key comes back the same way.
  FireKey preset(FireKey::Setup{0x2C, 3, 10});
  EXPECT_EQ(preset.KeyText(), u"Space Bar");
  preset.SelectKind(0);
  preset.SelectKind(FireKey::kKeyboardKind);
  EXPECT_EQ(preset.Fired(), 0x2C);
}

TEST(FireKeyTest, NumberFieldsWithTheFocusTurnTheCaptureOff) {
  FireKey fire(FireKey::Setup{0x04, 3, 10});
  fire.OnNumberFocus(true);
  // A digit typed into the field is no key, even when its event was already on the way.
  EXPECT_FALSE(fire.OnKeyEvent('7', kPress));
  // The focus moving from one field to the other: gained before the other's loss arrives.
  fire.OnNumberFocus(true);
  fire.OnNumberFocus(false);
  EXPECT_FALSE(fire.HookWanted());
  fire.OnNumberFocus(false);
  fire.OnNumberFocus(false);  // an extra loss leaves the count at zero
  EXPECT_TRUE(fire.OnKeyEvent('7', kRelease));
  EXPECT_EQ(fire.Fired(), 0x24);
}

TEST(FireKeyTest, NumbersAreReadLikeTheFieldsShowThemAndHeldToAByte) {
  EXPECT_EQ(FireKey::NumberOf(u""), 0);
  EXPECT_EQ(FireKey::NumberOf(u" 12a"), 12);
  EXPECT_EQ(FireKey::NumberOf(u"abc"), 0);
  EXPECT_EQ(FireKey::NumberOf(u"-5"), 0);
  // Held to the byte, not cut to its low 8 bits (300 would be 44).
  EXPECT_EQ(FireKey::NumberOf(u"300"), 255);
  EXPECT_EQ(FireKey::NumberOf(u"99999999999999999999"), 255);

  FireKey fire(FireKey::Setup{});
  fire.SelectKind(1);
  const FireKey::Setup setup = fire.Confirm(u"5", u"20");
  EXPECT_EQ(setup.fired, 0xF1);
  EXPECT_EQ(setup.loopNumber, 5);
  EXPECT_EQ(setup.keyNumber, 20);
}

}  // namespace

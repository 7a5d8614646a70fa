#include "configurator/fire_key.h"

#include <gtest/gtest.h>

#include "settings/button_functions.h"

namespace {

constexpr unsigned kPress = 0x00;
constexpr unsigned kRelease = 0x80;

TEST(FireKeyTest, KindsFireTheirButtonAndTheKeyboardKindKeepsItsKey) {
  FireKey fire(FireKey::Setup{0xF1, 5, 20});
  EXPECT_EQ(fire.Kind(), 1);
  EXPECT_EQ(fire.Fired(), 0xF1);
  EXPECT_FALSE(fire.HookWanted());
  // Keys are not taken while a mouse button is chosen.
  EXPECT_FALSE(fire.OnKeyEvent('A', kPress));

  fire.SelectKind(FireKey::kKeyboardKind);
  EXPECT_TRUE(fire.HookWanted());
  EXPECT_EQ(fire.Fired(), CapturedKeys::kNoKey);  // no key yet: the opener keeps the assignment
  EXPECT_TRUE(fire.OnKeyEvent('A', kPress));
  EXPECT_EQ(fire.KeyText(), u"A");
  EXPECT_EQ(fire.Fired(), 0x04);

  // Away to a button and back: the key captured before is fired again, not the button.
  fire.SelectKind(2);
  EXPECT_EQ(fire.Fired(), 0xF2);
  fire.SelectKind(FireKey::kKeyboardKind);
  EXPECT_EQ(fire.Fired(), 0x04);
  fire.SelectKind(7);
  EXPECT_EQ(fire.Kind(), FireKey::kKeyboardKind);

  // A preset key comes back the same way.
  FireKey preset(FireKey::Setup{0x2C, 3, 10});
  EXPECT_EQ(preset.Kind(), FireKey::kKeyboardKind);
  EXPECT_EQ(preset.KeyText(), u"Space Bar");
  preset.SelectKind(0);
  preset.SelectKind(FireKey::kKeyboardKind);
  EXPECT_EQ(preset.Fired(), 0x2C);
}

TEST(FireKeyTest, NumberFieldsWithTheFocusTurnTheCaptureOff) {
  FireKey fire(FireKey::Setup{0x04, 3, 10});
  fire.OnNumberFocus(true);
  EXPECT_FALSE(fire.HookWanted());
  // A digit typed into the field is no key, even when its event was already on the way.
  EXPECT_FALSE(fire.OnKeyEvent('7', kPress));
  EXPECT_EQ(fire.Fired(), 0x04);
  // The focus moving from one field to the other (gained before the other's loss arrives).
  fire.OnNumberFocus(true);
  fire.OnNumberFocus(false);
  EXPECT_FALSE(fire.HookWanted());
  fire.OnNumberFocus(false);
  EXPECT_TRUE(fire.HookWanted());
  // An extra loss does not leave the count below zero.
  fire.OnNumberFocus(false);
  fire.OnNumberFocus(true);
  EXPECT_FALSE(fire.HookWanted());
  fire.OnNumberFocus(false);
  EXPECT_TRUE(fire.OnKeyEvent('7', kRelease));
  EXPECT_EQ(fire.Fired(), 0x24);
}

TEST(FireKeyTest, NumbersAreReadLikeTheFieldsShowThemAndHeldToAByte) {
  EXPECT_EQ(FireKey::NumberOf(u""), 0);
  EXPECT_EQ(FireKey::NumberOf(u"7"), 7);
  EXPECT_EQ(FireKey::NumberOf(u" 42"), 42);
  EXPECT_EQ(FireKey::NumberOf(u"12a"), 12);
  EXPECT_EQ(FireKey::NumberOf(u"abc"), 0);
  EXPECT_EQ(FireKey::NumberOf(u"255"), 255);
  // Held to the byte, not cut to its low 8 bits (300 would be 44).
  EXPECT_EQ(FireKey::NumberOf(u"300"), 255);
  EXPECT_EQ(FireKey::NumberOf(u"99999999999999999999"), 255);
  EXPECT_EQ(FireKey::NumberOf(u"-5"), 0);

  FireKey fire(FireKey::Setup{});
  fire.SelectKind(1);
  const FireKey::Setup setup = fire.Confirm(u"5", u"20");
  EXPECT_EQ(setup.fired, 0xF1);
  EXPECT_EQ(setup.loopNumber, 5);
  EXPECT_EQ(setup.keyNumber, 20);
}

TEST(FireKeyTest, PresetOfAnAssignmentStartsFromItsRapidFireOnly) {
  ButtonAssignment button{};
  button.ButtonFunc = kFunctionSingleKey;
  button.KeyBlock[0] = 0x04;
  button.LoopNumber = 9;
  button.KeyNumber = 9;
  FireKey::Setup setup = FireKey::Setup::PresetOf(button);
  EXPECT_EQ(setup.fired, 0xF0);
  EXPECT_EQ(setup.loopNumber, 3);
  EXPECT_EQ(setup.keyNumber, 10);

  button.ButtonFunc = kFunctionFireKey;
  setup = FireKey::Setup::PresetOf(button);
  EXPECT_EQ(setup.fired, 0x04);
  EXPECT_EQ(setup.loopNumber, 9);
  EXPECT_EQ(setup.keyNumber, 9);
}

}  // namespace

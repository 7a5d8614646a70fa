// The character route of the key captions through the real key translation.
#include <gtest/gtest.h>
#include <windows.h>

#include "settings/key_tables.h"
#include "settings/win32/keyboard_layout_win32.h"

namespace {

TEST(KeyboardLayoutWin32Test, LettersAndDigitsAreNamedByTheirCharacter) {
  KeyboardLayoutWin32 layout;
  EXPECT_EQ(CaptionKeyName(0x41, layout), u"A");
  EXPECT_EQ(CaptionKeyName(0x5A, layout), u"Z");
  EXPECT_EQ(CaptionKeyName(0x31, layout), u"1");
  EXPECT_EQ(CaptionKeyName(0x30, layout), u"0");
  // The layout answers in lower case; the caption upper-cases it.
  EXPECT_EQ(layout.CharacterOf(0x41), u'a');
}

TEST(KeyboardLayoutWin32Test, KeysWithoutACharacterGiveNothing) {
  KeyboardLayoutWin32 layout;
  EXPECT_EQ(layout.CharacterOf(VK_LWIN), 0);
  EXPECT_EQ(layout.CharacterOf(VK_F13), 0);
  EXPECT_EQ(CaptionKeyName(VK_LWIN, layout), u"");
  // Table names never reach the layout.
  EXPECT_EQ(CaptionKeyName(VK_SEPARATOR, layout), u"Enter");
  EXPECT_EQ(CaptionKeyName(VK_F5, layout), u"F5");
}

}  // namespace

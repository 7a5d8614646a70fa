#include "settings/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8Test, EncodesEveryLengthOfSequence) {
  EXPECT_EQ(ToUtf8(u""), "");
  EXPECT_EQ(ToUtf8(u"A\u007F"), "A\x7F");
  EXPECT_EQ(ToUtf8(u"\u0080\u00E9\u07FF"), "\xC2\x80\xC3\xA9\xDF\xBF");
  EXPECT_EQ(ToUtf8(u"\u0800\u20AC\uFFFF"), "\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBF");
  EXPECT_EQ(ToUtf8(u"\U00010000\U0001F5B1\U0010FFFF"),
            "\xF0\x90\x80\x80\xF0\x9F\x96\xB1\xF4\x8F\xBF\xBF");
  // NUL is text like any other character.
  EXPECT_EQ(ToUtf8(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
}

TEST(Utf8Test, LoneSurrogatesBecomeTheReplacementCharacter) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(ToUtf8(u"x\xD83Dy"), "x" + replacement + "y");        // high without low
  EXPECT_EQ(ToUtf8(u"x\xDDB1y"), "x" + replacement + "y");        // low without high
  EXPECT_EQ(ToUtf8(u"x\xD83D"), "x" + replacement);               // high at the end
  EXPECT_EQ(ToUtf8(u"\xDDB1\xD83D"), replacement + replacement);  // pair in reverse order
  EXPECT_EQ(ToUtf8(u"\xD83D\xD83D\xDDB1"), replacement + "\xF0\x9F\x96\xB1");  // then a pair
}

TEST(Utf8Test, AppendKeepsWhatIsThere) {
  std::string out = "[A]";
  AppendUtf8(u"\u00E9", out);
  AppendUtf8(u"", out);
  AppendUtf8(u"z", out);
  EXPECT_EQ(out, "[A]\xC3\xA9z");
}

}  // namespace

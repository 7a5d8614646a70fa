#include "settings/ini_document.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "settings/ini_code_page.h"

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/allocator_interface.h>)
#include <sanitizer/allocator_interface.h>
#endif

namespace {

using namespace std::string_literals;

std::string Utf16Le(std::u16string_view text, bool bom = true) {
  std::string out = bom ? "\xFF\xFE" : "";
  for (char16_t c : text) {
    out.push_back(char(c & 0xFF));
    out.push_back(char(c >> 8));
  }
  return out;
}

std::string Utf16Be(std::u16string_view text) {
  std::string out = "\xFE\xFF";
  for (char16_t c : text) {
    out.push_back(char(c >> 8));
    out.push_back(char(c & 0xFF));
  }
  return out;
}

IniDocument Reparse(const IniDocument& doc) {
  return IniDocument::Parse(doc.Serialize());
}

// --- Reading back what was read -----------------------------------------------------------

TEST(IniDocumentRoundTrip, UnchangedFilesSerializeByteForByte) {
  const std::vector<std::string> files = {
      "", "[A]\r\nk=v\r\n",
      "[A]\nk=v\n\n\n[B]\nx = 1",  // LF, blank lines, no final line end
      "[A]\rk=v\r\r\n\n\r",        // CR and mixed line ends
      "  ; comment\r\n\tkey before sections = 1 \r\n[ S ]  trailing\r\nbare\r\n",
      "[\xC4rger]\r\nk=\x80\x81\x8D\x9D\xFF\r\n",  // every 1252 byte, undefined ones too
      "\xEF\xBB\xBF[A]\r\nk=\xC3\xA9\xE2\x82\xAC\r\nbad=\xC3\x28\xFF\r\n",  // UTF-8 with invalid
                                                                            // bytes
      Utf16Le(u"[A]\r\nname=\u00C4\u20AC\U0001F600\r\n"),
      Utf16Le(u"[A]\r\nk=\xD800 lone surrogate\r\n"), Utf16Be(u"[A]\r\nk=v\r\n"),
      Utf16Le(u"[A]\r\nk=v\r\n") + "\x41",     // UTF-16 with an odd byte count
      "\xFF\xFE",                              // byte-order mark only
      "\x00\x01\x02\xFE\r\x00\n[\x00]=\x00"s,  // binary garbage with NULs
  };
  for (const std::string& bytes : files) {
    const IniDocument doc = IniDocument::Parse(bytes);
    EXPECT_EQ(doc.Serialize(), bytes) << "file: " << bytes;
    EXPECT_FALSE(doc.Modified());
  }
}

TEST(IniDocumentRoundTrip, EncodingFollowsTheByteOrderMark) {
  EXPECT_EQ(IniDocument::Parse("[A]\r\n").Encoding(), IniEncoding::Ansi);
  EXPECT_EQ(IniDocument::Parse("\xEF\xBB\xBF[A]").Encoding(), IniEncoding::Utf8);
  EXPECT_EQ(IniDocument::Parse(Utf16Le(u"[A]")).Encoding(), IniEncoding::Utf16Le);
  EXPECT_EQ(IniDocument::Parse(Utf16Be(u"[A]")).Encoding(), IniEncoding::Utf16Be);
  // UTF-16 without a byte-order mark is not recognised (as by the API): it reads as ANSI.
  EXPECT_EQ(IniDocument::Parse(Utf16Le(u"[A]", false)).Encoding(), IniEncoding::Ansi);
  EXPECT_EQ(IniDocument().Encoding(), IniEncoding::Utf16Le);
  EXPECT_EQ(IniDocument().Serialize(), "");
}

TEST(IniDocumentRoundTrip, EncodingsDecodeToTheSameText) {
  const std::u16string text = u"[Gr\u00FC\u00DFe]\r\nName=Caf\u00E9 \u20AC5\r\n";
  const std::vector<std::string> files = {
      "[Gr\xFC\xDF"
      "e]\r\nName=Caf\xE9 \x80"
      "5\r\n",
      "\xEF\xBB\xBF[Gr\xC3\xBC\xC3\x9F"
      "e]\r\nName=Caf\xC3\xA9 \xE2\x82\xAC"
      "5\r\n",
      Utf16Le(text),
      Utf16Be(text),
  };
  for (const std::string& bytes : files) {
    const IniDocument doc = IniDocument::Parse(bytes);
    EXPECT_EQ(doc.GetText(u"GR\u00FC\u00DFE", u"name", u""), u"Caf\u00E9 \u20AC5");
  }
}

// --- Lookups -------------------------------------------------------------------------------

TEST(IniDocumentLookup, NamesIgnoreCaseAndSurroundingWhiteSpace) {
  const IniDocument doc = IniDocument::Parse(
      "[Group0]\r\n  MixedCase  =  value with  inner  spaces \t\r\n\x1A"
      "[\xC4pfel]\r\n\xD6l=1\r\n");
  EXPECT_EQ(doc.GetText(u"GROUP0", u"mixedcase", u"-"), u"value with  inner  spaces");
  EXPECT_EQ(doc.GetText(u" group0\t", u"\tMIXEDCASE ", u"-"), u"value with  inner  spaces");
  // Only ASCII letters fold, as in the Windows functions under Wine.
  EXPECT_EQ(doc.GetInt(u"\u00C4PFEL", u"\u00D6l", -1), 1);
  EXPECT_EQ(doc.GetInt(u"\u00E4pfel", u"\u00D6l", -1), -1);
  EXPECT_EQ(doc.GetText(u"Group", u"MixedCase", u"-"), u"-");  // no prefix matches
  EXPECT_EQ(doc.GetText(u"Group0", u"Mixed", u"-"), u"-");
}

TEST(IniDocumentLookup, FirstSectionAndFirstKeyWin) {
  const IniDocument doc = IniDocument::Parse(
      "[S]\r\nk=first\r\nK=second\r\n[T]\r\nonly=t\r\n[s]\r\nk=third\r\nlater=4\r\n");
  EXPECT_EQ(doc.GetText(u"S", u"k", u""), u"first");
  // A key only in the second copy of a section is not found: only the first copy counts.
  EXPECT_EQ(doc.GetText(u"S", u"later", u"none"), u"none");
  EXPECT_EQ(doc.GetText(u"T", u"only", u""), u"t");
}

TEST(IniDocumentLookup, KeysBeforeAnySectionBelongToTheNamelessSection) {
  const IniDocument doc = IniDocument::Parse("top=1\r\n[A]\r\nk=2\r\n");
  EXPECT_EQ(doc.GetInt(u"", u"top", -1), 1);
  EXPECT_EQ(doc.GetInt(u"  ", u"top", -1), 1);
  EXPECT_EQ(doc.GetInt(u"A", u"top", -1), -1);
  EXPECT_EQ(doc.GetInt(u"", u"k", -1), -1);
}

TEST(IniDocumentLookup, LineShapes) {
  const IniDocument doc = IniDocument::Parse(
      "[A] junk after the bracket\r\n"
      "bare key\r\n"
      "empty=\r\n"
      "eq=a=b\r\n"
      ";comment=1\r\n"
      "[broken header\r\n"
      "  = no name\r\n"
      "[  Padded\t]\r\n"
      "k=padded\r\n"
      "[B]x]\r\n"
      "k=in B]x\r\n"
      "[]\r\n"
      "k=in nameless header\r\n");
  EXPECT_EQ(doc.GetText(u"A", u"eq", u""), u"a=b");
  EXPECT_EQ(doc.GetText(u"A", u"bare key", u"dflt"), u"dflt");  // no '=': the default
  EXPECT_EQ(doc.Find(u"A", u"bare key"), std::nullopt);
  EXPECT_EQ(doc.GetText(u"A", u"empty", u"dflt"), u"");
  EXPECT_EQ(doc.Find(u"A", u"empty"), u"");
  // Comment and broken header lines are ordinary key lines to the API.
  EXPECT_EQ(doc.GetText(u"A", u";comment", u""), u"1");
  EXPECT_EQ(doc.GetText(u"A", u"[broken header", u"d"), u"d");
  // An empty key name finds the first key line without a name.
  EXPECT_EQ(doc.GetText(u"A", u"", u"d"), u"no name");
  EXPECT_EQ(doc.GetText(u"A", u" \t", u"d"), u"no name");
  // Section names are trimmed inside the brackets.
  EXPECT_EQ(doc.GetText(u"padded", u"k", u""), u"padded");
  // The name runs to the last ']'.
  EXPECT_EQ(doc.GetText(u"B]x", u"k", u""), u"in B]x");
  // "[]" is never the nameless section: that one is the part before the first header.
  EXPECT_EQ(doc.GetText(u"", u"k", u"d"), u"d");
}

TEST(IniDocumentLookup, LineEndsOfEveryKind) {
  for (const char* eol : {"\r\n", "\n", "\r", "\n\r", "\r\r\n"}) {
    const std::string bytes = "[A]"s + eol + "a=1" + eol + "b=2" + eol + "[B]" + eol + "c=3";
    const IniDocument doc = IniDocument::Parse(bytes);
    EXPECT_EQ(doc.GetInt(u"A", u"a", 0), 1) << eol;
    EXPECT_EQ(doc.GetInt(u"A", u"b", 0), 2) << eol;
    EXPECT_EQ(doc.GetInt(u"B", u"c", 0), 3) << eol;
  }
}

TEST(IniDocumentLookup, MatchingQuotesAreStripped) {
  const IniDocument doc = IniDocument::Parse(
      "[Q]\r\nd=\"double\"\r\ns='single'\r\nmixed=\"x'\r\none=\"\r\nempty=\"\"\r\n"
      "inner=a\"b\"\r\nspaced=\"  padded  \"\r\n");
  EXPECT_EQ(doc.GetText(u"Q", u"d", u""), u"double");
  EXPECT_EQ(doc.GetText(u"Q", u"s", u""), u"single");
  EXPECT_EQ(doc.GetText(u"Q", u"mixed", u""), u"\"x'");
  EXPECT_EQ(doc.GetText(u"Q", u"one", u""), u"\"");
  EXPECT_EQ(doc.GetText(u"Q", u"empty", u"d"), u"");
  EXPECT_EQ(doc.GetText(u"Q", u"inner", u""), u"a\"b\"");
  EXPECT_EQ(doc.GetText(u"Q", u"spaced", u""), u"  padded  ");
  EXPECT_EQ(doc.Find(u"Q", u"d"), u"\"double\"");  // Find gives the raw value
  // The default goes through the same copy: quotes stripped, trailing spaces dropped.
  EXPECT_EQ(doc.GetText(u"Q", u"missing", u"'quoted'"), u"quoted");
  EXPECT_EQ(doc.GetText(u"Q", u"missing", u"abc   "), u"abc");
}

TEST(IniDocumentLookup, TextIsCutToTheBuffer) {
  const std::u16string longValue(5000, u'x');
  const IniDocument doc =
      IniDocument::Parse(Utf16Le(u"[L]\r\nlong=" + longValue + u"\r\nquoted=\"abcdef\"\r\n"));
  EXPECT_EQ(doc.GetText(u"L", u"long", u""), std::u16string(4095, u'x'));
  EXPECT_EQ(doc.GetText(u"L", u"long", u"", 10), std::u16string(9, u'x'));
  EXPECT_EQ(doc.GetText(u"L", u"long", u"", 1), u"");
  EXPECT_EQ(doc.GetText(u"L", u"long", u"", 0), u"");
  EXPECT_EQ(doc.GetText(u"L", u"quoted", u"", 4), u"abc");
  // A buffer one unit short of the quoted value still holds all of its inner text.
  EXPECT_EQ(doc.GetText(u"L", u"quoted", u"", 7), u"abcdef");
  EXPECT_EQ(doc.GetText(u"L", u"missing", u"defaultvalue", 5), u"defa");
}

TEST(IniDocumentLookup, IntegersAreParsedLikeThePlatform) {
  const IniDocument doc = IniDocument::Parse(
      "[I]\r\npos=42\r\nneg=-17\r\nplus=+8\r\ntrail=12abc\r\nletters=abc\r\nempty=\r\n"
      "bare\r\nquoted=\"77\"\r\nspacedquote=\" 5\"\r\nmax=2147483647\r\nwrap=4294967295\r\n"
      "over=2147483648\r\nhex=0x10\r\nsignonly=-\r\nlong=000000000000000000000000000001\r\n"
      "innerspace=1 2\r\nnegx=-0xfF\r\noct=0o17\r\nbin=0b1012\r\nxonly=0x\r\nlead0=010\r\n"
      "upx=0X10\r\nupo=-0O17\r\nupb=0B11\r\n");
  EXPECT_EQ(doc.GetInt(u"I", u"pos", -1), 42);
  EXPECT_EQ(doc.GetInt(u"I", u"neg", 0), -17);
  EXPECT_EQ(doc.GetInt(u"I", u"plus", 0), 8);
  EXPECT_EQ(doc.GetInt(u"I", u"trail", 0), 12);
  EXPECT_EQ(doc.GetInt(u"I", u"letters", -1), 0);  // present but not a number: 0, not the default
  EXPECT_EQ(doc.GetInt(u"I", u"empty", -1), -1);
  EXPECT_EQ(doc.GetInt(u"I", u"bare", -1), -1);
  EXPECT_EQ(doc.GetInt(u"I", u"missing", -5), -5);
  EXPECT_EQ(doc.GetInt(u"Nope", u"pos", -5), -5);
  EXPECT_EQ(doc.GetInt(u"I", u"quoted", -1), 77);
  EXPECT_EQ(doc.GetInt(u"I", u"spacedquote", -1), 5);
  EXPECT_EQ(doc.GetInt(u"I", u"max", 0), INT_MAX);
  EXPECT_EQ(doc.GetInt(u"I", u"wrap", 0), -1);
  EXPECT_EQ(doc.GetInt(u"I", u"over", 0), INT_MIN);
  EXPECT_EQ(doc.GetInt(u"I", u"hex", -1), 16);
  EXPECT_EQ(doc.GetInt(u"I", u"negx", 0), -255);
  EXPECT_EQ(doc.GetInt(u"I", u"oct", -1), 15);
  EXPECT_EQ(doc.GetInt(u"I", u"bin", -1), 5);  // stops at the 2
  EXPECT_EQ(doc.GetInt(u"I", u"xonly", -1), 0);
  // The prefixes are lower case only: the platform reads "0X10" as the decimal 0.
  EXPECT_EQ(doc.GetInt(u"I", u"upx", -1), 0);
  EXPECT_EQ(doc.GetInt(u"I", u"upo", -1), 0);
  EXPECT_EQ(doc.GetInt(u"I", u"upb", -1), 0);
  EXPECT_EQ(doc.GetInt(u"I", u"lead0", -1), 10);  // no octal from a leading zero
  EXPECT_EQ(doc.GetInt(u"I", u"signonly", -1), 0);
  // Only the first 29 units are looked at: the trailing 1 is cut off.
  EXPECT_EQ(doc.GetInt(u"I", u"long", -1), 0);
  EXPECT_EQ(doc.GetInt(u"I", u"innerspace", -1), 1);
}

TEST(IniDocumentLookup, NulEndsNamesAndValues) {
  const IniDocument doc = IniDocument::Parse("[S\0x]\r\nk\0junk=v\0w\r\n"s);
  EXPECT_EQ(doc.GetText(u"S", u"k", u""), u"v");
  EXPECT_EQ(doc.GetText(u"S\0other"s, u"k", u""), u"v");
}

// --- Blocks --------------------------------------------------------------------------------

TEST(IniBlock, EncodesUpperCaseHexWithChecksum) {
  const unsigned char bytes[] = {0x01, 0xAB, 0xFF, 0x00};
  EXPECT_EQ(EncodeIniBlock(bytes, sizeof bytes), u"01ABFF00AB");  // 0x1AB & 0xFF
  EXPECT_EQ(EncodeIniBlock(bytes, 0), u"00");
  std::vector<unsigned char> all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<unsigned char>(i);
  const std::u16string text = EncodeIniBlock(all.data(), all.size());
  ASSERT_EQ(text.size(), 514u);
  EXPECT_EQ(text.substr(510), u"FF80");  // sum 0..255 = 32640 = 0x7F80
  std::vector<unsigned char> back(256, 0xCC);
  EXPECT_TRUE(DecodeIniBlock(text, back.data(), back.size()));
  EXPECT_EQ(back, all);
}

TEST(IniBlock, AcceptsOnlyExactLengthValidDigitsAndMatchingChecksum) {
  const unsigned char sentinel[3] = {0xCC, 0xCC, 0xCC};
  const auto rejected = [&](std::u16string_view text) {
    unsigned char buffer[3] = {0xCC, 0xCC, 0xCC};
    const bool accepted = DecodeIniBlock(text, buffer, sizeof buffer);
    return !accepted && std::memcmp(buffer, sentinel, 3) == 0;
  };
  unsigned char ok[3] = {};
  EXPECT_TRUE(DecodeIniBlock(u"0a0b0c21", ok, 3));  // lower case is read
  EXPECT_EQ(ok[0], 0x0A);
  EXPECT_EQ(ok[2], 0x0C);
  EXPECT_TRUE(rejected(u"0A0B0C22"));    // wrong checksum
  EXPECT_TRUE(rejected(u"0A0B0C2"));     // one digit short
  EXPECT_TRUE(rejected(u"0A0B0C211"));   // one digit long (2N+3)
  EXPECT_TRUE(rejected(u"0A0B21"));      // a byte short
  EXPECT_TRUE(rejected(u"0A0B0C0D2E"));  // a byte long
  EXPECT_TRUE(rejected(u"0A0G0C21"));    // not a hex digit
  EXPECT_TRUE(rejected(u"0A 0B0C2"));
  EXPECT_TRUE(rejected(u"+A0B0C21"));
  EXPECT_TRUE(rejected(u""));
}

TEST(IniBlock, DocumentBlocksRoundTripAndRejectDamage) {
  std::vector<unsigned char> stages(96);
  for (std::size_t i = 0; i < stages.size(); ++i) stages[i] = static_cast<unsigned char>(i * 7);
  IniDocument doc;
  doc.SetBlock(u"GROUP0", u"DPIStageValue", stages.data(), stages.size());
  std::vector<unsigned char> back(96, 0);
  ASSERT_TRUE(Reparse(doc).GetBlock(u"group0", u"dpistagevalue", back.data(), back.size()));
  EXPECT_EQ(back, stages);

  // One digit changed: nothing is copied.
  std::u16string value = *doc.Find(u"GROUP0", u"DPIStageValue");
  value[10] = value[10] == u'0' ? u'1' : u'0';
  doc.SetText(u"GROUP0", u"DPIStageValue", value);
  std::vector<unsigned char> untouched(96, 0x5A);
  EXPECT_FALSE(Reparse(doc).GetBlock(u"GROUP0", u"DPIStageValue", untouched.data(), 96));
  EXPECT_EQ(untouched, std::vector<unsigned char>(96, 0x5A));
  // Quotes are not stripped for blocks, and the wrong size is refused.
  const IniDocument quoted = IniDocument::Parse("[G]\r\nb=\"0102030309\"\r\nc=0102030309\r\n");
  unsigned char four[4] = {};
  EXPECT_FALSE(quoted.GetBlock(u"G", u"b", four, 4));
  EXPECT_FALSE(quoted.GetBlock(u"G", u"c", four, 3));
  EXPECT_TRUE(quoted.GetBlock(u"G", u"c", four, 4));
  EXPECT_FALSE(quoted.GetBlock(u"G", u"missing", four, 4));
}

// --- Writes --------------------------------------------------------------------------------

TEST(IniDocumentWrite, ChangesInPlaceAndKeepsEverythingElse) {
  const std::string original =
      "; header comment\r\n[Other]\r\nunknown = keep me\r\n\r\n[GROUP0]\r\n"
      "  Group = 1   \r\nPollingRate=500\r\n; trailing comment\r\n\r\n[Tail]\r\nx=1\r\n";
  IniDocument doc = IniDocument::Parse(original);
  doc.SetInt(u"group0", u"GROUP", 3);
  EXPECT_TRUE(doc.Modified());
  EXPECT_EQ(doc.Serialize(),
            "; header comment\r\n[Other]\r\nunknown = keep me\r\n\r\n[GROUP0]\r\n"
            "  Group = 3\r\nPollingRate=500\r\n; trailing comment\r\n\r\n[Tail]\r\nx=1\r\n");
}

TEST(IniDocumentWrite, MissingKeyGoesAfterTheLastKeyOfItsSection) {
  IniDocument doc = IniDocument::Parse(
      "[A]\r\na=1\r\n; note about B\r\n\r\n[B]\r\nb=2\r\n[Empty]\r\n\r\n[A]\r\nsecond=1\r\n");
  doc.SetText(u"A", u"new", u"x");
  doc.SetText(u"Empty", u"k", u"y");
  doc.SetText(u"", u"top", u"z");
  EXPECT_EQ(doc.Serialize(),
            "top=z\r\n[A]\r\na=1\r\nnew=x\r\n; note about B\r\n\r\n[B]\r\nb=2\r\n[Empty]\r\n"
            "k=y\r\n\r\n[A]\r\nsecond=1\r\n");
  EXPECT_EQ(Reparse(doc).GetText(u"a", u"NEW", u""), u"x");
  EXPECT_EQ(Reparse(doc).GetText(u"", u"top", u""), u"z");
}

TEST(IniDocumentWrite, MissingSectionIsAppendedWithTheFilesLineEnds) {
  IniDocument unix = IniDocument::Parse("[A]\na=1");  // no final line end
  unix.SetInt(u"B", u"b", -1);
  EXPECT_EQ(unix.Serialize(), "[A]\na=1\n[B]\nb=-1\n");

  IniDocument fresh;
  fresh.SetInt(u"GROUP0", u"GroupID", 2);
  fresh.SetText(u"ButtonAssigned0_1", u"MacroName", u"Makro \u00C4\u20AC");
  EXPECT_EQ(fresh.Serialize(),
            Utf16Le(u"[GROUP0]\r\nGroupID=2\r\n[ButtonAssigned0_1]\r\nMacroName=Makro "
                    u"\u00C4\u20AC\r\n"));
}

TEST(IniDocumentWrite, ValuesBehaveAsThroughTheApi) {
  IniDocument doc = IniDocument::Parse("[A]\r\nbare\r\nsame=1\r\nempty=\r\n");
  doc.SetText(u"A", u"same", u"1");
  EXPECT_FALSE(doc.Modified());  // nothing to write
  doc.SetText(u"A", u"bare", u"now");
  doc.SetText(u"A", u"empty", u"   lead and trail   ");
  doc.SetText(u"A", u"multi", u"first\r\n[Injected]\r\nx=1");
  doc.SetText(u" A ", u" spaced ", u"v");
  doc.SetText(u"A", u"", u"ignored");
  const IniDocument back = Reparse(doc);
  EXPECT_EQ(back.GetText(u"A", u"bare", u""), u"now");
  EXPECT_EQ(back.GetText(u"A", u"empty", u""), u"lead and trail");
  EXPECT_EQ(back.GetText(u"A", u"multi", u""), u"first");
  EXPECT_EQ(back.GetText(u"Injected", u"x", u"none"), u"none");
  EXPECT_EQ(back.GetText(u"A", u"spaced", u""), u"v");
  EXPECT_EQ(doc.Serialize().find("ignored"), std::string::npos);
}

TEST(IniDocumentWrite, FirstOfDuplicatesIsChanged) {
  IniDocument doc = IniDocument::Parse("[S]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\n");
  doc.SetInt(u"S", u"K", 9);
  EXPECT_EQ(doc.Serialize(), "[S]\r\nk=9\r\nk=2\r\n[S]\r\nk=3\r\n");
}

TEST(IniDocumentWrite, EncodingIsKept) {
  IniDocument be = IniDocument::Parse(Utf16Be(u"[A]\r\na=1\r\n"));
  be.SetText(u"A", u"b", u"\u0416");
  EXPECT_EQ(be.Serialize(), Utf16Be(u"[A]\r\na=1\r\nb=\u0416\r\n"));

  IniDocument utf8 = IniDocument::Parse("\xEF\xBB\xBF[A]\r\na=\xC3\x28\r\n");
  utf8.SetText(u"A", u"b", u"\u00E9");
  EXPECT_EQ(utf8.Serialize(), "\xEF\xBB\xBF[A]\r\na=\xC3\x28\r\nb=\xC3\xA9\r\n");

  IniDocument ansi = IniDocument::Parse("[A]\r\na=\xE9\x81\r\n");
  ansi.SetText(u"A", u"b", u"\u20AC\u00FF");
  EXPECT_EQ(ansi.Encoding(), IniEncoding::Ansi);
  EXPECT_EQ(ansi.Serialize(), "[A]\r\na=\xE9\x81\r\nb=\x80\xFF\r\n");
}

TEST(IniDocumentWrite, AnsiFileTakingTextItCannotHoldBecomesUtf16) {
  IniDocument doc = IniDocument::Parse("[A]\r\nname=Caf\xE9\r\n");
  doc.SetText(u"A", u"macro", u"\u041C\u0430\u043A\u0440\u043E");
  EXPECT_EQ(doc.Encoding(), IniEncoding::Utf16Le);
  EXPECT_EQ(doc.Serialize(),
            Utf16Le(u"[A]\r\nname=Caf\u00E9\r\nmacro=\u041C\u0430\u043A\u0440\u043E\r\n"));
}

TEST(IniDocumentWrite, TornUtf16TailIsDroppedOnceChanged) {
  IniDocument doc = IniDocument::Parse(Utf16Le(u"[A]\r\nk=v\r\n") + "\x41");
  EXPECT_EQ(doc.GetText(u"A", u"k", u""), u"v");
  doc.SetText(u"A", u"k", u"w");
  EXPECT_EQ(doc.Serialize(), Utf16Le(u"[A]\r\nk=w\r\n"));
}

// --- Hostile input -------------------------------------------------------------------------

TEST(IniDocumentHostile, GarbageParsesAndAnswersWithDefaults) {
  std::mt19937 random(12345);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(random() % 600, '\0');
    for (char& c : bytes) {
      // Mostly the characters that matter to the parser, some of everything else.
      static const char kInteresting[] =
          "[]=;\r\n \t\"'\xFF\xFE\xEF\xBB\xBF"
          "abAB01";
      c = random() % 4 ? kInteresting[random() % (sizeof kInteresting - 1)] : char(random());
    }
    IniDocument doc = IniDocument::Parse(bytes);
    EXPECT_EQ(doc.Serialize(), bytes);
    unsigned char block[4] = {};
    doc.GetBlock(u"a", u"b", block, sizeof block);
    doc.GetText(u"a", u"b", u"", 7);
    doc.GetInt(u"", u"A", 0);
    doc.SetInt(u"a", u"zz", round);
    doc.SetText(u"Fresh", u"k", u"v");
    const IniDocument back = Reparse(doc);
    EXPECT_EQ(back.GetInt(u"a", u"zz", -1), round) << round;
    EXPECT_EQ(back.GetText(u"fresh", u"K", u""), u"v") << round;
  }
}

#if defined(__SANITIZE_ADDRESS__) && __has_include(<sanitizer/allocator_interface.h>)
// The heap the parse holds at its peak, counted through the sanitizer's allocation hooks.
std::atomic<bool> g_counting{false};
std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void CountMalloc(const volatile void*, std::size_t size) {
  if (!g_counting) return;
  const long long live = g_live += static_cast<long long>(size);
  long long peak = g_peak;
  while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
  }
}

void CountFree(const volatile void* pointer) {
  if (g_counting && pointer) {
    g_live -= static_cast<long long>(__sanitizer_get_allocated_size(const_cast<void*>(pointer)));
  }
}

long long PeakHeapOf(const std::function<void()>& work) {
  static const int installed = __sanitizer_install_malloc_and_free_hooks(CountMalloc, CountFree);
  (void)installed;
  g_live = 0;
  g_peak = 0;
  g_counting = true;
  work();
  g_counting = false;
  return g_peak;
}

TEST(IniDocumentHostile, MemoryStaysWithinASmallMultipleOfTheFileSize) {
  constexpr std::size_t kSize = 4u << 20;
  // The counter sees an allocation of known size.
  EXPECT_GE(PeakHeapOf([] { std::vector<char> probe(kSize); }), static_cast<long long>(kSize));

  const std::string crlf = [] {
    std::string text;
    while (text.size() < kSize) text += "\r\n";
    return text;
  }();
  std::string keys = "[A]\r\n";
  while (keys.size() < kSize) keys += "key" + std::to_string(keys.size()) + "=1\r\n";
  for (const std::string& bytes :
       {std::string(kSize, '\n'), crlf, Utf16Le(std::u16string(kSize / 2, u'\r')), keys}) {
    IniDocument doc;
    const long long peak = PeakHeapOf([&] {
      doc = IniDocument::Parse(bytes);
      doc.SetText(u"A", u"key5", u"2");
    });
    EXPECT_LE(peak, 8 * static_cast<long long>(bytes.size())) << bytes.size();
    EXPECT_EQ(Reparse(doc).GetInt(u"A", u"key5", -1), 2);
  }
}
#endif

TEST(IniDocumentHostile, CodePageCanBeReplaced) {
  class Upper final : public IniCodePage {
   public:
    std::u16string Decode(std::string_view bytes) const override {
      std::u16string text;
      for (char c : bytes) text.push_back(char16_t(static_cast<unsigned char>(c) + 0x100));
      return text;
    }
    bool Encode(std::u16string_view text, std::string& bytes) const override {
      for (char16_t c : text) {
        if (c < 0x100 || c > 0x1FF) return false;
        bytes.push_back(char(c - 0x100));
      }
      return true;
    }
  } upper;
  SetAnsiCodePage(&upper);
  const IniDocument doc = IniDocument::Parse("A");
  SetAnsiCodePage(nullptr);
  EXPECT_EQ(doc.Find(u"", u"\u0141"), std::nullopt);  // bare key, but decoded through the hook
  EXPECT_EQ(IniDocument::Parse("\x80=1").GetInt(u"", u"\u20AC", 0), 1);
}

}  // namespace

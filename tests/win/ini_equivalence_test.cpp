// Our INI engine against the real Windows private-profile functions, in both directions: every
// lookup of a corpus of ordinary and odd files gives what the API gives, files we write read
// through the API as through our engine, and files the API writes read through our engine as
// through the API.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "settings/file_io.h"
#include "settings/ini_document.h"
#include "settings/ini_file.h"
#include "support/temp_folder.h"
#include "win/text.h"

static_assert(sizeof(wchar_t) == 2, "UTF-16 text is passed to Windows as wchar_t");

namespace {

std::u16string Number(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

std::string Printable(std::u16string_view text) {
  std::string out;
  for (char16_t c : text.substr(0, 80)) {
    if (c >= 0x20 && c < 0x7F) {
      out.push_back(char(c));
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", unsigned(c));
      out += escaped;
    }
  }
  if (text.size() > 80) out += "...(" + std::to_string(text.size()) + ")";
  return out;
}

// --- Files ---------------------------------------------------------------------------------

enum class Form { Ansi, Utf16Le, Utf16Be, Utf8 };

std::string Encode(std::u16string_view text, Form form) {
  std::string out;
  switch (form) {
    case Form::Ansi: {
      if (text.empty()) return out;
      const int size = WideCharToMultiByte(CP_ACP, 0, AsWide(text.data()), int(text.size()),
                                           nullptr, 0, nullptr, nullptr);
      out.resize(size);
      WideCharToMultiByte(CP_ACP, 0, AsWide(text.data()), int(text.size()), out.data(), size,
                          nullptr, nullptr);
      return out;
    }
    case Form::Utf8: {
      out = "\xEF\xBB\xBF";
      const int size = WideCharToMultiByte(CP_UTF8, 0, AsWide(text.data()), int(text.size()),
                                           nullptr, 0, nullptr, nullptr);
      std::string body(size, '\0');
      WideCharToMultiByte(CP_UTF8, 0, AsWide(text.data()), int(text.size()), body.data(), size,
                          nullptr, nullptr);
      return out + body;
    }
    case Form::Utf16Le:
    case Form::Utf16Be: {
      const bool big = form == Form::Utf16Be;
      out = big ? "\xFE\xFF" : "\xFF\xFE";
      for (char16_t c : text) {
        out.push_back(char(big ? c >> 8 : c & 0xFF));
        out.push_back(char(big ? c & 0xFF : c >> 8));
      }
      return out;
    }
  }
  return out;
}

std::u16string Block(std::size_t size, unsigned seed) {
  std::vector<unsigned char> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(seed + i * 37);
  return EncodeIniBlock(bytes.data(), bytes.size());
}

struct CorpusFile {
  std::string name;
  std::string bytes;
};

std::vector<CorpusFile> Corpus() {
  const std::u16string led = Block(56, 1);
  const std::u16string stages = Block(96, 2);
  const std::u16string keys = Block(189, 3);
  std::u16string badChecksum = stages;
  badChecksum.back() = badChecksum.back() == u'0' ? u'1' : u'0';
  std::u16string badDigit = stages;
  badDigit[7] = u'G';
  std::u16string lower = led;
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'F') c = char16_t(c + 32);
  }

  const std::u16string profile =
      u"[GROUP0]\r\nGroupID=0\r\nGroup=1\r\nPollingRate=500\r\nLEDSTATE_INFO=" + led +
      u"\r\nDPIStageValue=" + stages + u"\r\nButtonAssigned0_1=" + keys +
      u"\r\n[ButtonAssigned0_1]\r\nButtonID=1\r\nButtonFunc=1\r\nLoopNumber=0\r\n"
      u"KeyNumber=255\r\nMacroName=Makro 1\r\n";
  const std::u16string blocks = u"[B]\r\nok=" + led + u"\r\nchecksum=" + badChecksum +
                                u"\r\ndigit=" + badDigit + u"\r\nlower=" + lower + u"\r\nshort=" +
                                stages.substr(0, stages.size() - 1) + u"\r\nodd=" + stages +
                                u"0\r\nlong=" + stages + u"00\r\nquoted=\"" + led +
                                u"\"\r\nspaced=" + led.substr(0, 20) + u" " + led.substr(20) +
                                u"\r\nempty=\r\n"
                                u"tiny=0\r\nzero=00\r\none=0101\r\n  padded  =  " +
                                led + u"  \r\n";
  const std::u16string integers =
      u"[I]\r\npos=42\r\nneg=-17\r\nplus=+8\r\ntrail=12abc\r\nletters=abc\r\nempty=\r\n"
      u"hex=0x10\r\nbin=0b11\r\noct=0o17\r\nupx=0X10\r\nwrap=4294967295\r\nover=2147483648\r\n"
      u"huge=99999999999\r\nquoted=\"77\"\r\nsq=' 5'\r\nsignspace=- 3\r\ntab=\t9\r\n"
      u"zeros=000000000000000000000000000001\r\ninner=1 2\r\nfull=\uFF11\uFF12\r\n"
      u"minusminus=--4\r\ndot=3.9\r\nsignonly=-\r\nnbsp=\u00A05\r\nupb=0B11\r\nupo=0O17\r\nnegupx=-"
      u"0X1f\r\n"
      u"xonly=0x\r\nxbad=0xG\r\nnegx=-0x10\r\nspx= 0x1f\r\nxmax=0x7FFFFFFF\r\n"
      u"xall=0xFFFFFFFF\r\nlead0=010\r\nb2=0b102\r\no8=0o78\r\nplusx=+0x2\r\n"
      u"xx=0x0x5\r\nhexletters=0xaBc\r\n";
  const std::u16string names =
      u"[Mixed Case]\r\nCamelKey=1\r\nUPPER=2\r\nlower=3\r\n[\u00C4rger \u00DF]\r\n"
      u"\u00D6l=\u00E9t\u00E9\r\n[\u041C\u0430\u043A\u0440\u043E]\r\n\u0418\u043C\u044F=\u0416\r\n"
      u"[\u03A3\u03B5\u03BB\u03AF\u03B4\u03B1]\r\n\u039A\u03BB\u03B5\u03B9\u03B4\u03AF=1\r\n"
      u"[\uFF21\uFF22]\r\nk=fullwidth\r\n";
  const std::u16string duplicates =
      u"[D]\r\nk=first\r\nK=second\r\n[Other]\r\nk=other\r\n[d]\r\nk=third\r\nonlylater=4\r\n";
  const std::u16string quotes =
      u"[Q]\r\nd=\"double\"\r\ns='single'\r\nmixed=\"x'\r\none=\"\r\nempty=\"\"\r\n"
      u"inner=a\"b\"\r\nspaced=\"  padded  \"\r\nfour=\"abcd\"\r\nthree='abc'\r\n"
      u"long=\"abcdefghij\"\r\nsingleq='\r\nfive=\"abcde\"\r\nfivesq='abcde'\r\n";
  const std::u16string lines =
      u"top=before any section\r\n; leading comment\r\n\r\n[L]\r\n; comment=1\r\n# hash=2\r\n"
      u"// slash=3\r\n\t\r\n   \r\n key one = value one \r\nkey\ttwo\t=\ttwo\t\r\n"
      u"bare key\r\n = no name\r\nthree==3\r\n[ Spaced Section ]\r\nk=spaced\r\n"
      u"[Tab\t]\r\nk=tab\r\n   [Indented]  \r\nk=indented\r\n[Junk] after\r\nk=junk\r\n"
      u"[a]b]\r\nk=ab\r\n[unclosed\r\nk=unclosed\r\n[]\r\nk=nameless\r\n";
  const std::u16string spaces =
      u"[W]\r\nvt=a\v\r\nff=b\f\r\nctrlz=c\x1A\r\nnbsp=d\u00A0\r\nideo=e\u3000\r\n"
      u"emsp=f\u2003\r\nlead=\u00A0g\r\n\x1Akey=h\r\n";
  const std::u16string longValues =
      u"[Long]\r\nfive=" + std::u16string(5000, u'x') + u"\r\nexact=" + std::u16string(4095, u'y') +
      u"\r\nover=" + std::u16string(4096, u'z') + u"\r\nquoted=\"" + std::u16string(4094, u'q') +
      u"\"\r\nfull=\"" + std::u16string(4095, u'f') + u"\"\r\nnum=" + std::u16string(4000, u'7') +
      u"\r\n";

  std::vector<CorpusFile> corpus;
  const auto add = [&](const std::string& name, const std::u16string& text) {
    corpus.push_back({name + "-ansi", Encode(text, Form::Ansi)});
    corpus.push_back({name + "-utf16le", Encode(text, Form::Utf16Le)});
  };
  add("profile", profile);
  add("blocks", blocks);
  add("integers", integers);
  add("duplicates", duplicates);
  add("quotes", quotes);
  add("lines", lines);
  add("spaces", spaces);
  add("long", longValues);
  corpus.push_back({"names-utf16le", Encode(names, Form::Utf16Le)});
  corpus.push_back({"names-utf16be", Encode(names, Form::Utf16Be)});
  corpus.push_back({"names-utf8", Encode(names, Form::Utf8)});
  // Only the names the code page can hold, as an ANSI file would have them.
  corpus.push_back({"names-ansi",
                    "[\xC4rger \xDF]\r\n\xD6l=\xE9t\xE9\r\n[Mixed Case]\r\n"
                    "camelkey=1\r\n[\x80\x89]\r\n\x8A=\x9F\r\n"});
  corpus.push_back({"lf-only", "[A]\nk=1\n\n[B]\nk=2"});
  corpus.push_back({"cr-only", "[A]\rk=1\r\r[B]\rk=2\r"});
  corpus.push_back({"mixed-ends", "[A]\r\nk=1\n\r[B]\r\r\nk=2\x1A"});
  corpus.push_back({"empty", ""});
  corpus.push_back({"bom-only", "\xFF\xFE"});
  corpus.push_back({"utf16-odd", Encode(u"[A]\r\nk=1\r\nj=2\r\n", Form::Utf16Le) + "\x41"});
  corpus.push_back({"utf16-no-bom", Encode(u"[A]\r\nk=1\r\n", Form::Utf16Le).substr(2)});
  corpus.push_back({"garbage", std::string("\x01\x02[A]\r\nk=\x7F\x80\xFE\r\n\x00\x00[B]\x00\r\n"
                                           "x\x00y=1\r\nk=2\x00z\r\n",
                                           37)});
  return corpus;
}

using Query = std::pair<std::u16string, std::u16string>;

std::u16string Padded(std::u16string_view before, std::u16string_view name,
                      std::u16string_view after) {
  std::u16string out(before);
  out.append(name);
  out.append(after);
  return out;
}

// What to look up in a file: every key with its section, found without our parser, also in
// other case and with padding, and names that are missing.
std::set<Query> Queries(const std::u16string& text) {
  const auto trim = [](std::u16string s) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!s.empty() && blank(s.front())) s.erase(s.begin());
    while (!s.empty() && blank(s.back())) s.pop_back();
    return s;
  };
  const auto upper = [](std::u16string s) {
    CharUpperBuffW(reinterpret_cast<wchar_t*>(s.data()), DWORD(s.size()));
    return s;
  };
  const auto lower = [](std::u16string s) {
    CharLowerBuffW(reinterpret_cast<wchar_t*>(s.data()), DWORD(s.size()));
    return s;
  };
  std::set<Query> queries = {{u"", u"missing"}, {u"Missing", u"k"}};
  std::u16string section;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t stop = text.find_first_of(u"\r\n", start);
    if (stop == std::u16string::npos) stop = text.size();
    const std::u16string line = trim(text.substr(start, stop - start));
    start = stop + 1;
    if (line.empty() || line.find(u'\0') != std::u16string::npos) continue;
    if (line[0] == u'[') {
      const std::size_t close = line.rfind(u']');
      section = line.substr(1, close == std::u16string::npos ? std::u16string::npos : close - 1);
      queries.insert({section, u"missing"});
      queries.insert({trim(section), u"k"});
      queries.insert({Padded(u" ", lower(section), u"\t"), u"K"});
    }
    const std::u16string key = trim(line.substr(0, line.find(u'=')));
    queries.insert({section, key});
    queries.insert({upper(section), lower(key)});
    queries.insert({Padded(u"\t", lower(section), u" "), Padded(u" ", upper(key), u"\t")});
    queries.insert({u"Missing", key});
    queries.insert({u"", key});
  }
  return queries;
}

std::u16string Decoded(const std::string& bytes) {
  // Good enough to find names: UTF-16 as such, everything else through the ANSI code page.
  if (bytes.size() >= 2 && (static_cast<unsigned char>(bytes[0]) == 0xFF ||
                            static_cast<unsigned char>(bytes[0]) == 0xFE)) {
    const bool big = static_cast<unsigned char>(bytes[0]) == 0xFE;
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const auto a = static_cast<unsigned char>(bytes[i]);
      const auto b = static_cast<unsigned char>(bytes[i + 1]);
      text.push_back(big ? char16_t(a << 8 | b) : char16_t(b << 8 | a));
    }
    return text;
  }
  const UINT codePage = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? CP_UTF8 : CP_ACP;
  std::wstring wide(bytes.size() + 1, L'\0');
  const int units = MultiByteToWideChar(codePage, 0, bytes.data(), int(bytes.size()), wide.data(),
                                        int(wide.size()));
  return std::u16string(AsU16(wide.data()), std::max(units, 0));
}

// --- Comparing -----------------------------------------------------------------------------

// Places where Wine's functions do something that would be a plain fault to copy; ours keep
// the sound behaviour there, and these cases are reported but not compared.
enum class Known { None, QuotedValueFillsBuffer, BlockNotExact };

struct Report {
  std::vector<std::string> mismatches;
  std::vector<std::string> quoted;    // Known::QuotedValueFillsBuffer
  std::vector<std::string> notExact;  // Known::BlockNotExact
  std::size_t lookups = 0;

  void Add(Known reason, std::string text) {
    switch (reason) {
      case Known::None:
        mismatches.push_back(std::move(text));
        break;
      case Known::QuotedValueFillsBuffer:
        quoted.push_back(std::move(text));
        break;
      case Known::BlockNotExact:
        notExact.push_back(std::move(text));
        break;
    }
  }
};

std::string Where(const std::string& file, const std::u16string& section,
                  const std::u16string& key) {
  return file + " [" + Printable(section) + "] " + Printable(key);
}

void CompareLookups(const std::string& label, const std::u16string& path, const IniDocument& doc,
                    const std::set<Query>& queries, Report& report) {
  for (const auto& [section, key] : queries) {
    {
      ++report.lookups;
      const std::optional<std::u16string> raw = doc.Find(section, key);
      for (const DWORD units : {DWORD(4096), DWORD(6), DWORD(1)}) {
        std::vector<wchar_t> buffer(units + 4, L'#');
        const DWORD length = GetPrivateProfileStringW(AsWide(section), AsWide(key), L"dflt  ",
                                                      buffer.data(), units, AsWide(path));
        const std::u16string api(AsU16(buffer.data()), length);
        const std::u16string ours = doc.GetText(section, key, u"dflt  ", units);
        if (api != ours) {
          // Wine drops the last character when the quoted value minus its opening quote is
          // exactly as long as the buffer.
          const bool quoted = raw && raw->size() >= 2 &&
                              ((*raw)[0] == u'"' || (*raw)[0] == u'\'') &&
                              raw->back() == (*raw)[0] && raw->size() - 1 == units;
          report.Add(quoted ? Known::QuotedValueFillsBuffer : Known::None,
                     Where(label, section, key) + " text(" + std::to_string(units) + "): api \"" +
                         Printable(api) + "\" ours \"" + Printable(ours) + "\"");
        }
      }
      const int apiInt =
          static_cast<int>(GetPrivateProfileIntW(AsWide(section), AsWide(key), -7, AsWide(path)));
      const int ourInt = doc.GetInt(section, key, -7);
      if (apiInt != ourInt) {
        report.Add(Known::None, Where(label, section, key) + " int: api " + std::to_string(apiInt) +
                                    " ours " + std::to_string(ourInt));
      }
      std::set<std::size_t> sizes = {1, 4};
      if (raw && raw->size() >= 2) {
        const std::size_t n = (raw->size() - 2) / 2;
        sizes.insert({n, n + 1});
        if (n > 0) sizes.insert(n - 1);
      }
      for (const std::size_t size : sizes) {
        std::vector<unsigned char> apiBuffer(size + 1, 0xA5);
        std::vector<unsigned char> ourBuffer(size + 1, 0xA5);
        const bool apiOk = GetPrivateProfileStructW(AsWide(section), AsWide(key), apiBuffer.data(),
                                                    UINT(size), AsWide(path)) != FALSE;
        const bool ourOk = doc.GetBlock(section, key, ourBuffer.data(), size);
        const std::string where =
            Where(label, section, key) + " block(" + std::to_string(size) + ")";
        if (apiOk != ourOk) {
          // Wine accepts any value at least 2N+2 long for N bytes and does not check that
          // the digits it uses are hex digits, so damaged and foreign values pass whenever
          // their checksum happens to match.
          bool exact = raw && raw->size() == 2 * size + 2;
          for (std::size_t i = 0; exact && i < raw->size(); ++i) {
            exact = std::iswxdigit((*raw)[i]) && (*raw)[i] < 0x80;
          }
          report.Add(apiOk && !exact ? Known::BlockNotExact : Known::None,
                     where + ": api " + std::to_string(apiOk) + " ours " + std::to_string(ourOk));
        } else if (apiOk && apiBuffer != ourBuffer) {
          report.Add(Known::None, where + ": accepted, different bytes");
        }
        if (!ourOk && ourBuffer != std::vector<unsigned char>(size + 1, 0xA5)) {
          report.Add(Known::None, where + ": our buffer written though refused");
        }
      }
    }
  }
}

void Expect(const Report& report, const char* what) {
  std::string shown;
  const std::size_t limit = GetEnvironmentVariableW(L"VIREO_SHOW_ALL", nullptr, 0) ? 100000 : 40;
  for (std::size_t i = 0; i < report.mismatches.size() && i < limit; ++i) {
    shown += report.mismatches[i] + "\n";
  }
  EXPECT_TRUE(report.mismatches.empty()) << report.mismatches.size() << " of " << report.lookups
                                         << " lookups differ (" << what << "):\n"
                                         << shown;
  EXPECT_GT(report.lookups, 0u);
  for (const auto* known : {&report.quoted, &report.notExact}) {
    if (!known->empty()) {
      std::printf("%s: %zu lookups where Wine's fault is not copied, e.g. %s\n", what,
                  known->size(), known->front().c_str());
    }
  }
}

// --- Writes --------------------------------------------------------------------------------

struct Change {
  enum class Kind { Int, Text, Block } kind;
  std::u16string section;
  std::u16string key;
  int number = 0;
  std::u16string text;
  std::vector<unsigned char> bytes;
};

std::vector<Change> Changes() {
  const auto bytes = [](std::size_t size, unsigned seed) {
    std::vector<unsigned char> out(size);
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<unsigned char>(seed * 11 + i * 29);
    return out;
  };
  using K = Change::Kind;
  return {
      {K::Int, u"GROUP0", u"GroupID", 3, {}, {}},
      {K::Int, u"group0", u"POLLINGRATE", -1, {}, {}},
      {K::Int, u"GROUP0", u"NewKey", 2147483647, {}, {}},
      {K::Int, u"Fresh Section", u"k", -2147483647 - 1, {}, {}},
      {K::Block, u"GROUP0", u"LEDSTATE_INFO", 0, {}, bytes(56, 1)},
      {K::Block, u"GROUP0", u"DPIStageValue", 0, {}, bytes(96, 2)},
      {K::Block, u"GROUP0", u"ButtonAssigned0_1", 0, {}, bytes(189, 3)},
      {K::Block, u"B", u"checksum", 0, {}, bytes(96, 4)},
      {K::Text, u"ButtonAssigned0_1", u"MacroName", 0, u"  leading spaces", {}},
      {K::Text, u"ButtonAssigned0_1", u"Quoted", 0, u"\"quoted\"", {}},
      {K::Text, u"ButtonAssigned0_1", u"Cyrillic", 0, u"\u041C\u0430\u043A\u0440\u043E\u0441", {}},
      {K::Text, u"ButtonAssigned0_1", u"Latin", 0, u"Caf\u00E9 \u20AC", {}},
      {K::Text, u"Long", u"five", 0, std::u16string(5000, u'w'), {}},
      {K::Text, u"Q", u"d", 0, u"", {}},
      {K::Text, u"I", u"pos", 0, u"trailing  ", {}},
      {K::Text, u"D", u"K", 0, u"changed first", {}},
      {K::Text, u"L", u"bare key", 0, u"now with value", {}},
      {K::Text, u"", u"top", 0, u"nameless section", {}},
      {K::Text, u"\u041C\u0430\u043A\u0440\u043E", u"\u0418\u043C\u044F", 0, u"new", {}},
      {K::Int, u"mixed case", u"camelkey", 99, {}, {}},
  };
}

void ApplyOurs(const std::u16string& path, const std::vector<Change>& changes, bool oneCommit) {
  IniFile file(path);
  if (oneCommit) {
    IniFile::Transaction transaction(file);
    for (const Change& c : changes) {
      if (c.kind == Change::Kind::Int) transaction.SetInt(c.section, c.key, c.number);
      if (c.kind == Change::Kind::Text) transaction.SetText(c.section, c.key, c.text);
      if (c.kind == Change::Kind::Block) {
        transaction.SetBlock(c.section, c.key, c.bytes.data(), c.bytes.size());
      }
    }
    EXPECT_TRUE(transaction.Commit());
    return;
  }
  for (const Change& c : changes) {
    if (c.kind == Change::Kind::Int) file.SetInt(c.section, c.key, c.number);
    if (c.kind == Change::Kind::Text) file.SetText(c.section, c.key, c.text);
    if (c.kind == Change::Kind::Block)
      file.SetBlock(c.section, c.key, c.bytes.data(), c.bytes.size());
  }
}

void ApplyApi(const std::u16string& path, const std::vector<Change>& changes) {
  for (const Change& c : changes) {
    if (c.kind == Change::Kind::Int) {
      EXPECT_TRUE(WritePrivateProfileStringW(AsWide(c.section), AsWide(c.key),
                                             AsWide(Number(c.number)), AsWide(path)));
    }
    if (c.kind == Change::Kind::Text) {
      EXPECT_TRUE(WritePrivateProfileStringW(AsWide(c.section), AsWide(c.key), AsWide(c.text),
                                             AsWide(path)));
    }
    if (c.kind == Change::Kind::Block) {
      std::vector<unsigned char> copy = c.bytes;
      EXPECT_TRUE(WritePrivateProfileStructW(AsWide(c.section), AsWide(c.key), copy.data(),
                                             UINT(copy.size()), AsWide(path)));
    }
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, AsWide(path));
  }
}

// --- The tests -----------------------------------------------------------------------------

class IniEquivalence : public testing::Test {
 protected:
  void SetUp() override {
    m_folder = TempTestFolder(u"vireo-ini-equivalence-");
    ASSERT_FALSE(m_folder.empty());
    ASSERT_TRUE(CreateFolder(m_folder));
  }
  void TearDown() override { RemoveTestFolder(m_folder); }

  std::u16string Place(const std::string& name, const std::string& bytes) {
    const std::u16string path = m_folder + std::u16string(name.begin(), name.end()) + u".ini";
    EXPECT_TRUE(ReplaceFileAtomically(path, bytes));
    return path;
  }
  std::string Bytes(const std::u16string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
  }

  std::u16string m_folder;
};

TEST_F(IniEquivalence, EveryLookupOfTheCorpusMatchesTheApi) {
  std::printf("ANSI code page %u\n", GetACP());
  Report report;
  for (const CorpusFile& file : Corpus()) {
    const std::u16string path = Place("read-" + file.name, file.bytes);
    CompareLookups(file.name, path, IniDocument::Parse(file.bytes), Queries(Decoded(file.bytes)),
                   report);
  }
  Expect(report, "corpus");
}

TEST_F(IniEquivalence, FilesWeWriteReadThroughTheApiAsThroughOurs) {
  const std::vector<Change> changes = Changes();
  Report report;
  std::vector<CorpusFile> files = Corpus();
  files.push_back({"new", {}});
  for (const CorpusFile& file : files) {
    for (const bool oneCommit : {true, false}) {
      const std::string name = "ours-" + file.name + (oneCommit ? "-tx" : "-each");
      std::u16string path = m_folder + std::u16string(name.begin(), name.end()) + u".ini";
      if (file.name != "new") path = Place(name, file.bytes);
      ApplyOurs(path, changes, oneCommit);
      const std::string written = Bytes(path);
      const IniDocument doc = IniFile(path).Load();
      CompareLookups(name, path, doc, Queries(Decoded(written)), report);
      // What we wrote reads back as written.
      for (const Change& c : changes) {
        if (c.kind == Change::Kind::Int) {
          EXPECT_EQ(doc.GetInt(c.section, c.key, 0), c.number) << name;
        }
        if (c.kind == Change::Kind::Block) {
          std::vector<unsigned char> back(c.bytes.size());
          EXPECT_TRUE(doc.GetBlock(c.section, c.key, back.data(), back.size())) << name;
          EXPECT_EQ(back, c.bytes) << name;
        }
      }
      EXPECT_EQ(doc.GetText(u"ButtonAssigned0_1", u"Cyrillic", u""),
                u"\u041C\u0430\u043A\u0440\u043E\u0441")
          << name;
      if (file.name == "new") {
        EXPECT_EQ(written.substr(0, 2), "\xFF\xFE");
      }
    }
  }
  Expect(report, "written by us");
}

TEST_F(IniEquivalence, FilesTheApiWritesReadThroughOursAsThroughTheApi) {
  const std::vector<Change> changes = Changes();
  Report report;
  std::vector<CorpusFile> files = Corpus();
  files.push_back({"new", {}});
  for (const CorpusFile& file : files) {
    const std::string name = "api-" + file.name;
    std::u16string path = m_folder + std::u16string(name.begin(), name.end()) + u".ini";
    if (file.name != "new") path = Place(name, file.bytes);
    ApplyApi(path, changes);
    const std::string written = Bytes(path);
    CompareLookups(name, path, IniDocument::Parse(written), Queries(Decoded(written)), report);
  }
  Expect(report, "written by the API");
}

}  // namespace

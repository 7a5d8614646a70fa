// Writes the seed inputs of the fuzz corpora (fuzz/corpus/<target>/seed-*) from the real code:
// profile and macro files as the programs save them, link frames as both ends send them.
// Usage: fuzz_seeds <corpus folder>. The campaign's finds are merged in beside them.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "settings/macro_library.h"
#include "settings/profile_files.h"
#include "tests/unit/support/sample_profiles.h"
#include "contract/link_frame.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(Bytes& out, std::string_view bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}
void PutWord(Bytes& out, std::size_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
}
void PutSized(Bytes& out, std::string_view bytes) {
  PutWord(out, bytes.size());
  Put(out, bytes);
}
// The bytes FuzzInput::Units turns into `text`.
void PutUnits(Bytes& out, std::u16string_view text) {
  out.push_back(static_cast<std::uint8_t>(text.size()));
  for (char16_t c : text) {
    const std::size_t at = kInterestingUnits.find(c);
    out.push_back(static_cast<std::uint8_t>(at != std::u16string_view::npos ? at : c));
  }
}

void Write(const fs::path& folder, const std::string& name, const Bytes& bytes) {
  fs::create_directories(folder);
  std::ofstream(folder / ("seed-" + name), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const fs::path corpus = argv[1];
  const fs::path work = fs::temp_directory_path() / ("vireo-seeds-" + std::to_string(::getpid()));
  fs::create_directories(work / "MacroDB");
  const std::u16string data = work.u16string() + u"/";

  // Profile files as saved.
  SaveProfileFiles(MakeSampleProfileSet(), data);
  std::string profile[kProfileCount];
  for (int n = 1; n <= kProfileCount; ++n) {
    profile[n - 1] = ReadFile(work / ("QVProfile" + std::to_string(n) + ".pfd"));
  }
  Bytes set;
  for (const std::string& file : profile) PutSized(set, file);
  Write(corpus / "profile_files", "sample-set", set);
  Bytes handWritten;
  PutSized(handWritten,
           "[GROUP0]\r\nGroupID=2\r\nPollingRate=0x10\r\nDPIStageNum=3\r\n"
           "DPIStageValue=0102030405\r\n[ButtonAssigned0_1]\r\nButtonFunc=7\r\n");
  Write(corpus / "profile_files", "hand-written", handWritten);

  // Macro files and the index.
  MacroLibrary library(data);
  Macro macro;
  macro.Name = u"Combo";
  macro.Append(KeyRecord(0x04, true));
  macro.Append(*DelayRecord(120));
  macro.Append(KeyRecord(0x04, false));
  library.CreateMacro(u"Combo");
  library.SaveMacro(macro);
  library.AddMacroName(u"'Quoted'");
  const std::string index = ReadFile(work / "MacroDB" / "MacroSet.MSDB");
  const std::string macroFile = ReadFile(work / "MacroDB" / "Combo.MSMACRO");
  Bytes macros;
  PutSized(macros, index);
  PutUnits(macros, u"Combo");
  PutSized(macros, macroFile);
  PutUnits(macros, u"foo");
  for (std::uint8_t b : {3, 4, 1, 5, 0, 200}) macros.push_back(b);
  PutWord(macros, 7);
  for (int i = 0; i < 30; ++i) macros.push_back(static_cast<std::uint8_t>(i % 3 ? 0x04 : 0x81));
  Write(corpus / "macro_library", "library", macros);

  // INI documents with a few writes each.
  const std::string documents[] = {
      profile[0], macroFile, index,
      "; hand\r\n[A]\r\nk = v \r\nbare\r\nq='x'\r\n[a]\r\nk=2\n\n\n[B]\rx=0X10",
      "\xEF\xBB\xBF[\xC3\x84]\r\nk=\xE2\x82\xAC\r\n"};
  int n = 0;
  for (const std::string& doc : documents) {
    Bytes seed;
    PutSized(seed, doc);
    PutUnits(seed, u"GROUP0");
    PutUnits(seed, u"PollingRate");
    PutUnits(seed, u"A");
    PutUnits(seed, u"k");
    seed.push_back(0);
    PutUnits(seed, u"'Boss'");
    PutUnits(seed, u"New");
    PutUnits(seed, u"n");
    seed.push_back(1);
    PutWord(seed, 0x1234);
    PutWord(seed, 0x8000);
    Write(corpus / "ini", "doc" + std::to_string(n++), seed);
  }

  // Read-back answers: plausible, all ones, all zeros.
  for (int kind = 0; kind < 3; ++kind) {
    Bytes answers;
    for (int read = 0; read < 150; ++read) {
      answers.push_back(0x08);
      for (int i = 0; i < 8; ++i) {
        answers.push_back(kind == 0   ? static_cast<std::uint8_t>((read + i) % 7)
                          : kind == 1 ? 0xFF
                                      : 0);
      }
    }
    Write(corpus / "read_back", "answers" + std::to_string(kind), answers);
  }

  // Input reports: a status change, a PC function, a short one.
  Bytes reports;
  for (const Bytes& report : {Bytes{0x01, 0x08, 0x02}, Bytes{0x03, 0x12}, Bytes{0x02}}) {
    PutWord(reports, 0x22);
    reports.push_back(static_cast<std::uint8_t>(report.size()));
    reports.insert(reports.end(), report.begin(), report.end());
  }
  Write(corpus / "input_report", "reports", reports);

  // Text.
  for (std::u16string text : {std::u16string(u"  -12"), std::u16string(u"\"C:\\mail.exe\" -n"),
                              std::u16string(u"0x1F"), std::u16string(u"Makro \u00E9")}) {
    Bytes seed;
    PutUnits(seed, text);
    PutUnits(seed, u"6");
    PutUnits(seed, u"10");
    Write(corpus / "text", "text" + std::to_string(n++), seed);
  }

  // The link: what each end sends, in pieces of 20 bytes.
  Bytes stream;
  const Bytes report(16, 2);
  for (const Bytes& frame :
       {HelloFrame(), DeviceFrame(0x1234, 0x5678), OpenFrame(0x22, 0xFFA0, 1),
        WriteFrame(0x22, report), ReadFrame(0x22, 16, Bytes{2, 0xF2}), AnswerFrame(report),
        InputFrame(0x11, Bytes{1, 8, 2}), CloseFrame(0x22)}) {
    stream.insert(stream.end(), frame.begin(), frame.end());
  }
  Bytes pieces;
  for (std::size_t at = 0; at < stream.size(); at += 20) {
    pieces.push_back(19);
    pieces.insert(pieces.end(), stream.begin() + static_cast<std::ptrdiff_t>(at),
                  stream.begin() + static_cast<std::ptrdiff_t>(std::min(at + 20, stream.size())));
  }
  Write(corpus / "link_frame", "both-ends", pieces);

  // A small mask.
  Bytes mask = {40, 0, 30, 0, 1, 0, 255, 0, 255, 10, 0};
  for (int i = 0; i < 200; ++i) mask.push_back(static_cast<std::uint8_t>(i * 37));
  Write(corpus / "region", "mask", mask);

  fs::remove_all(work);
  return 0;
}

// The text and number parsers: registry integers and pointer speeds, the stored acceleration
// texts, the mail command, UTF-8, macro names and file names, key captions, INI integers and
// blocks. Each answers within its stated range, and the conversions that should round-trip do.
#include <cstdint>
#include <string>

#include "agent/mail_command.h"
#include "agent/pointer_speed.h"
#include "agent/windows_pointer_settings.h"
#include "fuzz/fuzz_input.h"
#include "settings/ini_document.h"
#include "settings/key_tables.h"
#include "settings/macro_library.h"
#include "settings/macro_name.h"
#include "settings/utf8.h"

namespace {

bool IsWellFormed(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::u16string text = input.Units(kInterestingUnits, 255);

  ParseRegistryInteger(text);
  if (const std::optional<std::int32_t> speed = PointerSpeedOf(text)) {
    FUZZ_CHECK(*speed >= 1 && *speed <= 20);  // the speeds Windows has
  }
  StoredMouseTexts stored;
  stored.Speed = text;
  stored.Threshold1 = input.Units(kInterestingUnits, 12);
  stored.Threshold2 = input.Units(kInterestingUnits, 12);
  const MouseAcceleration acceleration = StoredMouseAccelerationOf(stored);
  FUZZ_CHECK(acceleration.Threshold1 >= 0 && acceleration.Threshold2 >= 0);
  FUZZ_CHECK(acceleration.Speed >= 0 && acceleration.Speed <= kMaxMouseAccelerationLevel);
  const std::int32_t clicks = static_cast<std::int32_t>(input.Word() << 16 | input.Word());
  const std::uint32_t time = DoubleClickTimeOf(clicks);
  FUZZ_CHECK(time >= 200 && time <= 900);

  const std::u16string program = MailProgramFromCommand(text);
  FUZZ_CHECK(program.empty() || program.size() < text.size());

  // UTF-8 both ways.
  const std::string utf8 = ToUtf8(text);
  if (IsWellFormed(text)) FUZZ_CHECK(Utf8ToUtf16(utf8) == text);
  Utf8ToUtf16(input.Text(input.Byte()));

  // Names.
  if (IsValidMacroName(text)) {
    FUZZ_CHECK(MacroNameOfFile(u"C:\\x\\" + text + u".MSDB") == text);
    FUZZ_CHECK(text.find_first_of(u"\\/:") == std::u16string::npos);
  }
  FUZZ_CHECK(SameMacroName(text, text));
  const std::u16string other = input.Units(kInterestingUnits, 8);
  FUZZ_CHECK(SameMacroName(text, other) == SameMacroName(other, text));

  // Keys.
  const std::vector<std::uint8_t> keys = input.Bytes(kKeyBlockSize);
  std::vector<std::uint8_t> block(kKeyBlockSize, 0);
  std::copy(keys.begin(), keys.end(), block.begin());
  CombinationCaption(block, input.Byte());
  UsageKeyName(input.Word());
  KeyName(input.Word());

  // INI values.
  IniDocument doc;
  doc.SetText(u"S", u"k", text);
  doc.GetInt(u"S", u"k", 0);
  unsigned char bytes[16];
  DecodeIniBlock(text, bytes, input.Below(sizeof bytes + 1));
  return 0;
}

#include "settings/macro_record.h"

MacroRecord KeyRecord(std::uint8_t usage, bool press) {
  return {static_cast<std::uint8_t>(kMacroKindKey | (press ? kMacroPressFlag : 0)), usage, 0};
}

MacroRecord MouseButtonRecord(int button, bool press) {
  std::uint8_t bit = 0;
  switch (button) {
    case 1:
      bit = 1;
      break;
    case 2:
      bit = 2;
      break;
    case 3:
      bit = 4;
      break;
    default:
      break;
  }
  return {static_cast<std::uint8_t>(kMacroKindMouseButton | (press ? kMacroPressFlag : 0)), bit, 0};
}

std::optional<MacroRecord> DelayRecord(long long milliseconds) {
  if (milliseconds < 10) return std::nullopt;
  const long long units = milliseconds >= 65535 ? kMacroMaxDelayUnits : milliseconds / 10;
  return MacroRecord{kMacroKindDelay, static_cast<std::uint8_t>(units & 0xFF),
                     static_cast<std::uint8_t>((units >> 8) & 0xFF)};
}

int DelayMilliseconds(const MacroRecord& record) {
  return (record.Data1 | (record.Data2 << 8)) * 10;
}

int MouseButtonNumber(const MacroRecord& record) {
  switch (record.Data1) {
    case 1:
      return 1;
    case 2:
      return 2;
    case 4:
      return 3;
    default:
      return RecordKind(record);
  }
}

int CountAreaRecords(std::span<const std::uint8_t> areaBytes) {
  int count = 0;
  while (count < kMacroRecordCapacity && (count + 1) * 3 <= static_cast<int>(areaBytes.size())) {
    const std::uint8_t* r = areaBytes.data() + count * 3;
    const bool end = (r[0] == 0 && r[1] == 0 && r[2] == 0) ||
                     (r[0] == 0xFF && r[1] == 0xFF && (r[2] == 0xFF || r[2] == 0));
    if (end) break;
    ++count;
  }
  return count;
}

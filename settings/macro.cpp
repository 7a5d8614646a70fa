#include "settings/macro.h"

#include <algorithm>

bool Macro::Append(const MacroRecord& record) {
  if (Count < 0) Count = 0;
  if (Count >= kMacroRecordCapacity) return false;
  Records[Count++] = record;
  return true;
}

int Macro::NonEmptyRecordCount() const {
  return static_cast<int>(std::count_if(Records.begin(), Records.end(),
                                        [](const MacroRecord& r) { return !IsEmptyRecord(r); }));
}

std::span<const MacroRecord> Macro::StoredRecords() const {
  const int count = std::clamp(Count, 0, kMacroRecordCapacity);
  return std::span<const MacroRecord>(Records.data(), static_cast<std::size_t>(count));
}

std::uint16_t DeviceRepeatCount(const Macro& macro) {
  switch (macro.LoopType) {
    case 1:
    case 3:
      return 0xFFFF;
    case 2:
      return 1;
    default:
      return static_cast<std::uint16_t>(std::clamp(macro.LoopTime, 1, 0xFFFF));
  }
}

int EditorLoopTime(const Macro& macro) {
  if (macro.LoopType != 0) return 1;
  return macro.LoopTime == 0 ? 1 : macro.LoopTime;
}

std::uint8_t LoopNumberOfLoopTime(int loopTime) {
  return static_cast<std::uint8_t>(std::clamp(loopTime, 1, kMaxLoopTime));
}

int LoopTimeOfLoopNumber(std::uint8_t loopNumber) {
  return loopNumber == 0 ? 1 : loopNumber;
}

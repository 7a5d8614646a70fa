#pragma once
// Macro: a named list of up to 63 records with its playback settings, as one macro file holds
// it. A default Macro is what a newly created macro is written with.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "settings/macro_record.h"

struct Macro {
  std::u16string Name;
  std::array<MacroRecord, kMacroRecordCapacity> Records{};
  int Count = 0;          // "Count": records in use, packed from record 0
  int LoopTime = 1;       // repeat count for playback mode 0
  int DefDelayTime = 10;  // ms between recorded events in delay modes 1 and 2
  int LoopType = 0;       // playback mode 0..3
  int DelayType = 1;      // delay mode 0..2

  // Stores the record after the used ones; false when all 63 are used.
  bool Append(const MacroRecord& record);

  // The editor's count: the non-empty records among all 63, wherever they are.
  int NonEmptyRecordCount() const;
  // What the agent sends to the mouse: the first "Count" records (at most 63).
  std::span<const MacroRecord> StoredRecords() const;
};
static_assert(sizeof(Macro::Records) == kMacroBlockSize);

// The repeat count the mouse plays the macro with: 0xFFFF for the endless modes 1 and 3, once
// for mode 2, otherwise "LoopTime" (0 counts as 1), kept within 16 bits.
std::uint16_t DeviceRepeatCount(const Macro& macro);
// The repeat count the editor shows: "LoopTime" in mode 0 (0 shown as 1), 1 in every other mode.
int EditorLoopTime(const Macro& macro);

// The largest repeat count the editor takes.
inline constexpr int kMaxLoopTime = 255;
// A macro button's "LoopNumber" byte holds the macro's "LoopTime": 1..255, with 0 (which plays
// once) as 1 and anything larger than a byte holds as 255, never wrapped into another count.
std::uint8_t LoopNumberOfLoopTime(int loopTime);
// The repeat count a "LoopNumber" stands for; 0 counts as 1.
int LoopTimeOfLoopNumber(std::uint8_t loopNumber);

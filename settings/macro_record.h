#pragma once
// MacroRecord: one step of a macro as stored in macro files and in the mouse's macro areas.
// Byte 0 holds the kind in bits 0-6 and, for keys and mouse buttons, bit 7 set for a press.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

struct MacroRecord {
  std::uint8_t Type = 0;
  std::uint8_t Data1 = 0;
  std::uint8_t Data2 = 0;

  friend bool operator==(const MacroRecord&, const MacroRecord&) = default;
};
static_assert(sizeof(MacroRecord) == 3, "records are stored as three bytes");

inline constexpr int kMacroRecordCapacity = 63;
inline constexpr std::size_t kMacroBlockSize = kMacroRecordCapacity * sizeof(MacroRecord);
static_assert(kMacroBlockSize == 189);

inline constexpr std::uint8_t kMacroKindMouseButton = 1;
inline constexpr std::uint8_t kMacroKindKey = 4;
inline constexpr std::uint8_t kMacroKindDelay = 6;
inline constexpr std::uint8_t kMacroPressFlag = 0x80;

// The largest delay a record holds, in 10 ms units (65530 ms).
inline constexpr int kMacroMaxDelayUnits = 6553;

// A key press or release; `usage` is the HID keyboard usage (0 for a key without one).
MacroRecord KeyRecord(std::uint8_t usage, bool press);
// A press or release of mouse button 1, 2 or 3 (stored as the button bit 1, 2 or 4).
MacroRecord MouseButtonRecord(int button, bool press);
// A delay in 10 ms units: nothing below 10 ms, and 65535 ms or more gives 6553.
std::optional<MacroRecord> DelayRecord(long long milliseconds);

inline bool IsEmptyRecord(const MacroRecord& r) {
  return r.Type == 0 && r.Data1 == 0 && r.Data2 == 0;
}
inline int RecordKind(const MacroRecord& r) {
  return r.Type & 0x7F;
}
inline bool IsPressRecord(const MacroRecord& r) {
  return (r.Type & kMacroPressFlag) != 0;
}
inline bool IsKeyRecord(const MacroRecord& r) {
  return RecordKind(r) == kMacroKindKey;
}
inline bool IsDelayRecord(const MacroRecord& r) {
  return RecordKind(r) == kMacroKindDelay;
}
// Kinds 2 and 3 are read as mouse buttons too; writers use kind 1 only.
inline bool IsMouseButtonRecord(const MacroRecord& r) {
  return RecordKind(r) >= 1 && RecordKind(r) <= 3;
}

// The delay of a delay record in milliseconds (units times 10).
int DelayMilliseconds(const MacroRecord& record);
// Button number of a mouse-button record: bit 1, 2, 4 -> button 1, 2, 3; any other byte gives
// the record's kind.
int MouseButtonNumber(const MacroRecord& record);

// Number of records in a macro area read from the mouse: they end at the first record
// 00 00 00, FF FF FF or FF FF 00, after 63 records, or where the bytes run out.
int CountAreaRecords(std::span<const std::uint8_t> areaBytes);

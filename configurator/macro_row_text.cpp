#include "configurator/macro_row_text.h"

#include "settings/key_tables.h"
#include "skin/core/list_rows.h"

namespace {

constexpr unsigned kLeftWindowsVk = 0x5B;
constexpr unsigned kRightWindowsVk = 0x5C;
// The key-name table names both Windows keys "Win" by their shared index; these two name each.
constexpr unsigned kLeftWindowsNameIndex = 244;
constexpr unsigned kRightWindowsNameIndex = 245;

constexpr std::u16string_view kKeyColumn = u"               ";  // 15 spaces

}  // namespace

std::u16string MacroKeyName(std::uint8_t usage) {
  unsigned vk = 0;
  if (!VkOfUsage(usage, vk)) return {};
  if (vk == kLeftWindowsVk) return std::u16string(KeyName(kLeftWindowsNameIndex));
  if (vk == kRightWindowsVk) return std::u16string(KeyName(kRightWindowsNameIndex));
  return std::u16string(KeyName(KeyIndexOfVk(vk)));
}

std::u16string MacroRowText(const MacroRecord& record, const MouseButtonNames& buttons) {
  if (IsDelayRecord(record)) return DelayRowText(DelayMilliseconds(record));
  if (IsMouseButtonRecord(record)) {
    const int button = MouseButtonNumber(record);
    return std::u16string(kKeyColumn) + buttons[static_cast<std::size_t>(button - 1)];
  }
  return std::u16string(kKeyColumn) + MacroKeyName(record.Data1);
}

std::uintptr_t MacroRowData(const MacroRecord& record) {
  if (IsDelayRecord(record)) return 0;
  return IsPressRecord(record) ? kPressRowData : kReleaseRowData;
}

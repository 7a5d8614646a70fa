#include "conduit/hid_report_table.h"

#include <cstdio>
#include <vector>

namespace {

constexpr HIDP_REPORT_TYPE kHidpTypes[3] = {HidP_Input, HidP_Output, HidP_Feature};

}  // namespace

void HidReportTable::AddBits(Type type, uint8_t id, uint32_t bits) {
  m_bits[type][id] += bits;
  const uint32_t bytes = 1 + (m_bits[type][id] + 7) / 8;  // the report id comes first
  m_lengths[type][id] = static_cast<uint16_t>(bytes > 0xFFFF ? 0xFFFF : bytes);
}

bool HidReportTable::Read(const HidApi& api, PHIDP_PREPARSED_DATA preparsed,
                          const HIDP_CAPS& caps) {
  m_typeLengths = {caps.InputReportByteLength, caps.OutputReportByteLength,
                   caps.FeatureReportByteLength};
  const USHORT valueCounts[3] = {caps.NumberInputValueCaps, caps.NumberOutputValueCaps,
                                 caps.NumberFeatureValueCaps};
  const USHORT buttonCounts[3] = {caps.NumberInputButtonCaps, caps.NumberOutputButtonCaps,
                                  caps.NumberFeatureButtonCaps};
  for (int type = 0; type < 3; ++type) {
    if (valueCounts[type] > 0) {
      std::vector<HIDP_VALUE_CAPS> values(valueCounts[type]);
      USHORT count = valueCounts[type];
      if (api.GetValueCaps(kHidpTypes[type], values.data(), &count, preparsed) !=
          HIDP_STATUS_SUCCESS) {
        return false;
      }
      for (USHORT i = 0; i < count && i < values.size(); ++i) {
        const HIDP_VALUE_CAPS& value = values[i];
        AddBits(static_cast<Type>(type), value.ReportID,
                static_cast<uint32_t>(value.BitSize) * value.ReportCount);
      }
    }
    if (buttonCounts[type] > 0) {
      std::vector<HIDP_BUTTON_CAPS> buttons(buttonCounts[type]);
      USHORT count = buttonCounts[type];
      if (api.GetButtonCaps(kHidpTypes[type], buttons.data(), &count, preparsed) !=
          HIDP_STATUS_SUCCESS) {
        return false;
      }
      for (USHORT i = 0; i < count && i < buttons.size(); ++i) {
        const HIDP_BUTTON_CAPS& button = buttons[i];
        // One bit per usage of the range.
        const uint32_t usages =
            button.IsRange
                ? static_cast<uint32_t>(button.Range.UsageMax - button.Range.UsageMin) + 1
                : 1;
        AddBits(static_cast<Type>(type), button.ReportID, usages);
      }
    }
  }
  return true;
}

std::string HidReportTable::Describe() const {
  static const char* const kNames[3] = {"in", "out", "feature"};
  std::string text;
  for (int id = 0; id < 256; ++id) {
    char entry[96];
    int used = std::snprintf(entry, sizeof entry, "%s %d", text.empty() ? "" : ",", id);
    bool declared = false;
    for (int type = 0; type < 3; ++type) {
      if (m_lengths[type][id] == 0) continue;
      declared = true;
      used += std::snprintf(entry + used, sizeof entry - used, " %s %u", kNames[type],
                            m_lengths[type][id]);
    }
    if (declared) text.append(entry);
  }
  char lengths[96];
  std::snprintf(lengths, sizeof lengths, "reports in %u out %u feature %u bytes;",
                m_typeLengths.Input, m_typeLengths.Output, m_typeLengths.Feature);
  std::string described(lengths);
  described.append(text.empty() ? " no report ids declared" : " ids");
  described.append(text);
  return described;
}

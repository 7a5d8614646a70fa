#include "configurator/macro_editor.h"

#include <algorithm>
#include <utility>

#include "settings/key_tables.h"

namespace {

// A key or mouse button as the balance check tells them apart.
struct Pressable {
  bool key;
  std::uint8_t code;
  bool operator==(const Pressable&) const = default;
};

bool IsPressable(const MacroRecord& record) {
  return IsKeyRecord(record) || IsMouseButtonRecord(record);
}

}  // namespace

bool IsHookPress(unsigned flags) {
  return flags == 0 || flags == 1;
}

bool IsHookRelease(unsigned flags) {
  return flags == 0x80 || flags == 0x81;
}

bool IsMacroBalanced(std::span<const MacroRecord> records) {
  std::vector<Pressable> presses;
  int releases = 0;
  for (const MacroRecord& record : records) {
    if (!IsPressable(record)) continue;
    if (IsPressRecord(record)) {
      presses.push_back({IsKeyRecord(record), record.Data1});
    } else {
      ++releases;
    }
  }
  if (presses.empty()) return true;
  if (releases < static_cast<int>(presses.size())) return false;
  for (const MacroRecord& record : records) {
    if (!IsPressable(record) || IsPressRecord(record)) continue;
    std::erase(presses, Pressable{IsKeyRecord(record), record.Data1});
  }
  return presses.empty();
}

void MacroEditor::Load(Macro macro) {
  m_recording = false;
  m_hasMacro = true;
  // Whatever the file holds, the records are packed and nothing past 63 is used.
  std::array<MacroRecord, kMacroRecordCapacity> packed{};
  int count = 0;
  for (const MacroRecord& record : macro.Records) {
    if (!IsEmptyRecord(record)) packed[count++] = record;
  }
  macro.Records = packed;
  macro.Count = count;
  if (macro.DelayType < kDelayMeasured || macro.DelayType > kDelayFixedHidden) {
    macro.DelayType = kDelayFixedHidden;
  }
  if (macro.LoopType < kLoopRepeatCount || macro.LoopType > kLoopMode3) {
    macro.LoopType = kLoopRepeatCount;
  }
  macro.LoopTime = std::clamp(EditorLoopTime(macro), 1, kMaxLoopTime);
  macro.DefDelayTime = std::max(macro.DefDelayTime, kMinFixedDelayMs);
  m_macro = std::move(macro);
  m_saved = Current();
  m_selected = -1;
  RebuildRows();
  SelectRow(0);
}

void MacroEditor::Unload() {
  m_recording = false;
  m_hasMacro = false;
  m_macro = Macro{};
  m_macro.Count = 0;
  m_saved = Current();
  m_rows.clear();
  m_selected = -1;
}

Macro MacroEditor::Current() const {
  Macro macro = m_macro;
  if (macro.LoopType != kLoopRepeatCount) macro.LoopTime = 1;
  macro.DefDelayTime = std::max(macro.DefDelayTime, kMinFixedDelayMs);
  return macro;
}

unsigned MacroEditor::TakeChanges() {
  if (!m_hasMacro) return kNoChange;
  const Macro now = Current();
  unsigned changes = kNoChange;
  if (now.Count != m_saved.Count || now.Records != m_saved.Records) changes |= kRecordsChanged;
  if (now.LoopType != m_saved.LoopType || now.LoopTime != m_saved.LoopTime) {
    changes |= kPlaybackChanged;
  }
  if (now.DelayType != m_saved.DelayType || now.DefDelayTime != m_saved.DefDelayTime) {
    changes |= kSettingsChanged;
  }
  m_saved = now;
  return changes;
}

int MacroEditor::RecordOfRow(int row) const noexcept {
  return row >= 0 && row < RowCount() ? m_rows[static_cast<std::size_t>(row)] : -1;
}

int MacroEditor::RowOfRecord(int record) const noexcept {
  const auto found = std::find(m_rows.begin(), m_rows.end(), record);
  return found == m_rows.end() ? -1 : static_cast<int>(found - m_rows.begin());
}

void MacroEditor::SelectRow(int row) noexcept {
  m_selected = row >= 0 && row < RowCount() ? row : -1;
}

int MacroEditor::TotalDelayMs() const {
  int total = 0;
  for (int i = 0; i < m_macro.Count; ++i) {
    if (IsDelayRecord(m_macro.Records[i])) total += DelayMilliseconds(m_macro.Records[i]);
  }
  return total;
}

void MacroEditor::InsertRecord(int at, const MacroRecord& record) {
  if (m_macro.Count >= kMacroRecordCapacity) return;
  at = std::clamp(at, 0, m_macro.Count);
  auto& records = m_macro.Records;
  std::move_backward(records.begin() + at, records.begin() + m_macro.Count,
                     records.begin() + m_macro.Count + 1);
  records[at] = record;
  ++m_macro.Count;
}

void MacroEditor::RemoveRecord(int at) {
  if (at < 0 || at >= m_macro.Count) return;
  auto& records = m_macro.Records;
  std::move(records.begin() + at + 1, records.begin() + m_macro.Count, records.begin() + at);
  records[--m_macro.Count] = MacroRecord{};
}

void MacroEditor::RebuildRows(std::optional<int> selectRecord) {
  const int keep = selectRecord.value_or(RecordOfRow(m_selected));
  m_rows.clear();
  for (int i = 0; i < m_macro.Count; ++i) {
    if (m_macro.DelayType == kDelayFixedHidden && IsDelayRecord(m_macro.Records[i])) continue;
    m_rows.push_back(i);
  }
  if (keep < 0) {
    m_selected = -1;
    return;
  }
  // The row of that record, or of the nearest shown record before it.
  m_selected = -1;
  for (int row = 0; row < RowCount() && m_rows[static_cast<std::size_t>(row)] <= keep; ++row) {
    m_selected = row;
  }
}

int MacroEditor::InsertionPoint() const noexcept {
  return m_selected >= 0 ? RecordOfRow(m_selected) + 1 : 0;
}

void MacroEditor::StartRecording(bool insert) {
  m_recording = true;
  m_insert = insert;
  m_lastTick.reset();
  m_lastEvent.reset();
  if (!insert) {
    m_macro.Records = {};
    m_macro.Count = 0;
    RebuildRows();
  }
}

bool MacroEditor::OnHookKey(unsigned vk, unsigned flags, std::uint32_t now) {
  if (!m_recording || (!IsHookPress(flags) && !IsHookRelease(flags))) return false;
  const HookEvent event{vk, flags};
  if (m_lastEvent == event) return false;  // a held key repeats its press
  if (m_macro.Count >= kMacroRecordCapacity) return false;

  long long delay = 0;
  if (m_macro.DelayType == kDelayMeasured) {
    // Unsigned difference: correct across the tick counter's wrap.
    delay = m_lastTick ? static_cast<std::uint32_t>(now - *m_lastTick) : 0;
  } else if (m_lastTick) {
    delay = std::max(m_macro.DefDelayTime, kMinFixedDelayMs);
  }
  int at = m_insert ? InsertionPoint() : m_macro.Count;
  int last = -1;
  if (const std::optional<MacroRecord> record = DelayRecord(delay / 10 * 10)) {
    InsertRecord(at, *record);
    last = at++;
  }
  // A delay that took the last place leaves no room for its key.
  if (m_macro.Count < kMacroRecordCapacity) {
    unsigned usage = 0;
    UsageOfVk(vk, usage);
    InsertRecord(at, KeyRecord(static_cast<std::uint8_t>(usage), IsHookPress(flags)));
    last = at;
  }
  RebuildRows(last);
  // A hidden delay has no row: the row before it stays selected.
  m_lastTick = now;
  m_lastEvent = event;
  return true;
}

bool MacroEditor::InsertMouseClick(int button) {
  if (!m_hasMacro || button < 1 || button > 3) return false;
  if (m_macro.Count > kMacroRecordCapacity - 2) return false;  // a click needs two records
  const int at = InsertionPoint();
  InsertRecord(at, MouseButtonRecord(button, true));
  InsertRecord(at + 1, MouseButtonRecord(button, false));
  RebuildRows(at + 1);
  return true;
}

bool MacroEditor::DeleteRow() {
  const int record = RecordOfRow(m_selected);
  if (record < 0) return false;
  const int row = m_selected;
  RemoveRecord(record);
  RebuildRows(-1);
  SelectRow(std::min(row, RowCount() - 1));
  return true;
}

bool MacroEditor::MoveUp() {
  if (m_selected <= 0 || m_selected >= RowCount()) return false;
  const int record = RecordOfRow(m_selected), above = RecordOfRow(m_selected - 1);
  std::swap(m_macro.Records[record], m_macro.Records[above]);
  RebuildRows(above);
  return true;
}

bool MacroEditor::MoveDown() {
  if (m_selected < 0 || m_selected + 1 >= RowCount()) return false;
  const int record = RecordOfRow(m_selected), below = RecordOfRow(m_selected + 1);
  std::swap(m_macro.Records[record], m_macro.Records[below]);
  RebuildRows(below);
  return true;
}

bool MacroEditor::Copy() {
  const int record = RecordOfRow(m_selected);
  if (record < 0) return false;
  m_clipboard = m_macro.Records[record];
  return true;
}

bool MacroEditor::Cut() {
  if (!Copy()) return false;
  const int row = m_selected;
  RemoveRecord(RecordOfRow(row));
  RebuildRows(-1);
  SelectRow(row - 1);
  return true;
}

bool MacroEditor::Paste() {
  if (!m_hasMacro || !m_clipboard || m_macro.Count >= kMacroRecordCapacity) return false;
  const int at = InsertionPoint();
  InsertRecord(at, *m_clipboard);
  RebuildRows(at);
  return true;
}

bool MacroEditor::SetRowDelay(int row, int milliseconds) {
  const int record = RecordOfRow(row);
  if (record < 0 || !IsDelayRecord(m_macro.Records[record])) return false;
  const int units = std::clamp(milliseconds, kMinDelayMs, kMaxDelayMs) / 10;
  m_macro.Records[record] = MacroRecord{kMacroKindDelay, static_cast<std::uint8_t>(units & 0xFF),
                                        static_cast<std::uint8_t>(units >> 8)};
  return true;
}

void MacroEditor::ClickDelayBox(bool ticked) {
  m_macro.DelayType = ticked ? kDelayMeasured : kDelayFixedHidden;
  RebuildRows();
}

void MacroEditor::ClickFixedDelayBox(bool ticked) {
  if (ticked) {
    m_macro.DelayType = kDelayFixed;
  } else {
    m_macro.DelayType = DelayBoxTicked() ? kDelayMeasured : kDelayFixedHidden;
  }
  RebuildRows();
}

bool MacroEditor::LoopBoxTicked(LoopBox box) const noexcept {
  switch (box) {
    case LoopBox::kRepeatCount:
      return m_macro.LoopType == kLoopRepeatCount;
    case LoopBox::kMode1:
      return m_macro.LoopType == kLoopMode1;
    case LoopBox::kMode3:
      return m_macro.LoopType == kLoopMode3;
  }
  return false;
}

void MacroEditor::ClickLoopBox(LoopBox box, bool ticked) {
  if (!ticked) {
    if (LoopBoxTicked(box)) m_macro.LoopType = kLoopOnce;
  } else {
    switch (box) {
      case LoopBox::kRepeatCount:
        m_macro.LoopType = kLoopRepeatCount;
        break;
      case LoopBox::kMode1:
        m_macro.LoopType = kLoopMode1;
        break;
      case LoopBox::kMode3:
        m_macro.LoopType = kLoopMode3;
        break;
    }
  }
  if (m_macro.LoopType != kLoopRepeatCount) m_macro.LoopTime = 1;
}

void MacroEditor::SetRepeatCount(int typed) {
  if (!RepeatCountUsed()) return;
  m_macro.LoopTime = std::clamp(typed, 1, kMaxLoopTime);
}

void MacroEditor::SetFixedDelay(int typed) {
  m_macro.DefDelayTime = std::max(typed, kMinFixedDelayMs);
}

#pragma once
// MacroEditor: what the macro editor window decides, without the window. It holds the macro
// being edited, the rows its record list shows, the selected row, the record clipboard and the
// recording state, and turns the window's events (hook keys, button clicks, check boxes, typed
// numbers, an edited delay) into records.
//
// Rows map to records explicitly: a row shows one record, delay records are not shown in delay
// mode 2, and every operation addresses records through that map. Records are kept packed from
// record 0, so the count is the number of used records and the mouse gets exactly what is shown.
//
//   MacroEditor editor;
//   editor.Load(library.ReadMacroFile(name));
//   editor.StartRecording(/*insert=*/false);
//   editor.OnHookKey(0xA0, 0, GetTickCount());  // left Shift pressed
//   ...
//   editor.StopRecording();
//   if (const unsigned changed = editor.TakeChanges()) { save; tell the agent what changed }
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "settings/macro.h"

// Delay modes ("DelayType"): how delays are recorded and whether the list shows them.
inline constexpr int kDelayMeasured = 0;     // the time between two events, shown
inline constexpr int kDelayFixed = 1;        // the fixed delay, shown
inline constexpr int kDelayFixedHidden = 2;  // the fixed delay, not shown
// Playback modes ("LoopType").
inline constexpr int kLoopRepeatCount = 0;  // "LoopTime" times
inline constexpr int kLoopMode1 = 1;        // endless while held (the button's bit 0x80)
inline constexpr int kLoopOnce = 2;         // once
inline constexpr int kLoopMode3 = 3;        // endless, toggled (the button's bit 0x40)

// The fixed delay is never below this many milliseconds.
inline constexpr int kMinFixedDelayMs = 10;
// A delay typed into the list is held to this range.
inline constexpr int kMinDelayMs = 10;
inline constexpr int kMaxDelayMs = kMacroMaxDelayUnits * 10;

// Hook flags of a key event: pressed (0 or 1) or released (0x80 or 0x81).
bool IsHookPress(unsigned flags);
bool IsHookRelease(unsigned flags);

// Whether every pressed key and mouse button of the records is released again: it fails with
// fewer releases than presses, and when a press has no later or earlier release of the same
// key or button. Keys and mouse buttons are told apart (usage 4 is "A", button bit 4 the middle
// button).
bool IsMacroBalanced(std::span<const MacroRecord> records);

class MacroEditor {
 public:
  // What differs from the last TakeChanges: the records (the mouse's macro area), the playback
  // (the code of every button that plays the macro), the other settings (the file only).
  enum Change : unsigned {
    kNoChange = 0,
    kRecordsChanged = 1,
    kPlaybackChanged = 2,
    kSettingsChanged = 4
  };

  // The check boxes of the playback mode.
  enum class LoopBox { kRepeatCount, kMode1, kMode3 };

  // Shows `macro` as read from its file: the records packed (empty ones dropped), settings out
  // of range read as their defaults, the first row selected. The loaded state counts as saved.
  void Load(Macro macro);
  // No macro (an empty library): no records, nothing to save.
  void Unload();
  bool HasMacro() const noexcept { return m_hasMacro; }

  // The macro as it is to be saved: packed records and their count, "LoopTime" 1 unless the
  // repeat count is used, the fixed delay at least 10 ms.
  Macro Current() const;
  const Macro& Shown() const noexcept { return m_macro; }
  // What changed since the last call (or the load), as Change bits; the current state then
  // counts as saved.
  unsigned TakeChanges();

  // --- rows ---
  int RowCount() const noexcept { return static_cast<int>(m_rows.size()); }
  // The record shown by `row`, -1 when there is no such row.
  int RecordOfRow(int row) const noexcept;
  const MacroRecord& RowRecord(int row) const { return m_macro.Records[RecordOfRow(row)]; }
  int SelectedRow() const noexcept { return m_selected; }
  // Selects `row`; anything outside the rows selects none.
  void SelectRow(int row) noexcept;
  // The sum of every delay record in milliseconds, hidden ones included.
  int TotalDelayMs() const;

  // --- recording ---
  // Starts a recording: replacing the records, or inserting after the selected row. The last
  // event is forgotten, so the first key is never taken for a repeat.
  void StartRecording(bool insert);
  void StopRecording() noexcept { m_recording = false; }
  bool Recording() const noexcept { return m_recording; }
  bool InsertMode() const noexcept { return m_insert; }
  // One key event from the hook at `now` (milliseconds). True when records were added; a
  // repeated event (a held key), an event with a full macro, or outside a recording adds none.
  bool OnHookKey(unsigned vk, unsigned flags, std::uint32_t now);

  // --- list operations, on the selected row; each is false when it changed nothing ---
  // A click of mouse button 1, 2 or 3: press and release after the selected row.
  bool InsertMouseClick(int button);
  bool DeleteRow();
  bool MoveUp();
  bool MoveDown();
  bool Copy();
  // Copies and removes the row; the row before it is selected, so Paste puts it back.
  bool Cut();
  // Inserts the copied record after the selected row (first, with none selected).
  bool Paste();
  bool HasClipboard() const noexcept { return m_clipboard.has_value(); }
  // A delay typed into `row`, held to 10-65530 ms. False, changing nothing, when the row shows
  // no delay record.
  bool SetRowDelay(int row, int milliseconds);

  // --- options ---
  int DelayMode() const noexcept { return m_macro.DelayType; }
  bool DelayBoxTicked() const noexcept { return m_macro.DelayType != kDelayFixedHidden; }
  bool FixedDelayBoxTicked() const noexcept { return m_macro.DelayType == kDelayFixed; }
  // The delay check box became `ticked` (mode 0, or mode 2 which clears the fixed box too).
  void ClickDelayBox(bool ticked);
  // The fixed-delay check box became `ticked` (mode 1, which ticks the delay box too) or
  // cleared (mode 0 while the delay box is ticked, else 2).
  void ClickFixedDelayBox(bool ticked);
  bool LoopBoxTicked(LoopBox box) const noexcept;
  // A playback check box became `ticked`: the others are cleared. Clearing one leaves the
  // macro played once; the repeat count goes back to 1 whenever it is not used.
  void ClickLoopBox(LoopBox box, bool ticked);
  // Whether the repeat count is used (and can be typed).
  bool RepeatCountUsed() const noexcept { return m_macro.LoopType == kLoopRepeatCount; }
  // The repeat count typed; held to 1-255. Ignored unless the repeat count is used.
  void SetRepeatCount(int typed);
  int RepeatCount() const noexcept { return m_macro.LoopTime; }
  // The fixed delay typed; below 10 ms it counts as 10.
  void SetFixedDelay(int typed);
  int FixedDelay() const noexcept { return m_macro.DefDelayTime; }

 private:
  void InsertRecord(int at, const MacroRecord& record);
  void RemoveRecord(int at);
  // Rebuilds the row map; the selection follows the record it showed (or the nearest row
  // before it), or `selectRecord` when given.
  void RebuildRows(std::optional<int> selectRecord = std::nullopt);
  // Where inserted records go: right after the selected row's record, first with none.
  int InsertionPoint() const noexcept;
  int RowOfRecord(int record) const noexcept;

  bool m_hasMacro = false;
  Macro m_macro;            // records packed, Count used
  Macro m_saved;            // what TakeChanges compares with
  std::vector<int> m_rows;  // row -> record
  int m_selected = -1;
  std::optional<MacroRecord> m_clipboard;

  bool m_recording = false;
  bool m_insert = false;
  std::optional<std::uint32_t> m_lastTick;  // of the previous event of this recording
  struct HookEvent {
    unsigned vk;
    unsigned flags;
    bool operator==(const HookEvent&) const = default;
  };
  std::optional<HookEvent> m_lastEvent;
};

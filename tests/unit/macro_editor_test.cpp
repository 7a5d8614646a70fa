#include "configurator/macro_editor.h"

#include <gtest/gtest.h>

#include <vector>

#include "configurator/macro_row_text.h"

namespace {

constexpr unsigned kPress = 0x00, kRelease = 0x80;
constexpr unsigned kShift = 0xA0;  // left Shift, usage 0xE1
constexpr std::uint8_t kUsageA = 0x04, kUsageB = 0x05, kUsageShift = 0xE1;

MacroRecord Press(std::uint8_t usage) {
  return KeyRecord(usage, true);
}
MacroRecord Release(std::uint8_t usage) {
  return KeyRecord(usage, false);
}
MacroRecord Delay(int units) {
  return {kMacroKindDelay, static_cast<std::uint8_t>(units & 0xFF),
          static_cast<std::uint8_t>(units >> 8)};
}

Macro MacroOf(std::vector<MacroRecord> records, int delayMode = kDelayFixed) {
  Macro macro;
  macro.Name = u"Test";
  macro.DelayType = delayMode;
  for (const MacroRecord& record : records) macro.Append(record);
  return macro;
}

std::vector<MacroRecord> Records(const MacroEditor& editor) {
  const Macro macro = editor.Current();
  const auto stored = macro.StoredRecords();
  return {stored.begin(), stored.end()};
}

std::vector<MacroRecord> ShownRecords(const MacroEditor& editor) {
  std::vector<MacroRecord> shown;
  for (int row = 0; row < editor.RowCount(); ++row) shown.push_back(editor.RowRecord(row));
  return shown;
}

MacroEditor Loaded(std::vector<MacroRecord> records, int delayMode = kDelayFixed) {
  MacroEditor editor;
  editor.Load(MacroOf(std::move(records), delayMode));
  return editor;
}

TEST(MacroRecordingTest, DelaysAreMeasuredOrFixedAndNeverPrecedeTheFirstEvent) {
  {
    SCOPED_TRACE("measured");
    MacroEditor editor = Loaded({}, kDelayMeasured);
    editor.StartRecording(false);
    // The tick counter wraps between the two events: the difference still counts.
    ASSERT_TRUE(editor.OnHookKey('A', kPress, 0xFFFFFF00u));
    ASSERT_TRUE(editor.OnHookKey('A', kRelease, 0xFFFFFF00u + 1234));
    ASSERT_TRUE(editor.OnHookKey('B', kPress, 0xFFFFFF00u + 1234 + 70000));
    ASSERT_TRUE(editor.OnHookKey('B', kRelease, 0xFFFFFF00u + 1234 + 70000 + 9));  // < 10 ms
    EXPECT_EQ(Records(editor),
              (std::vector<MacroRecord>{Press(kUsageA), Delay(123), Release(kUsageA), Delay(6553),
                                        Press(kUsageB), Release(kUsageB)}));
    // The row shows what is stored.
    const MouseButtonNames names{u"L", u"R", u"M"};
    EXPECT_EQ(MacroRowText(editor.RowRecord(3), names), std::u16string(46, u' ') + u"65530");
    EXPECT_EQ(editor.TotalDelayMs(), 1230 + 65530);
  }
  {
    SCOPED_TRACE("fixed, typed below 10 ms");
    MacroEditor editor = Loaded({}, kDelayFixed);
    editor.SetFixedDelay(5);
    editor.StartRecording(false);
    editor.OnHookKey('A', kPress, 100);
    editor.OnHookKey('A', kRelease, 5000);
    EXPECT_EQ(Records(editor),
              (std::vector<MacroRecord>{Press(kUsageA), Delay(1), Release(kUsageA)}));
    EXPECT_EQ(editor.Current().DefDelayTime, 10);
  }
}

TEST(MacroRecordingTest, HeldKeysRecordOncePerRecordingAndAFullMacroTakesNothing) {
  MacroEditor editor = Loaded({Press(kUsageA)}, kDelayFixedHidden);
  editor.StartRecording(false);
  EXPECT_TRUE(Records(editor).empty());
  EXPECT_TRUE(editor.OnHookKey(kShift, kPress, 10));
  EXPECT_FALSE(editor.OnHookKey(kShift, kPress, 40));  // the auto-repeat of the held key
  EXPECT_TRUE(editor.OnHookKey(kShift, kRelease, 70));
  editor.StopRecording();
  EXPECT_FALSE(editor.OnHookKey('A', kPress, 80));  // not recording
  // The next recording's first key is the last key of the one before: it is not dropped.
  editor.StartRecording(false);
  EXPECT_TRUE(editor.OnHookKey(kShift, kRelease, 90));
  EXPECT_FALSE(editor.OnHookKey(kShift, 0x40, 95));  // flags the hook never sends

  // 31 events make 61 records (each after the first brings its delay): the next event's
  // delay takes the 62nd place and its key the 63rd, and then the macro is full.
  editor.StartRecording(false);
  for (int i = 0; i < 31; ++i) editor.OnHookKey('A' + (i / 2) % 2, i % 2 ? kRelease : kPress, 0);
  ASSERT_EQ(editor.Current().Count, 61);
  EXPECT_TRUE(editor.OnHookKey('B', kRelease, 0));
  EXPECT_EQ(editor.Current().Count, 63);
  EXPECT_FALSE(editor.OnHookKey('C', kPress, 0));
  // With 62 used, a delay takes the last place and its key gets none.
  MacroEditor almost = Loaded(std::vector<MacroRecord>(61, Press(kUsageB)), kDelayFixed);
  almost.SelectRow(60);
  almost.StartRecording(true);
  EXPECT_TRUE(almost.OnHookKey('A', kPress, 0));
  EXPECT_TRUE(almost.OnHookKey('A', kRelease, 0));
  EXPECT_EQ(Records(almost)[61], Press(kUsageA));
  EXPECT_EQ(Records(almost)[62], Delay(1));
}

TEST(MacroRecordingTest, InsertModePutsTheNewRecordsInOrderAfterTheSelectedRow) {
  const MacroRecord oldRows[] = {Press(kUsageB), Delay(5), Release(kUsageB)};
  for (const int mode : {kDelayMeasured, kDelayFixed}) {
    SCOPED_TRACE(mode);
    MacroEditor editor = Loaded({oldRows[0], oldRows[1], oldRows[2]}, mode);
    editor.SelectRow(0);
    editor.StartRecording(true);
    editor.OnHookKey('A', kPress, 1000);
    editor.OnHookKey('A', kRelease, 1100);
    const MacroRecord between = mode == kDelayMeasured ? Delay(10) : Delay(1);
    const std::vector<MacroRecord> expected{oldRows[0],       Press(kUsageA), between,
                                            Release(kUsageA), oldRows[1],     oldRows[2]};
    EXPECT_EQ(Records(editor), expected);
    EXPECT_EQ(ShownRecords(editor), expected);
    EXPECT_EQ(editor.SelectedRow(), 3);
  }
  // In delay mode 2 the hidden delay goes right after the record of the selected row.
  MacroEditor hidden = Loaded({Press(kUsageB), Delay(5), Release(kUsageB)}, kDelayFixedHidden);
  hidden.SelectRow(0);
  hidden.StartRecording(true);
  hidden.OnHookKey('A', kPress, 0);
  hidden.OnHookKey('A', kRelease, 0);
  EXPECT_EQ(Records(hidden),
            (std::vector<MacroRecord>{Press(kUsageB), Press(kUsageA), Delay(1), Release(kUsageA),
                                      Delay(5), Release(kUsageB)}));
  EXPECT_EQ(ShownRecords(hidden), (std::vector<MacroRecord>{Press(kUsageB), Press(kUsageA),
                                                            Release(kUsageA), Release(kUsageB)}));
  EXPECT_EQ(hidden.SelectedRow(), 2);
}

TEST(MacroRowMapTest, InDelayModeTwoEveryRowOperationAddressesTheRecordItShows) {
  // Rows: B down, A down, A up, B up; each key record has a hidden delay after it.
  MacroEditor editor = Loaded({Press(kUsageB), Delay(1), Press(kUsageA), Delay(2), Release(kUsageA),
                               Delay(3), Release(kUsageB)},
                              kDelayFixedHidden);
  ASSERT_EQ(editor.RowCount(), 4);
  EXPECT_EQ(editor.RecordOfRow(2), 4);
  // A delay edited "in row 1" has no delay record to change.
  EXPECT_FALSE(editor.SetRowDelay(1, 500));

  editor.SelectRow(2);
  ASSERT_TRUE(editor.MoveUp());  // A up above A down; the hidden delay stays between
  EXPECT_EQ(Records(editor),
            (std::vector<MacroRecord>{Press(kUsageB), Delay(1), Release(kUsageA), Delay(2),
                                      Press(kUsageA), Delay(3), Release(kUsageB)}));
  EXPECT_EQ(editor.SelectedRow(), 1);

  ASSERT_TRUE(editor.Cut());  // row 1: A up
  EXPECT_EQ(editor.SelectedRow(), 0);
  ASSERT_TRUE(editor.Paste());  // right after the record of row 0, as row 1 again
  EXPECT_EQ(Records(editor),
            (std::vector<MacroRecord>{Press(kUsageB), Release(kUsageA), Delay(1), Delay(2),
                                      Press(kUsageA), Delay(3), Release(kUsageB)}));
  EXPECT_EQ(editor.SelectedRow(), 1);

  editor.SelectRow(3);
  ASSERT_TRUE(editor.DeleteRow());  // B up, the last row
  EXPECT_EQ(Records(editor).back(), Delay(3));
  EXPECT_EQ(editor.SelectedRow(), 2);
  EXPECT_FALSE(editor.MoveDown());  // the last row

  // Shown again in mode 1, the delays have rows of their own and take edits.
  editor.ClickFixedDelayBox(true);
  ASSERT_EQ(editor.RowCount(), 6);
  EXPECT_TRUE(editor.SetRowDelay(5, 70000));
  EXPECT_EQ(editor.RowRecord(5), Delay(6553));
  EXPECT_TRUE(editor.SetRowDelay(5, 3));
  EXPECT_EQ(editor.RowRecord(5), Delay(1));
}

TEST(MacroRowMapTest, PasteAndMouseClicksStopAtSixtyThreeRecords) {
  std::vector<MacroRecord> records(61, Press(kUsageA));
  MacroEditor editor = Loaded(records);
  editor.SelectRow(60);
  ASSERT_TRUE(editor.Copy());
  ASSERT_TRUE(editor.InsertMouseClick(3));  // 61 + 2 = 63: fits
  EXPECT_EQ(Records(editor)[61], (MacroRecord{0x81, 4, 0}));
  EXPECT_EQ(Records(editor)[62], (MacroRecord{0x01, 4, 0}));
  EXPECT_EQ(editor.SelectedRow(), 62);
  EXPECT_FALSE(editor.Paste());  // 63 records

  MacroEditor sixtyTwo = Loaded(std::vector<MacroRecord>(62, Press(kUsageA)));
  EXPECT_FALSE(sixtyTwo.InsertMouseClick(1));  // a click needs two places
  sixtyTwo.SelectRow(0);
  ASSERT_TRUE(sixtyTwo.Copy());
  sixtyTwo.SelectRow(-1);
  EXPECT_TRUE(sixtyTwo.Paste());  // with no row selected it goes first
  EXPECT_EQ(sixtyTwo.Current().Count, 63);
  EXPECT_FALSE(sixtyTwo.Paste());
}

TEST(MacroBalanceTest, EveryPressNeedsAReleaseOfTheSameKeyOrButton) {
  EXPECT_TRUE(IsMacroBalanced({}));
  EXPECT_TRUE(IsMacroBalanced(std::vector<MacroRecord>{Release(kUsageA), Delay(3)}));
  EXPECT_TRUE(IsMacroBalanced(std::vector<MacroRecord>{Press(kUsageShift), Press(kUsageA),
                                                       Release(kUsageA), Release(kUsageShift)}));
  // Shift pressed without its release.
  EXPECT_FALSE(IsMacroBalanced(
      std::vector<MacroRecord>{Press(kUsageShift), Press(kUsageA), Release(kUsageA)}));
  // As many releases, but of another key.
  EXPECT_FALSE(IsMacroBalanced(std::vector<MacroRecord>{Press(kUsageA), Release(kUsageB)}));
  // "A" is usage 4 and the middle button bit 4: one does not release the other.
  EXPECT_FALSE(
      IsMacroBalanced(std::vector<MacroRecord>{Press(kUsageA), MouseButtonRecord(3, false)}));
  // Kind 2 reads as a mouse button like kind 1.
  EXPECT_TRUE(IsMacroBalanced(
      std::vector<MacroRecord>{MouseButtonRecord(3, true), MacroRecord{0x02, 4, 0}}));
}

TEST(MacroEditorTest, LoadingPacksTheRecordsAndKeepsTheModeAndChangesTellWhatToSend) {
  Macro file = MacroOf({}, kDelayMeasured);
  file.Records[3] = Press(kUsageA);  // used records with a gap before them
  file.Records[10] = Release(kUsageA);
  file.Count = 0;
  file.LoopType = 2;
  file.LoopTime = 7;
  file.DefDelayTime = 1;  // a file without the key
  MacroEditor editor;
  editor.Load(file);
  EXPECT_EQ(Records(editor), (std::vector<MacroRecord>{Press(kUsageA), Release(kUsageA)}));
  EXPECT_EQ(editor.DelayMode(), kDelayMeasured);
  EXPECT_EQ(editor.RepeatCount(), 1);  // played once: shown as 1
  EXPECT_EQ(editor.FixedDelay(), 10);
  EXPECT_EQ(editor.SelectedRow(), 0);
  // Loading is no change, and neither is a row selected.
  editor.SelectRow(1);
  EXPECT_EQ(editor.TakeChanges(), MacroEditor::kNoChange);

  editor.ClickLoopBox(MacroEditor::LoopBox::kRepeatCount, true);
  editor.SetRepeatCount(300);
  EXPECT_EQ(editor.TakeChanges(), MacroEditor::kPlaybackChanged);
  EXPECT_EQ(editor.Current().LoopTime, 255);
  editor.SetFixedDelay(40);
  editor.ClickDelayBox(false);
  EXPECT_EQ(editor.TakeChanges(), MacroEditor::kSettingsChanged);
  EXPECT_FALSE(editor.FixedDelayBoxTicked());
  editor.SelectRow(0);
  editor.DeleteRow();
  EXPECT_EQ(editor.TakeChanges(), MacroEditor::kRecordsChanged);
  // Mode 1 ticked: the repeat count is not used and stored as 1.
  editor.ClickLoopBox(MacroEditor::LoopBox::kMode1, true);
  EXPECT_FALSE(editor.LoopBoxTicked(MacroEditor::LoopBox::kRepeatCount));
  EXPECT_EQ(editor.Current().LoopTime, 1);
  EXPECT_EQ(editor.Current().LoopType, kLoopMode1);
  editor.ClickLoopBox(MacroEditor::LoopBox::kMode1, false);
  EXPECT_EQ(editor.Current().LoopType, kLoopOnce);
}

TEST(MacroRowTextTest, KeysAndButtonsShowTheirNamesAndDelaysTheirMilliseconds) {
  const MouseButtonNames names{u"Left Click", u"Right Click", u"Middle Click"};
  const std::u16string key(15, u' ');
  EXPECT_EQ(MacroRowText(Press(kUsageShift), names), key + u"Shift");
  EXPECT_EQ(MacroRowText(Release(0xE3), names), key + u"Left Windows");
  EXPECT_EQ(MacroRowText(Press(0xE7), names), key + u"Right Windows");
  EXPECT_EQ(MacroRowText(MouseButtonRecord(3, true), names), key + u"Middle Click");
  EXPECT_EQ(MacroRowText(Delay(123), names), std::u16string(46, u' ') + u"1230");
  EXPECT_EQ(MacroRowData(Press(kUsageA)), 0x8Au);
  EXPECT_EQ(MacroRowData(MouseButtonRecord(1, false)), 0x89u);
  EXPECT_EQ(MacroRowData(Delay(1)), 0u);
}

}  // namespace

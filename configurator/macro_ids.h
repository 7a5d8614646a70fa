#pragma once
// Control ids of the macro editor window (CMacroDlg).

namespace macro_dlg_id {

// OK and Leave carry the dialog's own IDOK and IDCANCEL, so closing the window is Leave.
inline constexpr int kOk = 1;
inline constexpr int kLeave = 2;

inline constexpr int kRecordList = 0x1012;
inline constexpr int kMacroList = 0x1014;

inline constexpr int kNew = 1101;
inline constexpr int kDelete = 1102;
inline constexpr int kRecord = 1103;
inline constexpr int kStop = 1104;
inline constexpr int kImport = 1105;
inline constexpr int kExport = 1106;

// The record-list operations, top to bottom.
inline constexpr int kInsertRecord = 1110;
inline constexpr int kDeleteRow = 1111;
inline constexpr int kUp = 1112;
inline constexpr int kDown = 1113;
inline constexpr int kCopy = 1114;
inline constexpr int kCut = 1115;
inline constexpr int kPaste = 1116;
inline constexpr int kMouseClick = 1117;

inline constexpr int kDelayBox = 1120;
inline constexpr int kFixedDelayBox = 1121;
inline constexpr int kRepeatCountBox = 1122;
inline constexpr int kMode1Box = 1123;
inline constexpr int kMode3Box = 1124;

// The edits, by the tags they report their key releases with too.
inline constexpr int kFixedDelay = 0x5001;
inline constexpr int kRepeatCount = 0x5003;
inline constexpr int kFixedDelayTag = 0x5001;
inline constexpr int kRepeatCountTag = 0;

inline constexpr int kTotalDelay = 1130;
inline constexpr int kRowCount = 1131;
// The labels, numbered kFirstLabel + their text's number in section MACRO.
inline constexpr int kFirstLabel = 1200;

}  // namespace macro_dlg_id

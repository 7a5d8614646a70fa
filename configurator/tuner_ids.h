#pragma once
// Control ids of the configurator's main window (CTunerDlg) and its radio groups. The slider
// ids are the ones the sliders report with their values (0x1513).

namespace tuner_id {

// ---- the frame: title-bar buttons, tabs, profile buttons, bottom row
inline constexpr int kMinimise = 1001;
inline constexpr int kClose = 1002;
inline constexpr int kFirstTab = 1011;      // tabs 1-4: kFirstTab + page - 1
inline constexpr int kFirstProfile = 1021;  // profiles 1-5
inline constexpr int kExport = 1031;
inline constexpr int kImport = 1032;
inline constexpr int kResetProfile = 1033;
inline constexpr int kResetAll = 1034;
inline constexpr int kOk = 1035;
inline constexpr int kCancel = 1036;
inline constexpr int kApply = 1037;

// ---- page 1: assignment buttons and their marks, pointer and wheel settings, polling rate
inline constexpr int kFirstAssign = 1101;  // buttons 1-10
inline constexpr int kFirstMark = 1111;
inline constexpr int kFirstPointerLabel = 1121;  // four slider labels, then the polling label
inline constexpr int kPollingLabel = 1125;
inline constexpr int kFirstPolling = 1131;  // 125, 250, 500, 1000 Hz
inline constexpr int kAccelerationSlider = 10004;
inline constexpr int kPointerSpeedSlider = 10005;
inline constexpr int kWheelLinesSlider = 10006;
inline constexpr int kDoubleClickSlider = 10007;

// ---- page 2: resolution stages, one column each
inline constexpr int kStageTitle = 1200;
inline constexpr int kFirstStage = 1201;  // stage buttons 1-5
inline constexpr int kFirstPlusMark = 1211;
inline constexpr int kFirstMinusMark = 1216;
inline constexpr int kFirstXLabel = 1221;
inline constexpr int kFirstYLabel = 1226;
inline constexpr int kFirstXSlider = 10008;
inline constexpr int kFirstYSlider = 10013;
inline constexpr int kFirstLinkedSlider = 10018;

// ---- page 3: lighting
inline constexpr int kFirstMode = 1301;    // modes 0-7
inline constexpr int kFirstPreset = 1311;  // preset colours 0-6
// Option groups, three rows each: brightness (A) and speed (B, B6 for mode 6), on the right
// beside the picker, or on the left when the mode has no colour.
inline constexpr int kFirstRightLevel = 1321;
inline constexpr int kFirstRightRate = 1324;
inline constexpr int kFirstRightRate6 = 1327;
inline constexpr int kFirstLeftLevel = 1331;
inline constexpr int kFirstLeftRate = 1334;
inline constexpr int kFirstLightingLabel = 1341;  // labels L0-L7

// ---- page 4: information
inline constexpr int kFirstInfo = 1401;  // five labels

inline constexpr int kTabCount = 4;
inline constexpr int kAssignCount = 10;
inline constexpr int kPollingCount = 4;
inline constexpr int kStageCount = 5;
inline constexpr int kModeCount = 8;
inline constexpr int kPresetCount = 7;
inline constexpr int kOptionRows = 3;
inline constexpr int kLightingLabelCount = 8;
inline constexpr int kInfoCount = 5;

}  // namespace tuner_id

// Radio groups: the window ticks one button of each and unticks the others.
namespace tuner_group {
inline constexpr int kTabs = 1;
inline constexpr int kProfiles = 2;
inline constexpr int kPolling = 3;
inline constexpr int kModes = 4;
inline constexpr int kRightLevel = 5;
inline constexpr int kRightRate = 6;
inline constexpr int kRightRate6 = 7;
inline constexpr int kLeftLevel = 8;
inline constexpr int kLeftRate = 9;
}  // namespace tuner_group

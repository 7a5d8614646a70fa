#pragma once
// Control ids of the control gallery.

namespace gallery_id {
inline constexpr int kClose = 100;
// Image buttons.
inline constexpr int kNormal = 1001;
inline constexpr int kHover = 1002;
inline constexpr int kPressed = 1003;
inline constexpr int kDisabled = 1004;
inline constexpr int kFunctionCaption = 1005;
inline constexpr int kLongCaption = 1006;
inline constexpr int kTabTicked = 1007;
inline constexpr int kTab = 1008;
inline constexpr int kCheckTicked = 1009;
inline constexpr int kCheck = 1010;
inline constexpr int kRecord = 1011;
inline constexpr int kRecordHover = 1012;
inline constexpr int kStopDisabled = 1013;
inline constexpr int kRotated90 = 1014;
inline constexpr int kRotated270 = 1015;
// Sliders.
inline constexpr int kHorizontalSlider = 2001;
inline constexpr int kHorizontalSliderDisabled = 2002;
inline constexpr int kVerticalSlider = 2003;
inline constexpr int kVerticalSliderDisabled = 2004;
// Lists.
inline constexpr int kRecordList = 3001;
inline constexpr int kMacroList = 3002;
inline constexpr int kHoverList = 3003;
// Edits.
inline constexpr int kBorderedEdit = 4001;
inline constexpr int kColouredEdit = 4002;
// Fill bars: 25, 50, 100 % and out of range.
inline constexpr int kFirstBar = 5001;
// Labels.
inline constexpr int kTitle = 6001;
inline constexpr int kButtonsHeading = 6002;
inline constexpr int kSlidersHeading = 6003;
inline constexpr int kDisabledNote = 6004;
inline constexpr int kRecordListHeading = 6005;
inline constexpr int kMacroListHeading = 6006;
inline constexpr int kHoverListHeading = 6007;
inline constexpr int kMenuHeading = 6008;
inline constexpr int kBarsHeading = 6009;
inline constexpr int kEditsHeading = 6010;
inline constexpr int kOnColourLabel = 6011;
inline constexpr int kItalicLabel = 6012;
inline constexpr int kChoiceLabel = 6013;
// Radio groups.
inline constexpr int kTabGroup = 1;
}  // namespace gallery_id

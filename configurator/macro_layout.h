#pragma once
// The macro editor window (CMacroDlg) as data: the macro list with New and Delete, the record
// list with its headings, totals, Record and Stop, the options (delay mode, fixed delay,
// playback), the record-list operations, Import, Export, OK and Leave. Shaped by its mask and
// dragged by its background.
#include "configurator/macro_ids.h"
#include "skin/core/control_table.h"
#include "skin/core/skin_faces.h"

namespace macro_layout {

inline constexpr int kWidth = 757;
inline constexpr int kHeight = 582;

// The frames drawn around the three panels and the line between the first two.
inline constexpr SkinColour kFrameColour = SkinRgb(1, 60, 100);
inline constexpr int kFrameWidth = 2;
inline constexpr TableRect kFrames[] = {
    {27, 78, 236, 507}, {253, 80, 572, 509}, {572, 80, 727, 509}};
inline constexpr SkinColour kDividerColour = SkinRgb(115, 115, 115);
inline constexpr TableRect kDivider{246, 88, 246, 503};

inline constexpr SkinColour kListText = SkinRgb(200, 200, 200);
// The two lists (the gallery shows them too): the library on the panel texture, and the
// records with a scroll bar and delays edited in place.
inline constexpr ListLook kMacroListLook{.selectionMode = true,
                                         .macroListMode = true,
                                         .rightClickNotify = true,
                                         .textColour = kListText,
                                         .selectedTextColour = kSkinWhite};
inline constexpr ListLook kRecordListLook{.scrollBar = true,
                                          .selectionMode = true,
                                          .delayEditing = true,
                                          .rightClickNotify = true,
                                          .textColour = kListText,
                                          .selectedTextColour = kSkinWhite};
inline constexpr ButtonStyle kListButton{kAssignFaces, kRegularCaption};
inline constexpr ButtonStyle kDialogButton{kOkFaces, kBoldCaption};
inline constexpr ButtonStyle kCheckBox{kCheckBoxFaces,
                                       {.caption = CaptionLayout::kNone, .toggle = true}};
inline constexpr ButtonLook kIcon{.caption = CaptionLayout::kNone};

inline constexpr LabelLook kText{.font = {14, 400}};
inline constexpr LabelLook kHeading{.font = {16, 700}};
inline constexpr LabelLook kOption{.font = {12, 400}};

using namespace macro_dlg_id;

constexpr ControlRow Label(int number, TableRect place, LabelLook look = kText) {
  return LabelRow(kFirstLabel + number, place, SkinTextKey(u"MACRO", number), look);
}
constexpr ControlRow ListButton(int id, int number, TableRect place) {
  return ButtonRow(id, place, kListButton, SkinTextKey(u"MACRO", number));
}
// The record-list operations stand in a column, one every 22 pixels from y = 322.
constexpr ControlRow Operation(int id, int number, int index) {
  return ListButton(id, number, {592, 322 + 22 * index, 718, 341 + 22 * index});
}

inline constexpr ControlRow kControls[] = {
    Label(1, {220, 29, 510, 58}, {.align = TextAlign::kCentre, .font = {21, 700}}),

    // The library.
    Label(2, {32, 92, 156, 110}),
    ListBoxRow(kMacroList, {38, 120, 211, 466}, kMacroListLook),
    ListButton(kNew, 18, {29, 478, 130, 496}),
    ListButton(kDelete, 19, {132, 478, 233, 496}),

    // The records.
    Label(3, {277, 90, 480, 107}, kHeading),
    Label(4, {284, 122, 342, 137}),
    Label(5, {362, 122, 418, 137}),
    Label(6, {447, 122, 557, 137}),
    ListBoxRow(kRecordList, {275, 143, 548, 410}, kRecordListLook),
    Label(7, {355, 420, 477, 435}),
    LabelRow(kTotalDelay, {483, 421, 542, 434}, FixedText(u"0"),
             {.align = TextAlign::kCentre, .font = {14, 400}}),
    Label(8, {547, 420, 564, 435}),
    Label(9, {355, 445, 477, 459}),
    LabelRow(kRowCount, {468, 443, 508, 456}, FixedText(u"0"),
             {.align = TextAlign::kCentre, .font = {14, 400}}),
    Label(10, {517, 445, 566, 458}, {.align = TextAlign::kCentre, .font = {14, 400}}),
    ButtonRow(kRecord, {359, 480, 389, 503}, {kRecordFaces, kIcon}),
    ButtonRow(kStop, {452, 480, 482, 503}, {kStopFaces, kIcon}).Disabled(),

    // The options.
    Label(11, {578, 90, 691, 108}, {.align = TextAlign::kCentre, .font = {16, 400}}),
    ButtonRow(kDelayBox, {588, 128, 599, 139}, kCheckBox),
    Label(12, {608, 124, 703, 146}, kOption),
    ButtonRow(kFixedDelayBox, {588, 159, 599, 170}, kCheckBox),
    Label(13, {608, 159, 725, 170}, {.align = TextAlign::kCentre, .font = {12, 400}}),
    EditRow(kFixedDelay, {608, 176, 641, 191},
            {.limit = 5, .tag = kFixedDelayTag, .notifyKeyRelease = true}, FixedText(u"10")),
    Label(14, {648, 180, 672, 190}, kOption),
    ButtonRow(kRepeatCountBox, {588, 200, 599, 211}, kCheckBox),
    Label(15, {608, 199, 726, 212}, kOption),
    EditRow(kRepeatCount, {608, 216, 641, 231},
            {.limit = 3, .tag = kRepeatCountTag, .notifyKeyRelease = true}, FixedText(u"1")),
    ButtonRow(kMode1Box, {588, 240, 599, 251}, kCheckBox),
    Label(16, {608, 237, 724, 262}, kOption),
    ButtonRow(kMode3Box, {588, 280, 599, 291}, kCheckBox),
    Label(28, {608, 277, 724, 302}, kOption),

    // The record-list operations.
    Label(17, {577, 303, 727, 319}, kHeading),
    Operation(kInsertRecord, 20, 0),
    Operation(kDeleteRow, 21, 1),
    Operation(kUp, 22, 2),
    Operation(kDown, 23, 3),
    Operation(kCopy, 24, 4),
    Operation(kCut, 25, 5),
    Operation(kPaste, 26, 6),
    Operation(kMouseClick, 27, 7),

    // Exchange and the end.
    ButtonRow(kImport, {38, 516, 127, 541}, kDialogButton, SkinTextKey(u"MACRO", 29)),
    ButtonRow(kExport, {132, 516, 221, 541}, kDialogButton, SkinTextKey(u"MACRO", 30)),
    ButtonRow(kOk, {518, 516, 607, 541}, kDialogButton, SkinTextKey(u"General", 46)),
    ButtonRow(kLeave, {617, 516, 706, 541}, kDialogButton, SkinTextKey(u"General", 47)),
};

}  // namespace macro_layout

inline constexpr WindowLayout kMacroLayout{
    .name = "macro-editor",
    .background = {SkinFolder::kBackground, u"dlg.png"},
    .mask = {SkinFolder::kBackground, u"cfgMainback3.bmp"},
    .width = macro_layout::kWidth,
    .height = macro_layout::kHeight,
    .controls = macro_layout::kControls,
};

#pragma once
// The control gallery's window as data: every skinned control in its states, at its place.
#include "configurator/macro_layout.h"
#include "skin/core/control_table.h"
#include "skin/core/skin_faces.h"
#include "tools/gallery/gallery_ids.h"

inline constexpr char16_t kGalleryTitleText[] = u"Vireo control gallery";

namespace gallery_layout {

inline constexpr SkinColour kAccent = SkinRgb(90, 170, 230);
inline constexpr LabelLook kHeading{.font = {14, 700}, .colour = kAccent};
inline constexpr ButtonLook kRotatedCaption90{.caption = CaptionLayout::kRotated90,
                                              .font = {14, 700}};
inline constexpr ButtonLook kRotatedCaption270{.caption = CaptionLayout::kRotated270,
                                               .font = {14, 700}};
inline constexpr ImageFile kTrack{SkinFolder::kBackground, u"trackbar-back-b.png"};
inline constexpr SliderStyle kHorizontal{.axis = SliderAxis::kHorizontal,
                                         .thumb = {SkinFolder::kControls, u"x.png"},
                                         .disabledThumb = {SkinFolder::kControls, u"x3.png"},
                                         .track = kTrack,
                                         .minimum = 1,
                                         .maximum = 11};
// The same track turned upright.
inline constexpr SliderStyle kVertical{
    .axis = SliderAxis::kVertical,
    .thumb = {SkinFolder::kControls, u"y.png"},
    .track = {SkinFolder::kBackground, u"trackbar-back-b.png", ImageTurn::kQuarter},
    .minimum = 1,
    .maximum = 11};
inline constexpr SkinColour kListText = SkinRgb(200, 200, 200);
inline constexpr MarkerStyle kBar{.background = {SkinFolder::kControls, u"updatebar_n.jpg"},
                                  .fill = {SkinFolder::kControls, u"updatebar_o.jpg"},
                                  .source = {0, 10, 260, 26},
                                  .minimum = 0,
                                  .maximum = 100};
constexpr TableRect BarPlace(int index) {
  return {470, 426 + index * 20, 730, 442 + index * 20};
}

using namespace gallery_id;

inline constexpr ControlRow kControls[] = {
    LabelRow(kTitle, {24, 16, 400, 40}, FixedText(kGalleryTitleText), {.font = {21, 700}}),
    LabelRow(kButtonsHeading, {24, 50, 240, 66}, FixedText(u"Image buttons"), kHeading),
    LabelRow(kSlidersHeading, {24, 322, 240, 338}, FixedText(u"Sliders"), kHeading),
    LabelRow(kDisabledNote, {150, 372, 234, 388}, FixedText(u"disabled"),
             {.align = TextAlign::kRight, .font = {12, 400}, .colour = SkinRgb(150, 150, 150)}),
    LabelRow(kRecordListHeading, {262, 50, 460, 66}, FixedText(u"List: records, editor open"),
             kHeading),
    LabelRow(kMacroListHeading, {262, 268, 460, 284}, FixedText(u"List: macros"), kHeading),
    LabelRow(kHoverListHeading, {262, 410, 460, 426}, FixedText(u"List: hover mode"), kHeading),
    LabelRow(kMenuHeading, {588, 40, 740, 56}, FixedText(u"Menu and cascade"), kHeading),
    LabelRow(kBarsHeading, {470, 406, 740, 422},
             FixedText(u"Fill bars: 25, 50, 100 %, out of range"), kHeading),
    LabelRow(kEditsHeading, {470, 506, 740, 522}, FixedText(u"Edits and labels"), kHeading),
    LabelRow(kOnColourLabel, {640, 528, 736, 546}, FixedText(u"On colour"),
             {.align = TextAlign::kCentre,
              .font = {14, 400},
              .background = static_cast<std::int32_t>(SkinRgb(1, 60, 100))}),
    LabelRow(kItalicLabel, {640, 550, 736, 566}, FixedText(u"Italic label"),
             {.align = TextAlign::kCentre, .font = {12, 400, true}, .colour = kListText}),
    LabelRow(kChoiceLabel, {24, 560, 460, 576}, FixedText(u""),
             {.font = {12, 400}, .colour = kListText}),

    ButtonRow(kNormal, {24, 72, 117, 98}, {kOkFaces, kBoldCaption}, FixedText(u"Normal")),
    ButtonRow(kHover, {127, 72, 220, 98}, {kOkFaces, kBoldCaption}, FixedText(u"Hover")),
    ButtonRow(kPressed, {24, 106, 117, 132}, {kOkFaces, kBoldCaption}, FixedText(u"Pressed"))
        .Ticked(),
    ButtonRow(kDisabled, {127, 106, 220, 132}, {kAssignFaces, kBoldCaption}, FixedText(u"Disabled"))
        .Disabled(),
    // Its caption is a function name from general.ini, set by the window.
    ButtonRow(kFunctionCaption, {24, 144, 171, 164}, {kAssignFaces, kBoldCaption}),
    ButtonRow(kLongCaption, {24, 170, 171, 190}, {kAssignFaces, kBoldCaption},
              FixedText(u"A caption far too long for its button is cut at the button's edge")),
    // Tabs as a window shows them: a radio group the window ticks.
    ButtonRow(kTabTicked, {24, 202, 186, 222}, {kTabFaces, kBoldCaption}, FixedText(u"Tab, ticked"))
        .InGroup(kTabGroup)
        .Ticked(),
    ButtonRow(kTab, {24, 226, 186, 246}, {kTabFaces, kBoldCaption}, FixedText(u"Tab"))
        .InGroup(kTabGroup),
    ButtonRow(kCheckTicked, {24, 258, 113, 274}, {kCheckBoxFaces, {.toggle = true}}).Ticked(),
    ButtonRow(kCheck, {127, 258, 216, 274}, {kCheckBoxFaces, {.toggle = true}}),
    ButtonRow(kRecord, {24, 284, 54, 307}, {kRecordFaces}),
    ButtonRow(kRecordHover, {64, 284, 94, 307}, {kRecordFaces}),
    ButtonRow(kStopDisabled, {104, 284, 134, 307}, {kStopFaces}).Disabled(),
    ButtonRow(kRotated90, {170, 430, 194, 556}, {kTabFaces, kRotatedCaption90},
              FixedText(u"Rotated 90")),
    ButtonRow(kRotated270, {204, 430, 228, 556}, {kTabFaces, kRotatedCaption270},
              FixedText(u"Rotated 270"))
        .Ticked(),
    ButtonRow(kClose, {712, 10, 736, 30}, {kCloseFaces}),

    SliderRow(kHorizontalSlider, {24, 348, 234, 366}, kHorizontal),
    SliderRow(kHorizontalSliderDisabled, {24, 392, 234, 410}, kHorizontal).Disabled(),
    SliderRow(kVerticalSlider, {40, 430, 58, 560}, kVertical),
    SliderRow(kVerticalSliderDisabled, {110, 430, 128, 560}, kVertical).Disabled(),

    // The macro editor's record list with its in-place editor, its macro list, and a list in
    // hover mode.
    ListBoxRow(kRecordList, {262, 72, 452, 256}, macro_layout::kRecordListLook),
    ListBoxRow(kMacroList, {262, 290, 452, 400}, macro_layout::kMacroListLook),
    ListBoxRow(kHoverList, {262, 432, 452, 548},
               {.textColour = kListText, .selectedTextColour = kSkinWhite}),

    // The macro editor's number fields: white on black, one with the one-pixel border.
    EditRow(kBorderedEdit, {470, 528, 530, 546}, {.limit = 10, .border = true, .font = {14, 400}},
            FixedText(u"250")),
    EditRow(kColouredEdit, {540, 528, 630, 546},
            {.limit = 10,
             .textColour = SkinRgb(255, 220, 0),
             .backgroundColour = SkinRgb(20, 30, 60),
             .font = {14, 400}},
            FixedText(u"coloured")),

    // The agent's progress bar pictures, cut to the bars' size.
    MarkerRow(kFirstBar, BarPlace(0), kBar),
    MarkerRow(kFirstBar + 1, BarPlace(1), kBar),
    MarkerRow(kFirstBar + 2, BarPlace(2), kBar),
    MarkerRow(kFirstBar + 3, BarPlace(3), kBar),
};

}  // namespace gallery_layout

inline constexpr WindowLayout kGalleryLayout{
    .name = "gallery",
    .background = {SkinFolder::kBackground, u"dlg.png"},
    .mask = {SkinFolder::kBackground, u"cfgMainback3.bmp"},
    .width = 757,
    .height = 582,
    .controls = gallery_layout::kControls,
};

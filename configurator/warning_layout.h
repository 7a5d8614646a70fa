#pragma once
// The warning dialog as data: three lines of text beside the warning picture (drawn by the
// window), OK and Cancel. Rectangular, fixed in size, not dragged.
#include "configurator/warning_ids.h"
#include "skin/core/control_table.h"
#include "skin/core/skin_faces.h"

namespace warning_layout {

inline constexpr ImageFile kPicture{SkinFolder::kBackground, u"warn.png"};
inline constexpr TableRect kPicturePlace{34, 104, 130, 194};

// The texts are the caller's; the window sets them.
inline constexpr ControlRow kControls[] = {
    LabelRow(warning_id::kFirstText, {103, 42, 376, 69}, {},
             {.align = TextAlign::kCentre, .font = {21, 700}}),
    LabelRow(warning_id::kSecondText, {127, 103, 405, 141}, {},
             {.align = TextAlign::kWrapped, .font = {16, 400}}),
    LabelRow(warning_id::kThirdText, {127, 157, 405, 187}, {},
             {.align = TextAlign::kWrapped, .font = {15, 400}}),
    ButtonRow(warning_id::kOk, {135, 219, 228, 245}, {kOkFaces, kBoldCaption},
              SkinTextKey(u"General", 46)),
    ButtonRow(warning_id::kCancel, {234, 219, 327, 245}, {kOkFaces, kBoldCaption},
              SkinTextKey(u"General", 47)),
};

}  // namespace warning_layout

inline constexpr WindowLayout kWarningLayout{
    .name = "warning",
    .background = {SkinFolder::kBackground, u"dlg.png"},
    .width = 478,
    .height = 292,
    .dragByBackground = false,
    .controls = warning_layout::kControls,
};

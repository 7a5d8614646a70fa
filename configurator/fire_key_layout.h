#pragma once
// The rapid-fire window (CFireKey) as data: what is fired (three mouse buttons or a keyboard
// key, a radio group of check boxes), the key field, the two numbers with their labels, OK and
// Cancel; shaped like the main window's dialogs.
#include "configurator/dialog_rows.h"

namespace fire_key_layout {

inline constexpr ButtonStyle kKind{kCheckBoxFaces, kCheckBoxCaption};
inline constexpr LabelLook kNumberLabel{.font = {16, 400}};
inline constexpr EditLook kNumber{.limit = 3,
                                  .textColour = dialog_rows::kFieldText,
                                  .backgroundColour = dialog_rows::kFieldBackground};

using namespace fire_key_id;

inline constexpr ControlRow kControls[] = {
    dialog_rows::kTitle,
    dialog_rows::kPrompt,
    ButtonRow(kFirstKind, {36, 112, 87, 128}, kKind, SkinTextKey(u"FireKey", 1))
        .InGroup(kKindGroup),
    ButtonRow(kFirstKind + 1, {89, 112, 156, 128}, kKind, SkinTextKey(u"FireKey", 2))
        .InGroup(kKindGroup),
    ButtonRow(kFirstKind + 2, {159, 112, 218, 128}, kKind, SkinTextKey(u"FireKey", 3))
        .InGroup(kKindGroup),
    ButtonRow(kLastKind, {36, 136, 144, 152}, kKind, SkinTextKey(u"FireKey", 4))
        .InGroup(kKindGroup),
    ButtonRow(kKeyField, {60, 165, 159, 191}, dialog_rows::kKeyField),
    LabelRow(kFirstNumberLabel, {279, 130, 367, 149}, SkinTextKey(u"FireKey", 7), kNumberLabel),
    EditRow(kFirstNumber, {383, 130, 444, 149}, kNumber),
    LabelRow(kSecondNumberLabel, {279, 171, 367, 190}, SkinTextKey(u"FireKey", 8), kNumberLabel),
    EditRow(kSecondNumber, {383, 171, 444, 190}, kNumber),
    dialog_rows::kOk,
    dialog_rows::kCancel,
};

}  // namespace fire_key_layout

inline constexpr WindowLayout kFireKeyLayout =
    dialog_rows::ShapedDialog("fire-key", fire_key_layout::kControls);

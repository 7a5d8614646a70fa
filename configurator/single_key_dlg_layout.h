#pragma once
// The text input window (CSingleKeyDlg) as data: title, prompt, a one-line field of at most 20
// characters, OK and Cancel. Rectangular, and it stays where it opened.
#include "configurator/dialog_rows.h"

inline constexpr int kSingleKeyDlgTextLimit = 20;
// Drawn behind the field.
inline constexpr ImageFile kSingleKeyDlgFieldPicture{SkinFolder::kBackground, u"menuitem-d.png"};
inline constexpr TableRect kSingleKeyDlgFieldPicturePlace{82, 146, 383, 173};

inline constexpr ControlRow kSingleKeyDlgControls[] = {
    dialog_rows::kTitle,
    dialog_rows::kPrompt,
    EditRow(single_key_dlg_id::kText, {82, 146, 382, 176},
            {.limit = kSingleKeyDlgTextLimit,
             .textColour = dialog_rows::kFieldText,
             .backgroundColour = dialog_rows::kFieldBackground,
             .font = {14, 500},
             .fontFace = u"Tahoma"}),
    dialog_rows::kOk,
    dialog_rows::kCancel,
};

inline constexpr WindowLayout kSingleKeyDlgLayout{
    .name = "text-input",
    .background = dialog_rows::kBackground,
    .width = dialog_rows::kWidth,
    .height = dialog_rows::kHeight,
    .dragByBackground = false,
    .controls = kSingleKeyDlgControls,
};

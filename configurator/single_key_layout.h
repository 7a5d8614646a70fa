#pragma once
// The key capture window (CSingleKey) as data: title, prompt, the key field that shows the
// captured key or combination, OK and Cancel; shaped like the main window's dialogs.
#include "configurator/dialog_rows.h"

inline constexpr ControlRow kSingleKeyControls[] = {
    dialog_rows::kTitle,
    dialog_rows::kPrompt,
    ButtonRow(single_key_id::kKeyField, {81, 145, 382, 171}, dialog_rows::kKeyField),
    dialog_rows::kOk,
    dialog_rows::kCancel,
};

inline constexpr WindowLayout kSingleKeyLayout =
    dialog_rows::ShapedDialog("single-key", kSingleKeyControls);

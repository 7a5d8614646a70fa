#pragma once
// What the configurator's small dialogs share: their size and skin (the dialog background and
// its outline), and the OK, Cancel, title and prompt rows at their common places. The title and
// prompt rows carry no text: each window sets the texts its opener gives.
#include <span>

#include "configurator/key_window_ids.h"
#include "skin/core/control_table.h"
#include "skin/core/skin_faces.h"

namespace dialog_rows {

inline constexpr int kWidth = 478;
inline constexpr int kHeight = 292;
inline constexpr ImageFile kBackground{SkinFolder::kBackground, u"dlg.png"};
inline constexpr ImageFile kOutline{SkinFolder::kBackground, u"cfgMainback2.bmp"};

inline constexpr ControlRow kOk = ButtonRow(dialog_id::kOk, {135, 219, 228, 245},
                                            {kOkFaces, kBoldCaption}, SkinTextKey(u"General", 46));
inline constexpr ControlRow kCancel =
    ButtonRow(dialog_id::kCancel, {234, 219, 327, 245}, {kOkFaces, kBoldCaption},
              SkinTextKey(u"General", 47));
inline constexpr ControlRow kTitle = LabelRow(dialog_id::kTitle, {99, 32, 382, 66}, {},
                                              {.align = TextAlign::kCentre, .font = {21, 700}});
inline constexpr ControlRow kPrompt = LabelRow(dialog_id::kPrompt, {45, 86, 433, 124}, {},
                                               {.align = TextAlign::kCentre, .font = {16, 400}});

// The key field of the key windows: the captured key's name on an inset field.
inline constexpr ButtonStyle kKeyField{SameFace({SkinFolder::kBackground, u"menuitem-d-b.png"}),
                                       kBoldCaption};
// The number and text fields: white on grey.
inline constexpr SkinColour kFieldText = kSkinWhite;
inline constexpr SkinColour kFieldBackground = SkinRgb(94, 94, 94);

// A dialog shaped like the main window's others, dragged by its background.
constexpr WindowLayout ShapedDialog(const char* name, std::span<const ControlRow> controls) {
  return {.name = name,
          .background = kBackground,
          .mask = kOutline,
          .width = kWidth,
          .height = kHeight,
          .controls = controls};
}

}  // namespace dialog_rows

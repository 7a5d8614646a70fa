#pragma once
// The agent's progress window as data: a bar over the whole window, drawn from the skin's
// progress pictures (decoded by the OLE picture loader: the agent never starts GDI+), the
// window's outline cut from their mask. The window takes the face picture's size.
#include "agent/progress_ids.h"
#include "skin/core/control_table.h"

inline constexpr char16_t kProgressMaskName[] = u"updatebar_Mask.BMP";
inline constexpr char16_t kProgressBackgroundName[] = u"updatebar_n.jpg";
inline constexpr char16_t kProgressFillName[] = u"updatebar_o.jpg";

inline constexpr ControlRow kProgressControls[] = {
    MarkerRow(progress_id::kBar, {},
              {.background = {SkinFolder::kControls, kProgressBackgroundName},
               .fill = {SkinFolder::kControls, kProgressFillName},
               .minimum = 0,
               .maximum = 100})
        .FillingClient(),
};

inline constexpr WindowLayout kProgressLayout{
    .name = "progress",
    .background = {SkinFolder::kControls, kProgressBackgroundName},
    .mask = {SkinFolder::kControls, kProgressMaskName},
    .dragByBackground = false,
    .controls = kProgressControls,
};

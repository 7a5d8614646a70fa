#pragma once
// Every window laid out by a control table, for the layout dump (the skin preview reads it) and
// for the native checks of the tables.
#include "agent/progress_layout.h"
#include "configurator/fire_key_layout.h"
#include "configurator/macro_layout.h"
#include "configurator/single_key_dlg_layout.h"
#include "configurator/single_key_layout.h"
#include "configurator/tuner_layout.h"
#include "configurator/warning_layout.h"
#include "skin/core/control_table.h"
#include "tools/gallery/gallery_layout.h"

inline constexpr const WindowLayout* kAllLayouts[] = {
    &kGalleryLayout, &kProgressLayout, &kSingleKeyLayout, &kSingleKeyDlgLayout,
    &kFireKeyLayout, &kTunerLayout,    &kWarningLayout,   &kMacroLayout};

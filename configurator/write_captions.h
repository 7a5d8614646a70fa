#pragma once
// The captions of the ten assignment buttons: what each button of a profile does, in words.
// Mouse buttons and the catalogue's functions are named by the catalogue, a single key by its
// short key name, a combination by its keys joined with " + ", a macro by its name in the
// library. Writing the captions also settles macro assignments: one whose library slot is out of
// 0-14 or empty no longer has a macro and becomes "no function" (16); one whose slot holds a
// macro takes that macro's name.

#include <array>
#include <string>

#include "settings/profile_set.h"

class KeyboardLayout;
class MacroLibrary;
class SkinTexts;

// Where the captions come from.
struct CaptionSources {
  const SkinTexts& Texts;      // general.ini: the catalogue's names
  const MacroLibrary& Macros;  // the library's slots
  const KeyboardLayout& Layout;
};

using AssignmentCaptions = std::array<std::u16string, kButtonCount>;

// The caption of one assignment (see above); it may change ButtonFunc and MacroName.
std::u16string AssignmentCaption(ButtonAssignment& button, const CaptionSources& sources);

// The captions of the ten buttons of `record`, in button order.
AssignmentCaptions WriteCaptions(ProfileRecord& record, const CaptionSources& sources);

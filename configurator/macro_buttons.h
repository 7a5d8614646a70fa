#pragma once
// The buttons that play a macro: their code in the mouse carries the macro's playback mode and
// repeat count, so each must be written again when those change.
#include <string_view>
#include <vector>

#include "settings/profile_set.h"

struct ProfileButton {
  int profile;  // 0-4
  int button;   // 0-9
  bool operator==(const ProfileButton&) const = default;
};

// Every button of the five profiles assigned the macro function with this macro's name (names
// compare as the library compares them, without regard to case).
std::vector<ProfileButton> ButtonsPlayingMacro(const ProfileSet& set, std::u16string_view name);

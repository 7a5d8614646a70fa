#pragma once
// What the agent's news (0x1515) does to the working profile set: the files were rewritten
// (reload), or the mouse changed its stage, profile, polling rate or lighting mode by itself, or
// Windows' pointer speed was read. A value that cannot mean anything (a profile outside 0-4, a
// stage outside 0-5, a lighting mode outside 0-7, a pointer speed outside 1-20) is ignored;
// polling-rate codes without a button become 2. Nothing here writes a file or sends anything.

#include "settings/profile_set.h"

enum class AgentNews {
  kIgnored,
  kReload,        // load the profile files again
  kStage,         // the current profile's DPI changed
  kProfile,       // select the profile (Value)
  kPollingRate,   // the current profile's PollingRate changed; Value is the button to show
  kLightingMode,  // the current profile's LedMode1 changed
  kPointerSpeed,  // the current profile's MouseSensitivity changed
};

struct AgentNewsEffect {
  AgentNews What = AgentNews::kIgnored;
  int Value = 0;
};

// Stores what the news says into the current profile of `set` and tells the window what to show.
AgentNewsEffect ApplyAgentNews(ProfileSet& set, unsigned kind, long value);

#pragma once
// ApplyChoice: what a choice in an assignment menu does to the button's record. Keys, key
// combinations and rapid fire ask the user in their windows first; a macro row assigns the
// macro of its library slot, the editor's row assigns what the editor returns. Only the fields
// the function uses change.
//
// The primary click is protected: when the button holds the profile's only code 1, any other
// choice is refused with the warning and the record stays as it is (choosing code 1 again
// changes nothing). A profile without a primary click accepts every choice.
#include <cstdint>
#include <optional>

#include "configurator/captured_keys.h"
#include "configurator/fire_key.h"
#include "configurator/key_capture.h"
#include "settings/profile_set.h"

class MacroLibrary;

// The windows a choice may open. Each returns nothing when the user cancelled.
class ChoiceWindows {
 public:
  // EditMacro's answer when the editor closed with OK but no macro selected.
  static constexpr int kNoMacro = -1;

  virtual ~ChoiceWindows() = default;
  // The key capture window (CSingleKey) in `mode`, starting from `preset`.
  virtual std::optional<CapturedKeys> CaptureKeys(KeyCapture::Mode mode,
                                                  const CapturedKeys& preset) = 0;
  // The rapid-fire window (CFireKey).
  virtual std::optional<FireKey::Setup> SetUpFireKey(const FireKey::Setup& preset) = 0;
  // The macro editor opened from the macro cascade, showing first the macro of library slot
  // `shownSlot` (the one the button plays now, or -1): the library slot of the macro selected
  // when it closed with OK, or kNoMacro.
  virtual std::optional<int> EditMacro(int shownSlot) = 0;
  // The warning that the only primary click cannot be given another function.
  virtual void WarnPrimaryClick() = 0;
};

enum class ChoiceOutcome {
  kChanged,    // the record holds the new function
  kUnchanged,  // cancelled, the same function again, or not a choice any menu offers
  kRefused,    // the primary-click protection said no (the warning was shown)
};

// Applies the choice of top-level code `code` and cascade code `sub` (0 for a row without a
// cascade) to button `button` (0-9) of `record`. Macro repeat counts come from `macros`.
ChoiceOutcome ApplyChoice(ProfileRecord& record, int button, int code, int sub,
                          ChoiceWindows& windows, const MacroLibrary& macros);

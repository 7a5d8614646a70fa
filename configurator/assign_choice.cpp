#include "configurator/assign_choice.h"

#include <algorithm>
#include <cstring>

#include "configurator/assign_menu.h"
#include "settings/button_functions.h"
#include "settings/macro.h"
#include "settings/macro_library.h"

namespace {

bool HoldsOnlyPrimaryClick(const ProfileRecord& record, int button) {
  if (record.Buttons[button].ButtonFunc != kFunctionMouseButton1) return false;
  for (int b = 0; b < kButtonCount; ++b) {
    if (b != button && record.Buttons[b].ButtonFunc == kFunctionMouseButton1) return false;
  }
  return true;
}

std::uint8_t DefaultFunction(int button) {
  return kDefaultButtonFunctions[button];
}

// The cascade rows of these codes name the function itself.
constexpr bool IsCascadeOnly(int code) {
  return code == 8 || code == 9 || code == 10 || code == 13 || code == 15;
}

void SetSingleKey(ButtonAssignment& r, std::uint8_t key) {
  r.KeyBlock[0] = key;
  r.ButtonFunc = kFunctionSingleKey;
}

void ChooseSingleKey(ButtonAssignment& r, int button, ChoiceWindows& windows) {
  const std::optional<CapturedKeys> keys =
      windows.CaptureKeys(KeyCapture::Mode::kSingleKey, CapturedKeys::PresetOf(r));
  if (!keys) return;
  // A key without a usage gives the button its own function back.
  if (keys->key == CapturedKeys::kNoKey) {
    r.ButtonFunc = DefaultFunction(button);
  } else {
    SetSingleKey(r, keys->key);
  }
}

void ChooseCombination(ButtonAssignment& r, int button, ChoiceWindows& windows) {
  const std::optional<CapturedKeys> keys =
      windows.CaptureKeys(KeyCapture::Mode::kCombination, CapturedKeys::PresetOf(r));
  if (!keys) return;
  if (keys->keyCount == 1) {
    if (keys->key != CapturedKeys::kNoKey) SetSingleKey(r, keys->key);
  } else if (keys->keyCount >= 2 && keys->keyCount <= 5) {
    r.ButtonFunc = kFunctionKeyCombination;
    r.ButtonID = 1;
    r.KeyNumber = static_cast<std::uint8_t>(2 * keys->keyCount);
    std::copy(keys->block.begin(), keys->block.end(), std::begin(r.KeyBlock));
  } else {
    r.ButtonFunc = DefaultFunction(button);
  }
}

void ChooseFireKey(ButtonAssignment& r, ChoiceWindows& windows) {
  const std::optional<FireKey::Setup> setup = windows.SetUpFireKey(FireKey::Setup::PresetOf(r));
  // The keyboard kind without a key fires nothing.
  if (!setup || setup->fired == CapturedKeys::kNoKey) return;
  r.ButtonFunc = kFunctionFireKey;
  r.KeyBlock[0] = setup->fired;
  r.LoopNumber = static_cast<std::uint8_t>(std::clamp(setup->loopNumber, 0, 255));
  r.KeyNumber = static_cast<std::uint8_t>(std::clamp(setup->keyNumber, 0, 255));
}

void ChooseMacro(ButtonAssignment& r, int sub, ChoiceWindows& windows, const MacroLibrary& macros) {
  int slot = sub;
  if (sub == assign_menu::kMacroEditorRow) {
    // The editor opens on the macro the button plays.
    const std::optional<int> edited =
        windows.EditMacro(r.ButtonFunc == kFunctionMacro ? r.KeyNumber : -1);
    if (!edited) return;
    if (*edited < 0 || *edited >= kMacroLibrarySlots) {
      r.ButtonFunc = kFunctionNone;
      return;
    }
    slot = *edited;
  }
  r.ButtonFunc = kFunctionMacro;
  r.KeyNumber = static_cast<std::uint8_t>(slot);
  // The repeat count of the macro file; a slot emptied meanwhile plays once (and its caption
  // turns the assignment into "no function").
  const std::u16string name = macros.SlotName(slot);
  const int loops = name.empty() ? 1 : macros.ReadMacroFile(name).LoopTime;
  r.LoopNumber = static_cast<std::uint8_t>(std::clamp(loops, 0, kMaxLoopTime));
}

}  // namespace

ChoiceOutcome ApplyChoice(ProfileRecord& record, int button, int code, int sub,
                          ChoiceWindows& windows, const MacroLibrary& macros) {
  if (button < 0 || button >= kButtonCount || !assign_menu::Offers(code, sub)) {
    return ChoiceOutcome::kUnchanged;
  }
  if (HoldsOnlyPrimaryClick(record, button)) {
    if (code == kFunctionMouseButton1) return ChoiceOutcome::kUnchanged;
    windows.WarnPrimaryClick();
    return ChoiceOutcome::kRefused;
  }
  ButtonAssignment& r = record.Buttons[button];
  const ButtonAssignment before = r;
  if (code == kFunctionSingleKey) {
    ChooseSingleKey(r, button, windows);
  } else if (code == kFunctionKeyCombination) {
    ChooseCombination(r, button, windows);
  } else if (code == kFunctionFireKey) {
    ChooseFireKey(r, windows);
  } else if (code == kFunctionMacro) {
    ChooseMacro(r, sub, windows, macros);
  } else {
    r.ButtonFunc = static_cast<std::uint8_t>(IsCascadeOnly(code) ? sub : code);
  }
  return std::memcmp(&before, &r, sizeof(r)) == 0 ? ChoiceOutcome::kUnchanged
                                                  : ChoiceOutcome::kChanged;
}

#include "configurator/macro_buttons.h"

#include "settings/button_functions.h"
#include "settings/macro_name.h"

std::vector<ProfileButton> ButtonsPlayingMacro(const ProfileSet& set, std::u16string_view name) {
  std::vector<ProfileButton> buttons;
  if (name.empty()) return buttons;
  for (int p = 0; p < kProfileCount; ++p) {
    for (int b = 0; b < kButtonCount; ++b) {
      const ButtonAssignment& button = set.Profiles[p].Buttons[b];
      if (button.ButtonFunc != kFunctionMacro) continue;
      // The field is zero-terminated within its size.
      std::u16string_view assigned(button.MacroName, std::size(button.MacroName));
      assigned = assigned.substr(0, assigned.find(u'\0'));
      if (SameMacroName(assigned, name)) buttons.push_back({p, b});
    }
  }
  return buttons;
}

#include "configurator/write_captions.h"

#include "configurator/catalogue_text.h"
#include "settings/key_tables.h"
#include "settings/macro_library.h"

namespace {

// Codes named by the catalogue: the mouse buttons, rapid fire, the mouse's own function, and
// everything from "no function" up to the last scroll function.
constexpr bool NamedByCatalogue(int code) {
  return (code >= kFunctionMouseButton1 && code <= kFunctionMouseButton5) ||
         code == kFunctionFireKey || code == 14 || (code >= kFunctionNone && code <= 54);
}

std::u16string SingleKeyCaption(const ButtonAssignment& button, const KeyboardLayout& layout) {
  unsigned vk = 0;
  std::u16string name;
  if (VkOfUsage(button.KeyBlock[0], vk)) name = CaptionKeyName(vk, layout);
  // A usage without a key, or a key the layout types nothing for, still says what it is.
  return name.empty() ? std::u16string(u"key") : name;
}

}  // namespace

std::u16string AssignmentCaption(ButtonAssignment& button, const CaptionSources& sources) {
  const int code = button.ButtonFunc;
  if (NamedByCatalogue(code)) return CatalogueText(code, sources.Texts);
  switch (code) {
    case kFunctionSingleKey:
      return SingleKeyCaption(button, sources.Layout);
    case kFunctionKeyCombination:
      return CombinationCaption(button.KeyBlock, button.KeyNumber);
    case kFunctionMacro: {
      // KeyNumber is the library slot the macro was chosen from.
      const int slot = button.KeyNumber;
      const std::u16string name =
          slot < kMacroLibrarySlots ? sources.Macros.CachedSlotName(slot) : std::u16string();
      if (name.empty()) {
        button.ButtonFunc = kFunctionNone;
        return CatalogueText(kFunctionNone, sources.Texts);
      }
      SetMacroName(button, name);
      return name;
    }
    default:
      return {};
  }
}

AssignmentCaptions WriteCaptions(ProfileRecord& record, const CaptionSources& sources) {
  AssignmentCaptions captions;
  for (int b = 0; b < kButtonCount; ++b)
    captions[b] = AssignmentCaption(record.Buttons[b], sources);
  return captions;
}

#include "configurator/catalogue_text.h"

#include "settings/button_functions.h"
#include "settings/skin_texts.h"

namespace {

// The first code of each range and the section that names it; a range ends where the next
// begins. Codes 1-16 and the macro code are named in FUNCTION_STRING by the code itself.
struct CatalogueRange {
  int First;
  std::u16string_view Section;
};
constexpr CatalogueRange kRanges[] = {
    {1, u"FUNCTION_STRING"}, {17, u"BASIC"},  {25, u"ADVANCED"}, {39, u"MEDIA"}, {47, u"DPI"},
    {50, u"RATE"},           {52, u"SCROLL"},
};

}  // namespace

std::optional<CatalogueKey> CatalogueKeyOf(int code) {
  if (code < 1) return std::nullopt;
  if (code == kFunctionMacro) return CatalogueKey{u"FUNCTION_STRING", code};
  const CatalogueRange* range = &kRanges[0];
  for (const CatalogueRange& candidate : kRanges) {
    if (code >= candidate.First) range = &candidate;
  }
  // FUNCTION_STRING counts from the code itself, the others from 1.
  const int number = range->First == 1 ? code : code - range->First + 1;
  return CatalogueKey{range->Section, number};
}

std::u16string CatalogueText(int code, const SkinTexts& texts) {
  const std::optional<CatalogueKey> key = CatalogueKeyOf(code);
  return key ? texts.General(key->Section, key->Number) : std::u16string();
}

std::u16string CatalogueText(int code) {
  return CatalogueText(code, SkinTexts::ForProcess());
}

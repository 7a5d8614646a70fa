#pragma once
// The display text of a function code: every assignable function is named by an entry of the
// skin's general.ini, found by the code's range (FUNCTION_STRING, BASIC, ADVANCED, MEDIA, DPI,
// RATE, SCROLL). The menus and the assignment buttons' captions read the names from here.

#include <optional>
#include <string>
#include <string_view>

class SkinTexts;

struct CatalogueKey {
  std::u16string_view Section;
  int Number = 0;
  friend bool operator==(const CatalogueKey&, const CatalogueKey&) = default;
};

// Where the name of `code` stands in general.ini; none for codes below 1.
std::optional<CatalogueKey> CatalogueKeyOf(int code);

// The name of `code` from `texts`, "" when it has none.
std::u16string CatalogueText(int code, const SkinTexts& texts);
// The same from this process's skin.
std::u16string CatalogueText(int code);

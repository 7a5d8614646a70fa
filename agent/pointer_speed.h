#pragma once
// The Windows pointer speed as the registry holds it: decimal text.

#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/profile_fields.h"

// Reads the text the way the C library's wide-string-to-long conversion does: leading white
// space, an optional sign, decimal digits; 0 when no digit follows. A value beyond 32 bits is
// held at the nearest 32-bit limit.
std::int32_t ParseRegistryInteger(std::u16string_view text);

// The pointer speed the text names, nullopt when it is not one Windows can have (1..20, the
// profile's MouseSensitivity range).
std::optional<std::int32_t> PointerSpeedOf(std::u16string_view text);

#pragma once
// The Windows pointer speed as the registry holds it: decimal text.

#include <cstdint>
#include <optional>
#include <string_view>

// Reads the text the way the C library's wide-string-to-long conversion does: leading white
// space, an optional sign, decimal digits; 0 when no digit follows. A value beyond 32 bits is
// held at the nearest 32-bit limit.
std::int32_t ParseRegistryInteger(std::u16string_view text);

inline constexpr std::int32_t kMinPointerSpeed = 1;
inline constexpr std::int32_t kMaxPointerSpeed = 20;

// The pointer speed the text names, nullopt when it is not one Windows can have (1..20).
std::optional<std::int32_t> PointerSpeedOf(std::u16string_view text);

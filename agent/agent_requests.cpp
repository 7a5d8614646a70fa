#include "agent/agent_requests.h"

#include "contract/window_messages.h"
#include "settings/macro_library.h"
#include "settings/profile_set.h"

std::optional<MacroAreaRequest> ParseMacroAreaRequest(std::uintptr_t wParam, std::intptr_t lParam) {
  const bool clear = lParam != agent_msg::kMacroWrite;
  const std::uintptr_t limit = clear ? kMacroDeviceAreas : kMacroLibrarySlots;
  if (wParam >= limit) return std::nullopt;
  return MacroAreaRequest{static_cast<int>(wParam), clear};
}

std::optional<ButtonRequest> ParseButtonRequest(std::uintptr_t wParam, std::intptr_t lParam) {
  if (wParam >= static_cast<std::uintptr_t>(kProfileCount)) return std::nullopt;
  if (lParam < 0 || lParam >= kButtonCount) return std::nullopt;
  return ButtonRequest{static_cast<int>(wParam), static_cast<int>(lParam)};
}

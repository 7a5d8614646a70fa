#pragma once
// The parameters of the configurator's per-item messages, checked before anything acts on
// them: a slot or button number from another process must never index a table.

#include <cstdint>
#include <optional>

// 0x1514: wParam = slot, lParam = 0 to write the slot's macro, nonzero to clear the area.
struct MacroAreaRequest {
  int slot;
  bool clear;
};
// Areas 0-19 can be cleared; only the library's slots 0-14 can be written.
std::optional<MacroAreaRequest> ParseMacroAreaRequest(std::uintptr_t wParam, std::intptr_t lParam);

// 0x1516: wParam = profile 0-4, lParam = button 0-9.
struct ButtonRequest {
  int profile;
  int button;
};
std::optional<ButtonRequest> ParseButtonRequest(std::uintptr_t wParam, std::intptr_t lParam);

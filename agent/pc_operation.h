#pragma once
// The PC-side functions a mouse button can be given: the mouse reports their codes (0x11 to
// 0x26) and the agent carries them out.

#include <cstdint>
#include <optional>

enum class PcOperation {
  kCut,
  kCopy,
  kPaste,
  kSelectAll,
  kFind,
  kNewDocument,
  kPrint,
  kSave,
  kSwitchWindow,
  kCloseWindow,
  kOpenFileExplorer,
  kOpenRunDialog,
  kShowDesktop,
  kRunLockCommand,
  kOpenBrowserHome,
  kBrowserBack,
  kBrowserForward,
  kBrowserStop,
  kBrowserRefresh,
  kSearch,
  kBrowserFavourites,
  kOpenMailClient,
};

// The operation of a reported function code; none for a code outside 0x11..0x26.
std::optional<PcOperation> PcOperationForCode(std::uint8_t code);

#include "agent/pc_operation.h"

#include <array>

#include "settings/button_functions.h"

namespace {

// In code order, from kFirstPcFunction.
constexpr std::array<PcOperation, kLastPcFunction - kFirstPcFunction + 1> kOperationOfCode = {
    PcOperation::kCut,
    PcOperation::kCopy,
    PcOperation::kPaste,
    PcOperation::kSelectAll,
    PcOperation::kFind,
    PcOperation::kNewDocument,
    PcOperation::kPrint,
    PcOperation::kSave,
    PcOperation::kSwitchWindow,
    PcOperation::kCloseWindow,
    PcOperation::kOpenFileExplorer,
    PcOperation::kOpenRunDialog,
    PcOperation::kShowDesktop,
    PcOperation::kRunLockCommand,
    PcOperation::kOpenBrowserHome,
    PcOperation::kBrowserBack,
    PcOperation::kBrowserForward,
    PcOperation::kBrowserStop,
    PcOperation::kBrowserRefresh,
    PcOperation::kSearch,
    PcOperation::kBrowserFavourites,
    PcOperation::kOpenMailClient,
};

}  // namespace

std::optional<PcOperation> PcOperationForCode(std::uint8_t code) {
  if (code < kFirstPcFunction || code > kLastPcFunction) return std::nullopt;
  return kOperationOfCode[code - kFirstPcFunction];
}

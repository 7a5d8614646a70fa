#include "support/conduit_api.h"

#include <map>

#include "support/process_harness.h"

namespace harness {

namespace {

template <typename Function>
Function ByOrdinal(HMODULE module, WORD ordinal) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

}  // namespace

const ConduitApi& LoadConduit(const std::wstring& relativePath) {
  static std::map<std::wstring, ConduitApi> loaded;
  ConduitApi& api = loaded[relativePath];
  if (api.Module) return api;
  api.Module = LoadLibraryW((BinFolder() + relativePath).c_str());
  if (!api.Module) return api;
  api.Configure = ByOrdinal<decltype(&ConduitConfigure)>(api.Module, 7);
  api.SetInputCallback = ByOrdinal<decltype(&ConduitSetInputCallback)>(api.Module, 8);
  api.RegisterWindow = ByOrdinal<decltype(&ConduitRegisterWindow)>(api.Module, 2);
  api.WriteReport = ByOrdinal<decltype(&ConduitWriteReport)>(api.Module, 5);
  api.ReadReport = ByOrdinal<decltype(&ConduitReadReport)>(api.Module, 6);
  api.RequestReport = ByOrdinal<decltype(&ConduitRequestReport)>(api.Module, 9);
  return api;
}

}  // namespace harness

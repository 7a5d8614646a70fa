#pragma once
// Conduit.dll loaded the way the agent uses it: its functions looked up by ordinal, as the
// agent's import library links them.
#include <windows.h>

#include <string>

#include "conduit/conduit.h"

namespace harness {

struct ConduitApi {
  HMODULE Module = nullptr;
  decltype(&ConduitConfigure) Configure = nullptr;
  decltype(&ConduitSetInputCallback) SetInputCallback = nullptr;
  decltype(&ConduitRegisterWindow) RegisterWindow = nullptr;
  decltype(&ConduitWriteReport) WriteReport = nullptr;
  decltype(&ConduitReadReport) ReadReport = nullptr;
  decltype(&ConduitRequestReport) RequestReport = nullptr;
};

// The library at `relativePath` below the test's folder, loaded once and kept.
const ConduitApi& LoadConduit(const std::wstring& relativePath);

}  // namespace harness

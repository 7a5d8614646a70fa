#pragma once
// The calling interface of Conduit.dll, the mouse library the agent links at load time.
// Every function is exported by ordinal only (see conduit.def); the names below exist for
// the compiler and the import library, never in the DLL's export table.

#include <windows.h>

#include <cstdint>

extern "C" {

// Which device and collections the library watches: seven 32-bit values in this order.
struct ConduitOpenParams {
  uint32_t VendorId;         // 0x04D9
  uint32_t ProductId;        // 0xFC5D
  uint32_t CollectionCount;  // 2
  uint32_t Usage0;           // 1
  uint32_t UsagePage0;       // 0x000C
  uint32_t Usage1;           // 1
  uint32_t UsagePage1;       // 0xFFA0
};

// Record behind the lParam of the registered notification message; valid during the call.
struct ConduitNotification {
  uint32_t EventKind;  // 1 = collection opened, 0 = closed
  uint32_t DeviceId;   // low 16 bits significant; the id handed to the report functions
  uint32_t DeviceKey;  // equal for the collections of one physical mouse
  uint32_t UsagePage;  // low 16 bits significant
};

inline constexpr uint32_t kConduitCollectionClosed = 0;
inline constexpr uint32_t kConduitCollectionOpened = 1;

// Called for every input report of a watched collection, on a thread of the library that does
// nothing else: a slow callback delays later reports, never the link.
typedef void(__stdcall* ConduitInputCallback)(uint32_t deviceId, const uint8_t* report,
                                              uint32_t length);

// Ordinal 7: remember which device and collections to watch.
BOOL __stdcall ConduitConfigure(const ConduitOpenParams* params);
// Ordinal 8: the input-report callback (null stops the calls). Returns once a call to the
// previous callback that is under way has ended.
BOOL __stdcall ConduitSetInputCallback(ConduitInputCallback callback);
// Ordinal 2: start watching; the library sends `message` (wParam 1, lParam a
// ConduitNotification*) to `window` for every collection it opens or closes. The message is
// sent on the thread that called this function. Nonzero = accepted.
BOOL __stdcall ConduitRegisterWindow(HWND window, UINT message);
// Ordinal 5: an output report; byte 0 is its report id. Length 16, 64 or 1024.
BOOL __stdcall ConduitWriteReport(uint32_t deviceId, const uint8_t* report, uint32_t length);
// Ordinal 6: fetch the answer report into `buffer`, whose bytes 0 and 1 are preset.
BOOL __stdcall ConduitReadReport(uint32_t deviceId, uint8_t* buffer, uint32_t length);
// Ordinal 9: ordinal 5 with `report`, then, only when it succeeded, ordinal 6 with `buffer`,
// in one call (over the virtual mouse's link both go out in one send). Nonzero only when both
// succeeded; otherwise `buffer` is as ordinal 6 leaves it on failure.
BOOL __stdcall ConduitRequestReport(uint32_t deviceId, const uint8_t* report, uint32_t reportLength,
                                    uint8_t* buffer, uint32_t length);

}  // extern "C"

#pragma once
// The HID functions of the system. Some SDKs' headers lack C linkage for C++ and need the
// types of windows.h first; hidsdi.h brings hidpi.h along.
#include <windows.h>

extern "C" {
#include <hidsdi.h>
}

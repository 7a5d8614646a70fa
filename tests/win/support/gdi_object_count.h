#pragma once
// Counting this process's GDI objects, for the leak tests of windows and controls.

#include <windows.h>

// GDI objects of this process. Windows counts them (GetGuiResources); Wine answers 0, so
// there the live entries of the process's GDI handle table are counted (its address is in
// the process environment block, as on Windows). 0 when neither way works.
DWORD GdiObjectCount();
// The same for another process (opened with PROCESS_QUERY_INFORMATION | PROCESS_VM_READ).
DWORD GdiObjectCount(HANDLE process);

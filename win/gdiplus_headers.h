#pragma once
// <gdiplus.h> needs min and max, which NOMINMAX takes away from <windows.h>. Include GDI+ through
// this header.
#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the COM declarations GDI+ uses (IStream, PROPID).
#include <objidl.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>

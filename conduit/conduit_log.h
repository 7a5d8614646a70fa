#pragma once
// Conduit.dll's lines in the debugger output ("Conduit: ..."): every open, what each collection
// declares and every failed call with its error, so a first run on a real mouse tells what the
// mouse declares and where it refuses.
#include <cstdarg>

void ConduitLog(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Entry point of vmouse.exe: Windows programs here are built as Unicode (wmain). The options
// are ASCII, so a plain narrowing is enough.
#include <string>
#include <vector>

#include "vmouse/vmouse_program.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    std::string argument;
    for (const wchar_t* c = argv[i]; *c; ++c) argument += *c < 0x80 ? static_cast<char>(*c) : '?';
    arguments.push_back(std::move(argument));
  }
  return RunVmouse(arguments);
}

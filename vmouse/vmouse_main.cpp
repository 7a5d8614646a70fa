// Entry point of the vmouse program on Linux.
#include <string>
#include <vector>

#include "vmouse/vmouse_program.h"

int main(int argc, char** argv) {
  return RunVmouse(std::vector<std::string>(argv + 1, argv + argc));
}

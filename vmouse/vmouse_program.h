#pragma once
// The vmouse program: a virtual Vireo on 127.0.0.1 with a command prompt and an optional
// control port. Shared by the Linux and the Windows entry points.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr uint16_t kDefaultVmousePort = 47011;

struct VmouseOptions {
  uint16_t Port = kDefaultVmousePort;  // 0: any free port
  uint32_t DelayMicroseconds = 0;
  bool Detached = false;
  bool Factory = false;                 // start with factory settings instead of a blank memory
  std::optional<uint16_t> ControlPort;  // 0: any free port
  bool Help = false;
};

// The arguments after the program name; nothing (and `error` set) when they are wrong.
std::optional<VmouseOptions> ParseVmouseArguments(const std::vector<std::string>& arguments,
                                                  std::string& error);
const char* VmouseUsage();

// Runs until "quit" (prompt or control port) or until killed; the exit code.
int RunVmouse(const std::vector<std::string>& arguments);

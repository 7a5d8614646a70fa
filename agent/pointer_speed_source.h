#pragma once
// The Windows pointer speed as the system stores it: the text of "MouseSensitivity" below
// "HKEY_CURRENT_USER\Control Panel\Mouse".

#include <optional>
#include <string>

class PointerSpeedSource {
 public:
  virtual ~PointerSpeedSource() = default;
  // nullopt when the value cannot be read.
  virtual std::optional<std::u16string> ReadPointerSpeedText() = 0;
};

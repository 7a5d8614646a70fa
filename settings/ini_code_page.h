#pragma once
// IniCodePage: how the bytes of an ANSI (no byte-order mark) INI file map to UTF-16. The
// portable core uses Windows-1252; the Windows build uses the system's ANSI code page so that
// our files read exactly as the private-profile functions read them on that machine.

#include <string>
#include <string_view>

class IniCodePage {
 public:
  virtual ~IniCodePage() = default;
  virtual std::u16string Decode(std::string_view bytes) const = 0;
  // Appends the bytes of `text`; false when a character has no exact byte form here (the
  // caller then keeps the text in a Unicode file instead of losing it to '?').
  virtual bool Encode(std::u16string_view text, std::string& bytes) const = 0;
};

const IniCodePage& Windows1252CodePage();

// The platform's own ANSI code page: the system's on Windows, Windows-1252 elsewhere.
// Provided by the file-system port.
const IniCodePage& PlatformAnsiCodePage();

// The code page used for ANSI files: the platform's unless another one is installed.
const IniCodePage& AnsiCodePage();
// Installs `codePage` (which must outlive its use); nullptr restores the platform's.
void SetAnsiCodePage(const IniCodePage* codePage);

#pragma once
// The program of the mail client's "open" command, such as
//   "C:\Program Files\Mail\mail.exe" -mail "%1"
// The client is started without the command's arguments.

#include <string>
#include <string_view>

// The text between the command's leading double quote and its closing one (the first double
// quote at index 3 or later). Empty when the command is 3 units or shorter, does not begin with
// a double quote, or has no closing one: an unquoted path cannot be told from its arguments.
std::u16string MailProgramFromCommand(std::u16string_view command);

#include "agent/mail_command.h"

namespace {

constexpr std::size_t kClosingQuoteFrom = 3;

}  // namespace

std::u16string MailProgramFromCommand(std::u16string_view command) {
  if (command.size() <= kClosingQuoteFrom || command.front() != u'"') return {};
  const std::size_t closing = command.find(u'"', kClosingQuoteFrom);
  if (closing == std::u16string_view::npos) return {};
  return std::u16string(command.substr(1, closing - 1));
}

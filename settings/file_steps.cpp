#include "settings/file_steps.h"

#include <algorithm>
#include <mutex>
#include <utility>

namespace {

std::mutex g_hookMutex;
FileStepHook g_hook;
bool g_stopped = false;

constexpr std::u16string_view kTempExtension = u".tmp";

void AppendHex(std::u16string& out, std::uint32_t value) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  char16_t digits[8];
  int count = 0;
  do {
    digits[count++] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  while (count > 0) out.push_back(digits[--count]);
}

bool IsHexRun(std::u16string_view text) {
  if (text.empty() || text.size() > 8) return false;
  for (char16_t c : text) {
    if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))) return false;
  }
  return true;
}

}  // namespace

void SetFileStepHook(FileStepHook hook) {
  std::lock_guard lock(g_hookMutex);
  g_hook = std::move(hook);
  g_stopped = false;
}

FileStepOutcome NextFileStep(FileStep step) {
  FileStepHook hook;
  {
    std::lock_guard lock(g_hookMutex);
    if (g_stopped) return FileStepOutcome::Stop;
    if (!g_hook) return FileStepOutcome::Proceed;
    hook = g_hook;
  }
  // Called unlocked: a hook may hold one thread while others go on.
  const FileStepOutcome outcome = hook(step);
  if (outcome == FileStepOutcome::Stop) {
    std::lock_guard lock(g_hookMutex);
    g_stopped = true;
  }
  return outcome;
}

bool FileLayerStopped() {
  std::lock_guard lock(g_hookMutex);
  return g_stopped;
}

std::u16string TempPathFor(std::u16string_view path, std::uint32_t process, std::uint32_t counter,
                           std::uint32_t attempt) {
  std::u16string out(path);
  out += u'.';
  AppendHex(out, process);
  out += u'-';
  AppendHex(out, counter);
  out += u'-';
  AppendHex(out, attempt);
  out += kTempExtension;
  return out;
}

bool IsReplacementTempName(std::u16string_view fileName) {
  if (fileName.size() <= kTempExtension.size() || !fileName.ends_with(kTempExtension)) return false;
  fileName.remove_suffix(kTempExtension.size());
  const std::size_t dot = fileName.rfind(u'.');
  if (dot == std::u16string_view::npos || dot == 0) return false;
  std::u16string_view numbers = fileName.substr(dot + 1);
  for (int part = 0; part < 3; ++part) {
    const std::size_t dash = part < 2 ? numbers.find(u'-') : numbers.size();
    if (dash == std::u16string_view::npos || !IsHexRun(numbers.substr(0, dash))) return false;
    numbers = numbers.substr(std::min(dash + 1, numbers.size()));
  }
  return numbers.empty();
}

#include "support/hostile_messages.h"

#include <dbt.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

namespace harness {

namespace {

constexpr std::uint64_t kDefaultSeed = 0x5EED0014;
constexpr std::size_t kRandomBytes = 64 * 1024;
constexpr std::size_t kBufferBytes = 4 * 64 * 1024;
constexpr DWORD kSendTimeoutMs = 2000;
constexpr int kTriesPerOwnNumber = 16;

// System messages whose wParam the system also reads or writes as a pointer.
bool WParamIsPointer(UINT message) {
  return message == EM_GETSEL || message == SBM_GETRANGE || message == CB_GETEDITSEL;
}

template <typename Record>
Record& At(std::vector<std::uint8_t>& buffer) {
  return *reinterpret_cast<Record*>(buffer.data());
}

}  // namespace

std::uint64_t HostileSeed() {
  wchar_t text[32] = {};
  if (GetEnvironmentVariableW(L"VIREO_HOSTILE_SEED", text, 32) > 0) {
    return std::wcstoull(text, nullptr, 0);
  }
  return kDefaultSeed;
}

HostileMessageSource::HostileMessageSource(std::uint64_t seed)
    : m_state(seed), m_buffer(kBufferBytes, 0), m_second(kBufferBytes, 0) {}

std::uint64_t HostileMessageSource::Bits() {
  // splitmix64
  std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

UINT HostileMessageSource::Number() {
  if (m_sweep < WM_USER) return m_sweep++;
  if (!m_own.empty()) {
    const UINT own = m_own.back();
    m_own.pop_back();
    return own;
  }
  const std::uint64_t bits = Bits();
  switch (bits % 8) {
    case 0:
    case 1:
    case 2:
    case 3:
      return static_cast<UINT>((bits >> 8) % WM_USER);  // the system's
    case 4:
    case 5:
      return WM_USER + static_cast<UINT>((bits >> 8) % (WM_APP - WM_USER));  // private classes'
    case 6:
      return WM_APP + static_cast<UINT>((bits >> 8) % (0xC000 - WM_APP));  // applications'
    default:
      return 0xC000 + static_cast<UINT>((bits >> 8) % 0x4000);  // registered
  }
}

WPARAM HostileMessageSource::Parameter() {
  const std::uint64_t bits = Bits();
  switch (bits % 8) {
    case 0:
      return 0;
    case 1:
      return 1 + (bits >> 8) % 16;
    case 2:
      return static_cast<WPARAM>(-1);
    case 3:
      return 0xF000 + ((bits >> 8) % 0x200);  // system command codes
    case 4:
      return (bits >> 8) & 0xFFFF;
    case 5:
      return (bits >> 8) & 0xFFFFFFFF;
    default:
      return Bits();
  }
}

HostileMessageSource::Message HostileMessageSource::Next(
    const std::vector<ExcludedMessage>& excluded) {
  for (;;) {
    const bool own = m_sweep >= WM_USER && !m_own.empty();
    const std::size_t tries = m_own.size();
    Message message{Number(), Parameter(), static_cast<LPARAM>(Parameter())};
    // The receiver's own numbers start with the parameters its handlers look at first.
    constexpr WPARAM kFirstWParams[] = {1, 0, 2, 0xFFFF};
    if (own && tries % kTriesPerOwnNumber < std::size(kFirstWParams)) {
      message.WParam = kFirstWParams[tries % kTriesPerOwnNumber];
    }
    const bool skip = std::any_of(excluded.begin(), excluded.end(), [&](const ExcludedMessage& e) {
      return e.Message == message.Number && (!e.Word || *e.Word == LOWORD(message.WParam));
    });
    if (!skip) return message;
  }
}

void HostileMessageSource::ShapeForSend(Message& message) {
  // Random bytes first, then zeros: text read from the buffer ends within it.
  for (std::size_t i = 0; i < kRandomBytes; i += 8) {
    const std::uint64_t bits = Bits();
    std::memcpy(m_buffer.data() + i, &bits, 8);
  }
  // Counts of items stay within the buffer.
  message.WParam &= 0xFFFF;
  message.LParam = reinterpret_cast<LPARAM>(m_buffer.data());
  if (WParamIsPointer(message.Number)) message.WParam = reinterpret_cast<WPARAM>(m_second.data());

  // Records the system reads through pointers of their own.
  switch (message.Number) {
    case WM_CREATE:
    case WM_NCCREATE: {
      auto& create = At<CREATESTRUCTW>(m_buffer);
      create.lpszName = reinterpret_cast<const wchar_t*>(m_second.data());
      create.lpszClass = MAKEINTATOM(message.WParam);
      create.lpCreateParams = reinterpret_cast<void*>(Bits());
      break;
    }
    case WM_MDICREATE: {
      auto& create = At<MDICREATESTRUCTW>(m_buffer);
      create.szClass = reinterpret_cast<const wchar_t*>(m_second.data());
      create.szTitle = reinterpret_cast<const wchar_t*>(m_second.data());
      break;
    }
    case WM_COPYDATA: {
      auto& copy = At<COPYDATASTRUCT>(m_buffer);
      copy.cbData = static_cast<DWORD>(Bits() % 4096);
      copy.lpData = m_second.data();
      break;
    }
    case WM_NCCALCSIZE:
      At<NCCALCSIZE_PARAMS>(m_buffer).lppos = reinterpret_cast<WINDOWPOS*>(m_second.data());
      break;
    case WM_DEVICECHANGE: {
      auto& header = At<DEV_BROADCAST_HDR>(m_buffer);
      header.dbch_size = static_cast<DWORD>(sizeof(DEV_BROADCAST_HDR) + Bits() % 512);
      break;
    }
    default:
      break;
  }
}

int HostileMessageSource::Deliver(const Target& target) {
  m_sweep = 0;
  m_own.clear();
  for (UINT own : target.Own) m_own.insert(m_own.end(), kTriesPerOwnNumber, own);
  const HWND window = target.Window;
  int delivered = 0;
  for (; delivered < target.Count && IsWindow(window); ++delivered) {
    Message message = Next(target.Excluded);
    const Message posted = message;
    if (GetEnvironmentVariableW(L"VIREO_HOSTILE_TRACE", nullptr, 0)) {
      std::printf("    %p 0x%04X %llx %llx\n", static_cast<void*>(window), message.Number,
                  static_cast<unsigned long long>(message.WParam),
                  static_cast<unsigned long long>(message.LParam));
      std::fflush(stdout);
    }
    if (target.WaitForAnswers) {
      if (message.Number < WM_USER) ShapeForSend(message);
      DWORD_PTR result = 0;
      SendMessageTimeoutW(window, message.Number, message.WParam, message.LParam, SMTO_NORMAL,
                          kSendTimeoutMs, &result);
    } else {
      SendNotifyMessageW(window, message.Number, message.WParam, message.LParam);
    }
    // The system refuses to post what carries pointers; a full queue takes a moment.
    for (int attempt = 0; attempt < 100; ++attempt) {
      if (PostMessageW(window, posted.Number, posted.WParam, posted.LParam)) break;
      if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA) break;
      Sleep(10);
    }
  }
  return delivered;
}

std::vector<HWND> WindowsOfProcess(DWORD processId, const std::vector<const wchar_t*>& ownModules) {
  // The instances of the process's program and of its own libraries.
  std::vector<HINSTANCE> instances;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (process != nullptr) {
    HMODULE modules[512];
    DWORD bytes = 0;
    if (EnumProcessModules(process, modules, sizeof modules, &bytes)) {
      const std::size_t found = std::min<std::size_t>(bytes / sizeof(HMODULE), std::size(modules));
      for (std::size_t i = 0; i < found; ++i) {
        wchar_t name[MAX_PATH] = {};
        GetModuleBaseNameW(process, modules[i], name, MAX_PATH);
        const bool own =
            i == 0 || std::any_of(ownModules.begin(), ownModules.end(),
                                  [&](const wchar_t* m) { return !_wcsicmp(m, name); });
        if (own) instances.push_back(modules[i]);
      }
    }
    CloseHandle(process);
  }

  struct Search {
    DWORD ProcessId;
    std::vector<HWND> Found;
  } search{processId, {}};
  const auto collect = [](HWND window, LPARAM context) -> BOOL {
    auto& s = *reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == s.ProcessId) s.Found.push_back(window);
    return TRUE;
  };
  EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    collect(window, reinterpret_cast<LPARAM>(&search));
  }
  const std::vector<HWND> topLevel = search.Found;
  for (HWND parent : topLevel) EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&search));

  std::vector<HWND> windows;
  for (HWND window : search.Found) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    if (std::find(instances.begin(), instances.end(), instance) != instances.end() &&
        std::find(windows.begin(), windows.end(), window) == windows.end()) {
      windows.push_back(window);
    }
  }
  return windows;
}

}  // namespace harness

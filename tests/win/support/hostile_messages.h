#pragma once
// Messages with random numbers and parameters, sent and posted to another process's windows as
// any program on the desktop could. Reproducible: the generator is seeded, and the seed in use
// is printed so that a failure can be replayed with VIREO_HOSTILE_SEED=<seed>.
//
// Every message of the system's range (0 to WM_USER - 1) is tried once per window, and each of
// the receiver's own numbers several times, before the random ones, whose numbers favour the
// system's range (where the platform itself gives messages a meaning) over the private,
// application and registered ranges. Parameters mix values a handler may look for (0, 1, -1,
// small numbers, system command codes) with random bits.
//
// A message that the system marshals between processes carries pointers the system follows in
// the sender: those are sent with valid memory of this process behind them (random bytes, or a
// record of the shape the system reads when it has pointers of its own), so the receiver gets
// random content, never this process a crash. VIREO_HOSTILE_TRACE=1 prints every message.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace harness {

// A message left out of the random set because acting on it is the receiver's contract:
// the message, or only those whose wParam has this low word.
struct ExcludedMessage {
  UINT Message = 0;
  std::optional<WORD> Word;
};

// The seed of this run: VIREO_HOSTILE_SEED when set (decimal or 0x hex), else a fixed one.
std::uint64_t HostileSeed();

class HostileMessageSource {
 public:
  explicit HostileMessageSource(std::uint64_t seed);

  // What one window gets: `count` messages, each sent and then posted; `own` are numbers the
  // receiver itself handles. With `waitForAnswers` false the sends do not wait
  // (SendNotifyMessage): for a window whose thread is busy.
  struct Target {
    HWND Window = nullptr;
    std::vector<ExcludedMessage> Excluded;
    std::vector<UINT> Own;
    int Count = 4000;
    bool WaitForAnswers = true;
  };
  // The count of messages delivered: fewer than asked when the window went away meanwhile.
  int Deliver(const Target& target);

 private:
  struct Message {
    UINT Number;
    WPARAM WParam;
    LPARAM LParam;
  };
  Message Next(const std::vector<ExcludedMessage>& excluded);
  UINT Number();
  WPARAM Parameter();
  std::uint64_t Bits();
  // The lParam (and wParam) of a system message that is sent and waited for.
  void ShapeForSend(Message& message);

  std::uint64_t m_state;
  unsigned m_sweep = 0;
  std::vector<UINT> m_own;  // still to sweep, each several times
  // Memory behind the pointers of sent system messages: random bytes, then zeros (so that any
  // text read from it ends), large enough for any count of up to 0xFFFF items.
  std::vector<std::uint8_t> m_buffer;
  std::vector<std::uint8_t> m_second;
};

// Every window of the process: top-level, child and message-only, whose module instance is
// the process's program or one of its own libraries (`ownModules`: file names such as
// L"Conduit.dll"); windows of the system's modules (Wine's IME windows ...) are left out.
std::vector<HWND> WindowsOfProcess(DWORD processId, const std::vector<const wchar_t*>& ownModules);

}  // namespace harness

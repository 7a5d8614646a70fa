#pragma once
// Hands input reports to the agent's callback on a thread of its own, in arrival order, so a
// callback that takes long (a shell action started by a mouse button) never stops the readers
// or the link from taking in reports and answers. A bounded queue: a callback that stalls
// loses reports beyond it, never memory.
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

#include "conduit/conduit.h"
#include "conduit/library_thread.h"

class InputDispatcher {
 public:
  InputDispatcher() = default;
  ~InputDispatcher() { Stop(); }
  InputDispatcher(const InputDispatcher&) = delete;
  InputDispatcher& operator=(const InputDispatcher&) = delete;

  bool Start();
  // Ends the thread; what waits is dropped.
  void Stop();
  // Any thread.
  void Queue(uint32_t deviceId, const uint8_t* report, uint32_t length);
  // From then on reports go to `callback` (null: nowhere). Returns once a call to the previous
  // callback has ended, unless the callback itself asks.
  void SetCallback(ConduitInputCallback callback);

 private:
  void Run();

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<std::pair<uint32_t, std::vector<uint8_t>>> m_waiting;
  ConduitInputCallback m_callback = nullptr;
  bool m_calling = false;
  bool m_stopping = false;
  DWORD m_threadId = 0;
  LibraryThread m_thread;
};

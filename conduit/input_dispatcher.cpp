#include "conduit/input_dispatcher.h"

#include "conduit/conduit_log.h"

namespace {

constexpr std::size_t kMostWaiting = 256;

}  // namespace

bool InputDispatcher::Start() {
  Stop();
  {
    std::lock_guard lock(m_mutex);
    m_stopping = false;
  }
  // The callback may reach the shell (a mouse button's PC function): a full-size stack.
  return m_thread.Start([this] { Run(); }, LibraryThread::kCallbackStack);
}

void InputDispatcher::Stop() {
  {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
    m_waiting.clear();
    m_changed.notify_all();
  }
  m_thread.Join();
}

void InputDispatcher::Queue(uint32_t deviceId, const uint8_t* report, uint32_t length) {
  std::lock_guard lock(m_mutex);
  if (m_stopping || !m_callback) return;
  if (m_waiting.size() >= kMostWaiting) {
    ConduitLog("input report dropped: the callback is %u reports behind",
               static_cast<unsigned>(m_waiting.size()));
    return;
  }
  m_waiting.emplace_back(deviceId, std::vector<uint8_t>(report, report + length));
  m_changed.notify_all();
}

void InputDispatcher::SetCallback(ConduitInputCallback callback) {
  std::unique_lock lock(m_mutex);
  m_callback = callback;
  if (GetCurrentThreadId() == m_threadId) return;  // asked from inside the callback
  m_changed.wait(lock, [this] { return !m_calling; });
}

void InputDispatcher::Run() {
  std::unique_lock lock(m_mutex);
  m_threadId = GetCurrentThreadId();
  for (;;) {
    m_changed.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
    if (m_stopping) break;
    std::pair<uint32_t, std::vector<uint8_t>> input = std::move(m_waiting.front());
    m_waiting.pop_front();
    const ConduitInputCallback callback = m_callback;
    if (!callback) continue;
    m_calling = true;
    lock.unlock();
    callback(input.first, input.second.data(), static_cast<uint32_t>(input.second.size()));
    lock.lock();
    m_calling = false;
    m_changed.notify_all();
  }
  m_threadId = 0;
}

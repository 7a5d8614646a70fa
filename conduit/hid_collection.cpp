#include "conduit/hid_collection.h"

#include <chrono>
#include <cstring>
#include <utility>

#include "conduit/conduit_transport.h"
#include "conduit/hid_api.h"

namespace {

constexpr DWORD kTransferMilliseconds = 1000;
constexpr auto kAnswerTimeout = std::chrono::milliseconds(1000);

}  // namespace

HidCollection::HidCollection(std::wstring path, uint32_t deviceId, UniqueKernelHandle handle,
                             const Caps& caps)
    : m_path(std::move(path)),
      m_deviceId(deviceId),
      m_handle(std::move(handle)),
      m_caps(caps),
      m_stopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

HidCollection::~HidCollection() {
  Close();
}

bool HidCollection::Lost() const {
  std::lock_guard lock(m_mutex);
  return m_lost;
}

void HidCollection::StartReading(InputHandler onInput, LostHandler onLost) {
  m_onInput = std::move(onInput);
  m_onLost = std::move(onLost);
  if (m_caps.InputLength == 0 || !m_stopEvent) return;
  m_reader.Start([this] { ReadLoop(); });
}

void HidCollection::Close() {
  if (m_stopEvent) SetEvent(m_stopEvent.get());
  if (m_handle) CancelIoEx(m_handle.get(), nullptr);
  m_reader.Join();
  std::lock_guard lock(m_mutex);
  m_lost = true;
  m_inputArrived.notify_all();
}

// One overlapped transfer, given up after a second or when the collection closes.
bool HidCollection::Transfer(bool write, uint8_t* bytes, DWORD length, DWORD* done) {
  UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!event) return false;
  OVERLAPPED overlapped{};
  overlapped.hEvent = event.get();
  *done = 0;
  const BOOL started = write ? WriteFile(m_handle.get(), bytes, length, nullptr, &overlapped)
                             : ReadFile(m_handle.get(), bytes, length, nullptr, &overlapped);
  if (!started && GetLastError() != ERROR_IO_PENDING) return false;
  HANDLE waits[] = {event.get(), m_stopEvent.get()};
  const DWORD woken =
      WaitForMultipleObjects(2, waits, FALSE, write ? kTransferMilliseconds : INFINITE);
  if (woken != WAIT_OBJECT_0) CancelIoEx(m_handle.get(), &overlapped);
  // Always wait for the end of the request: the kernel writes into `overlapped` until then.
  const BOOL finished = GetOverlappedResult(m_handle.get(), &overlapped, done, TRUE);
  return finished && woken == WAIT_OBJECT_0;
}

void HidCollection::ReadLoop() {
  std::vector<uint8_t> report(m_caps.InputLength);
  while (WaitForSingleObject(m_stopEvent.get(), 0) != WAIT_OBJECT_0) {
    DWORD received = 0;
    if (!Transfer(false, report.data(), static_cast<DWORD>(report.size()), &received)) break;
    if (received == 0) continue;
    {
      std::lock_guard lock(m_mutex);
      m_answers[report[0]].assign(report.begin(), report.begin() + received);
      m_inputArrived.notify_all();
    }
    if (m_onInput) m_onInput(m_deviceId, report.data(), received);
  }
  const bool stopped = WaitForSingleObject(m_stopEvent.get(), 0) == WAIT_OBJECT_0;
  {
    std::lock_guard lock(m_mutex);
    m_lost = true;
    m_inputArrived.notify_all();
  }
  if (!stopped && m_onLost) m_onLost();
}

bool HidCollection::Write(const uint8_t* report, uint32_t length) {
  if (!report || length == 0 || Lost()) return false;
  {
    std::lock_guard lock(m_mutex);
    m_answers.clear();  // what comes after this write may answer it
  }
  if (m_caps.OutputLength > 0) {
    std::vector<uint8_t> padded(m_caps.OutputLength, 0);
    std::memcpy(padded.data(), report, length < padded.size() ? length : padded.size());
    DWORD written = 0;
    return Transfer(true, padded.data(), static_cast<DWORD>(padded.size()), &written);
  }
  if (m_caps.FeatureLength > 0) {
    std::vector<uint8_t> padded(m_caps.FeatureLength, 0);
    std::memcpy(padded.data(), report, length < padded.size() ? length : padded.size());
    return HidD_SetFeature(m_handle.get(), padded.data(), static_cast<ULONG>(padded.size()));
  }
  return false;
}

bool HidCollection::Read(uint8_t* buffer, uint32_t length) {
  if (!buffer || length < 2 || Lost()) {
    if (buffer) ClearAnswer(buffer, length);
    return false;
  }
  std::vector<uint8_t> answer;
  if (m_caps.FeatureLength > 0) {
    answer.assign(m_caps.FeatureLength, 0);
    std::memcpy(answer.data(), buffer, length < answer.size() ? length : answer.size());
    if (!HidD_GetFeature(m_handle.get(), answer.data(), static_cast<ULONG>(answer.size()))) {
      answer.clear();
    }
  } else {
    const uint8_t reportId = buffer[0];
    std::unique_lock lock(m_mutex);
    m_inputArrived.wait_for(lock, kAnswerTimeout,
                            [&] { return m_lost || m_answers.count(reportId) != 0; });
    const auto found = m_answers.find(reportId);
    if (found != m_answers.end()) {
      answer = std::move(found->second);
      m_answers.erase(found);
    }
  }
  if (answer.empty()) {
    ClearAnswer(buffer, length);
    return false;
  }
  const std::size_t copied = answer.size() < length ? answer.size() : length;
  std::memcpy(buffer, answer.data(), copied);
  for (std::size_t i = copied; i < length; ++i) buffer[i] = 0;
  return true;
}

#include "conduit/hid_collection.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

#include "conduit/conduit_log.h"
#include "conduit/conduit_transport.h"

namespace {

constexpr DWORD kTransferMilliseconds = 1000;
constexpr auto kAnswerTimeout = std::chrono::milliseconds(1000);
// Input reports kept as possible answers; a mouse that floods reports cannot grow the list.
constexpr std::size_t kKeptInputs = 64;

}  // namespace

HidCollection::HidCollection(const HidApi& api, Identity identity, UniqueHidDevice handle,
                             bool readWrite, const HidReportTable& reports)
    : m_api(api),
      m_identity(std::move(identity)),
      m_handle(std::move(handle)),
      m_readWrite(readWrite),
      m_reports(reports),
      m_stopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

HidCollection::~HidCollection() {
  Close();
}

bool HidCollection::Lost() const {
  std::lock_guard lock(m_mutex);
  return m_lost;
}

bool HidCollection::Stopping() const {
  return WaitForSingleObject(m_stopEvent.get(), 0) == WAIT_OBJECT_0;
}

void HidCollection::StartReading(InputHandler onInput, LostHandler onLost) {
  m_onInput = std::move(onInput);
  m_onLost = std::move(onLost);
  if (!m_readWrite || m_reports.Lengths().Input == 0 || !m_stopEvent) return;
  {
    std::lock_guard lock(m_mutex);
    m_reading = true;
  }
  if (!m_reader.Start([this] { ReadLoop(); })) {
    std::lock_guard lock(m_mutex);
    m_reading = false;
  }
}

void HidCollection::Close() {
  if (m_stopEvent) SetEvent(m_stopEvent.get());
  if (m_handle) m_api.CancelIoEx(m_handle.get(), nullptr);
  m_reader.Join();
  std::lock_guard lock(m_mutex);
  m_lost = true;
  m_reading = false;
  m_inputArrived.notify_all();
}

bool HidCollection::Transfer(Way way, DWORD code, uint8_t* bytes, DWORD length, DWORD timeout,
                             DWORD* done, const char* what) {
  *done = 0;
  UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!event || !m_stopEvent) return false;
  OVERLAPPED overlapped{};
  overlapped.hEvent = event.get();
  HANDLE handle = m_handle.get();
  BOOL started = FALSE;
  switch (way) {
    case Way::Read:
      started = ReadFile(handle, bytes, length, nullptr, &overlapped);
      break;
    case Way::Write:
      started = WriteFile(handle, bytes, length, nullptr, &overlapped);
      break;
    case Way::Control: {
      // Reports to the device go in the input buffer, reports from it in the output buffer.
      const bool toDevice = code == IOCTL_HID_SET_FEATURE || code == IOCTL_HID_SET_OUTPUT_REPORT;
      started = m_api.DeviceIoControl(handle, code, toDevice ? bytes : nullptr,
                                      toDevice ? length : 0, toDevice ? nullptr : bytes,
                                      toDevice ? 0 : length, nullptr, &overlapped);
      break;
    }
  }
  if (!started && GetLastError() != ERROR_IO_PENDING) {
    if (!Stopping()) ConduitLog("%s of %lu bytes failed: error %lu", what, length, GetLastError());
    return false;
  }
  HANDLE waits[] = {event.get(), m_stopEvent.get()};
  const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, timeout);
  if (woken != WAIT_OBJECT_0) m_api.CancelIoEx(handle, &overlapped);
  // Always wait for the end of the request: the system writes into `overlapped` until then.
  const BOOL finished = GetOverlappedResult(handle, &overlapped, done, TRUE);
  if (woken == WAIT_TIMEOUT) {
    ConduitLog("%s of %lu bytes timed out after %lu ms", what, length, timeout);
  } else if (!finished && !Stopping()) {
    ConduitLog("%s of %lu bytes failed: error %lu", what, length, GetLastError());
  }
  return finished && woken == WAIT_OBJECT_0;
}

bool HidCollection::Control(DWORD code, std::vector<uint8_t>& report, const char* what) {
  DWORD done = 0;
  if (!Transfer(Way::Control, code, report.data(), static_cast<DWORD>(report.size()),
                kTransferMilliseconds, &done, what)) {
    return false;
  }
  const bool fromDevice = code == IOCTL_HID_GET_FEATURE || code == IOCTL_HID_GET_INPUT_REPORT;
  if (fromDevice && done < report.size()) {
    ConduitLog("%s gave %lu of %u bytes", what, done, static_cast<unsigned>(report.size()));
    return false;
  }
  return true;
}

void HidCollection::ReadLoop() {
  std::vector<uint8_t> report(m_reports.Lengths().Input);
  while (!Stopping()) {
    DWORD received = 0;
    if (!Transfer(Way::Read, 0, report.data(), static_cast<DWORD>(report.size()), INFINITE,
                  &received, "ReadFile")) {
      break;
    }
    if (received == 0) continue;
    {
      std::lock_guard lock(m_mutex);
      m_inputs.emplace_back(report.begin(), report.begin() + received);
      if (m_inputs.size() > kKeptInputs) m_inputs.pop_front();
      m_inputArrived.notify_all();
    }
    if (m_onInput) m_onInput(m_identity.DeviceId, report.data(), received);
  }
  const bool stopped = Stopping();
  {
    std::lock_guard lock(m_mutex);
    m_lost = true;
    m_reading = false;
    m_inputArrived.notify_all();
  }
  if (!stopped && m_onLost) m_onLost();
}

bool HidCollection::Write(const uint8_t* report, uint32_t length) {
  if (!report || length == 0 || Lost()) return false;
  const uint8_t id = report[0];
  const bool output = m_reports.Declares(HidReportTable::kOutput, id);
  const HidReportTable::Type type = output ? HidReportTable::kOutput : HidReportTable::kFeature;
  const uint16_t declared = m_reports.Length(type, id);
  if (declared == 0) {
    ConduitLog("write of report %u refused: neither an output nor a feature report", id);
    return false;
  }
  if (length > declared) {
    ConduitLog("write of report %u refused: %u bytes, the collection declares %u", id, length,
               declared);
    return false;
  }
  const auto& lengths = m_reports.Lengths();
  std::vector<uint8_t> padded(output ? lengths.Output : lengths.Feature, 0);
  std::memcpy(padded.data(), report, length);
  {
    std::lock_guard lock(m_mutex);
    std::memcpy(m_request, padded.data(), std::min<std::size_t>(sizeof m_request, padded.size()));
    m_inputs.clear();  // what comes after this write may answer it
  }
  if (!output) return Control(IOCTL_HID_SET_FEATURE, padded, "IOCTL_HID_SET_FEATURE");
  if (!m_readWrite)
    return Control(IOCTL_HID_SET_OUTPUT_REPORT, padded, "IOCTL_HID_SET_OUTPUT_REPORT");
  DWORD written = 0;
  return Transfer(Way::Write, 0, padded.data(), static_cast<DWORD>(padded.size()),
                  kTransferMilliseconds, &written, "WriteFile");
}

bool HidCollection::Answers(const std::vector<uint8_t>& report, const uint8_t* preset) {
  if (report.size() < 2 || report[0] != preset[0] || report[1] != preset[1]) return false;
  if (report.size() < 4) return true;
  if (report[2] == m_request[2] && report[3] == m_request[3]) {
    if (report[2] != 0 || report[3] != 0) m_echoes = true;
    return true;
  }
  // A mouse that does not echo the address leaves zeros there.
  return !m_echoes && report[2] == 0 && report[3] == 0;
}

std::vector<uint8_t> HidCollection::WaitForPushedAnswer(const uint8_t* preset) {
  std::vector<uint8_t> answer;
  std::unique_lock lock(m_mutex);
  m_inputArrived.wait_for(lock, kAnswerTimeout, [&] {
    if (m_lost || !m_reading) return true;
    for (auto it = m_inputs.begin(); it != m_inputs.end(); ++it) {
      if (Answers(*it, preset)) {
        answer = std::move(*it);
        m_inputs.erase(it);
        return true;
      }
    }
    return false;
  });
  return answer;
}

bool HidCollection::Read(uint8_t* buffer, uint32_t length) {
  if (!buffer || length < 2 || Lost()) {
    if (buffer) ClearAnswer(buffer, length);
    return false;
  }
  const uint8_t id = buffer[0];
  const auto& lengths = m_reports.Lengths();
  std::vector<uint8_t> answer;
  if (m_reports.Declares(HidReportTable::kFeature, id)) {
    if (length > m_reports.Length(HidReportTable::kFeature, id)) {
      ConduitLog("read of report %u refused: %u bytes, the collection declares %u", id, length,
                 m_reports.Length(HidReportTable::kFeature, id));
    } else {
      std::vector<uint8_t> report(lengths.Feature, 0);
      std::memcpy(report.data(), buffer, length);
      if (Control(IOCTL_HID_GET_FEATURE, report, "IOCTL_HID_GET_FEATURE")) {
        if (Answers(report, buffer)) {
          answer = std::move(report);
        } else {
          ConduitLog("feature report %u does not answer the read (%02X %02X)", id, report[0],
                     report[1]);
        }
      }
    }
  } else if (m_reports.Declares(HidReportTable::kInput, id)) {
    if (length > m_reports.Length(HidReportTable::kInput, id)) {
      ConduitLog("read of report %u refused: %u bytes, the collection declares %u", id, length,
                 m_reports.Length(HidReportTable::kInput, id));
    } else {
      answer = WaitForPushedAnswer(buffer);
      if (answer.empty() && !Lost()) {
        // No pushed answer (or no reader): ask for the input report on the control pipe.
        std::vector<uint8_t> report(lengths.Input, 0);
        report[0] = id;
        if (Control(IOCTL_HID_GET_INPUT_REPORT, report, "IOCTL_HID_GET_INPUT_REPORT") &&
            Answers(report, buffer)) {
          answer = std::move(report);
        } else {
          ConduitLog("read of report %u: no answer", id);
        }
      }
    }
  } else {
    ConduitLog("read of report %u refused: neither an input nor a feature report", id);
  }
  if (answer.size() < length) {
    ClearAnswer(buffer, length);
    return false;
  }
  std::memcpy(buffer, answer.data(), length);
  return true;
}

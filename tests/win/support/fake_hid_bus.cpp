#include "support/fake_hid_bus.h"

#include <algorithm>
#include <cstring>

#include "conduit/hid_api.h"

namespace harness {

namespace {

constexpr DWORD kPipeBuffer = 64 * 1024;
std::atomic<int> g_buses{0};

HANDLE MakePipe(const std::wstring& name, DWORD instances) {
  return CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                          PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, instances,
                          kPipeBuffer, kPipeBuffer, 0, nullptr);
}

// Waits for an overlapped operation, giving up at `stop` (then cancelling it).
bool Finish(HANDLE handle, OVERLAPPED& overlapped, BOOL started, HANDLE stop, DWORD* done,
            DWORD milliseconds = INFINITE) {
  if (!started && GetLastError() != ERROR_IO_PENDING && GetLastError() != ERROR_MORE_DATA &&
      GetLastError() != ERROR_PIPE_CONNECTED) {
    return false;
  }
  if (started || GetLastError() == ERROR_PIPE_CONNECTED) {
    DWORD ignored = 0;
    GetOverlappedResult(handle, &overlapped, done ? done : &ignored, FALSE);
    return true;
  }
  HANDLE waits[] = {overlapped.hEvent, stop};
  const DWORD woken = WaitForMultipleObjects(stop ? 2 : 1, waits, FALSE, milliseconds);
  if (woken != WAIT_OBJECT_0) CancelIoEx(handle, &overlapped);
  DWORD ignored = 0;
  const BOOL ok = GetOverlappedResult(handle, &overlapped, done ? done : &ignored, TRUE);
  return woken == WAIT_OBJECT_0 && (ok || GetLastError() == ERROR_MORE_DATA);
}

bool Connect(HANDLE pipe, HANDLE stop) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const bool ok =
      Finish(pipe, overlapped, ConnectNamedPipe(pipe, &overlapped), stop, nullptr, 5000);
  CloseHandle(overlapped.hEvent);
  return ok;
}

bool WriteMessage(HANDLE pipe, const void* bytes, std::size_t length, HANDLE stop) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const bool ok = Finish(pipe, overlapped,
                         WriteFile(pipe, bytes, static_cast<DWORD>(length), nullptr, &overlapped),
                         stop, nullptr, 2000);
  CloseHandle(overlapped.hEvent);
  return ok;
}

}  // namespace

struct FakeHidBus::Entry {
  FakeHidInterface Interface;
  bool Present = false;
  int Opens = 0;
  std::vector<FakeHidTransfer> Transfers;
};

struct FakeHidBus::Session {
  int Index = 0;
  HANDLE Data = nullptr;  // null without access
  HANDLE Control = nullptr;
  HANDLE Stop = nullptr;
  std::mutex WriteMutex;
  std::thread Thread;
  std::atomic<bool> Ended{false};

  ~Session() {
    SetEvent(Stop);
    if (Data) DisconnectNamedPipe(Data);
    DisconnectNamedPipe(Control);
    if (Thread.joinable()) Thread.join();
    if (Data) CloseHandle(Data);
    CloseHandle(Control);
    CloseHandle(Stop);
  }
};

FakeHidBus::FakeHidBus()
    : m_name(L"\\\\.\\pipe\\vireo-fake-hid-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++g_buses)),
      m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  SetEnvironmentVariableW(fake_hid::kBusVariable, m_name.c_str());
  m_server = std::thread([this] { Serve(); });
}

FakeHidBus::~FakeHidBus() {
  SetEvent(m_stop);
  m_server.join();
  std::vector<std::unique_ptr<Session>> sessions;
  {
    std::lock_guard lock(m_mutex);
    sessions.swap(m_sessions);
    for (HANDLE listener : m_listeners) {
      DisconnectNamedPipe(listener);
      CloseHandle(listener);
    }
    m_listeners.clear();
  }
  sessions.clear();
  SetEnvironmentVariableW(fake_hid::kBusVariable, nullptr);
  CloseHandle(m_stop);
}

int FakeHidBus::Add(const FakeHidInterface& interfaceToAdd) {
  std::lock_guard lock(m_mutex);
  auto entry = std::make_unique<Entry>();
  entry->Interface = interfaceToAdd;
  m_entries.push_back(std::move(entry));
  return static_cast<int>(m_entries.size() - 1);
}

void FakeHidBus::Plug(std::initializer_list<int> interfaces) {
  {
    std::lock_guard lock(m_mutex);
    for (int index : interfaces) m_entries.at(index)->Present = true;
  }
  Notify('A');
}

void FakeHidBus::Unplug(std::initializer_list<int> interfaces) {
  for (int index : interfaces) {
    {
      std::lock_guard lock(m_mutex);
      m_entries.at(index)->Present = false;
    }
    EndSessions(index);
  }
  Notify('R');
}

void FakeHidBus::EndSessions(int interfaceIndex) {
  std::vector<std::unique_ptr<Session>> ending;
  {
    std::lock_guard lock(m_mutex);
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
      if ((*it)->Index == interfaceIndex) {
        ending.push_back(std::move(*it));
        it = m_sessions.erase(it);
      } else {
        ++it;
      }
    }
  }
  ending.clear();  // disconnects the pipes under any transfer in progress
}

bool FakeHidBus::Push(int interfaceIndex, const std::vector<uint8_t>& report) {
  std::vector<Session*> readers;
  {
    std::lock_guard lock(m_mutex);
    for (const auto& session : m_sessions) {
      if (session->Index == interfaceIndex && session->Data && !session->Ended) {
        readers.push_back(session.get());
      }
    }
  }
  bool taken = false;
  for (Session* session : readers) {
    std::lock_guard lock(session->WriteMutex);
    taken = WriteMessage(session->Data, report.data(), report.size(), session->Stop) || taken;
  }
  return taken;
}

bool FakeHidBus::WaitListener(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    {
      std::lock_guard lock(m_mutex);
      if (!m_listeners.empty()) return true;
    }
    if (GetTickCount64() >= end) return false;
    Sleep(10);
  }
}

void FakeHidBus::SetFailingOpens(int interfaceIndex, int count) {
  std::lock_guard lock(m_mutex);
  m_entries.at(interfaceIndex)->Interface.FailingOpens = count;
}

void FakeHidBus::SetDenyReadWrite(int interfaceIndex, bool deny) {
  std::lock_guard lock(m_mutex);
  m_entries.at(interfaceIndex)->Interface.DenyReadWrite = deny;
}

bool FakeHidBus::HasReader(int interfaceIndex) const {
  std::lock_guard lock(m_mutex);
  return std::any_of(m_sessions.begin(), m_sessions.end(), [&](const auto& s) {
    return s->Index == interfaceIndex && s->Data && !s->Ended;
  });
}

int FakeHidBus::Opens(int interfaceIndex) const {
  std::lock_guard lock(m_mutex);
  return m_entries.at(interfaceIndex)->Opens;
}

int FakeHidBus::OpenSessions(int interfaceIndex) const {
  std::lock_guard lock(m_mutex);
  return static_cast<int>(std::count_if(m_sessions.begin(), m_sessions.end(), [&](const auto& s) {
    return s->Index == interfaceIndex && !s->Ended;
  }));
}

std::vector<FakeHidTransfer> FakeHidBus::Transfers(int interfaceIndex) const {
  std::lock_guard lock(m_mutex);
  return m_entries.at(interfaceIndex)->Transfers;
}

void FakeHidBus::ClearTransfers() {
  std::lock_guard lock(m_mutex);
  for (auto& entry : m_entries) entry->Transfers.clear();
}

void FakeHidBus::Record(int interfaceIndex, FakeHidTransfer transfer) {
  std::lock_guard lock(m_mutex);
  m_entries.at(interfaceIndex)->Transfers.push_back(transfer);
}

void FakeHidBus::Notify(char notice) {
  std::vector<HANDLE> listeners;
  {
    std::lock_guard lock(m_mutex);
    listeners = m_listeners;
  }
  for (HANDLE listener : listeners) WriteMessage(listener, &notice, 1, m_stop);
}

void FakeHidBus::Serve() {
  for (;;) {
    HANDLE pipe = MakePipe(m_name, PIPE_UNLIMITED_INSTANCES);
    if (pipe == INVALID_HANDLE_VALUE) return;
    if (!Connect(pipe, m_stop)) {
      CloseHandle(pipe);
      if (WaitForSingleObject(m_stop, 0) == WAIT_OBJECT_0) return;
      continue;
    }
    std::vector<char> buffer(kPipeBuffer);
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD got = 0;
    const BOOL started =
        ReadFile(pipe, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, &overlapped);
    if (!Finish(pipe, overlapped, started, m_stop, &got, 2000)) got = 0;
    CloseHandle(overlapped.hEvent);
    const std::string request(buffer.data(), got);
    bool keep = false;
    const std::string reply = Answer(request, pipe, keep);
    if (keep) continue;
    WriteMessage(pipe, reply.data(), reply.size(), m_stop);
    FlushFileBuffers(pipe);
    DisconnectNamedPipe(pipe);
    CloseHandle(pipe);
  }
}

std::string FakeHidBus::Answer(const std::string& request, HANDLE pipe, bool& keep) {
  if (request.empty()) return "err\t1";
  switch (request[0]) {
    case fake_hid::kList: {
      if (m_failNextList.exchange(false)) return "throw";
      std::lock_guard lock(m_mutex);
      std::string reply = "ok";
      for (const auto& entry : m_entries) {
        if (!entry->Present) continue;
        reply += '\n';
        reply += fake_hid::Serialize(entry->Interface.Description);
      }
      return reply;
    }
    case fake_hid::kOpen: {
      const auto tab = request.find('\t');
      if (request.size() < 3 || tab == std::string::npos) return "err\t87";
      return Open(request.substr(tab + 1), request[1] == '1');
    }
    case fake_hid::kNotices: {
      keep = true;
      std::lock_guard lock(m_mutex);
      m_listeners.push_back(pipe);
      return {};
    }
    default:
      return "err\t1";
  }
}

std::string FakeHidBus::Open(const std::string& path, bool readWrite) {
  std::lock_guard lock(m_mutex);
  // Sessions whose client went away are gone for good.
  std::erase_if(m_sessions, [](const auto& session) { return session->Ended.load(); });
  int index = -1;
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    if (m_entries[i]->Present && m_entries[i]->Interface.Description.Path == path) {
      index = static_cast<int>(i);
    }
  }
  if (index < 0) return "err\t2";
  Entry& entry = *m_entries[index];
  ++entry.Opens;
  if (entry.Interface.FailingOpens > 0) {
    --entry.Interface.FailingOpens;
    return "err\t32";  // ERROR_SHARING_VIOLATION
  }
  if (readWrite && entry.Interface.DenyReadWrite) return "err\t5";  // ERROR_ACCESS_DENIED

  auto session = std::make_unique<Session>();
  session->Index = index;
  session->Stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const std::wstring base = m_name + L"-" + std::to_wstring(++m_sessionCount);
  session->Control = MakePipe(base + L"-control", 1);
  if (readWrite) session->Data = MakePipe(base + L"-data", 1);
  Session* served = session.get();
  session->Thread = std::thread([this, served] { ServeSession(*served); });
  m_sessions.push_back(std::move(session));
  const std::string narrow(base.begin(), base.end());
  return "ok\t" + (readWrite ? narrow + "-data" : std::string()) + "\t" + narrow + "-control";
}

void FakeHidBus::ServeSession(Session& session) {
  if (!Connect(session.Control, session.Stop) ||
      (session.Data && !Connect(session.Data, session.Stop))) {
    session.Ended = true;
    return;
  }
  fake_hid::InterfaceDescription description;
  FakeHidDevice* device = nullptr;
  {
    std::lock_guard lock(m_mutex);
    description = m_entries.at(session.Index)->Interface.Description;
    device = m_entries.at(session.Index)->Interface.Device;
  }
  struct Pending {
    HANDLE Pipe = nullptr;
    OVERLAPPED Overlapped{};
    std::vector<uint8_t> Buffer = std::vector<uint8_t>(kPipeBuffer);
    bool Reading = false;
  };
  Pending data, control;
  data.Pipe = session.Data;
  control.Pipe = session.Control;
  data.Overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  control.Overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  auto start = [](Pending& p) {
    ResetEvent(p.Overlapped.hEvent);
    const BOOL started = ReadFile(p.Pipe, p.Buffer.data(), static_cast<DWORD>(p.Buffer.size()),
                                  nullptr, &p.Overlapped);
    p.Reading = started || GetLastError() == ERROR_IO_PENDING;
    if (started) SetEvent(p.Overlapped.hEvent);
    return p.Reading;
  };
  bool alive = start(control) && (!data.Pipe || start(data));
  while (alive) {
    HANDLE waits[] = {session.Stop, control.Overlapped.hEvent, data.Overlapped.hEvent};
    const DWORD woken = WaitForMultipleObjects(data.Pipe ? 3 : 2, waits, FALSE, INFINITE);
    if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) break;
    Pending& p = woken == WAIT_OBJECT_0 + 1 ? control : data;
    DWORD got = 0;
    if (!GetOverlappedResult(p.Pipe, &p.Overlapped, &got, FALSE)) break;
    p.Reading = false;
    std::vector<uint8_t> message(p.Buffer.begin(), p.Buffer.begin() + got);
    if (&p == &data) {
      // WriteFile: exactly the collection's output length, of a declared output id.
      const uint8_t id = message.empty() ? 0 : message[0];
      const uint16_t declared = description.LengthOf('o', id);
      const bool accepted = declared != 0 && got == description.LongestOf('o');
      Record(session.Index, {accepted ? 'w' : 'W', id, got});
      if (accepted && device) {
        message.resize(declared);
        device->Output(session.Index, message);
      }
    } else if (got >= 4) {
      DWORD code = 0;
      std::memcpy(&code, message.data(), 4);
      const std::vector<uint8_t> payload(message.begin() + 4, message.end());
      const std::vector<uint8_t> reply = [&] {
        const uint8_t id = payload.empty() ? 0 : payload[0];
        const auto length = static_cast<uint32_t>(payload.size());
        auto refuse = [&](char kind) {
          Record(session.Index, {kind, id, length});
          return std::vector<uint8_t>{0};
        };
        if (code == IOCTL_HID_SET_OUTPUT_REPORT || code == IOCTL_HID_SET_FEATURE) {
          const char type = code == IOCTL_HID_SET_FEATURE ? 'f' : 'o';
          const char kind = code == IOCTL_HID_SET_FEATURE ? 's' : 'o';
          const uint16_t declared = description.LengthOf(type, id);
          if (declared == 0 || length != description.LongestOf(type)) {
            return refuse(static_cast<char>(kind - 32));
          }
          Record(session.Index, {kind, id, length});
          std::vector<uint8_t> report(payload.begin(), payload.begin() + declared);
          if (device) {
            type == 'f' ? device->SetFeature(session.Index, report)
                        : device->Output(session.Index, report);
          }
          return std::vector<uint8_t>{1};
        }
        if (code == IOCTL_HID_GET_FEATURE || code == IOCTL_HID_GET_INPUT_REPORT) {
          const bool feature = code == IOCTL_HID_GET_FEATURE;
          const char type = feature ? 'f' : 'i';
          const char kind = feature ? 'g' : 'i';
          const uint16_t declared = description.LengthOf(type, id);
          if (declared == 0 || length != description.LongestOf(type)) {
            return refuse(static_cast<char>(kind - 32));
          }
          Record(session.Index, {kind, id, length});
          std::optional<std::vector<uint8_t>> answer;
          if (device) {
            answer = feature ? device->GetFeature(session.Index, payload)
                             : device->GetInputReport(session.Index, id);
          }
          if (!answer) return std::vector<uint8_t>{0};
          answer->resize(declared);
          answer->resize(length, 0);
          return *answer;
        }
        return refuse('?');
      }();
      std::lock_guard lock(session.WriteMutex);
      if (!WriteMessage(session.Control, reply.data(), reply.size(), session.Stop)) break;
    }
    if (!start(p)) break;
  }
  CancelIoEx(session.Control, nullptr);
  if (session.Data) CancelIoEx(session.Data, nullptr);
  DWORD ignored = 0;
  if (control.Reading) GetOverlappedResult(session.Control, &control.Overlapped, &ignored, TRUE);
  if (data.Reading) GetOverlappedResult(session.Data, &data.Overlapped, &ignored, TRUE);
  CloseHandle(control.Overlapped.hEvent);
  CloseHandle(data.Overlapped.hEvent);
  session.Ended = true;
}

}  // namespace harness

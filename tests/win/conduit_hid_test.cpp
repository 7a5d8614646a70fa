// Conduit.dll's HID transport against fake devices: a test build of the library whose HID API
// is backed by named pipes (support/fake_hid_api.cpp, support/fake_hid_bus.h), so its
// overlapped reads, writes, waits and cancels run for real and an unplug cuts a transfer short.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "support/conduit_api.h"
#include "support/fake_hid_bus.h"
#include "support/fake_hid_mouse.h"
#include "support/notification_recorder.h"
#include "support/process_harness.h"

namespace {

using Bytes = std::vector<uint8_t>;
using harness::FakeHidBus;
using harness::FakeHidInterface;
using harness::FakeHidMouse;
using harness::FakeHidTransfer;
using harness::NotificationRecorder;

const harness::ConduitApi& Api() {
  return harness::LoadConduit(L"fake-hid\\Conduit.dll");
}

std::mutex g_inputMutex;
std::vector<Bytes> g_inputs;
std::atomic<int> g_slowCalls{0};
HANDLE g_release = nullptr;  // a slow callback waits for it

void __stdcall RecordInput(uint32_t, const uint8_t* report, uint32_t length) {
  std::lock_guard lock(g_inputMutex);
  g_inputs.emplace_back(report, report + length);
}

// Holds up the callback thread, as a shell action started by a mouse button would.
void __stdcall SlowInput(uint32_t, const uint8_t*, uint32_t) {
  ++g_slowCalls;
  WaitForSingleObject(g_release, 10000);
  --g_slowCalls;
}

// A write command then a read of `length` bytes at `address`, as the agent reads the memory.
Bytes ReadCommand(uint8_t id, uint16_t address, uint8_t count, std::size_t length) {
  Bytes report(length, 0);
  report[0] = id;
  report[1] = 0xF2;
  report[2] = static_cast<uint8_t>(address);
  report[3] = static_cast<uint8_t>(address >> 8);
  report[4] = count;
  return report;
}

Bytes WriteCommand(uint8_t id, uint16_t address, const Bytes& data, std::size_t length) {
  Bytes report(length, 0);
  report[0] = id;
  report[1] = 0xF3;
  report[2] = static_cast<uint8_t>(address);
  report[3] = static_cast<uint8_t>(address >> 8);
  report[4] = static_cast<uint8_t>(data.size());
  std::copy(data.begin(), data.end(), report.begin() + 8);
  return report;
}

class ConduitHidTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Api().Module, nullptr);
    const ConduitOpenParams params{0x04D9, 0xFC5D, 2, 1, 0x000C, 1, 0xFFA0};
    ASSERT_TRUE(Api().Configure(&params));
    ASSERT_TRUE(Api().SetInputCallback(&RecordInput));
    std::lock_guard lock(g_inputMutex);
    g_inputs.clear();
  }
  void TearDown() override { Api().RegisterWindow(nullptr, NotificationRecorder::kNotifyMessage); }

  BOOL Register() {
    return Api().RegisterWindow(m_recorder.Window(), NotificationRecorder::kNotifyMessage);
  }
  // The device id notified for a usage page by the notification `index` on.
  uint32_t IdOf(uint32_t page, std::size_t from = 0) const {
    for (std::size_t i = from; i < m_recorder.Got().size(); ++i) {
      const ConduitNotification& r = m_recorder.Got()[i].Record;
      if (r.EventKind == 1 && r.UsagePage == page) return r.DeviceId;
    }
    return 0;
  }
  uint32_t KeyOf(uint32_t id) const {
    for (const auto& got : m_recorder.Got()) {
      if (got.Record.DeviceId == id) return got.Record.DeviceKey;
    }
    return 0;
  }
  // Reads `count` bytes of the mouse's memory through the library.
  std::optional<Bytes> ReadMemory(uint32_t vendor, uint16_t address, uint8_t count) {
    const Bytes command = ReadCommand(3, address, count, 64);
    if (!Api().WriteReport(vendor, command.data(), 64)) return std::nullopt;
    Bytes answer(64, 0);
    answer[0] = 3;
    answer[1] = 0xF2;
    if (!Api().ReadReport(vendor, answer.data(), 64)) return std::nullopt;
    return Bytes(answer.begin() + 8, answer.begin() + 8 + count);
  }
  static bool Refused(const std::vector<FakeHidTransfer>& transfers) {
    for (const auto& t : transfers) {
      if (t.Kind >= 'A' && t.Kind <= 'Z') return true;
    }
    return false;
  }

  FakeHidBus& Bus() { return *m_bus; }
  // A fresh bus: the old one's devices are gone.
  void NewBus() {
    m_bus.reset();
    m_bus = std::make_unique<FakeHidBus>();
  }
  // Registers and waits for both collections of a plugged mouse; the vendor collection's id.
  uint32_t Attach() {
    const std::size_t before = m_recorder.Got().size();
    EXPECT_TRUE(Register());
    EXPECT_TRUE(m_recorder.WaitCount(before + 2));
    return IdOf(0xFFA0, before);
  }

  std::unique_ptr<FakeHidBus> m_bus = std::make_unique<FakeHidBus>();
  NotificationRecorder m_recorder;
};

TEST_F(ConduitHidTest, OnlyTheWatchedCollectionsOfTheDeviceOpenAndTheyPairByContainer) {
  FakeHidMouse mouse(Bus());
  // Another maker's mouse, and a collection of ours that is not watched (the pointer).
  FakeHidInterface foreign;
  foreign.Description = {
      "\\\\?\\hid#vid_046d&pid_c077#7&aa&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}",
      0x046D,
      0xC077,
      1,
      0xFFA0,
      1,
      "HID\\VID_046D&PID_C077\\7&AA&0&0000",
      "",
      {{'i', 2, 16}}};
  FakeHidInterface pointer;
  pointer.Description = {
      "\\\\?\\hid#vid_04d9&pid_fc5d&mi_00&col02#8&1a2b3c4d&0&0001#{4d1e55b2-f16f-11cf-88cb-"
      "001111000030}",
      0x04D9,
      0xFC5D,
      1,
      0x0001,
      2,
      "HID\\VID_04D9&PID_FC5D&MI_00&COL02\\8&1A2B3C4D&0&0001",
      "{5f0c1a2b-3c4d-4e5f-8a9b-0c1d2e3f4a5b}",
      {{'i', 1, 8}}};
  const int foreignIndex = Bus().Add(foreign);
  const int pointerIndex = Bus().Add(pointer);
  Bus().Plug({foreignIndex, pointerIndex});
  mouse.Plug();
  ASSERT_TRUE(Register());
  ASSERT_TRUE(m_recorder.WaitCount(2));
  harness::PumpMessages(300);
  ASSERT_EQ(m_recorder.Got().size(), 2u);
  const uint32_t consumer = IdOf(0x000C), vendor = IdOf(0xFFA0);
  EXPECT_NE(consumer, 0u);
  EXPECT_NE(vendor, consumer);
  // Two USB interfaces (mi_00, mi_01), one container: one device.
  EXPECT_EQ(KeyOf(consumer), KeyOf(vendor));
  EXPECT_EQ(Bus().Opens(foreignIndex), 0);  // its path names another device
  EXPECT_EQ(Bus().OpenSessions(pointerIndex), 0);
  EXPECT_EQ(Bus().OpenSessions(mouse.Vendor()), 1);

  // Unplugged and plugged in again: closed, then the same ids and device.
  mouse.Unplug();
  ASSERT_TRUE(m_recorder.WaitCount(4));
  for (std::size_t i = 2; i < 4; ++i) EXPECT_EQ(m_recorder.Got()[i].Record.EventKind, 0u);
  mouse.Plug();
  ASSERT_TRUE(m_recorder.WaitCount(6));
  EXPECT_EQ(IdOf(0x000C, 4), consumer);
  EXPECT_EQ(IdOf(0xFFA0, 4), vendor);
  EXPECT_EQ(m_recorder.Got()[5].Record.DeviceKey, KeyOf(vendor));
}

TEST_F(ConduitHidTest, ReportsTakeTheWayTheirIdDeclaresWithTheCollectionsExactLengths) {
  for (auto answers :
       {FakeHidMouse::Answers::AsInputReports, FakeHidMouse::Answers::AsFeatureReports}) {
    SCOPED_TRACE(answers == FakeHidMouse::Answers::AsInputReports ? "input" : "feature");
    NewBus();
    FakeHidMouse mouse(Bus(), answers);
    mouse.Plug();
    const uint32_t vendor = Attach();
    ASSERT_NE(vendor, 0u);
    const Bytes data{1, 2, 3, 4, 5, 6, 7};
    const Bytes write = WriteCommand(2, 0x0100, data, 16);
    EXPECT_TRUE(Api().WriteReport(vendor, write.data(), 16));
    EXPECT_EQ(ReadMemory(vendor, 0x0100, 7), data);
    Bytes macro = WriteCommand(4, 0x0478, Bytes(200, 0x11), 1024);
    EXPECT_TRUE(Api().WriteReport(vendor, macro.data(), 1024));
    EXPECT_EQ(ReadMemory(vendor, 0x0478 + 150, 50), Bytes(50, 0x11));
    // Longer than the id declares: refused, never cut short.
    const Bytes tooLong = WriteCommand(2, 0x0100, Bytes{9}, 17);
    EXPECT_FALSE(Api().WriteReport(vendor, tooLong.data(), 17));
    Bytes read(64, 0);
    read[0] = 2;
    read[1] = 0xF2;
    EXPECT_FALSE(Api().ReadReport(vendor, read.data(), 64));
    EXPECT_EQ(mouse.WithMouse([](VirtualMouse& m) { return m.MemoryByte(0x0100); }), 1);

    const auto transfers = Bus().Transfers(mouse.Vendor());
    EXPECT_FALSE(Refused(transfers));
    // Outputs and feature requests travel separate ways, so the fake may log them in either
    // order relative to each other; each way keeps its own order.
    std::string outputs, features;
    for (const auto& t : transfers)
      (t.Kind == 'w' ? outputs : features) +=
          t.Kind + std::to_string(t.Id) + ":" + std::to_string(t.Length) + " ";
    if (answers == FakeHidMouse::Answers::AsInputReports) {
      // Output reports through WriteFile at the output length; answers pushed as input.
      EXPECT_EQ(outputs, "w2:1024 w3:1024 w4:1024 w3:1024 ");
      EXPECT_EQ(features, "");
    } else {
      // Ids 2 and 3 are features: set and get at the feature length; id 4 stays an output.
      EXPECT_EQ(outputs, "w4:1024 ");
      EXPECT_EQ(features, "s2:64 s3:64 g3:64 s3:64 g3:64 ");
    }
    Api().RegisterWindow(nullptr, NotificationRecorder::kNotifyMessage);
  }
}

// A device that answers every read command with a status report, a stale answer for another
// address and then the answer; or not at all.
class ChattyDevice : public harness::FakeHidDevice {
 public:
  ChattyDevice(FakeHidBus& bus, int& index) : m_bus(bus), m_index(index) {}
  void Output(int, const Bytes& report) override {
    if (report.size() < 8 || report[1] != 0xF2 || Silent) return;
    Bytes status(16, 0);
    status[0] = 8;
    status[1] = 1;
    status[2] = 3;
    m_bus.Push(m_index, status);
    Bytes stale(16, 0xEE);
    std::copy_n(report.begin(), 8, stale.begin());
    stale[2] ^= 0x40;
    m_bus.Push(m_index, stale);
    Bytes answer(16, 0x5A);
    std::copy_n(report.begin(), 8, answer.begin());
    m_bus.Push(m_index, answer);
  }
  bool Silent = false;

 private:
  FakeHidBus& m_bus;
  int& m_index;
};

TEST_F(ConduitHidTest, OnlyTheMatchingInputReportAnswersAReadAndSilenceTimesOut) {
  FakeHidMouse mouse(Bus());  // the consumer collection and the container
  int vendorIndex = -1;
  ChattyDevice device(Bus(), vendorIndex);
  FakeHidInterface vendor;
  vendor.Device = &device;
  vendor.Description = {
      "\\\\?\\hid#vid_04d9&pid_fc5d&mi_01&col02#8&99&0&0001#{4d1e55b2-f16f-11cf-88cb-001111000030}",
      0x04D9,
      0xFC5D,
      1,
      0xFFA0,
      1,
      "HID\\VID_04D9&PID_FC5D&MI_01&COL02\\8&99&0&0001",
      "{5f0c1a2b-3c4d-4e5f-8a9b-0c1d2e3f4a5b}",
      {{'o', 2, 16}, {'i', 2, 16}, {'i', 8, 16}}};
  vendorIndex = Bus().Add(vendor);
  Bus().Plug({mouse.Consumer(), vendorIndex});
  ASSERT_TRUE(Register());
  ASSERT_TRUE(m_recorder.WaitCount(2));
  const uint32_t id = IdOf(0xFFA0);
  const Bytes command = ReadCommand(2, 0x0234, 4, 16);
  ASSERT_TRUE(Api().WriteReport(id, command.data(), 16));
  Bytes answer(16, 0);
  answer[0] = 2;
  answer[1] = 0xF2;
  ASSERT_TRUE(Api().ReadReport(id, answer.data(), 16));
  EXPECT_EQ(answer[2], 0x34);
  EXPECT_EQ(answer[8], 0x5A);
  // Every report reached the callback, the status report included.
  const ULONGLONG end = GetTickCount64() + 3000;
  for (;;) {
    {
      std::lock_guard lock(g_inputMutex);
      if (g_inputs.size() >= 3 || GetTickCount64() > end) break;
    }
    Sleep(10);
  }
  {
    std::lock_guard lock(g_inputMutex);
    ASSERT_EQ(g_inputs.size(), 3u);
    EXPECT_EQ(g_inputs[0][0], 8);
  }

  // Nothing answers: the read gives up (after the input report fallback), leaving zeros.
  device.Silent = true;
  ASSERT_TRUE(Api().WriteReport(id, command.data(), 16));
  Bytes nothing(16, 0x77);
  nothing[0] = 2;
  nothing[1] = 0xF2;
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(Api().ReadReport(id, nothing.data(), 16));
  EXPECT_LT(GetTickCount64() - start, 4000u);
  EXPECT_EQ(nothing, Bytes({2, 0xF2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ConduitHidTest, AnUnplugOrAStopEndsAReadInProgressAtOnce) {
  FakeHidMouse mouse(Bus(), FakeHidMouse::Answers::AsFeatureReports);
  mouse.Plug();
  ASSERT_TRUE(Register());
  ASSERT_TRUE(m_recorder.WaitCount(2));
  const uint32_t vendor = IdOf(0xFFA0);
  // A read of an input report nobody sends: it waits; the unplug cuts it short.
  Bytes status(16, 0);
  status[0] = 8;
  status[1] = 0xF2;
  std::thread unplug([&] {
    Sleep(300);
    mouse.Unplug();
  });
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(Api().ReadReport(vendor, status.data(), 16));
  EXPECT_LT(GetTickCount64() - start, 900u);
  unplug.join();
  EXPECT_TRUE(m_recorder.WaitCount(4));
  const Bytes write = WriteCommand(2, 0x100, Bytes{1}, 16);
  EXPECT_FALSE(Api().WriteReport(vendor, write.data(), 16));

  // Plugged in again; a stop (a new registration) in the middle of a read ends it too.
  mouse.Plug();
  ASSERT_TRUE(m_recorder.WaitCount(6));
  std::thread stop([&] {
    Sleep(300);
    Api().RegisterWindow(nullptr, NotificationRecorder::kNotifyMessage);
  });
  const ULONGLONG again = GetTickCount64();
  EXPECT_FALSE(Api().ReadReport(IdOf(0xFFA0, 4), status.data(), 16));
  EXPECT_LT(GetTickCount64() - again, 900u);
  stop.join();
}

TEST_F(ConduitHidTest, AFailedOpenIsRetriedWithBackoff) {
  FakeHidMouse mouse(Bus());
  Bus().SetFailingOpens(mouse.Vendor(), 2);  // held by another program for a while
  mouse.Plug();
  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(Register());  // the consumer collection is open
  ASSERT_TRUE(m_recorder.WaitCount(2, 10000));
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_GE(took, 2000u);  // tried again after about 0.5 s, then after about 2 s more
  EXPECT_LT(took, 6000u);
  EXPECT_EQ(Bus().Opens(mouse.Vendor()), 4);  // two failed looks, then the look and the open
}

TEST_F(ConduitHidTest, WithoutAccessRightsReportsGoThroughTheReportRequests) {
  FakeHidMouse mouse(Bus());
  Bus().SetDenyReadWrite(mouse.Vendor(), true);
  mouse.Plug();
  const uint32_t vendor = Attach();
  const Bytes data{9, 8, 7};
  const Bytes write = WriteCommand(2, 0x0200, data, 16);
  EXPECT_TRUE(Api().WriteReport(vendor, write.data(), 16));
  EXPECT_EQ(ReadMemory(vendor, 0x0200, 3), data);
  std::string kinds;
  for (const auto& t : Bus().Transfers(mouse.Vendor())) {
    kinds += t.Kind + std::to_string(t.Id) + ":" + std::to_string(t.Length) + " ";
  }
  EXPECT_EQ(kinds, "o2:1024 o3:1024 i3:64 ");
}

TEST_F(ConduitHidTest, StopEndsEvenWhenTheFirstLookAtTheDevicesFailed) {
  std::atomic<bool> done{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 200 && !done; ++i) Sleep(100);
    if (!done) {
      std::fprintf(stderr, "the library did not stop within 20 s\n");
      TerminateProcess(GetCurrentProcess(), 3);
    }
  });
  FakeHidMouse mouse(Bus());
  mouse.Plug();
  Bus().FailNextList();
  Register();
  Api().RegisterWindow(nullptr, NotificationRecorder::kNotifyMessage);
  done = true;
  watchdog.join();
  // And the next start looks again.
  EXPECT_NE(Attach(), 0u);
}

TEST_F(ConduitHidTest, ASlowCallbackNeitherStopsTheReaderNorOutlivesItsRemoval) {
  FakeHidMouse mouse(Bus());
  mouse.Plug();
  const uint32_t vendor = Attach();
  g_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(Api().SetInputCallback(&SlowInput));
  mouse.Act([](VirtualMouse& m) { return m.SwitchProfile(1); });
  for (int i = 0; i < 300 && g_slowCalls == 0; ++i) Sleep(10);
  ASSERT_EQ(g_slowCalls, 1);
  // The answer still arrives while the callback is busy.
  mouse.WithMouse([](VirtualMouse& m) { m.WriteMemory(0x300, Bytes{0x42}); });
  EXPECT_EQ(ReadMemory(vendor, 0x300, 1), Bytes{0x42});
  // Taking the callback away waits for the call under way.
  std::thread release([] {
    Sleep(500);
    SetEvent(g_release);
  });
  Api().SetInputCallback(nullptr);
  EXPECT_EQ(g_slowCalls, 0);
  release.join();
  CloseHandle(g_release);
}

TEST_F(ConduitHidTest, MessagesPostedToTheLibrarysWindowsChangeNothing) {
  FakeHidMouse mouse(Bus());
  mouse.Plug();
  const uint32_t vendor = Attach();
  const std::size_t notified = m_recorder.Got().size();
  for (const wchar_t* name : {L"ConduitNotificationWindow", L"ConduitHidWatchWindow"}) {
    HWND window = FindWindowExW(HWND_MESSAGE, nullptr, name, nullptr);
    ASSERT_NE(window, nullptr) << name;
    for (UINT message = WM_APP; message < WM_APP + 64; ++message) {
      PostMessageW(window, message, 0x77, 0x0001FFA0);
    }
    PostMessageW(window, WM_TIMER, 1, 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    // The numbers of a window's creation and end, as any program can send them.
    CREATESTRUCTW create{};
    create.lpCreateParams = &create;
    SendMessageW(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create));
    SendMessageW(window, WM_NCDESTROY, 0, 0);
    PostMessageW(window, WM_NCDESTROY, 0, 0);
  }
  harness::PumpMessages(1000);
  EXPECT_EQ(m_recorder.Got().size(), notified);
  EXPECT_EQ(Bus().OpenSessions(mouse.Vendor()), 1);
  mouse.WithMouse([](VirtualMouse& m) { m.WriteMemory(0x300, Bytes{0x24}); });
  EXPECT_EQ(ReadMemory(vendor, 0x300, 1), Bytes{0x24});
  // Both windows still do their work: an unplug and a plug-in are told.
  mouse.Unplug();
  mouse.Plug();
  EXPECT_TRUE(m_recorder.WaitCount(notified + 4));
}

}  // namespace

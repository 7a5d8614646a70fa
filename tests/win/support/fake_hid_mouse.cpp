#include "support/fake_hid_mouse.h"

#include <thread>

namespace harness {

namespace {

const char kInterfaceClass[] = "#{4d1e55b2-f16f-11cf-88cb-001111000030}";

}  // namespace

FakeHidMouse::FakeHidMouse(FakeHidBus& bus, Answers answers, const char* container)
    : m_bus(bus), m_answers(answers) {
  FakeHidInterface consumer;
  consumer.Device = this;
  consumer.Description.Path =
      std::string("\\\\?\\hid#vid_04d9&pid_fc5d&mi_00&col01#8&1a2b3c4d&0&0000") + kInterfaceClass;
  consumer.Description.InstanceId = "HID\\VID_04D9&PID_FC5D&MI_00&COL01\\8&1A2B3C4D&0&0000";
  consumer.Description.UsagePage = 0x000C;
  consumer.Description.Usage = 1;
  consumer.Description.Reports = {{'i', 1, 3}};
  FakeHidInterface vendor;
  vendor.Device = this;
  vendor.Description.Path =
      std::string("\\\\?\\hid#vid_04d9&pid_fc5d&mi_01&col02#8&5e6f7a8b&0&0001") + kInterfaceClass;
  vendor.Description.InstanceId = "HID\\VID_04D9&PID_FC5D&MI_01&COL02\\8&5E6F7A8B&0&0001";
  vendor.Description.UsagePage = 0xFFA0;
  vendor.Description.Usage = 1;
  if (answers == Answers::AsInputReports) {
    vendor.Description.Reports = {{'o', 2, 16}, {'o', 3, 64}, {'o', 4, 1024},
                                  {'i', 2, 16}, {'i', 3, 64}, {'i', 8, 16}};
  } else {
    vendor.Description.Reports = {{'f', 2, 16}, {'f', 3, 64}, {'o', 4, 1024}, {'i', 8, 16}};
  }
  for (FakeHidInterface* i : {&consumer, &vendor}) {
    i->Description.VendorId = device_map::kVendorId;
    i->Description.ProductId = device_map::kProductId;
    i->Description.Container = container;
  }
  m_consumer = bus.Add(consumer);
  m_vendor = bus.Add(vendor);
}

uint16_t FakeHidMouse::CollectionOf(int interfaceIndex) const {
  return interfaceIndex == m_vendor ? VirtualMouse::kVendorCollection
                                    : VirtualMouse::kConsumerCollection;
}

uint16_t FakeHidMouse::AnswerLength(uint8_t id) const {
  return static_cast<uint16_t>(VirtualMouse::ReportSize(id));
}

bool FakeHidMouse::WaitForReports(std::size_t count, DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (Reports() < count) {
    if (GetTickCount64() >= end) return false;
    Sleep(5);
  }
  return true;
}

void FakeHidMouse::Output(int interfaceIndex, const std::vector<uint8_t>& report) {
  bool unplug = false;
  {
    std::lock_guard lock(m_mutex);
    if (m_dropping) return;
    unplug = m_unplugAt != 0 && ++m_outputs == m_unplugAt;
    if (!unplug) m_mouse.HandleOutputReport(CollectionOf(interfaceIndex), report);
  }
  if (unplug) {
    m_unplugAt = 0;
    m_outputs = 0;
    m_dropping = true;
    // Not on this session's own thread: unplugging joins it.
    std::thread([this] { Unplug(); }).detach();
    return;
  }
  // A read command is answered by an input report of the same id, when someone reads them;
  // otherwise the answer waits for IOCTL_HID_GET_INPUT_REPORT.
  if (m_answers == Answers::AsInputReports && interfaceIndex == m_vendor && report.size() > 1 &&
      report[1] == 0xF2 && m_bus.HasReader(m_vendor)) {
    std::vector<uint8_t> answer;
    {
      std::lock_guard lock(m_mutex);
      answer = m_mouse.AnswerRead(VirtualMouse::kVendorCollection, AnswerLength(report[0]),
                                  std::vector<uint8_t>(report.begin(), report.begin() + 2));
    }
    m_bus.Push(m_vendor, answer);
  }
}

std::optional<std::vector<uint8_t>> FakeHidMouse::GetFeature(int interfaceIndex,
                                                             const std::vector<uint8_t>& request) {
  if (request.size() < 2) return std::nullopt;
  std::lock_guard lock(m_mutex);
  return m_mouse.AnswerRead(CollectionOf(interfaceIndex), AnswerLength(request[0]),
                            std::vector<uint8_t>(request.begin(), request.begin() + 2));
}

std::optional<std::vector<uint8_t>> FakeHidMouse::GetInputReport(int interfaceIndex, uint8_t id) {
  std::lock_guard lock(m_mutex);
  const uint8_t preset[2] = {id, 0xF2};
  return m_mouse.AnswerRead(CollectionOf(interfaceIndex), AnswerLength(id), preset);
}

MouseActionResult FakeHidMouse::Act(const std::function<MouseActionResult(VirtualMouse&)>& action) {
  MouseActionResult result;
  {
    std::lock_guard lock(m_mutex);
    result = action(m_mouse);
  }
  for (const MouseInputReport& input : result.Reports) {
    std::vector<uint8_t> report = input.Report;
    report.resize(input.Collection == VirtualMouse::kVendorCollection ? 16 : 3, 0);
    m_bus.Push(input.Collection == VirtualMouse::kVendorCollection ? m_vendor : m_consumer, report);
  }
  return result;
}

}  // namespace harness

#pragma once
// A virtual mouse behind the fake HID API: its two collections as a real Vireo would show them
// (consumer on one USB interface, vendor commands on another, one container), answering the
// memory commands from the same VirtualMouse model the TCP link uses, so the bytes that reach
// it can be compared. The vendor collection answers reads either with pushed input reports
// (ids 2 and 3 are output and input reports) or as feature reports (ids 2 and 3 are features).
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "support/fake_hid_bus.h"
#include "vmouse/virtual_mouse.h"

namespace harness {

class FakeHidMouse : public FakeHidDevice {
 public:
  enum class Answers { AsInputReports, AsFeatureReports };

  FakeHidMouse(FakeHidBus& bus, Answers answers = Answers::AsInputReports,
               const char* container = "{5f0c1a2b-3c4d-4e5f-8a9b-0c1d2e3f4a5b}");

  int Consumer() const { return m_consumer; }
  int Vendor() const { return m_vendor; }
  void Plug() {
    m_dropping = false;
    m_bus.Plug({m_consumer, m_vendor});
  }
  void Unplug() { m_bus.Unplug({m_consumer, m_vendor}); }

  template <typename F>
  auto WithMouse(F&& f) {
    std::lock_guard lock(m_mutex);
    return f(m_mouse);
  }
  // Output reports the mouse took (rejected ones included).
  std::size_t Reports() {
    return WithMouse([](VirtualMouse& mouse) { return mouse.OutputReportCount(); });
  }
  bool WaitForReports(std::size_t count, DWORD milliseconds);
  // Unplugs both collections as the output report `k` (counted from 1) arrives, before the
  // mouse takes it.
  void UnplugAtReport(std::size_t k) { m_unplugAt = k; }
  // Whether UnplugAtReport has unplugged it (until the next Plug).
  bool UnpluggedByReport() const { return m_dropping; }
  // An on-mouse action: its input reports go out through the vendor collection.
  MouseActionResult Act(const std::function<MouseActionResult(VirtualMouse&)>& action);

  void Output(int interfaceIndex, const std::vector<uint8_t>& report) override;
  std::optional<std::vector<uint8_t>> GetFeature(int interfaceIndex,
                                                 const std::vector<uint8_t>& request) override;
  std::optional<std::vector<uint8_t>> GetInputReport(int interfaceIndex, uint8_t id) override;

 private:
  uint16_t CollectionOf(int interfaceIndex) const;
  uint16_t AnswerLength(uint8_t id) const;

  FakeHidBus& m_bus;
  const Answers m_answers;
  int m_consumer = 0;
  int m_vendor = 0;
  std::mutex m_mutex;
  VirtualMouse m_mouse;
  std::atomic<std::size_t> m_unplugAt{0};
  std::atomic<bool> m_dropping{false};  // unplugged by UnplugAtReport: takes nothing more
  std::size_t m_outputs = 0;
};

}  // namespace harness

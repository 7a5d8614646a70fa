#pragma once
// What the fake HID API in a test build of Conduit.dll and the fake devices of a test
// (FakeHidBus) say to each other over named pipes: the list of present interfaces, opens, and
// arrival and removal notices. Each open collection is a pair of message-mode pipes: "data"
// carries output reports (WriteFile) and input reports (ReadFile), "control" carries the
// report IOCTLs as a request ([4-byte code][report]) and a reply (the report, or one byte).
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace fake_hid {

// The environment variable that names the bus pipe; children (hid.exe) inherit it.
inline constexpr wchar_t kBusVariable[] = L"VIREO_FAKE_HID";

struct ReportDeclaration {
  char Type = 'i';  // 'i' input, 'o' output, 'f' feature
  uint8_t Id = 0;
  uint16_t Length = 0;  // report id included
};

// One HID interface (one top-level collection) as the system would list it.
struct InterfaceDescription {
  std::string Path;
  uint16_t VendorId = 0;
  uint16_t ProductId = 0;
  uint16_t Version = 0x0100;
  uint16_t UsagePage = 0;
  uint16_t Usage = 0;
  std::string InstanceId;
  std::string Container;  // "{guid}", empty: the system tells none
  std::vector<ReportDeclaration> Reports;

  uint16_t LongestOf(char type) const {
    uint16_t longest = 0;
    for (const ReportDeclaration& report : Reports) {
      if (report.Type == type && report.Length > longest) longest = report.Length;
    }
    return longest;
  }
  uint16_t LengthOf(char type, uint8_t id) const {
    for (const ReportDeclaration& report : Reports) {
      if (report.Type == type && report.Id == id) return report.Length;
    }
    return 0;
  }
};

// One line: the fields separated by tabs, the reports as "i2=16 o4=1024".
inline std::string Serialize(const InterfaceDescription& d) {
  std::string reports;
  for (const ReportDeclaration& r : d.Reports) {
    if (!reports.empty()) reports += ' ';
    reports += r.Type + std::to_string(r.Id) + "=" + std::to_string(r.Length);
  }
  return d.Path + '\t' + std::to_string(d.VendorId) + '\t' + std::to_string(d.ProductId) + '\t' +
         std::to_string(d.Version) + '\t' + std::to_string(d.UsagePage) + '\t' +
         std::to_string(d.Usage) + '\t' + d.InstanceId + '\t' + d.Container + '\t' + reports;
}

inline std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

inline bool Parse(const std::string& line, InterfaceDescription& d) {
  const std::vector<std::string> f = Split(line, '\t');
  if (f.size() != 9) return false;
  d.Path = f[0];
  d.VendorId = static_cast<uint16_t>(std::stoul(f[1]));
  d.ProductId = static_cast<uint16_t>(std::stoul(f[2]));
  d.Version = static_cast<uint16_t>(std::stoul(f[3]));
  d.UsagePage = static_cast<uint16_t>(std::stoul(f[4]));
  d.Usage = static_cast<uint16_t>(std::stoul(f[5]));
  d.InstanceId = f[6];
  d.Container = f[7];
  d.Reports.clear();
  if (!f[8].empty()) {
    for (const std::string& r : Split(f[8], ' ')) {
      const auto equals = r.find('=');
      if (r.size() < 4 || equals == std::string::npos) return false;
      d.Reports.push_back({r[0], static_cast<uint8_t>(std::stoul(r.substr(1, equals - 1))),
                           static_cast<uint16_t>(std::stoul(r.substr(equals + 1)))});
    }
  }
  return true;
}

// Requests on the bus pipe.
inline constexpr char kList = 'L';     // → "ok" or "throw", then one line per present interface
inline constexpr char kOpen = 'O';     // "O<rw 0/1>\t<path>" → "ok\t<data pipe>\t<control pipe>"
                                       //   (data empty without access) or "err\t<error>"
inline constexpr char kNotices = 'N';  // stays connected; "A" arrival, "R" removal

}  // namespace fake_hid

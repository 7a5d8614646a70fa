#pragma once
// Frames of the TCP link between the mouse library and a virtual mouse: a 4-byte
// little-endian length N (1..65536), then N bytes whose first is the frame type.
// Shared by the virtual mouse (server) and Conduit.dll (client).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

enum class LinkFrameType : uint8_t {
  Hello = 0x01,   // client → server: "VIREO-VMOUSE/1"
  Device = 0x81,  // server → client: vendor u16, product u16
  Open = 0x02,    // server → client: collection u16, usage page u16, usage u16
  Close = 0x03,   // server → client: collection u16
  Write = 0x10,   // client → server: collection u16, report bytes
  Read = 0x11,    // client → server: collection u16, length u16, preset bytes (>= 2)
  Answer = 0x91,  // server → client: report bytes of the asked length
  Input = 0x20,   // server → client: collection u16, report bytes
};

inline constexpr std::string_view kLinkHelloText = "VIREO-VMOUSE/1";
inline constexpr std::size_t kLinkMaxFrame = 65536;

struct LinkFrame {
  LinkFrameType Type{};
  std::vector<uint8_t> Payload;  // without the type byte
};

// Whole frames ready to send, length prefix included.
std::vector<uint8_t> EncodeLinkFrame(LinkFrameType type, std::span<const uint8_t> payload);
std::vector<uint8_t> HelloFrame();
std::vector<uint8_t> DeviceFrame(uint16_t vendorId, uint16_t productId);
std::vector<uint8_t> OpenFrame(uint16_t collection, uint16_t usagePage, uint16_t usage);
std::vector<uint8_t> CloseFrame(uint16_t collection);
std::vector<uint8_t> WriteFrame(uint16_t collection, std::span<const uint8_t> report);
std::vector<uint8_t> ReadFrame(uint16_t collection, uint16_t length,
                               std::span<const uint8_t> preset);
std::vector<uint8_t> AnswerFrame(std::span<const uint8_t> report);
std::vector<uint8_t> InputFrame(uint16_t collection, std::span<const uint8_t> report);

// Decoded payloads. Each Parse* returns nothing when the frame has another type or its
// payload is too short, which the receiver treats as a malformed frame.
struct LinkDevice {
  uint16_t VendorId = 0;
  uint16_t ProductId = 0;
};
struct LinkOpen {
  uint16_t Collection = 0;
  uint16_t UsagePage = 0;
  uint16_t Usage = 0;
};
struct LinkReport {  // Write and Input
  uint16_t Collection = 0;
  std::vector<uint8_t> Report;
};
struct LinkRead {
  uint16_t Collection = 0;
  uint16_t Length = 0;
  std::vector<uint8_t> Preset;
};
bool IsHelloFrame(const LinkFrame& frame);
std::optional<LinkDevice> ParseDeviceFrame(const LinkFrame& frame);
std::optional<LinkOpen> ParseOpenFrame(const LinkFrame& frame);
std::optional<uint16_t> ParseCloseFrame(const LinkFrame& frame);
std::optional<LinkReport> ParseReportFrame(const LinkFrame& frame);  // Write or Input
std::optional<LinkRead> ParseReadFrame(const LinkFrame& frame);

// Splits a byte stream into frames. Once the stream is malformed (bad length or unknown
// type) the reader stays failed and the connection must be closed.
class LinkFrameReader {
 public:
  // Appends received bytes; false once the stream is malformed.
  bool Feed(std::span<const uint8_t> bytes);
  // The next complete frame, if one has arrived.
  std::optional<LinkFrame> Next();
  bool Failed() const { return m_failed; }

 private:
  std::vector<uint8_t> m_buffer;
  std::size_t m_start = 0;
  bool m_failed = false;
};

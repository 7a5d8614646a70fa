#include "contract/link_frame.h"

#include <algorithm>

namespace {

void PutU16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

uint16_t GetU16(const std::vector<uint8_t>& in, std::size_t at) {
  return static_cast<uint16_t>(in[at] | (in[at + 1] << 8));
}

bool IsKnownType(uint8_t type) {
  switch (static_cast<LinkFrameType>(type)) {
    case LinkFrameType::Hello:
    case LinkFrameType::Device:
    case LinkFrameType::Open:
    case LinkFrameType::Close:
    case LinkFrameType::Write:
    case LinkFrameType::Read:
    case LinkFrameType::Answer:
    case LinkFrameType::Input:
      return true;
  }
  return false;
}

std::vector<uint8_t> WithCollection(uint16_t collection, std::span<const uint8_t> rest) {
  std::vector<uint8_t> payload;
  payload.reserve(2 + rest.size());
  PutU16(payload, collection);
  payload.insert(payload.end(), rest.begin(), rest.end());
  return payload;
}

}  // namespace

std::vector<uint8_t> EncodeLinkFrame(LinkFrameType type, std::span<const uint8_t> payload) {
  // Callers never build oversized frames; cut rather than send a length the peer rejects.
  const std::size_t size = std::min(payload.size() + 1, kLinkMaxFrame);
  std::vector<uint8_t> frame;
  frame.reserve(4 + size);
  for (int shift = 0; shift < 32; shift += 8) frame.push_back(static_cast<uint8_t>(size >> shift));
  frame.push_back(static_cast<uint8_t>(type));
  frame.insert(frame.end(), payload.begin(),
               payload.begin() + static_cast<std::ptrdiff_t>(size - 1));
  return frame;
}

std::vector<uint8_t> HelloFrame() {
  const auto* text = reinterpret_cast<const uint8_t*>(kLinkHelloText.data());
  return EncodeLinkFrame(LinkFrameType::Hello, {text, kLinkHelloText.size()});
}

std::vector<uint8_t> DeviceFrame(uint16_t vendorId, uint16_t productId) {
  std::vector<uint8_t> payload;
  PutU16(payload, vendorId);
  PutU16(payload, productId);
  return EncodeLinkFrame(LinkFrameType::Device, payload);
}

std::vector<uint8_t> OpenFrame(uint16_t collection, uint16_t usagePage, uint16_t usage) {
  std::vector<uint8_t> payload;
  PutU16(payload, collection);
  PutU16(payload, usagePage);
  PutU16(payload, usage);
  return EncodeLinkFrame(LinkFrameType::Open, payload);
}

std::vector<uint8_t> CloseFrame(uint16_t collection) {
  std::vector<uint8_t> payload;
  PutU16(payload, collection);
  return EncodeLinkFrame(LinkFrameType::Close, payload);
}

std::vector<uint8_t> WriteFrame(uint16_t collection, std::span<const uint8_t> report) {
  return EncodeLinkFrame(LinkFrameType::Write, WithCollection(collection, report));
}

std::vector<uint8_t> ReadFrame(uint16_t collection, uint16_t length,
                               std::span<const uint8_t> preset) {
  std::vector<uint8_t> payload;
  PutU16(payload, collection);
  PutU16(payload, length);
  payload.insert(payload.end(), preset.begin(), preset.end());
  return EncodeLinkFrame(LinkFrameType::Read, payload);
}

std::vector<uint8_t> AnswerFrame(std::span<const uint8_t> report) {
  return EncodeLinkFrame(LinkFrameType::Answer, report);
}

std::vector<uint8_t> InputFrame(uint16_t collection, std::span<const uint8_t> report) {
  return EncodeLinkFrame(LinkFrameType::Input, WithCollection(collection, report));
}

bool IsHelloFrame(const LinkFrame& frame) {
  return frame.Type == LinkFrameType::Hello &&
         std::string_view(reinterpret_cast<const char*>(frame.Payload.data()),
                          frame.Payload.size()) == kLinkHelloText;
}

std::optional<LinkDevice> ParseDeviceFrame(const LinkFrame& frame) {
  if (frame.Type != LinkFrameType::Device || frame.Payload.size() < 4) return std::nullopt;
  return LinkDevice{GetU16(frame.Payload, 0), GetU16(frame.Payload, 2)};
}

std::optional<LinkOpen> ParseOpenFrame(const LinkFrame& frame) {
  if (frame.Type != LinkFrameType::Open || frame.Payload.size() < 6) return std::nullopt;
  return LinkOpen{GetU16(frame.Payload, 0), GetU16(frame.Payload, 2), GetU16(frame.Payload, 4)};
}

std::optional<uint16_t> ParseCloseFrame(const LinkFrame& frame) {
  if (frame.Type != LinkFrameType::Close || frame.Payload.size() < 2) return std::nullopt;
  return GetU16(frame.Payload, 0);
}

std::optional<LinkReport> ParseReportFrame(const LinkFrame& frame) {
  if (frame.Type != LinkFrameType::Write && frame.Type != LinkFrameType::Input) return std::nullopt;
  if (frame.Payload.size() < 3) return std::nullopt;  // collection + at least the report id
  LinkReport report;
  report.Collection = GetU16(frame.Payload, 0);
  report.Report.assign(frame.Payload.begin() + 2, frame.Payload.end());
  return report;
}

std::optional<LinkRead> ParseReadFrame(const LinkFrame& frame) {
  if (frame.Type != LinkFrameType::Read || frame.Payload.size() < 6) return std::nullopt;
  LinkRead read;
  read.Collection = GetU16(frame.Payload, 0);
  read.Length = GetU16(frame.Payload, 2);
  read.Preset.assign(frame.Payload.begin() + 4, frame.Payload.end());
  if (read.Length == 0 || read.Preset.size() > read.Length) return std::nullopt;
  return read;
}

bool LinkFrameReader::Feed(std::span<const uint8_t> bytes) {
  if (m_failed) return false;
  // Drop what was consumed before growing, so the buffer stays about one frame long.
  if (m_start > 0 && m_start >= m_buffer.size() / 2) {
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(m_start));
    m_start = 0;
  }
  m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
  return true;
}

std::optional<LinkFrame> LinkFrameReader::Next() {
  if (m_failed) return std::nullopt;
  const std::size_t available = m_buffer.size() - m_start;
  if (available < 4) return std::nullopt;
  const uint8_t* head = m_buffer.data() + m_start;
  const uint32_t size = static_cast<uint32_t>(head[0]) | (static_cast<uint32_t>(head[1]) << 8) |
                        (static_cast<uint32_t>(head[2]) << 16) |
                        (static_cast<uint32_t>(head[3]) << 24);
  if (size < 1 || size > kLinkMaxFrame) {
    m_failed = true;
    return std::nullopt;
  }
  if (available > 4 && !IsKnownType(head[4])) {
    m_failed = true;
    return std::nullopt;
  }
  if (available < 4 + static_cast<std::size_t>(size)) return std::nullopt;
  LinkFrame frame;
  frame.Type = static_cast<LinkFrameType>(head[4]);
  frame.Payload.assign(head + 5, head + 4 + size);
  m_start += 4 + size;
  return frame;
}

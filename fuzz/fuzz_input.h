#pragma once
// FuzzInput: the fuzzer's bytes taken apart into the values a target needs. Running out of
// bytes gives zeros and empty strings, never an error, so every input means something.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// A property the target states about the code under test; a violation is a finding.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

  bool Empty() const { return m_pos >= m_size; }
  std::size_t Remaining() const { return m_size - m_pos; }

  std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
  std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
  // A value in [0, bound) (0 when bound is 0).
  unsigned Below(unsigned bound) { return bound ? Word() % bound : 0; }

  std::vector<std::uint8_t> Bytes(std::size_t count) {
    count = std::min(count, Remaining());
    std::vector<std::uint8_t> out(m_data + m_pos, m_data + m_pos + count);
    m_pos += count;
    return out;
  }
  std::string Text(std::size_t count) {
    const std::vector<std::uint8_t> bytes = Bytes(count);
    return std::string(bytes.begin(), bytes.end());
  }
  std::vector<std::uint8_t> Rest() { return Bytes(Remaining()); }

  // A short UTF-16 string: a length byte, then one byte per unit looked up in `alphabet`
  // (bytes past its size become the unit itself, so anything can appear).
  std::u16string Units(std::u16string_view alphabet, std::size_t maxLength = 255) {
    const std::size_t length = std::min<std::size_t>(Byte(), maxLength);
    std::u16string out;
    for (std::size_t i = 0; i < length && !Empty(); ++i) {
      const std::uint8_t b = Byte();
      out.push_back(b < alphabet.size() ? alphabet[b] : char16_t(b));
    }
    return out;
  }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_pos = 0;
};

// Characters that matter to the INI format and to names, with some beyond ASCII.
inline constexpr std::u16string_view kInterestingUnits =
    u"[]=;#\"' \t\r\n\0\x1A\x0B"
    u"aAzZ09xXoObB-+._\\/:*?<>|"
    u"\u00E9\u00C9\u00DF\u0416\u0436\u03A3\u03C3\uFF21\uFF41\u00A0\u3000\U0001F600\uFFFF";

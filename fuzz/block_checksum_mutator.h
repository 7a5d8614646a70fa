#pragma once
// A libFuzzer mutation step for INI files: after the usual mutation, every value that looks like
// a checksummed hex block (an even number of at least four hex digits after '=') gets the
// checksum of its bytes, so that mutated blocks reach the code behind the checksum test.
// Works on ANSI and UTF-16LE text alike.

#include <cstddef>
#include <cstdint>

inline int HexValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

inline void FixBlockChecksums(std::uint8_t* data, std::size_t size) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t stride = 1; stride <= 2; ++stride) {
    const auto isChar = [&](std::size_t at, auto test) {
      return at + stride <= size && (stride == 1 || data[at + 1] == 0) && test(data[at]);
    };
    for (std::size_t i = 0; i < size; ++i) {
      if (!isChar(i, [](std::uint8_t c) { return c == '='; })) continue;
      std::size_t end = i + stride;
      while (isChar(end, [](std::uint8_t c) { return HexValue(c) >= 0; })) end += stride;
      const std::size_t digits = (end - i - stride) / stride;
      if (digits < 4 || digits % 2 != 0) continue;
      unsigned sum = 0;
      for (std::size_t d = 0; d + 2 < digits; d += 2) {
        const std::size_t at = i + stride + d * stride;
        sum += static_cast<unsigned>(HexValue(data[at]) << 4 | HexValue(data[at + stride]));
      }
      data[end - 2 * stride] = static_cast<std::uint8_t>(kHex[(sum >> 4) & 0xF]);
      data[end - stride] = static_cast<std::uint8_t>(kHex[sum & 0xF]);
      i = end - 1;
    }
  }
}

#ifdef VIREO_LIBFUZZER
extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);
#define VIREO_BLOCK_CHECKSUM_MUTATOR                                                   \
  extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, \
                                                 std::size_t maxSize, unsigned int) {  \
    size = LLVMFuzzerMutate(data, size, maxSize);                                      \
    FixBlockChecksums(data, size);                                                     \
    return size;                                                                       \
  }
#else
#define VIREO_BLOCK_CHECKSUM_MUTATOR
#endif

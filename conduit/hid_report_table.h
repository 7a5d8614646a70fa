#pragma once
// What a collection declares, report id by report id: whether the id is an input, output or
// feature report (or several) and how many bytes each has, report id included. Built at open
// from the value and button capabilities of each report type, so every transfer can take the
// way its id needs instead of one way for the whole collection.
#include <array>
#include <cstdint>
#include <string>

#include "conduit/hid_api.h"

class HidReportTable {
 public:
  enum Type { kInput = 0, kOutput = 1, kFeature = 2 };

  // The lengths of the collection's reports of each type, as HidP_GetCaps gives them: every
  // transfer of that type carries exactly this many bytes.
  struct TypeLengths {
    uint16_t Input = 0;
    uint16_t Output = 0;
    uint16_t Feature = 0;
  };

  HidReportTable() = default;
  // Reads the capabilities of every report type; false when they cannot be read.
  bool Read(const HidApi& api, PHIDP_PREPARSED_DATA preparsed, const HIDP_CAPS& caps);

  // The declared length of id as a report of that type, report id included; 0 when undeclared.
  uint16_t Length(Type type, uint8_t id) const { return m_lengths[type][id]; }
  bool Declares(Type type, uint8_t id) const { return Length(type, id) != 0; }
  const TypeLengths& Lengths() const { return m_typeLengths; }

  // "2 in 16 out 16, 3 in 64 out 64, 4 out 1024, 8 in 16": for the debugger output.
  std::string Describe() const;

 private:
  void AddBits(Type type, uint8_t id, uint32_t bits);

  std::array<std::array<uint32_t, 256>, 3> m_bits{};
  std::array<std::array<uint16_t, 256>, 3> m_lengths{};
  TypeLengths m_typeLengths;
};

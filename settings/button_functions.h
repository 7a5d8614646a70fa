#pragma once
// The function codes a button assignment holds in "ButtonFunc", and what its other fields mean
// for each. Both programs and the mouse use these numbers; the codes the mouse receives for
// them are the agent's (agent/device_codes.h).

#include <cstdint>

// Mouse buttons 1-5 are codes 1-5; code 1 is the primary click.
inline constexpr std::uint8_t kFunctionMouseButton1 = 1;
inline constexpr std::uint8_t kFunctionMouseButton5 = 5;
// KeyBlock byte 0 is the key's HID keyboard usage.
inline constexpr std::uint8_t kFunctionSingleKey = 6;
// KeyNumber is the number of key steps (2 a key, at most 5 keys); KeyBlock holds the steps.
inline constexpr std::uint8_t kFunctionKeyCombination = 7;
// A key step of KeyBlock, 3 bytes: the key's usage, the marker, kKeyStepPress or 0 (release).
inline constexpr int kKeyStepSize = 3;
inline constexpr std::uint8_t kKeyStepMarker = 5;
inline constexpr std::uint8_t kKeyStepPress = 0x80;
// KeyBlock byte 0 is what is fired (kFireMouseButton1-3 or a key's usage), LoopNumber the
// shots, KeyNumber the interval.
inline constexpr std::uint8_t kFunctionFireKey = 12;
// No function; also what an assignment falls back to when its macro no longer exists.
inline constexpr std::uint8_t kFunctionNone = 16;
// Functions the agent performs on the PC when the mouse reports them.
inline constexpr std::uint8_t kFirstPcFunction = 0x11;
inline constexpr std::uint8_t kLastPcFunction = 0x26;
// Media keys the mouse sends itself.
inline constexpr std::uint8_t kFirstMediaKeyFunction = 0x27;
inline constexpr std::uint8_t kLastMediaKeyFunction = 0x2D;
// MacroName names the macro, KeyNumber is its library slot 0-14, LoopNumber its repeat count.
inline constexpr std::uint8_t kFunctionMacro = 100;
// Not loaded yet; validation gives the button its default function.
inline constexpr std::uint8_t kFunctionUnset = 0xFF;

// What a fire key fires when it fires a mouse button, as files store it.
inline constexpr std::uint8_t kFireMouseButton1 = 0xF0;
inline constexpr std::uint8_t kFireMouseButton2 = 0xF1;
inline constexpr std::uint8_t kFireMouseButton3 = 0xF2;

constexpr bool IsPcFunction(std::uint8_t code) {
  return code >= kFirstPcFunction && code <= kLastPcFunction;
}

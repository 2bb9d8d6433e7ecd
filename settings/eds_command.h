// The one message the printer is ever sent: a 13-byte escape sequence that gives one setting
// one value.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace eds {

inline constexpr std::size_t EdsCommandSize = 13;

using TEdsCommand = std::array<std::uint8_t, EdsCommandSize>;

constexpr TEdsCommand BuildEdsCommand(std::uint8_t FunctionCode, std::uint8_t Value) {
    return {0x1B, 0x7C, 0x00, 0x1E, 0x00, 0x48, 0xB7, 0x24, 0x31, FunctionCode, Value, 0x1B, 0x40};
}

// "1B 7C 00 1E 00 48 B7 24 31 17 06 1B 40": upper-case hex pairs separated by one blank.
std::string FormatEdsCommand(const TEdsCommand& Command);

}  // namespace eds

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lanereport {

// Up to three bytes as one number: the bytes from the lowest byte up, their count in the top
// byte, so that no two texts of up to three bytes share a number. For tables keyed by short
// texts (roll marks, converted characters) that are looked up far more often than made.
inline constexpr std::size_t kMostPackedBytes = 3;

constexpr std::uint32_t PackBytes(std::string_view bytes) {
  std::uint32_t packed = static_cast<std::uint32_t>(bytes.size()) << 24;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    packed |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  return packed;
}

// Appends the bytes packed by PackBytes.
inline void AppendPackedBytes(std::uint32_t packed, std::string& out) {
  for (std::uint32_t i = 0; i < (packed >> 24); ++i)
    out += static_cast<char>((packed >> (8 * i)) & 0xFF);
}

}  // namespace lanereport

#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace lanereport {

// The stored texts of a game's 21 rolls, in one small block: a text of up to kInline bytes (every
// mark is one to three) is kept in its slot, a longer one (no mark, as another program stored it)
// whole on the side. A year's games are read into memory at once, so a game's rolls take about a
// quarter of what 21 strings would.
class RollTexts {
 public:
  static constexpr std::size_t kCount = 21;
  static constexpr std::size_t kInline = 7;

  RollTexts() = default;
  RollTexts(const RollTexts& other);
  RollTexts& operator=(const RollTexts& other);
  // The texts move over; the other is left with 21 empty rolls.
  RollTexts(RollTexts&& other) noexcept;
  RollTexts& operator=(RollTexts&& other) noexcept;
  ~RollTexts() = default;

  // The text of roll i (0 to 20), valid until that roll is set again.
  std::string_view operator[](std::size_t i) const {
    const Slot& slot = slots_[i];
    if (slot.size == kLong) return (*long_)[i];
    return std::string_view(slot.bytes, slot.size);
  }
  void Set(std::size_t i, std::string_view text);

 private:
  static constexpr unsigned char kLong = 0xFF;  // the text is in long_
  struct Slot {
    unsigned char size = 0;
    char bytes[kInline] = {};
  };
  std::array<Slot, kCount> slots_{};
  // The texts longer than kInline bytes, by roll; made at the first of them.
  std::unique_ptr<std::array<std::string, kCount>> long_;
};

}  // namespace lanereport

#include "scoring/RollTexts.h"

#include <cstring>
#include <utility>

namespace lanereport {

RollTexts::RollTexts(const RollTexts& other) : slots_(other.slots_) {
  if (other.long_) long_ = std::make_unique<std::array<std::string, kCount>>(*other.long_);
}

RollTexts& RollTexts::operator=(const RollTexts& other) {
  if (this != &other) {
    slots_ = other.slots_;
    long_ = other.long_ ? std::make_unique<std::array<std::string, kCount>>(*other.long_) : nullptr;
  }
  return *this;
}

RollTexts::RollTexts(RollTexts&& other) noexcept
    : slots_(std::exchange(other.slots_, {})), long_(std::move(other.long_)) {}

RollTexts& RollTexts::operator=(RollTexts&& other) noexcept {
  if (this != &other) {
    slots_ = std::exchange(other.slots_, {});
    long_ = std::move(other.long_);
  }
  return *this;
}

void RollTexts::Set(std::size_t i, std::string_view text) {
  Slot& slot = slots_[i];
  if (text.size() <= kInline) {
    // A long text this one replaces may be what text views: it is released only after.
    std::memmove(slot.bytes, text.data(), text.size());
    slot.size = static_cast<unsigned char>(text.size());
    if (long_) (*long_)[i].clear();
    return;
  }
  if (!long_) long_ = std::make_unique<std::array<std::string, kCount>>();
  (*long_)[i].assign(text.data(), text.size());
  slot.size = kLong;
}

}  // namespace lanereport

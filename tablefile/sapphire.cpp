#include "tablefile/sapphire.h"

#include <algorithm>

namespace tablefile {
namespace {

// After this many draws the key-dependent random number is forced into range.
constexpr unsigned kRetryLimit = 11;

}  // namespace

TSapphire::TSapphire() { SetKey({}); }

TSapphire::~TSapphire() {
  // volatile stores so the wipe is not optimised away.
  volatile std::uint8_t* cards = cards_.data();
  for (std::size_t i = 0; i < cards_.size(); ++i) cards[i] = 0;
  volatile char* key = key_.data();
  for (std::size_t i = 0; i < key_.size(); ++i) key[i] = 0;
}

void TSapphire::SetKey(std::string_view key) {
  key_.assign(key);
  if (key_.empty()) {
    // Hashing state: no key, cards in reverse order.
    rotor_ = 1;
    ratchet_ = 3;
    avalanche_ = 5;
    lastPlain_ = 7;
    lastCipher_ = 11;
    for (std::size_t i = 0; i < cards_.size(); ++i) cards_[i] = static_cast<std::uint8_t>(255 - i);
    return;
  }
  Shuffle();
}

void TSapphire::Shuffle() {
  for (std::size_t i = 0; i < cards_.size(); ++i) cards_[i] = static_cast<std::uint8_t>(i);
  std::uint8_t runningSum = 0;
  std::size_t keyPosition = 0;
  for (int i = 255; i >= 0; --i) {
    const std::uint8_t other = KeyRandom(static_cast<unsigned>(i), runningSum, keyPosition);
    std::swap(cards_[i], cards_[other]);
  }
  rotor_ = cards_[1];
  ratchet_ = cards_[3];
  avalanche_ = cards_[5];
  lastPlain_ = cards_[7];
  lastCipher_ = cards_[runningSum];
}

// A number in 0..limit drawn from the key and the cards so far.
std::uint8_t TSapphire::KeyRandom(unsigned limit, std::uint8_t& runningSum,
                                  std::size_t& keyPosition) {
  if (limit == 0) return 0;
  unsigned mask = 1;
  while (mask < limit) mask = (mask << 1) + 1;
  unsigned draws = 0;
  unsigned value;
  do {
    runningSum = static_cast<std::uint8_t>(cards_[runningSum] +
                                           static_cast<std::uint8_t>(key_[keyPosition++]));
    if (keyPosition >= key_.size()) {
      keyPosition = 0;
      // Only the low byte of the key length enters the sum.
      runningSum = static_cast<std::uint8_t>(runningSum + key_.size());
    }
    value = mask & runningSum;
    if (++draws > kRetryLimit) value %= limit;
  } while (value > limit);
  return static_cast<std::uint8_t>(value);
}

// Advances the state by one byte and returns the byte the data is XORed with.
std::uint8_t TSapphire::NextMask() {
  ratchet_ = static_cast<std::uint8_t>(ratchet_ + cards_[rotor_++]);
  const std::uint8_t swap = cards_[lastCipher_];
  cards_[lastCipher_] = cards_[ratchet_];
  cards_[ratchet_] = cards_[lastPlain_];
  cards_[lastPlain_] = cards_[rotor_];
  cards_[rotor_] = swap;
  avalanche_ = static_cast<std::uint8_t>(avalanche_ + cards_[swap]);
  const std::uint8_t inner =
      static_cast<std::uint8_t>(cards_[lastPlain_] + cards_[lastCipher_] + cards_[avalanche_]);
  return static_cast<std::uint8_t>(
      cards_[static_cast<std::uint8_t>(cards_[ratchet_] + cards_[rotor_])] ^ cards_[cards_[inner]]);
}

void TSapphire::EncipherBuffer(std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t plain = bytes[i];
    lastCipher_ = static_cast<std::uint8_t>(plain ^ NextMask());
    lastPlain_ = plain;
    bytes[i] = lastCipher_;
  }
}

void TSapphire::DecipherBuffer(std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t cipher = bytes[i];
    lastPlain_ = static_cast<std::uint8_t>(cipher ^ NextMask());
    lastCipher_ = cipher;
    bytes[i] = lastPlain_;
  }
}

}  // namespace tablefile

#pragma once
// TSapphire: the Sapphire II stream cipher in its published form (key set-up
// with its key-dependent shuffle, byte-wise encipher and decipher). Tables
// use one instance, owned by the session; every key set-up replaces its state.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tablefile {

class TSapphire {
 public:
  TSapphire();
  // Zeroes the permutation and overwrites the key text.
  ~TSapphire();
  TSapphire(const TSapphire&) = delete;
  TSapphire& operator=(const TSapphire&) = delete;

  // Keys the cipher with the text's bytes. An empty key gives the published
  // initial state for hashing.
  void SetKey(std::string_view key);

  // Transform bytes in place, continuing the state from the previous byte.
  void EncipherBuffer(std::uint8_t* bytes, std::size_t count);
  void DecipherBuffer(std::uint8_t* bytes, std::size_t count);

 private:
  void Shuffle();
  std::uint8_t KeyRandom(unsigned limit, std::uint8_t& runningSum, std::size_t& keyPosition);
  std::uint8_t NextMask();

  std::uint8_t rotor_ = 0;
  std::uint8_t ratchet_ = 0;
  std::uint8_t avalanche_ = 0;
  std::uint8_t lastPlain_ = 0;
  std::uint8_t lastCipher_ = 0;
  std::array<std::uint8_t, 256> cards_{};
  std::string key_;
};

}  // namespace tablefile

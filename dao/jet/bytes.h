// Little- and big-endian integer access to page bytes. The unchecked Load/Store
// functions are for offsets the caller has already bounded; the checked *At
// functions raise a "damaged" error when the field lies outside the bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>

#include "dao/jet/jet_error.h"

namespace dao::jet {

using Bytes = std::span<const std::uint8_t>;
using MutableBytes = std::span<std::uint8_t>;

inline std::uint16_t LoadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t LoadU24(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16);
}
inline std::uint32_t LoadU32(const std::uint8_t* p) {
  return LoadU24(p) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t LoadU64(const std::uint8_t* p) {
  return LoadU32(p) | (static_cast<std::uint64_t>(LoadU32(p + 4)) << 32);
}
inline double LoadF64(const std::uint8_t* p) {
  const std::uint64_t bits = LoadU64(p);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}
inline float LoadF32(const std::uint8_t* p) {
  const std::uint32_t bits = LoadU32(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}
inline std::uint32_t LoadU32BigEndian(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

inline void StoreU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreU32(std::uint8_t* p, std::uint32_t v) {
  StoreU16(p, static_cast<std::uint16_t>(v));
  StoreU16(p + 2, static_cast<std::uint16_t>(v >> 16));
}
inline void StoreU64(std::uint8_t* p, std::uint64_t v) {
  StoreU32(p, static_cast<std::uint32_t>(v));
  StoreU32(p + 4, static_cast<std::uint32_t>(v >> 32));
}
inline void StoreF64(std::uint8_t* p, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  StoreU64(p, bits);
}
inline void StoreU32BigEndian(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}

// True when [offset, offset + length) lies inside `bytes`.
inline bool Fits(Bytes bytes, std::size_t offset, std::size_t length) {
  return offset <= bytes.size() && length <= bytes.size() - offset;
}

// Raises "damaged" with `what` unless [offset, offset + length) fits.
inline void RequireFits(Bytes bytes, std::size_t offset, std::size_t length, const char* what) {
  if (!Fits(bytes, offset, length)) ThrowDamaged(what);
}

inline std::uint8_t U8At(Bytes bytes, std::size_t offset, const char* what) {
  RequireFits(bytes, offset, 1, what);
  return bytes[offset];
}
inline std::uint16_t U16At(Bytes bytes, std::size_t offset, const char* what) {
  RequireFits(bytes, offset, 2, what);
  return LoadU16(bytes.data() + offset);
}
inline std::uint32_t U32At(Bytes bytes, std::size_t offset, const char* what) {
  RequireFits(bytes, offset, 4, what);
  return LoadU32(bytes.data() + offset);
}
inline double F64At(Bytes bytes, std::size_t offset, const char* what) {
  RequireFits(bytes, offset, 8, what);
  return LoadF64(bytes.data() + offset);
}
// `length` bytes at `offset`.
inline Bytes SliceAt(Bytes bytes, std::size_t offset, std::size_t length, const char* what) {
  RequireFits(bytes, offset, length, what);
  return bytes.subspan(offset, length);
}

}  // namespace dao::jet

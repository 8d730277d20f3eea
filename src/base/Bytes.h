// Byte-order helpers and the bounds-checked views used for every wire layout.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

using Byte = std::uint8_t;
using ByteView = std::span<const Byte>;
using MutableByteView = std::span<Byte>;
using Bytes = std::vector<Byte>;

namespace detail {
inline void CheckRange(std::size_t size, std::size_t offset, std::size_t width) {
  if (offset > size || width > size - offset) {
    throw std::out_of_range("wire field at offset " + std::to_string(offset) +
                            " lies outside a buffer of " + std::to_string(size) + " bytes");
  }
}
}  // namespace detail

inline std::uint16_t LoadBe16(ByteView bytes, std::size_t offset) {
  detail::CheckRange(bytes.size(), offset, 2);
  return static_cast<std::uint16_t>((bytes[offset] << 8) | bytes[offset + 1]);
}

inline std::uint16_t LoadLe16(ByteView bytes, std::size_t offset) {
  detail::CheckRange(bytes.size(), offset, 2);
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline std::uint32_t LoadBe32(ByteView bytes, std::size_t offset) {
  detail::CheckRange(bytes.size(), offset, 4);
  return (std::uint32_t{bytes[offset]} << 24) | (std::uint32_t{bytes[offset + 1]} << 16) |
         (std::uint32_t{bytes[offset + 2]} << 8) | std::uint32_t{bytes[offset + 3]};
}

inline void StoreBe16(MutableByteView bytes, std::size_t offset, std::uint16_t value) {
  detail::CheckRange(bytes.size(), offset, 2);
  bytes[offset] = static_cast<Byte>(value >> 8);
  bytes[offset + 1] = static_cast<Byte>(value);
}

inline void StoreLe16(MutableByteView bytes, std::size_t offset, std::uint16_t value) {
  detail::CheckRange(bytes.size(), offset, 2);
  bytes[offset] = static_cast<Byte>(value);
  bytes[offset + 1] = static_cast<Byte>(value >> 8);
}

inline void StoreBe32(MutableByteView bytes, std::size_t offset, std::uint32_t value) {
  detail::CheckRange(bytes.size(), offset, 4);
  bytes[offset] = static_cast<Byte>(value >> 24);
  bytes[offset + 1] = static_cast<Byte>(value >> 16);
  bytes[offset + 2] = static_cast<Byte>(value >> 8);
  bytes[offset + 3] = static_cast<Byte>(value);
}

// Throws std::out_of_range unless [offset, offset + width) lies inside the buffer.
inline void RequireRange(ByteView bytes, std::size_t offset, std::size_t width) {
  detail::CheckRange(bytes.size(), offset, width);
}

// The sub-range [offset, offset + width) of a buffer, checked.
inline ByteView Slice(ByteView bytes, std::size_t offset, std::size_t width) {
  detail::CheckRange(bytes.size(), offset, width);
  return bytes.subspan(offset, width);
}

inline MutableByteView MutableSlice(MutableByteView bytes, std::size_t offset, std::size_t width) {
  detail::CheckRange(bytes.size(), offset, width);
  return bytes.subspan(offset, width);
}

// Copies a fixed-size field out of, or into, a wire layout.
template <std::size_t N>
void LoadArray(ByteView bytes, std::size_t offset, std::array<Byte, N>& field) {
  const ByteView source = Slice(bytes, offset, N);
  std::copy(source.begin(), source.end(), field.begin());
}

template <std::size_t N>
void StoreArray(MutableByteView bytes, std::size_t offset, const std::array<Byte, N>& field) {
  const MutableByteView target = MutableSlice(bytes, offset, N);
  std::copy(field.begin(), field.end(), target.begin());
}

// A NUL-terminated text field of fixed size: the text ends at the first NUL, or at the end of the
// field when the field carries no terminator. Never reads past the field.
inline std::string FieldText(ByteView field) {
  std::size_t length = 0;
  while (length < field.size() && field[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(field.data()), length);
}

// Writes text into a fixed field and zero-fills the rest. The caller guarantees that the text fits
// (with its terminator when `terminated`); longer text is a programming error.
inline void StoreFieldText(MutableByteView field, std::string_view text, bool terminated = true) {
  const std::size_t room = terminated ? field.size() - 1 : field.size();
  if (text.size() > room) {
    throw std::length_error("text of " + std::to_string(text.size()) +
                            " characters does not fit a field of " + std::to_string(field.size()) +
                            " bytes");
  }
  std::fill(field.begin(), field.end(), Byte{0});
  std::copy(text.begin(), text.end(), field.begin());
}

}  // namespace quillon

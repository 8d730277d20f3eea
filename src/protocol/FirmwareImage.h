// The two places of a firmware image the transfer looks into, and the data of its last request.
//
//   image offset  width  field
//   0xFF00           28  ImageInfoBlock: checksum, the MAC of the card it belongs to, 18 bytes
//   0xFFE4            4  BootVersionWord: low nibbles only; boot version (bytes 0-1) and
//                        compatibility code (byte 3)
//
// The image is sent whole in blocks of 1024 bytes (the last one shorter), numbered from 0 in the
// request's 16-bit parameter.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/Bytes.h"
#include "base/MacAddress.h"

namespace quillon {

inline constexpr std::size_t kImageInfoBlockOffset = 0xFF00;
inline constexpr std::size_t kImageInfoBlockSize = 28;
inline constexpr std::size_t kBootVersionWordOffset = 0xFFE4;
// Shorter images lack the boot version word.
inline constexpr std::size_t kMinimumImageSize = kBootVersionWordOffset + 4;
inline constexpr std::size_t kImageBlockSize = 1024;
inline constexpr std::size_t kMaximumImageSize = kImageBlockSize * 65536;

// Info-block mode of the end-of-image data.
inline constexpr std::uint32_t kInfoBlockPersonalised = 0x00000000;
inline constexpr std::uint32_t kInfoBlockUnchanged = 0x00010000;

// Why these bytes cannot be sent as an image, or an empty text when they can.
std::string ImageProblem(ByteView image);

// The boot version word with every byte masked to its low nibble, read big-endian.
std::uint32_t MaskedBootWord(ByteView image);
inline std::uint16_t BootVersionOf(std::uint32_t word) {
  return static_cast<std::uint16_t>(word >> 16);
}
inline std::uint8_t CompatibilityOf(std::uint32_t word) {
  return static_cast<std::uint8_t>(word);
}

bool InfoBlockValid(ByteView image);
// Writes the card's address into a valid info block and seals it again.
void PersonaliseInfoBlock(MutableByteView image, const MacAddress& card);
MacAddress InfoBlockAddress(ByteView image);

std::size_t BlockCount(std::size_t image_size);

// Whole-image checksum, then the info-block mode; both big-endian.
std::array<Byte, 8> EndOfImageData(std::uint32_t image_checksum, std::uint32_t info_block_mode);

}  // namespace quillon

#include "protocol/FirmwareImage.h"

#include "protocol/Checksum.h"

namespace quillon {

namespace {

ByteView InfoBlock(ByteView image) {
  return Slice(image, kImageInfoBlockOffset, kImageInfoBlockSize);
}

}  // namespace

std::string ImageProblem(ByteView image) {
  if (image.size() < kMinimumImageSize) {
    return "the image has " + std::to_string(image.size()) +
           " bytes; a firmware image has at least " + std::to_string(kMinimumImageSize) +
           " (its boot version lies at 0xFFE4)";
  }
  if (image.size() > kMaximumImageSize) {
    return "the image has " + std::to_string(image.size()) +
           " bytes; at most 65536 blocks of 1024 bytes can be numbered";
  }
  return {};
}

std::uint32_t MaskedBootWord(ByteView image) {
  return LoadBe32(image, kBootVersionWordOffset) & 0x0F0F0F0Fu;
}

bool InfoBlockValid(ByteView image) {
  return IsSealed(InfoBlock(image));
}

void PersonaliseInfoBlock(MutableByteView image, const MacAddress& card) {
  const MutableByteView block = MutableSlice(image, kImageInfoBlockOffset, kImageInfoBlockSize);
  card.StoreTo(block, 4);
  SealBlock(block);
}

MacAddress InfoBlockAddress(ByteView image) {
  return MacAddress::From(InfoBlock(image), 4);
}

std::size_t BlockCount(std::size_t image_size) {
  return (image_size + kImageBlockSize - 1) / kImageBlockSize;
}

std::array<Byte, 8> EndOfImageData(std::uint32_t image_checksum, std::uint32_t info_block_mode) {
  std::array<Byte, 8> data{};
  StoreBe32(data, 0, image_checksum);
  StoreBe32(data, 4, info_block_mode);
  return data;
}

}  // namespace quillon

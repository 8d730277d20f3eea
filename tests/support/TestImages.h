// Firmware images for tests: any size, boot version and compatibility code, valid info block or
// not. The high nibbles of the boot version word are set on purpose: only the low ones count.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "protocol/Checksum.h"
#include "protocol/FirmwareImage.h"

namespace quillon::testing {

inline constexpr std::size_t kImage =
    64 * 1024;  // the smallest whole number of blocks an image can be

struct ImageShape {
  std::size_t size = kImage;
  std::uint16_t boot_version = 1;
  std::uint8_t compatibility = 5;
  bool valid_info_block = true;
};

inline Bytes MakeImage(const ImageShape& shape) {
  Bytes image(shape.size);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<Byte>(i * 7 + i / 1024);
  MutableByteView block = MutableSlice(image, kImageInfoBlockOffset, kImageInfoBlockSize);
  SealBlock(block);
  if (!shape.valid_info_block) block[0] ^= 0x55;
  image[kBootVersionWordOffset] = static_cast<Byte>(0xA0 | (shape.boot_version >> 8));
  image[kBootVersionWordOffset + 1] = static_cast<Byte>(0xB0 | (shape.boot_version & 0x0F));
  image[kBootVersionWordOffset + 2] = 0xCC;
  image[kBootVersionWordOffset + 3] = static_cast<Byte>(0xD0 | shape.compatibility);
  return image;
}

// Written beside its place and then moved there: the tests run in parallel processes, and one
// that rewrote the file in place would show it empty, for a moment, to another that reads it.
inline std::string WriteImageFile(const std::string& name, const Bytes& image) {
  const std::string path = ::testing::TempDir() + "/" + name;
  const std::string written = path + "." + std::to_string(getpid());
  std::ofstream(written, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  EXPECT_EQ(std::rename(written.c_str(), path.c_str()), 0) << path;
  return path;
}

}  // namespace quillon::testing

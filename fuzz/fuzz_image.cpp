// Image files are untrusted too: any bytes must be refused or read without reaching past them.
#include <cstddef>
#include <cstdint>

#include "protocol/Checksum.h"
#include "protocol/FirmwareImage.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes image(data, data + size);
  if (!ImageProblem(image).empty()) return 0;
  (void)BootVersionOf(MaskedBootWord(image));
  (void)CompatibilityOf(MaskedBootWord(image));
  if (InfoBlockValid(image)) {
    PersonaliseInfoBlock(image, MacAddress{{0x02, 0x4B, 0x51, 0, 0, 1}});
    if (!InfoBlockValid(image)) __builtin_trap();
  }
  (void)EndOfImageData(BlockChecksum(image), kInfoBlockUnchanged);
  (void)BlockCount(image.size());
  return 0;
}

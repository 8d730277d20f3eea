// Writes the seed corpus of the fuzz targets: one valid input for every request and reply kind,
// and one image of every shape the transfer tells apart. The output is committed under
// fuzz/corpus; write it again when a layout changes:
//
//   cmake --preset fuzz && cmake --build --preset fuzz --target make_fuzz_corpus
//   build/fuzz/fuzz/make_fuzz_corpus fuzz/corpus
//
// Every input is built the same way on every run, so an unchanged layout leaves the files as
// they are.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "link/ArpFrame.h"
#include "protocol/Checksum.h"
#include "protocol/DeviceCommands.h"
#include "protocol/DeviceConfig.h"
#include "protocol/DeviceRecord.h"
#include "protocol/FirmwareImage.h"
#include "protocol/FrameFormat.h"
#include "sim/DemoFleet.h"
#include "sim/SimulatedCard.h"

using namespace quillon;
namespace fs = std::filesystem;

namespace {

const MacAddress kHost{{0x02, 0x00, 0x00, 0x00, 0x00, 0x01}};
// The card of fuzz_card: serial number 1358954496, password "pw".
constexpr std::uint32_t kSerial = 1358954496;
const MacAddress kCard = sim::MakerAddress(kSerial);
const DevicePassword kPassword("pw");

void Write(const fs::path& folder, const std::string& name, ByteView bytes) {
  fs::create_directories(folder);
  std::ofstream file(folder / name, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + (folder / name).string());
}

Bytes Reply(std::uint16_t reply_code, ReplyStatus status, ByteView data = {}) {
  FrameHeader header;
  header.code = reply_code;
  header.status = status.value();
  header.data_length = static_cast<std::uint16_t>(data.size());
  return BuildReplyFrame(kHost, kCard, header, data);
}

Bytes Request(std::uint16_t code, const DevicePassword& password, ByteView data,
              std::size_t reply_length = 0, std::uint16_t parameter = 0) {
  return BuildRequestFrame(kHost, {kCard, code, parameter, password, data, reply_length});
}

ConfigBlock Config(std::uint16_t level) {
  sim::CardBuilder builder(kSerial);
  builder.Level(level).Ports(8080, 2323, 8443, 0);
  if (level == 33) {
    builder.Ipv6(4, "2001:db8::21", "2001:db8::1", 64, "fe80::4b:51ff:fe00:0", "2001:db8::22");
  }
  if (level < 31 || level > 750) builder.Dhcp(0xC0A80111);
  return builder.Build().config;
}

ConfigBlock SealedConfig(std::uint16_t level, std::size_t length) {
  ConfigBlock block = Config(level);
  PrepareConfigWrite(block, length);
  return block;
}

Bytes Record(bool text_versions) {
  sim::CardBuilder builder(kSerial);
  if (text_versions) {
    builder.HardwareText("QN-9100").FirmwareText("v3.2.0K build 41");
  } else {
    builder.HardwareNumbers(1, 1, 0, 0).FirmwareNumbers(1, 4, 'C', 9);
  }
  DeviceRecord record;
  record.mac = kCard;
  record.hardware_version = builder.profile.hardware_version;
  record.firmware_version = builder.profile.firmware_version;
  const auto bytes = record.Encode();
  return Bytes(bytes.begin(), bytes.end());
}

// An image of `size` bytes whose boot word says boot version 1, compatibility code 5 (with the
// high nibbles set, which do not count).
Bytes Image(std::size_t size, bool valid_info_block) {
  Bytes image(size);
  for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<Byte>(i * 7 + i / 1024);
  const MutableByteView block = MutableSlice(image, kImageInfoBlockOffset, kImageInfoBlockSize);
  std::fill(block.begin() + 10, block.end(), Byte{0});
  StoreFieldText(block.subspan(12), "QN-9100");
  kCard.StoreTo(block, 4);
  SealBlock(block);
  if (!valid_info_block) block[3] ^= 0x5A;
  const Byte boot_word[] = {0xA0, 0xB1, 0xCC, 0xD5};
  std::copy(std::begin(boot_word), std::end(boot_word), image.begin() + kBootVersionWordOffset);
  return image;
}

void Frames(const fs::path& folder) {
  Write(folder, "discovery-reply-text", Reply(code::kDiscoverReply, ReplyStatus{0}, Record(true)));
  Write(folder, "discovery-reply-numbers",
        Reply(code::kDiscoverReply, ReplyStatus{0}, Record(false)));
  const ConfigBlock config = Config(33);
  Write(folder, "config-reply-256", Reply(code::kConfigReply, status::kDone, config));
  Write(folder, "config-reply-68",
        Reply(code::kConfigReply, status::kRefused, Slice(config, 0, kShortConfigSize)));
  Write(folder, "config-write-reply", Reply(code::kConfigReply, status::kDone));
  Write(folder, "password-reply", Reply(code::kPasswordReply, status::kDone));
  Write(folder, "factory-reply", Reply(code::kSetHardwareAddressReply, status::kNotReady));
  Bytes identification(8, 0);
  StoreBe32(identification, 4, 0x00010005);
  Write(folder, "identify-reply", Reply(code::kIdentifyReply, status::kDone, identification));
  Write(folder, "image-reply", Reply(code::kImageReply, status::kDone));
  Write(folder, "notice", Reply(code::kNotice, ReplyStatus{0}));
  const ArpPacket probe = MakeArpProbe(kHost, 0xC0A80115);
  Write(folder, "arp-probe", probe.Encode());
  Write(folder, "arp-reply", MakeArpReply(probe, kCard).Encode());
  // The target also reads the first 256 bytes of any input as a configuration block.
  for (const int level : {33, 32, 30, 800}) {
    Write(folder, "config-block-level-" + std::to_string(level),
          Config(static_cast<std::uint16_t>(level)));
  }
}

// What a fresh card like fuzz_card's answers to a request, so that whoever writes the corpus sees
// which inputs reach a card's success paths (image-end needs the blocks before it, and the removal
// a password check just before it).
void CardRequest(const fs::path& folder, const std::string& name, ByteView frame) {
  Write(folder, name, frame);
  sim::SimulatedCard card(sim::CardBuilder(kSerial).Password("pw").Build());
  for (const sim::OutgoingFrame& out : card.HandleFrame(frame, Clock::now())) {
    const std::optional<FrameHeader> header = FrameHeader::Decode(out.frame);
    if (!header) continue;
    std::printf("fuzz_card/%-22s answered 0x%04X, status %u\n", name.c_str(), header->code,
                header->status);
  }
}

void CardRequests(const fs::path& folder) {
  CardRequest(folder, "discovery", BuildDiscoveryRequest(kHost));
  CardRequest(folder, "check-password", Request(code::kCheckPassword, kPassword, {}));
  CardRequest(folder, "change-password",
              Request(code::kChangePassword, kPassword, MakePasswordBlock("pw")));
  CardRequest(folder, "remove-password", Request(code::kChangePassword, {}, MakePasswordBlock("")));
  CardRequest(folder, "read-config-256", Request(code::kReadConfig, {}, {}, kConfigBlockSize));
  CardRequest(folder, "read-config-68",
              Request(code::kReadConfig, kPassword, {}, kShortConfigSize));
  CardRequest(folder, "write-config-256",
              Request(code::kWriteConfig, kPassword, SealedConfig(33, kConfigBlockSize)));
  CardRequest(folder, "write-config-68",
              Request(code::kWriteConfig, kPassword,
                      Slice(SealedConfig(30, kShortConfigSize), 0, kShortConfigSize)));
  std::array<Byte, 16> hardware{};
  StoreFieldText(hardware, "QN-9100");
  CardRequest(folder, "set-hardware-address",
              Request(code::kSetHardwareAddress, kPassword, MakeFactoryBlock(kCard, hardware)));
  CardRequest(folder, "identify", Request(code::kIdentify, kPassword, {}, 8));
  const Bytes image = Image(kMinimumImageSize, true);
  CardRequest(folder, "image-block-0",
              Request(code::kImageBlock, kPassword, Slice(image, 0, kImageBlockSize)));
  CardRequest(folder, "image-block-0-short",
              Request(code::kImageBlock, kPassword, Slice(image, 0, 100)));
  CardRequest(folder, "image-end",
              Request(code::kImageEnd, kPassword,
                      EndOfImageData(BlockChecksum(image), kInfoBlockPersonalised)));
}

void Images(const fs::path& folder) {
  constexpr std::size_t kWholeBlocks = 64 * kImageBlockSize;
  Write(folder, "valid-info-block", Image(kWholeBlocks, true));
  Write(folder, "invalid-info-block", Image(kWholeBlocks, false));
  Write(folder, "shortest", Image(kMinimumImageSize, true));  // its last block has 1000 bytes
  Write(folder, "one-byte-last-block", Image(kWholeBlocks + 1, true));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
    return 2;
  }
  const fs::path corpus = argv[1];
  Frames(corpus / "fuzz_frames");
  CardRequests(corpus / "fuzz_card");
  Images(corpus / "fuzz_image");
  return 0;
}

// Frames from the wire are untrusted: every decoder must take any bytes without reaching past
// them, and a configuration block must survive decoding, editing and encoding.
#include <cstddef>
#include <cstdint>

#include "link/ArpFrame.h"
#include "protocol/ConfigSettings.h"
#include "protocol/DeviceConfig.h"
#include "protocol/DeviceRecord.h"
#include "protocol/FrameFormat.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteView frame(data, size);
  (void)FrameHeader::Decode(frame);
  // What the address probe and the simulated cards take from ARP frames, and that it re-encodes to
  // the same 42 bytes.
  if (const std::optional<ArpPacket> arp = ArpPacket::Decode(frame)) {
    const Bytes again = arp->Encode();
    if (!std::equal(again.begin(), again.begin() + arp::kLength, data)) __builtin_trap();
    (void)ShowsAddressInUse(*arp, arp->target_ip, arp->target_mac);
    (void)MakeArpReply(*arp, arp->target_mac);
  }
  for (std::uint16_t code : {code::kDiscoverReply, code::kConfigReply, code::kPasswordReply}) {
    (void)IsReply(frame, code, kConfigBlockSize);
  }
  if (IsReply(frame, code::kDiscoverReply, kDeviceRecordSize)) {
    const DeviceRecord record = DeviceRecord::Decode(frame.subspan(frame::kData));
    (void)record.HardwareVersionText();
    (void)record.FirmwareVersionText();
    (void)DeviceKey(record.mac);
  }
  if (size >= kConfigBlockSize) {
    ConfigBlock block;
    std::copy(data, data + kConfigBlockSize, block.begin());
    DeviceConfig config = DeviceConfig::Decode(block);
    if (config.Encode() != block) __builtin_trap();
    FillConfigFromSettings(config, SettingsFromConfig(config));
    PrepareConfigWrite(block, kConfigBlockSize);
  }
  return 0;
}

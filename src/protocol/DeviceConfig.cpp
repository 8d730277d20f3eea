#include "protocol/DeviceConfig.h"

#include <algorithm>
#include <stdexcept>

#include "protocol/Checksum.h"

namespace quillon {

DeviceConfig DeviceConfig::Decode(const ConfigBlock& block) {
  DeviceConfig c;
  c.magic = LoadBe32(block, 0);
  c.checksum = LoadBe32(block, 4);
  c.config_version = LoadBe16(block, 8);
  LoadArray(block, 10, c.reserved_10);
  c.ipv4_mode = block[23];
  c.gateway = LoadBe32(block, 24);
  c.current_address = LoadBe32(block, 28);
  c.ip_address = LoadBe32(block, 32);
  c.subnet_mask = LoadBe32(block, 36);
  c.http_port = LoadBe16(block, 40);
  c.telnet_port = LoadBe16(block, 42);
  c.https_port = LoadBe16(block, 44);
  c.ssh_port = LoadBe16(block, 46);
  LoadArray(block, 48, c.reserved_48);
  c.ipv6_mode = block[72];
  LoadArray(block, 73, c.ipv6_gateway);
  LoadArray(block, 118, c.ipv6_address);
  LoadArray(block, 163, c.ipv6_address2);
  c.ipv6_prefix_length = LoadLe16(block, 208);
  LoadArray(block, 210, c.link_local_address);
  return c;
}

ConfigBlock DeviceConfig::Encode() const {
  ConfigBlock block{};
  StoreBe32(block, 0, magic);
  StoreBe32(block, 4, checksum);
  StoreBe16(block, 8, config_version);
  StoreArray(block, 10, reserved_10);
  block[23] = ipv4_mode;
  StoreBe32(block, 24, gateway);
  StoreBe32(block, 28, current_address);
  StoreBe32(block, 32, ip_address);
  StoreBe32(block, 36, subnet_mask);
  StoreBe16(block, 40, http_port);
  StoreBe16(block, 42, telnet_port);
  StoreBe16(block, 44, https_port);
  StoreBe16(block, 46, ssh_port);
  StoreArray(block, 48, reserved_48);
  block[72] = ipv6_mode;
  StoreArray(block, 73, ipv6_gateway);
  StoreArray(block, 118, ipv6_address);
  StoreArray(block, 163, ipv6_address2);
  StoreLe16(block, 208, ipv6_prefix_length);
  StoreArray(block, 210, link_local_address);
  return block;
}

void PrepareConfigWrite(ConfigBlock& block, std::size_t length) {
  if (length != kConfigBlockSize && length != kShortConfigSize) {
    throw std::invalid_argument("a configuration write carries 256 or 68 bytes");
  }
  StoreBe32(block, 0, kConfigMagic);
  StoreBe32(block, 4, BlockChecksum(Slice(ByteView(block), 8, length - 8)));
}

std::string Ipv4Text(std::uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
         std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::optional<std::uint32_t> ParseIpv4Text(std::string_view text) {
  std::uint32_t address = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (text.empty() || text.front() != '.') return std::nullopt;
      text.remove_prefix(1);
    }
    std::size_t digits = 0;
    unsigned value = 0;
    while (digits < text.size() && digits < 4 && text[digits] >= '0' && text[digits] <= '9') {
      value = value * 10 + static_cast<unsigned>(text[digits] - '0');
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
    text.remove_prefix(digits);
    address = (address << 8) | value;
  }
  if (!text.empty()) return std::nullopt;
  return address;
}

}  // namespace quillon

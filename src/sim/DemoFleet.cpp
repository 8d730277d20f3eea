#include "sim/DemoFleet.h"

namespace quillon::sim {

namespace {

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}

constexpr std::uint32_t kMask24 = Ip(255, 255, 255, 0);
constexpr std::uint32_t kSerialBase = 1358954496;  // 02-4B-51-00-00-00

}  // namespace

MacAddress MakerAddress(std::uint32_t serial) {
  MacAddress mac{{0x02, 0x4B, 0, 0, 0, 0}};
  StoreBe32(mac.bytes, 2, serial);
  return mac;
}

CardBuilder::CardBuilder(std::uint32_t serial) {
  profile.mac = MakerAddress(serial);
  config.config_version = 32;
  config.ipv4_mode = ipv4_mode::kStatic;
  config.ip_address = Ip(192, 168, 1, 100);
  config.subnet_mask = kMask24;
  config.gateway = Ip(192, 168, 1, 1);
  config.http_port = 80;
  config.telnet_port = 23;
  config.https_port = 443;
  config.ssh_port = 22;
  HardwareText("QN-9100 rev B");
  FirmwareText("v3.2.0K build 41");
}

CardBuilder& CardBuilder::Level(std::uint16_t level) {
  config.config_version = level;
  return *this;
}

CardBuilder& CardBuilder::Static(std::uint32_t address, std::uint32_t mask, std::uint32_t gateway) {
  config.ipv4_mode = ipv4_mode::kStatic;
  config.ip_address = address;
  config.subnet_mask = mask;
  config.gateway = gateway;
  return *this;
}

CardBuilder& CardBuilder::Dhcp(std::uint32_t current_address) {
  config.ipv4_mode = ipv4_mode::kDhcp;
  config.current_address = current_address;
  config.ip_address = current_address;
  return *this;
}

CardBuilder& CardBuilder::Bootp() {
  config.ipv4_mode = ipv4_mode::kBootp;
  return *this;
}

CardBuilder& CardBuilder::Ports(std::uint16_t http, std::uint16_t telnet, std::uint16_t https,
                                std::uint16_t ssh) {
  config.http_port = http;
  config.telnet_port = telnet;
  config.https_port = https;
  config.ssh_port = ssh;
  return *this;
}

CardBuilder& CardBuilder::Ipv6(int mode, const std::string& address, const std::string& gateway,
                               std::uint16_t prefix, const std::string& link_local,
                               const std::string& second_address) {
  config.ipv6_mode = static_cast<std::uint8_t>(mode);
  StoreFieldText(config.ipv6_address, address);
  StoreFieldText(config.ipv6_gateway, gateway);
  StoreFieldText(config.ipv6_address2, second_address);
  StoreFieldText(config.link_local_address, link_local);
  config.ipv6_prefix_length = prefix;
  return *this;
}

CardBuilder& CardBuilder::HardwareText(const std::string& text) {
  StoreFieldText(profile.hardware_version, text, /*terminated=*/false);
  return *this;
}

CardBuilder& CardBuilder::HardwareNumbers(Byte a, Byte b, Byte c, Byte d) {
  profile.hardware_version = {a, b, c, d};
  return *this;
}

CardBuilder& CardBuilder::FirmwareText(const std::string& text) {
  StoreFieldText(profile.firmware_version, text, /*terminated=*/false);
  return *this;
}

CardBuilder& CardBuilder::FirmwareNumbers(Byte major, Byte minor, char letter, Byte build) {
  profile.firmware_version = {major, minor, static_cast<Byte>(letter), build};
  return *this;
}

CardBuilder& CardBuilder::Password(const std::string& text) {
  profile.password = text;
  return *this;
}

CardBuilder& CardBuilder::Faults(const CardFaults& faults) {
  profile.faults = faults;
  return *this;
}

CardBuilder& CardBuilder::FirmwareSide(const FirmwareBehaviour& firmware) {
  profile.firmware = firmware;
  return *this;
}

CardProfile CardBuilder::Build() const {
  CardProfile built = profile;
  built.config = config.Encode();
  return built;
}

std::vector<FleetAdapter> DemoFleet() {
  CardFaults slow;
  slow.reply_delay = Millis{400};

  FleetAdapter office{"sim0", "Simulated segment A (office)", {}};
  office.cards = {
      CardBuilder(kSerialBase + 42)
          .Static(Ip(192, 168, 1, 21), kMask24, Ip(192, 168, 1, 1))
          .Build(),
      CardBuilder(kSerialBase + 7)
          .Level(33)
          .Static(Ip(192, 168, 1, 22), kMask24, Ip(192, 168, 1, 1))
          .Ipv6(4, "[2001:db8:10::22]", "[2001:db8:10::1]", 64, "fe80::4b:51ff:fe00:7")
          .Build(),
      CardBuilder(kSerialBase + 311)
          .Level(33)
          .Dhcp(Ip(192, 168, 1, 143))
          .Ipv6(1, "", "", 64, "fe80::4b:51ff:fe00:137", "[2001:db8:10::137]")
          .FirmwareText("v3.3.1K build 52")
          .Build(),
      CardBuilder(kSerialBase + 12)
          .Level(30)
          .Dhcp(Ip(192, 168, 1, 117))
          .Ports(80, 23, 0, 0)
          .HardwareNumbers(1, 1, 0, 0)
          .FirmwareNumbers(1, 4, 'C', 9)
          .Build(),
      CardBuilder(kSerialBase + 88)
          .Static(Ip(192, 168, 1, 30), kMask24, Ip(192, 168, 1, 1))
          .Password("demo")
          .Ports(kPortDisabled, 2323, 8443, kPortDisabled)
          .Build(),
      CardBuilder(kSerialBase + 5)
          .Static(Ip(192, 168, 1, 5), kMask24, Ip(192, 168, 1, 1))
          .Bootp()
          .Ports(0, 23, kPortDisabled, 22)
          .FirmwareNumbers(2, 1, 'K', 3)
          .Build(),
      CardBuilder(kSerialBase + 64)
          .Level(800)
          .Dhcp(Ip(192, 168, 1, 164))
          .Ports(80, 23, 0, 0)
          .Build(),
  };

  FleetAdapter lab{"sim1", "Simulated segment B (lab)", {}};
  lab.cards = {
      CardBuilder(kSerialBase + 1000).Static(Ip(10, 0, 0, 10), kMask24, Ip(10, 0, 0, 1)).Build(),
      CardBuilder(kSerialBase + 25)
          .Level(33)
          .Static(Ip(10, 0, 0, 25), kMask24, Ip(10, 0, 0, 1))
          .Ipv6(3, "[2001:db8:20::25]", "[2001:db8:20::1]", 48, "fe80::4b:51ff:fe00:19",
                "[2001:db8:20::8025]")
          .Build(),
      CardBuilder(kSerialBase + 3)
          .Level(800)
          .Static(Ip(10, 0, 0, 3), kMask24, Ip(10, 0, 0, 1))
          .Build(),
      CardBuilder(kSerialBase + 460)
          .Level(32)
          .Dhcp(Ip(10, 0, 0, 87))
          .Ports(8080, 0, 443, 22)
          .HardwareText("QN-9200")
          .Faults(slow)
          .Build(),
      CardBuilder(kSerialBase + 2049)
          .Level(31)
          .Static(Ip(10, 0, 0, 49), kMask24, Ip(10, 0, 0, 1))
          .Build(),
  };
  return {office, lab};
}

void Populate(SimulatedSegment& segment, const std::vector<FleetAdapter>& fleet) {
  for (const FleetAdapter& adapter : fleet) {
    const int index = segment.AddAdapter(adapter.name, adapter.display_text);
    for (const CardProfile& card : adapter.cards) segment.AddCard(index, card);
  }
}

}  // namespace quillon::sim

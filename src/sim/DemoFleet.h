// The cards of the demonstration segment: about a dozen on two virtual adapters, covering the
// configuration levels, address methods and services the program deals with.
#pragma once

#include <string>
#include <vector>

#include "sim/SimulatedCard.h"
#include "sim/SimulatedSegment.h"

namespace quillon::sim {

struct FleetAdapter {
  std::string name;
  std::string display_text;
  std::vector<CardProfile> cards;
};

// A card profile with sensible defaults, for the demo fleet and for tests.
struct CardBuilder {
  CardProfile profile;
  DeviceConfig config;

  explicit CardBuilder(std::uint32_t serial);
  CardBuilder& Level(std::uint16_t level);
  CardBuilder& Static(std::uint32_t address, std::uint32_t mask, std::uint32_t gateway);
  CardBuilder& Dhcp(std::uint32_t current_address);
  CardBuilder& Bootp();
  CardBuilder& Ports(std::uint16_t http, std::uint16_t telnet, std::uint16_t https,
                     std::uint16_t ssh);
  CardBuilder& Ipv6(int mode, const std::string& address, const std::string& gateway,
                    std::uint16_t prefix, const std::string& link_local,
                    const std::string& second_address = {});
  CardBuilder& HardwareText(const std::string& text);
  CardBuilder& HardwareNumbers(Byte a, Byte b, Byte c, Byte d);
  CardBuilder& FirmwareText(const std::string& text);
  CardBuilder& FirmwareNumbers(Byte major, Byte minor, char letter, Byte build);
  CardBuilder& Password(const std::string& text);
  CardBuilder& Faults(const CardFaults& faults);
  CardBuilder& FirmwareSide(const FirmwareBehaviour& firmware);
  CardProfile Build() const;
};

// The address 02-4B-51-xx-xx-xx whose serial number (DeviceKey) is `serial`.
MacAddress MakerAddress(std::uint32_t serial);

std::vector<FleetAdapter> DemoFleet();

// Adds the fleet's adapters and cards to a segment.
void Populate(SimulatedSegment& segment, const std::vector<FleetAdapter>& fleet);

}  // namespace quillon::sim

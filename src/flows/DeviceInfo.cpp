#include "flows/DeviceInfo.h"

namespace quillon {

std::string DeviceInfoText(const FoundDevice& device) {
  const DeviceRecord& record = device.record;
  const DeviceDetails& details = device.details;
  std::string text = "Hardware Version: " + record.HardwareVersionText() +
                     "\r\nFirmware Version: " + record.FirmwareVersionText() +
                     "\r\nMAC Address: " + record.mac.ToString();
  if (details.config_level != kIpv6ConfigLevel || details.link_local.empty()) return text + "\r\n";
  text += "\r\nLocalLink Addr:" + details.link_local;
  if (details.ipv6_address2.empty()) return text + "\r\nIPv6 Addr:" + details.ipv6_address;
  return text + "\r\nIPv6 Addr1:" + details.ipv6_address +
         "\r\nIPv6 Addr2:" + details.ipv6_address2;
}

}  // namespace quillon

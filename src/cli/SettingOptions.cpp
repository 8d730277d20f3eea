#include "cli/SettingOptions.h"

#include "flows/CardName.h"
#include "protocol/DeviceConfig.h"

namespace quillon::cli {

CLI::Validator Ipv4Check() {
  return CLI::Validator(
      [](const std::string& text) -> std::string {
        if (ParseIpv4Text(text)) return {};
        return "'" + text + "' is not an IPv4 address such as 192.168.1.20";
      },
      "ADDRESS");
}

CLI::Validator PortCheck() {
  return CLI::Validator(
      [](const std::string& text) -> std::string {
        if (text == "off" || ParseSerialNumber(text)) return {};
        return "'" + text + "' is neither a port number nor off";
      },
      "PORT|off");
}

CLI::Validator DigitsCheck() {
  return CLI::Validator(
      [](const std::string& text) -> std::string {
        if (ParseSerialNumber(text)) return {};
        return "'" + text + "' is not a whole number";
      },
      "N");
}

}  // namespace quillon::cli

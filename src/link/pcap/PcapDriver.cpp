#include "link/pcap/PcapDriver.h"

#include <unistd.h>

#include <climits>
#include <map>

#include "link/pcap/ArpProbe.h"
#include "link/pcap/InterfaceAddress.h"
#include "link/pcap/PcapCapture.h"

namespace quillon::pcap {

namespace {

bool IsPseudoDevice(const std::string& name) {
  for (const char* prefix : {"any", "nflog", "nfqueue", "dbus-", "usbmon", "bluetooth"}) {
    if (name.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

struct EthernetAdapter {
  AdapterInfo info;
  MacAddress mac;
};

struct Enumeration {
  std::vector<EthernetAdapter> adapters;
  std::string error;
};

Enumeration EnumerateEthernet() {
  char error[PCAP_ERRBUF_SIZE] = {};
  pcap_if_t* devices = nullptr;
  if (pcap_findalldevs(&devices, error) != 0) return {{}, error};
  Enumeration found;
  for (const pcap_if_t* device = devices; device; device = device->next) {
    const std::string name = device->name;
    if ((device->flags & PCAP_IF_LOOPBACK) || !(device->flags & PCAP_IF_UP)) continue;
    if (IsPseudoDevice(name)) continue;
    const auto mac = EthernetAddress(*device);
    if (!mac) continue;
    const std::string description = device->description ? device->description : name;
    found.adapters.push_back({{name, description}, *mac});
  }
  pcap_freealldevs(devices);
  return found;
}

std::string ExecutablePath() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "the program";
  return std::string(path, static_cast<std::size_t>(length));
}

// One open adapter: one handle, which the receive thread captures on and any thread sends
// through.
class Port : public AdapterPort {
 public:
  Port(std::unique_ptr<PcapCapture> capture, std::optional<MacAddress> own)
      : capture_(std::move(capture)), own_(own) {}

  std::optional<MacAddress> OwnAddress() const override { return own_; }

  bool Send(ByteView frame, std::string& error) override { return capture_->Send(frame, error); }

  std::string ReceiveUntilStopped(const FrameSink& sink) override {
    return capture_->DispatchUntilWoken(sink, wake_);
  }

  void Stop() override { wake_.Wake(); }

 private:
  std::unique_ptr<PcapCapture> capture_;
  std::optional<MacAddress> own_;
  WakePipe wake_;
};

}  // namespace

AdapterList PcapDriver::ListAdapters() {
  Enumeration found = EnumerateEthernet();
  AdapterList list{{}, std::move(found.error)};
  std::lock_guard lock(addresses_lock_);
  addresses_.clear();
  for (EthernetAdapter& adapter : found.adapters) {
    addresses_[adapter.info.driver_name] = adapter.mac;
    list.adapters.push_back(std::move(adapter.info));
  }
  return list;
}

std::optional<MacAddress> PcapDriver::AddressOf(const std::string& driver_name) {
  {
    std::lock_guard lock(addresses_lock_);
    if (const auto known = addresses_.find(driver_name); known != addresses_.end()) {
      return known->second;
    }
  }
  for (const EthernetAdapter& adapter : EnumerateEthernet().adapters) {
    if (adapter.info.driver_name == driver_name) return adapter.mac;
  }
  return std::nullopt;
}

OpenedAdapter PcapDriver::OpenAdapter(const std::string& driver_name) {
  PcapCapture::Opened opened = PcapCapture::Open(driver_name, {});
  if (!opened.capture) return {nullptr, opened.failure, std::move(opened.error)};
  return {std::make_unique<Port>(std::move(opened.capture), AddressOf(driver_name)),
          OpenFailure::kNone,
          {}};
}

std::unique_ptr<AddressProbe> PcapDriver::OpenAddressProbe(const std::string& driver_name) {
  return std::make_unique<ArpProbe>(driver_name, AddressOf(driver_name));
}

std::string PcapDriver::PrivilegeProblem() {
  const Enumeration found = EnumerateEthernet();
  if (found.adapters.empty()) return {};
  const std::string& name = found.adapters.front().info.driver_name;
  const PcapCapture::Opened probe = PcapCapture::Open(name, {});
  if (probe.failure != OpenFailure::kPermissionDenied) return {};
  return "Raw frames cannot be captured on " + name + " (" + probe.error + "). " +
         PrivilegeAdvice();
}

// The package gives the capability to the members of the group quillon; a program built by hand
// needs it given to its file.
std::string PcapDriver::PrivilegeAdvice() {
  const std::string path = ExecutablePath();
  if (path.rfind("/usr/bin/", 0) == 0) {
    return "Ask to be added to the group quillon (sudo adduser $USER quillon), then log in "
           "again; or run as root.";
  }
  return "Run as root, or grant the capability once: sudo setcap cap_net_raw+ep " + path;
}

}  // namespace quillon::pcap

// The packet-driver interface: what the link needs from whatever moves raw frames (libpcap on a
// real adapter, or the in-process simulated segment).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Bytes.h"
#include "base/MacAddress.h"
#include "link/AddressProbe.h"

namespace quillon {

inline constexpr std::size_t kMaxFrameLength = 1600;

struct AdapterInfo {
  std::string driver_name;   // what OpenAdapter() takes
  std::string display_text;  // for people
};

struct AdapterList {
  std::vector<AdapterInfo> adapters;
  std::string error;  // why the list could not be made, when it could not
};

enum class OpenFailure { kNone, kNoSuchAdapter, kPermissionDenied, kOther };

using FrameSink = std::function<void(ByteView frame)>;

// One adapter opened for sending and receiving frames of the program's own type.
class AdapterPort {
 public:
  virtual ~AdapterPort() = default;

  // The adapter's own address, when the driver can tell it.
  virtual std::optional<MacAddress> OwnAddress() const = 0;

  // Sends one whole frame (Ethernet header included). On failure, `error` says why.
  virtual bool Send(ByteView frame, std::string& error) = 0;

  // Runs on the link's receive thread: hands every received frame to `sink` until Stop() is
  // called. Returns an empty text when stopped, or why reception ended.
  virtual std::string ReceiveUntilStopped(const FrameSink& sink) = 0;

  // Makes ReceiveUntilStopped() return promptly; may be called from any thread.
  virtual void Stop() = 0;
};

struct OpenedAdapter {
  std::unique_ptr<AdapterPort> port;  // null when the open failed
  OpenFailure failure = OpenFailure::kNone;
  std::string error;
};

class PacketDriver {
 public:
  virtual ~PacketDriver() = default;
  virtual AdapterList ListAdapters() = 0;
  virtual OpenedAdapter OpenAdapter(const std::string& driver_name) = 0;

  // A probe for addresses in use on that adapter's segment, or null when the driver has none (an
  // address then counts as free). Each probe sends on its own adapter only.
  virtual std::unique_ptr<AddressProbe> OpenAddressProbe(const std::string& /*driver_name*/) {
    return nullptr;
  }

  // Why this program cannot capture raw frames here and how to grant it, or an empty text when it
  // can. Drivers that need no privilege say nothing.
  virtual std::string PrivilegeProblem() { return {}; }
  // How to give the program the privilege this driver needs.
  virtual std::string PrivilegeAdvice() { return {}; }
};

}  // namespace quillon

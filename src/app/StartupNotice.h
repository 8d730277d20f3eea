// What the program says once at start-up about its access to the network adapters.
#pragma once

#include <optional>
#include <string>

#include "link/PacketDriver.h"

namespace quillon {

inline constexpr char kNoSystemDriverNotice[] =
    "This build of Quillon Utility has no driver for the network adapters of this machine, so it "
    "cannot search for cards. The list stays empty.\n\n"
    "quillon-demo shows the program on a simulated segment with demonstration cards.";

// Nothing when the driver can capture raw frames; otherwise why it cannot, and how to grant it.
// `driver` is null when the build has no driver for real adapters.
std::optional<std::string> StartupNotice(PacketDriver* driver);

// The driver of a build without one for real adapters: no adapters, so no cards.
class NoAdapterDriver : public PacketDriver {
 public:
  AdapterList ListAdapters() override { return {}; }
  OpenedAdapter OpenAdapter(const std::string&) override {
    return {nullptr, OpenFailure::kNoSuchAdapter, "no adapters"};
  }
};

}  // namespace quillon

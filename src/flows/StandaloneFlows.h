// The main window's hidden commands, without their windows: the IPv4 settings on their own (the
// short 68-byte block), the password on its own, and the serial number that gives a card its MAC
// address. Each asks the card first whether a password is wanted, and the next request decides
// whether the password given is the right one; these commands take a reply as success only when
// it is exactly 2.
#pragma once

#include <cstdint>

#include "flows/Authentication.h"
#include "flows/Prompter.h"
#include "flows/Session.h"
#include "flows/SettingsChecks.h"
#include "protocol/DeviceConfig.h"
#include "protocol/DeviceRecord.h"

namespace quillon {

// What the IPv4 page shows and returns when it is shown alone.
struct Ipv4Entries {
  std::uint8_t mode = ipv4_mode::kStatic;
  std::uint32_t address = 0;
  std::uint32_t mask = 0;
  std::uint32_t gateway = 0;
  // The card's level as its short block gives it (0 above 750): it decides what the page shows
  // under DHCP. BOOTP is never offered here.
  int level = 0;
  bool dhcp_box = false;  // the page's hidden "Obtain an IP address via DHCP" box

  friend bool operator==(const Ipv4Entries&, const Ipv4Entries&) = default;
};

class Ipv4SettingsFlow {
 public:
  Ipv4SettingsFlow(Session& session, Prompter& prompter, const DeviceRecord& card);

  // The password, then the short block read with it. False when the command ends: no answer
  // (nothing shown), the prompt cancelled, or a read not answered with 2 ("Incorrect Password.").
  bool Begin();
  // The page as it opens: DHCP when the card uses DHCP, any other mode as static.
  Ipv4Entries Page() const;
  // The page's OK: its checks (a failure is shown and returned: the page stays open), then the
  // short block written with the page's values ("Write Abort" unless the card answers 2).
  CheckResult Finish(const Ipv4Entries& entries);
  ReplyStatus WriteStatus() const { return write_status_; }

 private:
  Session& session_;
  Prompter& prompter_;
  DeviceRecord card_;
  DevicePassword password_;
  ConfigBlock block_{};
  ReplyStatus write_status_ = status::kNoReply;
};

class SetPasswordFlow {
 public:
  SetPasswordFlow(Session& session, Prompter& prompter, const DeviceRecord& card);

  // The password, then a second check with it (also when none was asked) that must answer 2.
  // False when the command ends ("Incorrect Password." when that check refused).
  bool Begin();
  // The page's OK: the password rules when its box is ticked (a failure is shown and returned),
  // then the page's new text sent whatever the box says (an empty text removes the password);
  // "Set Password Abort" unless the card answers 2.
  CheckResult Finish(const PasswordEntries& entries);
  ReplyStatus ChangeStatus() const { return change_status_; }

 private:
  Session& session_;
  Prompter& prompter_;
  DeviceRecord card_;
  DevicePassword password_;
  ReplyStatus change_status_ = status::kNoReply;
};

// Whether the serial number command is offered for a card: its MAC address lies from
// 02-4B-51-00-00-00 to 02-4B-51-00-01-FF.
bool SerialNumberCommandOffered(const MacAddress& card);

class SerialNumberFlow {
 public:
  // The page's text when it opens: the number of 02-4B-51-00-00-00.
  static constexpr char kDefaultNumberText[] = "1358954496";

  enum class Outcome { kEnded, kDone, kRefused, kBusyTwice };

  SerialNumberFlow(Session& session, Prompter& prompter, const DeviceRecord& card);

  // The password: when one is wanted and typed, a check that must answer 2 ("Incorrect
  // Password." otherwise); a cancelled prompt goes on with the empty password. False when the
  // command ends.
  bool Begin();
  // Sends the factory block for the address 02-4B and `number`, with the card's hardware version
  // text; once more after the factory pause when the card is not ready. "Write Abort" for a
  // refusal, "Download Failed" when it is still not ready; kEnded, without a message, for a reply
  // whose status reads negative.
  Outcome Assign(std::uint32_t number);

 private:
  Session& session_;
  Prompter& prompter_;
  DeviceRecord card_;
  DevicePassword password_;
};

}  // namespace quillon

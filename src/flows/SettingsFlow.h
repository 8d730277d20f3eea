// The Settings command without its window: the card's block read, the sheet's pages filled from
// it, the sheet's OK (its checks in order, the address-conflict question, the card's password),
// and what follows OK: the password change, the configuration write when anything changed, and
// the pause before the list is searched again. The desktop program's sheet and the command line's
// `set` run this one flow; it talks to the person only through the Prompter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flows/Authentication.h"
#include "flows/Prompter.h"
#include "flows/Session.h"
#include "flows/SettingsChecks.h"
#include "protocol/ConfigSettings.h"
#include "protocol/DeviceConfig.h"
#include "protocol/DeviceRecord.h"

namespace quillon {

class SettingsFlow {
 public:
  // `card` as the search found it: its address, adapter and firmware version.
  SettingsFlow(Session& session, Prompter& prompter, const DeviceRecord& card);

  // Clears the block and reads it (256 bytes, the empty password). False, after "No respond!",
  // when the card does not answer.
  bool Read();

  // After Read().
  const DeviceConfig& Config() const { return config_; }
  bool HasPassword() const { return read_status_ == status::kRefused; }
  // The IPv6 page is part of the sheet: the card's level is exactly 33.
  bool Ipv6PagePresent() const;
  // The firmware's variant letter is K: the IPv4 page offers BOOTP (at level 31 and up).
  bool FirmwareK() const { return firmware_k_; }

  // The pages as the sheet opens them: the settings (the address in use under DHCP below level
  // 31), the password page ticked with the placeholder when the card has a password, and the
  // address shown.
  SheetEntries SheetOpening() const;
  // The same with the address as configured, for front ends that change only what they are told.
  SheetEntries AsConfigured() const;

  // The sheet's OK: the checks in their order, the conflict question for a changed static address,
  // then the card's password. Nothing when the sheet may close; otherwise what keeps it open, its
  // message already shown (an empty message: nothing was shown), with the field concerned.
  CheckResult Confirm(const SheetEntries& entries);

  // The settings the entries stand for, the IPv6 page's entries stored into them.
  static NetworkSettings EffectiveSettings(const SheetEntries& entries);
  // Whether the entries differ from what was read: what decides that the block is written.
  bool Changed(const SheetEntries& entries) const;

  struct Applied {
    bool password_sent = false;
    ReplyStatus password_status;
    bool written = false;
    ReplyStatus write_status;
    ConfigBlock block{};  // as written
    // A password change went out or the block was written: the list is to be searched again
    // (the pause before it has been waited).
    bool refresh = false;
  };
  // After a confirmed OK: the password change by the page's state, the block filled and written
  // when anything changed ("Set Password Abort" when the change got no answer).
  Applied Apply(const SheetEntries& entries);

  struct Verification {
    bool answered = false;
    std::vector<std::string> differing;  // names of the settings that read back otherwise
    DeviceConfig read;                   // the block read back
  };
  // Reads the card's block again after a write and compares the settings with what was written.
  Verification Verify(const Applied& applied);

 private:
  bool PasswordChangeFor(const PasswordEntries& entries, DevicePassword& request,
                         std::string& new_password) const;

  Session& session_;
  Prompter& prompter_;
  DeviceRecord card_;
  bool firmware_k_ = false;
  ConfigBlock block_{};
  DeviceConfig config_;
  ReplyStatus read_status_ = status::kNoReply;
  DevicePassword accepted_;
};

}  // namespace quillon

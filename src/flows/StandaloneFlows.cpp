#include "flows/StandaloneFlows.h"

#include <thread>

#include "protocol/ConfigSettings.h"
#include "protocol/DeviceCommands.h"

namespace quillon {

namespace {

CheckResult Shown(Prompter& prompter, CheckResult failure) {
  if (failure) prompter.ShowMessage(failure->message);
  return failure;
}

}  // namespace

// ---- IPv4 settings alone

Ipv4SettingsFlow::Ipv4SettingsFlow(Session& session, Prompter& prompter, const DeviceRecord& card)
    : session_(session), prompter_(prompter), card_(card) {}

bool Ipv4SettingsFlow::Begin() {
  Transactions& transactions = session_.ChannelOf(card_).transactions();
  const Authentication authentication = AskWhenNeeded(transactions, card_.mac, prompter_);
  if (authentication.result != AuthenticationResult::kAccepted) return false;
  password_ = authentication.password;
  // The read itself tells whether the password is the right one.
  const ReplyStatus read = ReadConfig(transactions, card_.mac, password_,
                                      MutableSlice(MutableByteView(block_), 0, kShortConfigSize));
  if (read != status::kDone) {
    prompter_.ShowMessage(settings_text::kIncorrectPassword);
    return false;
  }
  return true;
}

Ipv4Entries Ipv4SettingsFlow::Page() const {
  const DeviceConfig config = DeviceConfig::Decode(block_);
  const bool dhcp = config.ipv4_mode == ipv4_mode::kDhcp;
  return {dhcp ? ipv4_mode::kDhcp : ipv4_mode::kStatic,
          config.ip_address,
          config.subnet_mask,
          config.gateway,
          EffectiveLevel(config.config_version),
          dhcp};
}

CheckResult Ipv4SettingsFlow::Finish(const Ipv4Entries& entries) {
  if (CheckResult failure = Shown(prompter_, Ipv4PageLeaveCheck(entries.mode, entries.address,
                                                                entries.mask, entries.gateway))) {
    return failure;
  }
  DeviceConfig config = DeviceConfig::Decode(block_);
  config.ip_address = entries.address;
  config.subnet_mask = entries.mask;
  config.gateway = entries.gateway;
  config.ipv4_mode = entries.mode;
  ConfigBlock written = config.Encode();
  write_status_ = WriteConfig(session_.ChannelOf(card_).transactions(), card_.mac, password_,
                              written, kShortConfigSize);
  if (write_status_ != status::kDone) prompter_.ShowMessage(settings_text::kWriteAbort);
  return std::nullopt;
}

// ---- The password alone

SetPasswordFlow::SetPasswordFlow(Session& session, Prompter& prompter, const DeviceRecord& card)
    : session_(session), prompter_(prompter), card_(card) {}

bool SetPasswordFlow::Begin() {
  Transactions& transactions = session_.ChannelOf(card_).transactions();
  const Authentication authentication = AskWhenNeeded(transactions, card_.mac, prompter_);
  if (authentication.result != AuthenticationResult::kAccepted) return false;
  if (CheckPassword(transactions, card_.mac, authentication.password) != status::kDone) {
    prompter_.ShowMessage(settings_text::kIncorrectPassword);
    return false;
  }
  password_ = authentication.password;
  return true;
}

CheckResult SetPasswordFlow::Finish(const PasswordEntries& entries) {
  if (CheckResult failure = Shown(prompter_, PasswordEntriesCheck(entries))) return failure;
  // Unticked, the text is sent unchecked; it must still fit the requests that carry it later.
  if (entries.new_password.size() > DevicePassword::kMaxLength) {
    return Shown(prompter_,
                 PasswordEntriesCheck({true, entries.new_password, entries.new_password}));
  }
  change_status_ = ChangePassword(session_.ChannelOf(card_).transactions(), card_.mac, password_,
                                  MakePasswordBlock(entries.new_password));
  if (change_status_ != status::kDone) prompter_.ShowMessage(settings_text::kSetPasswordAbort);
  return std::nullopt;
}

// ---- The serial number

bool SerialNumberCommandOffered(const MacAddress& card) {
  const auto& b = card.bytes;
  return b[0] == 0x02 && b[1] == 0x4B && b[2] == 0x51 && b[3] == 0x00 && b[4] <= 0x01;
}

SerialNumberFlow::SerialNumberFlow(Session& session, Prompter& prompter, const DeviceRecord& card)
    : session_(session), prompter_(prompter), card_(card) {}

bool SerialNumberFlow::Begin() {
  Transactions& transactions = session_.ChannelOf(card_).transactions();
  const Authentication authentication = AskWhenNeeded(transactions, card_.mac, prompter_);
  switch (authentication.result) {
    case AuthenticationResult::kNoReply:
      return false;
    case AuthenticationResult::kCancelled:
      return true;  // goes on with the empty password
    default:
      break;
  }
  if (authentication.asked &&
      CheckPassword(transactions, card_.mac, authentication.password) != status::kDone) {
    prompter_.ShowMessage(settings_text::kIncorrectPassword);
    return false;
  }
  password_ = authentication.password;
  return true;
}

SerialNumberFlow::Outcome SerialNumberFlow::Assign(std::uint32_t number) {
  Transactions& transactions = session_.ChannelOf(card_).transactions();
  const FactoryBlock block = MakeFactoryBlock(SerialNumberMac(number), card_.hardware_version);
  for (bool resent = false;; resent = true) {
    const ReplyStatus status = SetHardwareAddress(transactions, card_.mac, password_, block);
    // Taken as a signed number, as it always was: a negative one ends the command silently.
    if (static_cast<std::int16_t>(status.value()) < 0) return Outcome::kEnded;
    if (status == status::kNoReply || status == status::kRefused) {
      prompter_.ShowMessage(settings_text::kWriteAbort);
      return Outcome::kRefused;
    }
    if (status != status::kNotReady) return Outcome::kDone;
    // A second "not ready" is no better than a refusal.
    if (resent) {
      prompter_.ShowMessage(settings_text::kDownloadFailed);
      return Outcome::kBusyTwice;
    }
    std::this_thread::sleep_for(session_.timing().factory_busy_pause);
  }
}

}  // namespace quillon

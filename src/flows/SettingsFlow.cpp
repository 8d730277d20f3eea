#include "flows/SettingsFlow.h"

#include <thread>

#include "flows/DeviceSearch.h"
#include "protocol/DeviceCommands.h"

namespace quillon {

namespace {

constexpr std::uint16_t kIpv6Level = 33;
constexpr int kPortsAboveLevel = 31;

CheckResult StayOpen(SettingsField field = SettingsField::kNone) {
  return CheckFailure{{}, field};
}

bool SameService(const ServicePort& a, const ServicePort& b) {
  return a.enabled == b.enabled && a.port == b.port;
}

}  // namespace

SettingsFlow::SettingsFlow(Session& session, Prompter& prompter, const DeviceRecord& card)
    : session_(session),
      prompter_(prompter),
      card_(card),
      firmware_k_(FirmwareVariantLetter(card) == 'K') {}

bool SettingsFlow::Read() {
  block_.fill(0);
  read_status_ =
      ReadConfig(session_.ChannelOf(card_).transactions(), card_.mac, DevicePassword{}, block_);
  if (read_status_ == status::kNoReply) {
    prompter_.ShowMessage(settings_text::kNoRespond);
    return false;
  }
  config_ = DeviceConfig::Decode(block_);
  return true;
}

bool SettingsFlow::Ipv6PagePresent() const {
  return config_.config_version == kIpv6Level;
}

SheetEntries SettingsFlow::SheetOpening() const {
  SheetEntries entries;
  entries.settings = SettingsFromConfig(config_);
  entries.opening_address = entries.settings.address;
  if (HasPassword()) entries.password = {true, kPasswordPlaceholder, kPasswordPlaceholder};
  return entries;
}

SheetEntries SettingsFlow::AsConfigured() const {
  SheetEntries entries = SheetOpening();
  entries.settings.address = config_.ip_address;
  entries.opening_address = config_.ip_address;
  return entries;
}

CheckResult SettingsFlow::Confirm(const SheetEntries& entries) {
  auto shown = [this](CheckResult failure) {
    prompter_.ShowMessage(failure->message);
    return failure;
  };
  if (CheckResult failure = SheetChecksBeforeConflict(entries)) return shown(failure);
  const std::uint32_t address = entries.settings.address;
  if (AddressConflictAsked(entries) && session_.AddressInUse(card_.adapter_index, address) &&
      !prompter_.AskYesNo(AddressConflictQuestion(address))) {
    return StayOpen(SettingsField::kAddress);
  }
  if (CheckResult failure = SheetChecksAfterConflict(entries)) return shown(failure);

  const Authentication authentication =
      AuthenticateForSheet(session_.ChannelOf(card_).transactions(), card_.mac, prompter_);
  if (authentication.result != AuthenticationResult::kAccepted) return StayOpen();
  accepted_ = authentication.password;
  return std::nullopt;
}

NetworkSettings SettingsFlow::EffectiveSettings(const SheetEntries& entries) {
  NetworkSettings settings = entries.settings;
  if (settings.has_ipv6 && entries.ipv6) StoreIpv6Entries(*entries.ipv6, settings);
  return settings;
}

// What was shown against what was read. The address is compared with the configured one even
// where the page showed the address in use, so that confirming such a page writes it.
bool SettingsFlow::Changed(const SheetEntries& entries) const {
  const NetworkSettings s = EffectiveSettings(entries);
  const NetworkSettings read = SettingsFromConfig(config_);
  if (s.ipv4_mode != config_.ipv4_mode || s.mask != config_.subnet_mask ||
      s.gateway != config_.gateway || s.address != config_.ip_address) {
    return true;
  }
  if (s.level > kPortsAboveLevel &&
      (!SameService(s.http, read.http) || !SameService(s.telnet, read.telnet))) {
    return true;
  }
  // HTTPS and SSH are written at every level, so a change of them counts at every level.
  if (!SameService(s.https, read.https) || !SameService(s.ssh, read.ssh)) return true;
  if (config_.config_version == kIpv6Level) {
    return s.ipv6_method_index != config_.ipv6_mode - 1 ||
           s.ipv6_address != config_.Ipv6AddressText() ||
           s.ipv6_prefix_length != config_.ipv6_prefix_length ||
           s.ipv6_gateway != config_.Ipv6GatewayText();
  }
  return false;
}

// By the page's state: a new text goes with the password accepted on OK; a cleared box on a card
// with a password removes it, with the empty password in the request.
bool SettingsFlow::PasswordChangeFor(const PasswordEntries& entries, DevicePassword& request,
                                     std::string& new_password) const {
  if (entries.enabled) {
    if (entries.new_password == kPasswordPlaceholder) return false;
    request = accepted_;
    new_password = entries.new_password;
    return true;
  }
  if (!HasPassword()) return false;
  request = DevicePassword{};
  new_password.clear();
  return true;
}

SettingsFlow::Applied SettingsFlow::Apply(const SheetEntries& entries) {
  Transactions& transactions = session_.ChannelOf(card_).transactions();
  Applied applied;
  DevicePassword request;
  std::string new_password;
  if (PasswordChangeFor(entries.password, request, new_password)) {
    applied.password_sent = true;
    applied.password_status =
        ChangePassword(transactions, card_.mac, request, MakePasswordBlock(new_password));
    if (applied.password_status == status::kNoReply) {
      prompter_.ShowMessage(settings_text::kSetPasswordAbort);
    }
  }
  if (Changed(entries)) {
    DeviceConfig filled = config_;
    FillConfigFromSettings(filled, EffectiveSettings(entries));
    applied.block = filled.Encode();
    applied.write_status =
        WriteConfig(transactions, card_.mac, accepted_, applied.block, kConfigBlockSize);
    applied.written = true;
  }
  applied.refresh = applied.password_sent || applied.written;
  if (applied.refresh) std::this_thread::sleep_for(session_.timing().after_write_pause);
  return applied;
}

SettingsFlow::Verification SettingsFlow::Verify(const Applied& applied) {
  Verification verification;
  ConfigBlock block{};
  verification.answered = ReadConfig(session_.ChannelOf(card_).transactions(), card_.mac,
                                     DevicePassword{}, block) != status::kNoReply;
  if (!verification.answered) return verification;
  verification.read = DeviceConfig::Decode(block);
  const DeviceConfig wrote = DeviceConfig::Decode(applied.block);
  const DeviceConfig& read = verification.read;
  auto compare = [&](bool same, const char* name) {
    if (!same) verification.differing.emplace_back(name);
  };
  compare(wrote.ipv4_mode == read.ipv4_mode, "IPv4 method");
  compare(wrote.ip_address == read.ip_address, "address");
  compare(wrote.subnet_mask == read.subnet_mask, "mask");
  compare(wrote.gateway == read.gateway, "gateway");
  compare(wrote.http_port == read.http_port, "HTTP");
  compare(wrote.telnet_port == read.telnet_port, "Telnet");
  compare(wrote.https_port == read.https_port, "HTTPS");
  compare(wrote.ssh_port == read.ssh_port, "SSH");
  if (wrote.config_version == kIpv6Level) {
    compare(wrote.ipv6_mode == read.ipv6_mode, "IPv6 method");
    compare(wrote.Ipv6AddressText() == read.Ipv6AddressText(), "IPv6 address");
    compare(wrote.ipv6_prefix_length == read.ipv6_prefix_length, "IPv6 prefix");
    compare(wrote.Ipv6GatewayText() == read.Ipv6GatewayText(), "IPv6 gateway");
  }
  return verification;
}

}  // namespace quillon

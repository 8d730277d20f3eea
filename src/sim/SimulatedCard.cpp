#include "sim/SimulatedCard.h"

#include "protocol/Checksum.h"
#include "protocol/DeviceRecord.h"
#include "protocol/FirmwareImage.h"
#include "protocol/FrameFormat.h"

namespace quillon::sim {

struct SimulatedCard::Request {
  MacAddress sender;
  FrameHeader header;
  ByteView data;  // everything after the header
  Clock::time_point now;
};

SimulatedCard::SimulatedCard(CardProfile profile)
    : profile_(std::move(profile)), random_(LoadBe32(profile_.mac.bytes, 2)) {}

std::vector<OutgoingFrame> SimulatedCard::HandleFrame(ByteView frame, Clock::time_point now) {
  std::unique_lock lock(mutex_);
  std::vector<OutgoingFrame> out = Respond(frame, now);
  if (!just_programmed_ || !on_programmed_) return out;
  just_programmed_ = false;
  const auto handler = on_programmed_;
  const MacAddress mac = profile_.mac;
  const Bytes image = programmed_image_;
  lock.unlock();
  handler(mac, image);
  return out;
}

std::vector<OutgoingFrame> SimulatedCard::Respond(ByteView frame, Clock::time_point now) {
  if (profile_.faults.silent) return {};
  const std::optional<FrameHeader> header = FrameHeader::Decode(frame);
  if (!header || header->version != frame::kProtocolVersion) return {};
  const MacAddress destination = DestinationOf(frame);
  if (destination != profile_.mac && destination != MacAddress::Broadcast()) return {};

  const Request request{SourceOf(frame), *header, frame.subspan(frame::kData), now};
  const std::optional<Answer> answer = Dispatch(request);
  if (!answer) return {};
  ++request_counts_[header->code];
  return Send(request.sender, *answer);
}

std::optional<SimulatedCard::Answer> SimulatedCard::Dispatch(const Request& request) {
  const std::uint16_t command = request.header.code;
  if (command == code::kDiscover) return Discover();
  if (profile_.faults.silent_after_discovery) return std::nullopt;
  switch (command) {
    case code::kCheckPassword:
      return CheckPassword(request);
    case code::kChangePassword:
      return ChangePassword(request);
    case code::kReadConfig:
      return ReadConfig(request);
    case code::kWriteConfig:
      return WriteConfig(request);
    case code::kSetHardwareAddress:
      return SetHardwareAddress(request);
    case code::kIdentify:
      if (!profile_.firmware.answers_identification) return std::nullopt;
      return Identify();
    case code::kImageBlock:
      return ImageBlock(request);
    case code::kImageEnd:
      return ImageEnd(request);
    default:
      return std::nullopt;
  }
}

SimulatedCard::Answer SimulatedCard::Discover() const {
  DeviceRecord record;
  record.mac = profile_.mac;
  record.hardware_version = profile_.hardware_version;
  record.firmware_version = profile_.firmware_version;
  const auto bytes = record.Encode();
  return {code::kDiscoverReply, ReplyStatus{}, Bytes(bytes.begin(), bytes.end())};
}

DeviceRecord SimulatedCard::Record() const {
  std::lock_guard lock(mutex_);
  const Answer answer = Discover();
  return DeviceRecord::Decode(answer.data);
}

bool SimulatedCard::PasswordGiven(const Request& request) const {
  return profile_.password.empty() || request.header.PasswordText() == profile_.password;
}

// Who may change a card that has a password is the card's business. These cards accept the
// request's password, or a sender that passed the password check a short while ago.
bool SimulatedCard::MayWrite(const Request& request) const {
  if (PasswordGiven(request)) return true;
  const auto grant = check_grants_.find(request.sender);
  return grant != check_grants_.end() && request.now - grant->second < kCheckGrant;
}

ReplyStatus SimulatedCard::Succeeded() const {
  return profile_.faults.busy ? status::kBusy : status::kDone;
}

// A card on a real wire may see checks from any number of senders; it keeps the recent ones.
void SimulatedCard::RememberGrant(const MacAddress& sender, Clock::time_point now) {
  constexpr std::size_t kMaxGrants = 1024;
  if (check_grants_.size() >= kMaxGrants) {
    std::erase_if(check_grants_,
                  [&](const auto& grant) { return now - grant.second >= kCheckGrant; });
    if (check_grants_.size() >= kMaxGrants) check_grants_.clear();
  }
  check_grants_[sender] = now;
}

SimulatedCard::Answer SimulatedCard::CheckPassword(const Request& request) {
  if (!PasswordGiven(request)) return {code::kPasswordReply, status::kRefused, {}};
  RememberGrant(request.sender, request.now);
  return {code::kPasswordReply, status::kDone, {}};
}

SimulatedCard::Answer SimulatedCard::ChangePassword(const Request& request) {
  constexpr std::size_t kBlockSize = 24;
  if (request.data.size() < kBlockSize) return {code::kPasswordReply, status::kRefused, {}};
  const ByteView block = request.data.first(kBlockSize);
  if (!IsSealed(block) || !MayWrite(request)) return {code::kPasswordReply, status::kRefused, {}};
  profile_.password = FieldText(block.subspan(4));
  return {code::kPasswordReply, Succeeded(), {}};
}

SimulatedCard::Answer SimulatedCard::ReadConfig(const Request& request) const {
  const ReplyStatus status = PasswordGiven(request) ? status::kDone : status::kRefused;
  return {code::kConfigReply, status, Bytes(profile_.config.begin(), profile_.config.end())};
}

SimulatedCard::Answer SimulatedCard::WriteConfig(const Request& request) {
  const std::size_t length = request.header.data_length;
  const bool sized =
      (length == kConfigBlockSize || length == kShortConfigSize) && request.data.size() >= length;
  if (!sized) return {code::kConfigReply, status::kRefused, {}};
  const ByteView block = request.data.first(length);
  const bool intact =
      LoadBe32(block, 0) == kConfigMagic && LoadBe32(block, 4) == BlockChecksum(block.subspan(8));
  if (!intact || !MayWrite(request)) return {code::kConfigReply, status::kRefused, {}};

  last_write_.assign(block.begin(), block.end());
  // What the card reports on its own (level, address in use, IPv6 state) is not the writer's.
  const DeviceConfig before = DeviceConfig::Decode(profile_.config);
  std::copy(block.begin(), block.end(), profile_.config.begin());
  DeviceConfig after = DeviceConfig::Decode(profile_.config);
  after.config_version = before.config_version;
  after.current_address = before.current_address;
  after.ipv6_address2 = before.ipv6_address2;
  after.link_local_address = before.link_local_address;
  profile_.config = after.Encode();
  return {code::kConfigReply, Succeeded(), {}};
}

SimulatedCard::Answer SimulatedCard::SetHardwareAddress(const Request& request) {
  constexpr std::size_t kBlockSize = 28;
  constexpr std::uint16_t kReply = code::kSetHardwareAddressReply;
  if (request.data.size() < kBlockSize) return {kReply, status::kRefused, {}};
  const ByteView block = request.data.first(kBlockSize);
  if (!IsSealed(block) || !MayWrite(request)) return {kReply, status::kRefused, {}};
  if (profile_.faults.factory_status) return {kReply, *profile_.faults.factory_status, {}};
  if (profile_.faults.not_ready_first && !not_ready_answered_) {
    not_ready_answered_ = true;
    return {kReply, status::kNotReady, {}};
  }
  // The answer still comes from the old address; the new one holds from the next frame on.
  Answer answer{kReply, Succeeded(), {}};
  pending_mac_ = MacAddress::From(block, 4);
  return answer;
}

SimulatedCard::Answer SimulatedCard::Identify() const {
  Bytes data(8, 0);
  StoreBe32(data, 4, profile_.firmware.boot_word);
  return {code::kIdentifyReply, status::kDone, data};
}

// Blocks must come numbered from 0 without gaps, 1024 bytes each but the last. Block 0 starts a
// new transfer; the block just taken may come again (a resend) and is taken again.
std::optional<SimulatedCard::Answer> SimulatedCard::ImageBlock(const Request& request) {
  const std::size_t number = request.header.parameter;
  CardFaults& faults = profile_.faults;
  if (faults.silent_from_block && number >= *faults.silent_from_block) return std::nullopt;
  if (faults.refused_blocks.erase(number)) return Answer{code::kImageReply, status::kRefused, {}};
  // A card that is still preparing keeps the block all the same; a resend is taken again.
  const bool preparing = faults.preparing_blocks.erase(number) > 0;

  const std::size_t length = request.header.data_length;
  const Answer refused{code::kImageReply, status::kRefused, {}};
  if (length == 0 || length > kImageBlockSize || request.data.size() < length) return refused;
  if (number == 0) {
    received_image_.clear();
    next_block_ = 0;
    last_block_seen_ = false;
  }
  if (number + 1 == next_block_) {  // the same block again
    received_image_.resize(number * kImageBlockSize);
    --next_block_;
    last_block_seen_ = false;
  }
  if (number != next_block_ || last_block_seen_) return refused;
  const ByteView block = request.data.first(length);
  received_image_.insert(received_image_.end(), block.begin(), block.end());
  ++next_block_;
  last_block_seen_ = length < kImageBlockSize;
  return Answer{code::kImageReply, preparing ? status::kNotReady : Succeeded(), {}};
}

// The image as received must have the checksum the program computed, and its info block must be
// as the mode says: personalised for this card, or sent unchanged because it was not valid.
bool SimulatedCard::ImageMatches(ByteView end_data) const {
  if (end_data.size() < 8 || received_image_.size() < kMinimumImageSize) return false;
  if (LoadBe32(end_data, 0) != BlockChecksum(received_image_)) return false;
  switch (LoadBe32(end_data, 4)) {
    case kInfoBlockPersonalised:
      return InfoBlockValid(received_image_) && InfoBlockAddress(received_image_) == profile_.mac;
    case kInfoBlockUnchanged:
      return !InfoBlockValid(received_image_);
    default:
      return false;
  }
}

std::optional<SimulatedCard::Answer> SimulatedCard::ImageEnd(const Request& request) {
  if (profile_.faults.silent_from_block) return std::nullopt;
  if (!ImageMatches(request.data)) return Answer{code::kImageReply, status::kRefused, {}};
  programmed_image_ = received_image_;
  just_programmed_ = true;
  if (!profile_.faults.no_notice) pending_notice_ = profile_.firmware.programming_time;
  return Answer{code::kImageReply, Succeeded(), {}};
}

std::vector<OutgoingFrame> SimulatedCard::Send(const MacAddress& to, const Answer& answer) {
  FrameHeader header;
  header.code = answer.code;
  header.status = answer.status.value();
  header.data_length = static_cast<std::uint16_t>(answer.data.size());
  const CardFaults& faults = profile_.faults;

  std::vector<OutgoingFrame> out;
  auto emit = [&](const FrameHeader& h) {
    if (faults.drop_rate > 0 &&
        std::uniform_real_distribution<>(0, 1)(random_) < faults.drop_rate) {
      return;
    }
    out.push_back({BuildReplyFrame(to, profile_.mac, h, answer.data), faults.reply_delay});
  };
  if (faults.decoy != CardFaults::Decoy::kNone) {
    FrameHeader decoy = header;
    if (faults.decoy == CardFaults::Decoy::kWrongVersion) decoy.version = 2;
    if (faults.decoy == CardFaults::Decoy::kWrongCode) decoy.code = answer.code ^ 0x0100;
    emit(decoy);
  }
  emit(header);
  if (faults.duplicate_replies) emit(header);
  if (pending_notice_) {
    FrameHeader notice;
    notice.code = code::kNotice;
    out.push_back({BuildReplyFrame(to, profile_.mac, notice, {}), *pending_notice_});
    pending_notice_.reset();
  }
  if (pending_mac_) {
    profile_.mac = *pending_mac_;
    pending_mac_.reset();
  }
  return out;
}

MacAddress SimulatedCard::Mac() const {
  std::lock_guard lock(mutex_);
  return profile_.mac;
}

ConfigBlock SimulatedCard::Config() const {
  std::lock_guard lock(mutex_);
  return profile_.config;
}

bool SimulatedCard::UsesIpv4Address(std::uint32_t address) const {
  std::lock_guard lock(mutex_);
  const DeviceConfig config = DeviceConfig::Decode(profile_.config);
  const bool assigned =
      config.ipv4_mode == ipv4_mode::kDhcp || config.ipv4_mode == ipv4_mode::kBootp;
  if (address == 0) return false;
  return address == config.ip_address || (assigned && address == config.current_address);
}

std::string SimulatedCard::Password() const {
  std::lock_guard lock(mutex_);
  return profile_.password;
}

void SimulatedCard::SetFaults(const CardFaults& faults) {
  std::lock_guard lock(mutex_);
  profile_.faults = faults;
}

int SimulatedCard::RequestCount(std::uint16_t code) const {
  std::lock_guard lock(mutex_);
  const auto it = request_counts_.find(code);
  return it == request_counts_.end() ? 0 : it->second;
}

void SimulatedCard::OnProgrammed(
    std::function<void(const MacAddress& card, const Bytes& image)> handler) {
  std::lock_guard lock(mutex_);
  on_programmed_ = std::move(handler);
}

Bytes SimulatedCard::ProgrammedImage() const {
  std::lock_guard lock(mutex_);
  return programmed_image_;
}

Bytes SimulatedCard::LastWrite() const {
  std::lock_guard lock(mutex_);
  return last_write_;
}

}  // namespace quillon::sim

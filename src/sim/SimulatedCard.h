// A management card as the program sees it on the wire: it answers discovery, the password
// commands, configuration reads and writes and the factory command, with faults that can be
// switched on per card.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/MacAddress.h"
#include "base/Timing.h"
#include "link/ReceiveQueue.h"
#include "protocol/DeviceConfig.h"
#include "protocol/DeviceRecord.h"
#include "protocol/FrameFormat.h"

namespace quillon::sim {

struct CardFaults {
  enum class Decoy {
    kNone,
    kWrongVersion,  // a copy of each reply with protocol version 2 goes first
    kWrongCode,     // a copy of each reply with another reply code goes first
  };

  Millis reply_delay{0};
  double drop_rate = 0.0;          // share of replies lost on the way
  bool duplicate_replies = false;  // every reply is sent twice
  Decoy decoy = Decoy::kNone;
  bool busy = false;                          // commands that succeed answer 4 (busy) instead of 2
  bool silent = false;                        // answers nothing
  bool silent_after_discovery = false;        // answers discovery, nothing else
  bool not_ready_first = false;               // the first factory command is answered with 3
  std::optional<ReplyStatus> factory_status;  // every factory command is answered with this

  // Firmware transfer.
  bool no_notice = false;                        // programs, but never says so
  std::optional<std::size_t> silent_from_block;  // answers no block from this one on
  std::set<std::size_t> refused_blocks;          // each answered 1 (refused) once
  std::set<std::size_t> preparing_blocks;        // each taken, but answered 3 (preparing), once
};

struct FirmwareBehaviour {
  bool answers_identification = true;
  // Boot version held in flash (high 16 bits) and compatibility code (low 8 bits).
  std::uint32_t boot_word = 0x00010005;
  // From a complete image to the notice that it is programmed.
  Millis programming_time{1500};
};

struct CardProfile {
  MacAddress mac;
  std::array<Byte, 16> hardware_version{};
  std::array<Byte, 32> firmware_version{};
  ConfigBlock config{};
  std::string password;  // empty: none
  CardFaults faults;
  FirmwareBehaviour firmware;
};

struct OutgoingFrame {
  Frame frame;
  Millis delay{0};
};

class SimulatedCard {
 public:
  // A sender that passed the password check may write without the password for this long.
  static constexpr std::chrono::minutes kCheckGrant{5};

  explicit SimulatedCard(CardProfile profile);

  // Looks at one frame on the segment and returns what the card sends in answer.
  std::vector<OutgoingFrame> HandleFrame(ByteView frame, Clock::time_point now);

  MacAddress Mac() const;
  // The record the card sends in answer to discovery.
  DeviceRecord Record() const;
  ConfigBlock Config() const;
  // Whether the card answers ARP for this IPv4 address (host order), by its configuration as it is
  // now, so that a written address counts at once: the configured address, and under DHCP or
  // BOOTP also the address in use. Its IP stack answers whatever the protocol faults.
  bool UsesIpv4Address(std::uint32_t address) const;
  std::string Password() const;
  void SetFaults(const CardFaults& faults);
  // How many requests of this code the card has answered or refused.
  int RequestCount(std::uint16_t code) const;
  // Bytes of the last configuration write, as received.
  Bytes LastWrite() const;
  // The last image the card accepted and programmed; empty before the first.
  Bytes ProgrammedImage() const;
  // Called, outside the card's lock, with every image the card programs.
  void OnProgrammed(std::function<void(const MacAddress& card, const Bytes& image)> handler);

 private:
  struct Answer {
    std::uint16_t code = 0;
    ReplyStatus status;
    Bytes data;
  };
  struct Request;

  std::vector<OutgoingFrame> Respond(ByteView frame, Clock::time_point now);
  std::optional<Answer> Dispatch(const Request& request);
  Answer Discover() const;
  Answer CheckPassword(const Request& request);
  Answer ChangePassword(const Request& request);
  Answer ReadConfig(const Request& request) const;
  Answer WriteConfig(const Request& request);
  Answer SetHardwareAddress(const Request& request);
  Answer Identify() const;
  std::optional<Answer> ImageBlock(const Request& request);
  std::optional<Answer> ImageEnd(const Request& request);
  bool ImageMatches(ByteView end_data) const;

  void RememberGrant(const MacAddress& sender, Clock::time_point now);
  bool PasswordGiven(const Request& request) const;
  bool MayWrite(const Request& request) const;
  ReplyStatus Succeeded() const;
  std::vector<OutgoingFrame> Send(const MacAddress& to, const Answer& answer);

  mutable std::mutex mutex_;
  CardProfile profile_;
  std::map<MacAddress, Clock::time_point> check_grants_;
  std::map<std::uint16_t, int> request_counts_;
  bool not_ready_answered_ = false;
  std::optional<MacAddress> pending_mac_;  // taken on once the answer has been sent
  std::optional<Millis> pending_notice_;   // sent that long after the answer
  Bytes last_write_;
  Bytes received_image_;  // blocks of the transfer in progress
  std::size_t next_block_ = 0;
  bool last_block_seen_ = false;
  Bytes programmed_image_;
  bool just_programmed_ = false;
  std::function<void(const MacAddress&, const Bytes&)> on_programmed_;
  std::mt19937 random_;
};

}  // namespace quillon::sim

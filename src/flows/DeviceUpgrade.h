// Loading one firmware image into one card: the password check, the identification and its two
// checks, the personalisation of the image's info block, the blocks, the end of the image, and
// the wait for the card's notice that it has programmed its flash.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "flows/Prompter.h"
#include "flows/Session.h"
#include "protocol/DeviceRecord.h"

namespace quillon {

enum class StatusPlace { kStatusLineAndRow, kRowOnly };

// What one card's upgrade shows while it runs; called on the card's worker thread.
struct DeviceUpgradeHooks {
  std::function<void(const std::string& text, StatusPlace where)> status;
  // Bytes of the image the card has accepted so far; the image length when the upgrade failed.
  std::function<void(std::int64_t bytes)> progress;
  // The password the card accepted, to be remembered for it.
  std::function<void(const std::string& password)> password_accepted;
};

class DeviceUpgrade {
 public:
  // `password_question_lock` keeps the password questions of all cards of a run one at a time,
  // so that a person is never asked two passwords at once; checks that need no question go on
  // meanwhile.
  DeviceUpgrade(Session& session, Prompter& prompter, std::mutex& password_question_lock,
                DeviceRecord& card, ByteView image, DeviceUpgradeHooks hooks);

  // True when the card reported that it has programmed the image.
  bool Run();

 private:
  enum class Outcome { kDone, kFailed, kStartAgain };

  bool PasswordAccepted();
  std::optional<std::string> AskPassword(const std::string& prefill);
  bool IdentificationAllows();
  bool PrepareInfoBlock();
  Outcome SendBlocks();
  ReplyStatus SendBlock(std::size_t number);
  bool FinishAndAwaitNotice();
  bool Fail();
  void Status(const char* text, StatusPlace where) const;

  Session& session_;
  AdapterChannel& channel_;  // of the card's adapter
  Prompter& prompter_;
  std::mutex& password_question_lock_;
  DeviceRecord& card_;
  Bytes image_;  // this card's own copy: its info block carries the card's address
  DeviceUpgradeHooks hooks_;
  DevicePassword password_;
  std::uint32_t info_block_mode_ = 0;
};

}  // namespace quillon

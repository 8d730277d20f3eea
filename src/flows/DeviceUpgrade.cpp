#include "flows/DeviceUpgrade.h"

#include <algorithm>
#include <thread>

#include "flows/Authentication.h"
#include "flows/UpgradeTexts.h"
#include "protocol/Checksum.h"
#include "protocol/DeviceCommands.h"
#include "protocol/FirmwareImage.h"

namespace quillon {

namespace {

// Cards of the first generation take only images with a valid info block: hardware version
// 1.1.0.0 in the four-number form, or firmware major version 1 in the four-byte form.
bool NeedsValidInfoBlock(const DeviceRecord& card) {
  const auto& hw = card.hardware_version;
  const bool first_hardware = hw[0] == 1 && hw[1] == 1 && hw[2] == 0 && hw[3] == 0;
  return first_hardware || card.firmware_version[0] == 1;
}

DevicePassword RememberedOrEmpty(const DeviceRecord& card) {
  const std::string remembered = card.RememberedPassword();
  return DevicePassword::Problem(remembered).empty() ? DevicePassword(remembered)
                                                     : DevicePassword{};
}

}  // namespace

DeviceUpgrade::DeviceUpgrade(Session& session, Prompter& prompter,
                             std::mutex& password_question_lock, DeviceRecord& card, ByteView image,
                             DeviceUpgradeHooks hooks)
    : session_(session),
      channel_(session.ChannelOf(card)),
      prompter_(prompter),
      password_question_lock_(password_question_lock),
      card_(card),
      image_(image.begin(), image.end()),
      hooks_(std::move(hooks)) {}

bool DeviceUpgrade::Run() {
  if (!ImageProblem(image_).empty()) return Fail();
  if (!PasswordAccepted()) {
    prompter_.ShowMessage(upgrade_text::kIncorrectPassword);
    return Fail();
  }
  for (;;) {
    if (!IdentificationAllows() || !PrepareInfoBlock()) return Fail();
    switch (SendBlocks()) {
      case Outcome::kFailed:
        return Fail();
      case Outcome::kStartAgain:
        continue;
      case Outcome::kDone:
        return FinishAndAwaitNotice() || Fail();
    }
  }
}

bool DeviceUpgrade::Fail() {
  if (hooks_.progress) hooks_.progress(static_cast<std::int64_t>(image_.size()));
  return false;
}

void DeviceUpgrade::Status(const char* text, StatusPlace where) const {
  if (hooks_.status) hooks_.status(text, where);
}

bool DeviceUpgrade::PasswordAccepted() {
  Transactions& tx = channel_.transactions();
  const DevicePassword prefill = CheckPassword(tx, card_.mac, {}) == status::kRefused
                                     ? RememberedOrEmpty(card_)
                                     : DevicePassword{};
  std::optional<DevicePassword> accepted;
  if (CheckPassword(tx, card_.mac, prefill) == status::kDone) {
    accepted = prefill;
  } else {
    const std::lock_guard one_question(password_question_lock_);
    if (const auto typed = AskPassword(prefill.Text())) {
      if (CheckPassword(tx, card_.mac, DevicePassword(*typed)) == status::kDone) {
        accepted = DevicePassword(*typed);
      }
    }
  }
  if (!accepted) return false;
  password_ = *accepted;
  card_.SetRememberedPassword(password_.Text());
  if (hooks_.password_accepted) hooks_.password_accepted(password_.Text());
  return true;
}

std::optional<std::string> DeviceUpgrade::AskPassword(const std::string& prefill) {
  const std::string line = upgrade_text::PasswordPromptLine(card_.mac.ToString());
  const std::optional<DevicePassword> typed = AskDevicePassword(prompter_, line, prefill);
  if (!typed) return std::nullopt;
  return typed->Text();
}

bool DeviceUpgrade::IdentificationAllows() {
  std::array<Byte, 8> identification{};
  const ReplyStatus status = channel_.transactions().QueryTransaction(
      card_.mac, exchange::kIdentify, password_, 0, identification);
  if (status != status::kDone) return true;  // a card that cannot tell is not checked
  const std::uint32_t card_word = LoadBe32(identification, 4);
  const std::uint32_t image_word = MaskedBootWord(image_);
  if (CompatibilityOf(image_word) != CompatibilityOf(card_word)) return false;
  if (BootVersionOf(image_word) >= BootVersionOf(card_word)) return true;
  return prompter_.AskYesNo(upgrade_text::kBootVersionOlder);
}

bool DeviceUpgrade::PrepareInfoBlock() {
  if (InfoBlockValid(image_)) {
    PersonaliseInfoBlock(image_, card_.mac);
    info_block_mode_ = kInfoBlockPersonalised;
    return true;
  }
  info_block_mode_ = kInfoBlockUnchanged;
  return !NeedsValidInfoBlock(card_);
}

ReplyStatus DeviceUpgrade::SendBlock(std::size_t number) {
  const std::size_t offset = number * kImageBlockSize;
  const std::size_t length = std::min(kImageBlockSize, image_.size() - offset);
  return channel_.transactions().TransferTransaction(card_.mac, exchange::kImageBlock, password_,
                                                     static_cast<std::uint16_t>(number),
                                                     Slice(ByteView(image_), offset, length));
}

DeviceUpgrade::Outcome DeviceUpgrade::SendBlocks() {
  Status(upgrade_text::kDownloading, StatusPlace::kStatusLineAndRow);
  bool preparing_shown = false;
  std::int64_t accepted = 0;
  if (hooks_.progress) hooks_.progress(0);
  const std::size_t blocks = BlockCount(image_.size());
  for (std::size_t number = 0; number < blocks; ++number) {
    ReplyStatus status = SendBlock(number);
    for (bool acting = true; acting;) {
      acting = false;
      if (status == status::kDone) {
        Status(upgrade_text::kDownloading, StatusPlace::kStatusLineAndRow);
      } else if (status == status::kNotReady && !preparing_shown) {
        // Waited for once per run; a later "preparing", even for the block sent again after
        // the wait, falls through as accepted, as the cards expect.
        preparing_shown = true;
        Status(upgrade_text::kPreparing, StatusPlace::kStatusLineAndRow);
        std::this_thread::sleep_for(session_.timing().preparing_pause);
        status = SendBlock(number);
        acting = true;
      } else if (status == status::kNoReply || status == status::kRefused) {
        Status(upgrade_text::kAborted, StatusPlace::kStatusLineAndRow);
        switch (prompter_.AskAbortRetryIgnore(upgrade_text::kFailed)) {
          case Prompter::Choice::kAbort:
            return Outcome::kFailed;
          case Prompter::Choice::kRetry:
            status = SendBlock(number);
            acting = true;
            break;
          case Prompter::Choice::kIgnore:
            if (PasswordAccepted()) return Outcome::kStartAgain;
            prompter_.ShowMessage(upgrade_text::kIncorrectPassword);
            return Outcome::kFailed;
        }
      }
    }
    accepted += static_cast<std::int64_t>(
        std::min(kImageBlockSize, image_.size() - number * kImageBlockSize));
    if (hooks_.progress) hooks_.progress(accepted);
  }
  return Outcome::kDone;
}

bool DeviceUpgrade::FinishAndAwaitNotice() {
  Status(upgrade_text::kProgramming, StatusPlace::kRowOnly);
  NoticeBoard& notices = channel_.link().Notices();
  notices.Expect(card_.mac);  // only a notice that answers this image counts
  const auto end = EndOfImageData(BlockChecksum(image_), info_block_mode_);
  channel_.transactions().CommandTransaction(card_.mac, exchange::kImageEnd, password_, 0, end);
  return notices.WaitFor(card_.mac, session_.timing().notice_wait);
}

}  // namespace quillon

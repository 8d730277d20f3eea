#include "flows/Authentication.h"

#include "protocol/DeviceCommands.h"

namespace quillon {

std::optional<DevicePassword> AskDevicePassword(Prompter& prompter, const std::string& information,
                                                const std::string& prefill) {
  for (;;) {
    const std::optional<std::string> typed = prompter.AskPassword(information, prefill);
    if (!typed) return std::nullopt;
    const std::string problem = DevicePassword::Problem(*typed);
    if (problem.empty()) return DevicePassword(*typed);
    prompter.ShowMessage("The password was not sent: " + problem + ".");
  }
}

Authentication AskWhenNeeded(Transactions& transactions, const MacAddress& card,
                             Prompter& prompter) {
  const ReplyStatus first = CheckPassword(transactions, card, {});
  if (first == status::kNoReply) return {AuthenticationResult::kNoReply, {}, false};
  if (first != status::kRefused) return {AuthenticationResult::kAccepted, {}, false};
  const std::optional<DevicePassword> typed = AskDevicePassword(prompter, {});
  if (!typed) return {AuthenticationResult::kCancelled, {}, true};
  return {AuthenticationResult::kAccepted, *typed, true};
}

Authentication AuthenticateForSheet(Transactions& transactions, const MacAddress& card,
                                    Prompter& prompter) {
  Authentication asked = AskWhenNeeded(transactions, card, prompter);
  if (asked.result != AuthenticationResult::kAccepted || !asked.asked) return asked;
  const ReplyStatus typed = CheckPassword(transactions, card, asked.password);
  if (typed == status::kNoReply) {
    prompter.ShowMessage(settings_text::kNoRespond);
    return {AuthenticationResult::kNoReply, {}, true};
  }
  if (typed == status::kRefused) {
    prompter.ShowMessage(settings_text::kIncorrectPassword);
    return {AuthenticationResult::kRefused, {}, true};
  }
  return asked;
}

}  // namespace quillon

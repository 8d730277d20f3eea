// Asking a card whether a command may go ahead, and the person for the card's password when it
// wants one. The sheet and the standalone commands differ in what they do with the answers.
#pragma once

#include <optional>
#include <string>

#include "flows/Prompter.h"
#include "protocol/DevicePassword.h"
#include "protocol/Transactions.h"

namespace quillon {

// Asks for a card's password until the answer can travel in a request (15 characters at most),
// or the person cancels.
std::optional<DevicePassword> AskDevicePassword(Prompter& prompter, const std::string& information,
                                                const std::string& prefill = {});

enum class AuthenticationResult {
  kAccepted,   // the password (possibly the empty one) may go with the command's requests
  kNoReply,    // the card did not answer
  kCancelled,  // the person cancelled the password prompt
  kRefused,    // the card refused the password typed
};

struct Authentication {
  AuthenticationResult result = AuthenticationResult::kNoReply;
  DevicePassword password;
  bool asked = false;  // the person was asked for it
};

// The sheet's test: the empty password first; when the card wants one, the prompt and a check of
// the typed one. Any answer but 1 counts as accepted. Shows "No respond!" when the typed password
// gets no answer and "Incorrect Password." when it is refused; nothing when the first check gets
// no answer or the prompt is cancelled.
Authentication AuthenticateForSheet(Transactions& transactions, const MacAddress& card,
                                    Prompter& prompter);

// The standalone commands' first step: the empty password; when the card wants one, the prompt.
// The next request of the command decides whether the password is the right one. kNoReply when
// the check got no answer, kCancelled when the prompt was cancelled.
Authentication AskWhenNeeded(Transactions& transactions, const MacAddress& card,
                             Prompter& prompter);

namespace settings_text {
inline constexpr char kNoRespond[] = "No respond!";
inline constexpr char kIncorrectPassword[] = "Incorrect Password.";
inline constexpr char kSetPasswordAbort[] = "Set Password Abort";
inline constexpr char kWriteAbort[] = "Write Abort";
inline constexpr char kDownloadFailed[] = "Download Failed";
}  // namespace settings_text

}  // namespace quillon

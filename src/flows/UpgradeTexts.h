// What a firmware upgrade says, in the words people have learnt to read.
#pragma once

#include <string>

namespace quillon::upgrade_text {

inline constexpr const char* kDownloading = "Downloading...";
inline constexpr const char* kPreparing = "Preparing Download...";
inline constexpr const char* kAborted = "Download Abort";
inline constexpr const char* kProgramming = "Programming...";
inline constexpr const char* kSucceeded = "Download Successfully";
inline constexpr const char* kFailed = "Download Failed";
inline constexpr const char* kIncorrectPassword = "Incorrect Password.";
inline constexpr const char* kBootVersionOlder =
    "Your File's Boot Version is older than Flash's Boot Version!\nContinue?";

// "%d unit success, %d unit fail. "
inline std::string Summary(int successes, int failures) {
  return std::to_string(successes) + " unit success, " + std::to_string(failures) + " unit fail. ";
}

// The information line of the password prompt: "MAC:%02X-%02X-%02X-%02X-%02X-%02X".
inline std::string PasswordPromptLine(const std::string& mac_text) {
  return "MAC:" + mac_text;
}

}  // namespace quillon::upgrade_text

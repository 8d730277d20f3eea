// Opening an address in the person's browser. The link labels and the web launch of the desktop
// program and the command line's `open` go through this interface; each front end picks the
// implementation that suits it, and tests record what would have been opened.
//
// The result is a code in the numbering the link label explains to the person: above 32 the
// address was opened, anything else names the failure (UrlOpenFailureText).
#pragma once

#include <string>

namespace quillon {

namespace url_open {

inline constexpr int kOutOfResources = 0;
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kOutOfMemory = 8;
inline constexpr int kBadProgram = 11;
inline constexpr int kSharingViolation = 26;
inline constexpr int kIncompleteAssociation = 27;
inline constexpr int kRequestTimedOut = 28;
inline constexpr int kRequestFailed = 29;
inline constexpr int kRequestBusy = 30;
inline constexpr int kNoAssociation = 31;
inline constexpr int kLibraryNotFound = 32;
// The largest failure code; every code above it means the address was opened.
inline constexpr int kLastFailure = kLibraryNotFound;
inline constexpr int kOpened = 33;
// A failure without a code of its own; shown as an unknown error with this number.
inline constexpr int kUnknownFailure = 1;

inline constexpr bool Opened(int code) {
  return code > kLastFailure;
}

}  // namespace url_open

class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  // A result code as the link label reports it: above 32 the address was opened.
  virtual int Open(const std::string& address) = 0;
};

// What went wrong, for a failure code; "Unknown Error (N) occurred." for a code without a text
// of its own.
std::string UrlOpenFailureText(int code);

}  // namespace quillon

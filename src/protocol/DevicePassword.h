// The password a request carries in its header: plain text of at most 15 characters, so that it
// fits the 16-byte field with its terminator.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

class DevicePassword {
 public:
  static constexpr std::size_t kMaxLength = 15;

  DevicePassword() = default;
  // Throws std::invalid_argument for a text that does not fit the field.
  explicit DevicePassword(std::string_view text);

  // Why `text` cannot be a device password, or an empty text when it can.
  static std::string Problem(std::string_view text);

  const std::string& Text() const { return text_; }
  bool Empty() const { return text_.empty(); }

  friend bool operator==(const DevicePassword&, const DevicePassword&) = default;

 private:
  std::string text_;
};

}  // namespace quillon

// The commands that read and write a card's settings, test and change its password, and give it
// its hardware address.
//
//   command              request  reply   transaction  data sent
//   ReadConfig           0x2002   0x2003  query        none (N = 256 or 68)
//   WriteConfig          0x2001   0x2003  command      configuration block, 256 or 68 bytes
//   CheckPassword        0x7001   0x7003  query        none; the password to test in the header
//   ChangePassword       0x7002   0x7003  command      password block, 24 bytes
//   SetHardwareAddress   0xF0F0   0xF000  command      factory block, 28 bytes
//
// Status: 0 no reply; 1 refused, or a password is required (ReadConfig still returns the block);
// 2 done. SetHardwareAddress may answer 3 (not ready yet).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "protocol/DeviceConfig.h"
#include "protocol/Transactions.h"

namespace quillon {

// Reads the first block.size() bytes (256 or 68) of the card's configuration into `block`.
ReplyStatus ReadConfig(Transactions& transactions, const MacAddress& card,
                       const DevicePassword& password, MutableByteView block);

// Sets the magic number and checksum of the first `length` bytes (256 or 68) and sends them.
ReplyStatus WriteConfig(Transactions& transactions, const MacAddress& card,
                        const DevicePassword& password, ConfigBlock& block, std::size_t length);

ReplyStatus CheckPassword(Transactions& transactions, const MacAddress& card,
                          const DevicePassword& password);

// Checksum, then the new password as NUL-terminated text in 20 bytes. An empty text (24 zero
// bytes) removes the password.
using PasswordBlock = std::array<Byte, 24>;
inline constexpr std::size_t kMaxNewPasswordLength = 19;
// Throws std::invalid_argument for a text longer than 19 characters.
PasswordBlock MakePasswordBlock(std::string_view new_password);

ReplyStatus ChangePassword(Transactions& transactions, const MacAddress& card,
                           const DevicePassword& request_password, const PasswordBlock& block);

// Checksum, the new MAC address, 2 zero bytes, then the card's hardware version field (16 bytes).
using FactoryBlock = std::array<Byte, 28>;
FactoryBlock MakeFactoryBlock(const MacAddress& new_mac, const std::array<Byte, 16>& hardware);

// The address a serial number stands for: 02-4B, then the number as 4 bytes, big-endian.
MacAddress SerialNumberMac(std::uint32_t number);

ReplyStatus SetHardwareAddress(Transactions& transactions, const MacAddress& card,
                               const DevicePassword& password, const FactoryBlock& block);

}  // namespace quillon

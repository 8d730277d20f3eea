#include "protocol/DeviceCommands.h"

#include <stdexcept>

#include "protocol/Checksum.h"

namespace quillon {

ReplyStatus ReadConfig(Transactions& transactions, const MacAddress& card,
                       const DevicePassword& password, MutableByteView block) {
  if (block.size() != kConfigBlockSize && block.size() != kShortConfigSize) {
    throw std::invalid_argument("a configuration read asks for 256 or 68 bytes");
  }
  return transactions.QueryTransaction(card, exchange::kReadConfig, password, 0, block);
}

ReplyStatus WriteConfig(Transactions& transactions, const MacAddress& card,
                        const DevicePassword& password, ConfigBlock& block, std::size_t length) {
  PrepareConfigWrite(block, length);
  return transactions.CommandTransaction(card, exchange::kWriteConfig, password, 0,
                                         Slice(ByteView(block), 0, length));
}

ReplyStatus CheckPassword(Transactions& transactions, const MacAddress& card,
                          const DevicePassword& password) {
  return transactions.QueryTransaction(card, exchange::kCheckPassword, password, 0, {});
}

PasswordBlock MakePasswordBlock(std::string_view new_password) {
  if (new_password.size() > kMaxNewPasswordLength) {
    throw std::invalid_argument("a new password has at most 19 characters");
  }
  PasswordBlock block{};
  StoreFieldText(MutableSlice(MutableByteView(block), 4, 20), new_password);
  SealBlock(block);
  return block;
}

ReplyStatus ChangePassword(Transactions& transactions, const MacAddress& card,
                           const DevicePassword& request_password, const PasswordBlock& block) {
  return transactions.CommandTransaction(card, exchange::kChangePassword, request_password, 0,
                                         block);
}

FactoryBlock MakeFactoryBlock(const MacAddress& new_mac, const std::array<Byte, 16>& hardware) {
  FactoryBlock block{};
  new_mac.StoreTo(block, 4);
  StoreArray(block, 12, hardware);
  SealBlock(block);
  return block;
}

MacAddress SerialNumberMac(std::uint32_t number) {
  MacAddress mac{{0x02, 0x4B, 0, 0, 0, 0}};
  StoreBe32(mac.bytes, 2, number);
  return mac;
}

ReplyStatus SetHardwareAddress(Transactions& transactions, const MacAddress& card,
                               const DevicePassword& password, const FactoryBlock& block) {
  return transactions.CommandTransaction(card, exchange::kSetHardwareAddress, password, 0, block);
}

}  // namespace quillon

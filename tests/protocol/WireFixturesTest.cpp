// The client, the simulated cards and most tests share one codec, so a field at the wrong offset
// or in the wrong byte order on both sides would pass everything else. These tests hold the codec
// to whole frames written by hand from the layouts (fixtures/*.hex, format in
// fixtures/README.md): the client sends exactly the request frames, reads the reply frames as
// their comments say, and the simulated cards answer the request frames as a card must.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "flows/Session.h"
#include "link/ArpFrame.h"
#include "protocol/Checksum.h"
#include "protocol/ConfigSettings.h"
#include "protocol/DeviceCommands.h"
#include "protocol/DeviceConfig.h"
#include "protocol/DeviceRecord.h"
#include "protocol/Discovery.h"
#include "protocol/FirmwareImage.h"
#include "protocol/FrameFormat.h"
#include "sim/DemoFleet.h"
#include "sim/SimulatedCard.h"
#include "sim/SimulatedSegment.h"
#include "support/SimFixture.h"

namespace quillon {
namespace {

// ---- the fixture format ----------------------------------------------------------------------

Byte HexByte(std::string_view token, int line) {
  auto digit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  if (token.size() != 2 || !digit(token[0]) || !digit(token[1])) {
    throw std::invalid_argument("line " + std::to_string(line) + ": \"" + std::string(token) +
                                "\" is not a hex byte");
  }
  return static_cast<Byte>(std::stoul(std::string(token), nullptr, 16));
}

// Hex bytes, "quoted ASCII" and `repeat XX xN` lines; `#` comments and blank lines ignored.
Bytes ParseFixture(const std::string& text) {
  Bytes bytes;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string first;
    if (!(words >> first)) continue;
    if (first == "repeat") {
      std::string value, count, rest;
      if (!(words >> value >> count) || (words >> rest) || count.size() < 2 || count[0] != 'x' ||
          !std::all_of(count.begin() + 1, count.end(),
                       [](char c) { return c >= '0' && c <= '9'; })) {
        throw std::invalid_argument("line " + std::to_string(number) +
                                    ": write `repeat XX xN`, alone on its line");
      }
      bytes.insert(bytes.end(), std::stoul(count.substr(1)), HexByte(value, number));
      continue;
    }
    for (std::size_t at = 0; at < line.size();) {
      if (std::isspace(static_cast<unsigned char>(line[at]))) {
        ++at;
      } else if (line[at] == '"') {
        const std::size_t end = line.find('"', at + 1);
        if (end == std::string::npos) {
          throw std::invalid_argument("line " + std::to_string(number) + ": unterminated text");
        }
        bytes.insert(bytes.end(), line.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                     line.begin() + static_cast<std::ptrdiff_t>(end));
        at = end + 1;
      } else {
        std::size_t end = at;
        while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
        bytes.push_back(HexByte(std::string_view(line).substr(at, end - at), number));
        at = end;
      }
    }
  }
  return bytes;
}

Bytes Fixture(const std::string& name) {
  const std::string path = std::string(QUILLON_WIRE_FIXTURES) + "/" + name;
  std::ifstream file(path);
  if (!file) throw std::runtime_error("no fixture " + path);
  std::stringstream text;
  text << file.rdbuf();
  try {
    return ParseFixture(text.str());
  } catch (const std::invalid_argument& e) {
    throw std::invalid_argument(name + ", " + e.what());
  }
}

// The data of a fixture frame: from offset 40, `length` bytes.
Bytes DataOf(const Bytes& frame, std::size_t length) {
  const ByteView data = Slice(frame, frame::kData, length);
  return Bytes(data.begin(), data.end());
}

::testing::AssertionResult SameBytes(const Bytes& actual, const Bytes& expected) {
  const std::size_t common = std::min(actual.size(), expected.size());
  std::size_t at = 0;
  while (at < common && actual[at] == expected[at]) ++at;
  if (at == common && actual.size() == expected.size()) return ::testing::AssertionSuccess();
  char where[96];
  if (at < common) {
    std::snprintf(where, sizeof where, "first differs at offset %zu: %02X instead of %02X", at,
                  actual[at], expected[at]);
  } else {
    std::snprintf(where, sizeof where, "is %zu bytes long instead of %zu", actual.size(),
                  expected.size());
  }
  return ::testing::AssertionFailure() << "the frame " << where;
}

TEST(FixtureFormatTest, ReadsBytesTextsAndRepeatsAndSkipsComments) {
  EXPECT_EQ(ParseFixture("# a comment\n\n4d 45   # type\n\"ab\" 00\nrepeat 5A x3\n"),
            (Bytes{0x4D, 0x45, 'a', 'b', 0x00, 0x5A, 0x5A, 0x5A}));
  EXPECT_EQ(ParseFixture("\"v3 build 41\"\n"),
            Bytes({'v', '3', ' ', 'b', 'u', 'i', 'l', 'd', ' ', '4', '1'}));
}

TEST(FixtureFormatTest, RefusesWhatItCannotRead) {
  for (const char* text :
       {"4G\n", "123\n", "\"open\n", "repeat 5A\n", "repeat 5A 3\n", "repeat 5A x3 00\n"}) {
    EXPECT_THROW(ParseFixture(text), std::invalid_argument) << text;
  }
}

// ---- the values the fixtures are written with ------------------------------------------------

const MacAddress kHost{{0x00, 0x1B, 0x21, 0x3C, 0x4D, 0x5E}};
const MacAddress kCard{{0x02, 0x4B, 0x51, 0x00, 0x00, 0x2A}};
constexpr std::uint32_t kCardSerial = 1358954538;
const char* const kSecret = "secret";

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}

std::array<Byte, 16> HardwareText(const std::string& text) {
  std::array<Byte, 16> field{};
  StoreFieldText(field, text);
  return field;
}

// The block of write-config-256-request.hex, before the magic and the checksum are set.
DeviceConfig Level33StaticConfig() {
  DeviceConfig c;
  c.magic = 0x01010101;  // whatever was read: the write sets both
  c.checksum = 0x02020202;
  c.config_version = 33;
  c.ipv4_mode = ipv4_mode::kStatic;
  c.gateway = Ip(10, 0, 0, 1);
  c.ip_address = Ip(10, 0, 0, 2);
  c.subnet_mask = Ip(255, 0, 0, 0);
  c.http_port = 80;
  c.telnet_port = 23;
  c.https_port = 443;
  c.ssh_port = 22;
  c.ipv6_mode = 4;
  StoreFieldText(c.ipv6_gateway, "2001:db8::1");
  StoreFieldText(c.ipv6_address, "2001:db8::5");
  c.ipv6_prefix_length = 64;
  StoreFieldText(c.link_local_address, "fe80::5");
  return c;
}

// The block of write-config-68-request.hex; what lies beyond byte 67 is not sent.
DeviceConfig Level32DhcpConfig() {
  DeviceConfig c;
  c.config_version = 32;
  c.ipv4_mode = ipv4_mode::kDhcp;
  c.gateway = Ip(192, 168, 0, 1);
  c.current_address = Ip(192, 168, 0, 50);
  c.ip_address = Ip(192, 168, 0, 50);
  c.subnet_mask = Ip(255, 255, 255, 0);
  c.http_port = 80;
  c.telnet_port = 23;
  c.https_port = kPortDisabled;
  c.ssh_port = 0;
  // Bytes 68 to 71 end the uninterpreted range that starts at 48; they are not sent.
  std::fill(c.reserved_48.begin() + 20, c.reserved_48.end(), Byte{0x77});
  c.ipv6_mode = 3;
  StoreFieldText(c.ipv6_address, "2001:db8::77");
  return c;
}

// The shortest image: 63 blocks of 5A and a last block of 1000 bytes of A5, so that its info
// block (inside the last block) does not hold.
Bytes ShortestImage() {
  Bytes image(kMinimumImageSize, 0x5A);
  std::fill(image.begin() + 63 * kImageBlockSize, image.end(), Byte{0xA5});
  return image;
}

// A client on a simulated segment whose host address is the fixtures' one, with one card on it so
// that every request is answered at once.
class ClientTest : public ::testing::Test {
 public:
  ClientTest() {
    segment.AddAdapter("sim0", "Simulated adapter 0", kHost);
    session = std::make_unique<Session>(segment, timing, [](const std::string&) {});
    session->EnumerateAdapters();
    session->OpenAll();
  }

  Transactions& transactions() { return session->Channel(0).transactions(); }
  Link& link() { return session->Channel(0).link(); }

  Timing timing = Timing::Shortened();
  sim::SimulatedSegment segment;
  std::unique_ptr<Session> session;
};

// ---- the client sends exactly the request fixtures -------------------------------------------

struct RequestCase {
  const char* fixture;
  std::function<void(ClientTest&, Transactions&)> send;
};

void PrintTo(const RequestCase& c, std::ostream* out) {
  *out << c.fixture;
}

const RequestCase kRequestCases[] = {
    {"discovery-request.hex",
     [](ClientTest& t, Transactions&) {
       std::array<DeviceRecord, 4> table{};
       DiscoverDevices(t.link(), t.timing, table, 0);
     }},
    {"read-config-256-request.hex",
     [](ClientTest&, Transactions& tx) {
       ConfigBlock block{};
       ReadConfig(tx, kCard, {}, block);
     }},
    {"read-config-68-request.hex",
     [](ClientTest&, Transactions& tx) {
       std::array<Byte, kShortConfigSize> block{};
       ReadConfig(tx, kCard, DevicePassword(kSecret), block);
     }},
    {"write-config-256-request.hex",
     [](ClientTest&, Transactions& tx) {
       ConfigBlock block = Level33StaticConfig().Encode();
       WriteConfig(tx, kCard, DevicePassword(kSecret), block, kConfigBlockSize);
     }},
    {"write-config-68-request.hex",
     [](ClientTest&, Transactions& tx) {
       ConfigBlock block = Level32DhcpConfig().Encode();
       WriteConfig(tx, kCard, {}, block, kShortConfigSize);
     }},
    {"check-password-request.hex",
     [](ClientTest&, Transactions& tx) { CheckPassword(tx, kCard, DevicePassword(kSecret)); }},
    {"change-password-request.hex",
     [](ClientTest&, Transactions& tx) {
       ChangePassword(tx, kCard, DevicePassword(kSecret), MakePasswordBlock("kestrel"));
     }},
    {"remove-password-request.hex",
     [](ClientTest&, Transactions& tx) { ChangePassword(tx, kCard, {}, MakePasswordBlock("")); }},
    {"set-hardware-address-request.hex",
     [](ClientTest&, Transactions& tx) {
       const FactoryBlock block =
           MakeFactoryBlock(SerialNumberMac(kCardSerial + 1), HardwareText("QN-9100"));
       SetHardwareAddress(tx, kCard, {}, block);
     }},
    {"identify-request.hex",
     [](ClientTest&, Transactions& tx) {
       std::array<Byte, 8> identification{};
       tx.QueryTransaction(kCard, exchange::kIdentify, DevicePassword(kSecret), 0, identification);
     }},
    {"image-block-0-request.hex",
     [](ClientTest&, Transactions& tx) {
       const Bytes image = ShortestImage();
       tx.TransferTransaction(kCard, exchange::kImageBlock, DevicePassword(kSecret), 0,
                              Slice(image, 0, kImageBlockSize));
     }},
    {"image-block-63-request.hex",
     [](ClientTest&, Transactions& tx) {
       const Bytes image = ShortestImage();
       ASSERT_EQ(BlockCount(image.size()), 64u);
       const std::size_t offset = 63 * kImageBlockSize;
       tx.TransferTransaction(kCard, exchange::kImageBlock, DevicePassword(kSecret), 63,
                              Slice(image, offset, image.size() - offset));
     }},
    {"image-end-request.hex",
     [](ClientTest&, Transactions& tx) {
       const Bytes image = ShortestImage();
       ASSERT_FALSE(InfoBlockValid(image));
       tx.CommandTransaction(kCard, exchange::kImageEnd, DevicePassword(kSecret), 0,
                             EndOfImageData(BlockChecksum(image), kInfoBlockUnchanged));
     }},
};

class RequestFixtureTest : public ClientTest, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(RequestFixtureTest, ClientSendsExactlyTheFixture) {
  segment.AddCard(0, sim::CardBuilder(kCardSerial).Password(kSecret).Build());
  GetParam().send(*this, transactions());
  const std::vector<Bytes> sent = segment.SentFrames(0);
  ASSERT_FALSE(sent.empty());
  EXPECT_TRUE(SameBytes(sent.front(), Fixture(GetParam().fixture)));
}

INSTANTIATE_TEST_SUITE_P(Wire, RequestFixtureTest, ::testing::ValuesIn(kRequestCases),
                         [](const auto& test) {
                           std::string name = test.param.fixture;
                           name = name.substr(0, name.find('.'));
                           std::erase(name, '-');
                           return name;
                         });

// ---- the client reads the reply fixtures -----------------------------------------------------

TEST(ReplyFixtureTest, DiscoveryReplyInTextForm) {
  const Bytes frame = Fixture("discovery-reply-text.hex");
  ASSERT_TRUE(IsReply(frame, code::kDiscoverReply, kDeviceRecordSize));
  EXPECT_EQ(SourceOf(frame), kCard);
  const DeviceRecord record = DeviceRecord::Decode(DataOf(frame, kDeviceRecordSize));
  EXPECT_EQ(record.address_value, 0xC0A80115u);
  EXPECT_EQ(record.mac, kCard);
  EXPECT_EQ(DeviceKey(record.mac), "1358954538");
  EXPECT_TRUE(IsTextVersion(record.hardware_version));
  EXPECT_TRUE(IsTextVersion(record.firmware_version));
  EXPECT_EQ(record.HardwareVersionText(), "QN-9100");
  EXPECT_EQ(record.FirmwareVersionText(), "v3.2.0K build 41");
  EXPECT_EQ(record.RememberedPassword(), "secret");
}

TEST(ReplyFixtureTest, DiscoveryReplyInNumberForm) {
  const Bytes frame = Fixture("discovery-reply-numbers.hex");
  ASSERT_TRUE(IsReply(frame, code::kDiscoverReply, kDeviceRecordSize));
  const DeviceRecord record = DeviceRecord::Decode(DataOf(frame, kDeviceRecordSize));
  EXPECT_EQ(record.mac, kCard);
  EXPECT_FALSE(IsTextVersion(record.hardware_version));
  EXPECT_FALSE(IsTextVersion(record.firmware_version));
  EXPECT_EQ(Bytes(record.hardware_version.begin(), record.hardware_version.begin() + 4),
            (Bytes{1, 1, 0, 0}));
  EXPECT_EQ(Bytes(record.firmware_version.begin(), record.firmware_version.begin() + 4),
            (Bytes{1, 4, 'C', 9}));
  EXPECT_EQ(record.RememberedPassword(), "");
}

TEST(ReplyFixtureTest, WholeConfigurationBlock) {
  const Bytes frame = Fixture("read-config-256-reply.hex");
  ASSERT_TRUE(IsReply(frame, code::kConfigReply, kConfigBlockSize));
  const std::optional<FrameHeader> header = FrameHeader::Decode(frame);
  ASSERT_TRUE(header.has_value());
  EXPECT_EQ(header->status, status::kDone.value());
  EXPECT_EQ(header->data_length, 256);

  ConfigBlock block{};
  const Bytes data = DataOf(frame, kConfigBlockSize);
  std::copy(data.begin(), data.end(), block.begin());
  const DeviceConfig c = DeviceConfig::Decode(block);
  EXPECT_EQ(c.magic, kConfigMagic);
  EXPECT_EQ(c.checksum, 0xDEADBEEFu);
  EXPECT_EQ(c.config_version, 33);
  EXPECT_EQ(c.reserved_10[0], 1);
  EXPECT_EQ(c.reserved_10[12], 13);
  EXPECT_EQ(c.ipv4_mode, ipv4_mode::kDhcp);
  EXPECT_EQ(Ipv4Text(c.gateway), "192.168.1.1");
  EXPECT_EQ(Ipv4Text(c.current_address), "192.168.1.17");
  EXPECT_EQ(Ipv4Text(c.ip_address), "192.168.1.21");
  EXPECT_EQ(Ipv4Text(c.subnet_mask), "255.255.255.0");
  EXPECT_EQ(c.http_port, 8080);
  EXPECT_EQ(c.telnet_port, 2323);
  EXPECT_EQ(c.https_port, 8443);
  EXPECT_EQ(c.ssh_port, 2222);
  EXPECT_EQ(c.reserved_48[0], 0xA5);
  EXPECT_EQ(c.reserved_48[23], 0xA5);
  EXPECT_EQ(c.ipv6_mode, 4);
  EXPECT_EQ(c.Ipv6GatewayText(), "2001:db8::1");
  EXPECT_EQ(c.Ipv6AddressText(), "2001:db8::21");
  EXPECT_EQ(c.Ipv6Address2Text(), "2001:db8::22");
  EXPECT_EQ(c.ipv6_prefix_length, 64);
  EXPECT_EQ(c.LinkLocalText(), "fe80::4b:51ff:fe00:2a");

  const NetworkSettings s = SettingsFromConfig(c);
  EXPECT_EQ(s.level, 33);
  EXPECT_EQ(Ipv4Text(s.address), "192.168.1.21") << "level 31 and up show the address under DHCP";
  EXPECT_EQ(s.http, (ServicePort{true, true, 8080}));
  EXPECT_EQ(s.telnet, (ServicePort{true, true, 2323}));
  EXPECT_EQ(s.https, (ServicePort{true, true, 8443}));
  EXPECT_EQ(s.ssh, (ServicePort{true, true, 2222}));
  EXPECT_TRUE(s.has_ipv6);
  EXPECT_EQ(s.ipv6_method_index, 3);
  EXPECT_EQ(s.ipv6_prefix_length, 64);
}

TEST(ReplyFixtureTest, ShortFormFromAnOlderCardWithAPassword) {
  const Bytes frame = Fixture("read-config-68-reply.hex");
  ASSERT_TRUE(IsReply(frame, code::kConfigReply, kShortConfigSize));
  EXPECT_FALSE(IsReply(frame, code::kConfigReply, kConfigBlockSize));
  EXPECT_EQ(FrameHeader::Decode(frame)->status, status::kRefused.value());

  ConfigBlock block{};
  const Bytes data = DataOf(frame, kShortConfigSize);
  std::copy(data.begin(), data.end(), block.begin());
  const DeviceConfig c = DeviceConfig::Decode(block);
  EXPECT_EQ(c.config_version, 800);
  EXPECT_EQ(c.ipv4_mode, ipv4_mode::kDhcp);
  EXPECT_EQ(Ipv4Text(c.gateway), "10.1.0.1");
  EXPECT_EQ(Ipv4Text(c.current_address), "10.1.2.3");
  EXPECT_EQ(Ipv4Text(c.ip_address), "10.1.2.4");
  EXPECT_EQ(Ipv4Text(c.subnet_mask), "255.255.0.0");
  EXPECT_EQ(c.http_port, kPortDisabled);
  EXPECT_EQ(c.telnet_port, 0);
  EXPECT_EQ(c.https_port, 0);
  EXPECT_EQ(c.ssh_port, kPortDisabled);

  const NetworkSettings s = SettingsFromConfig(c);
  EXPECT_EQ(s.level, 0);
  EXPECT_EQ(Ipv4Text(s.address), "10.1.2.3") << "below level 31 DHCP shows the address in use";
  EXPECT_FALSE(s.has_http_telnet);
  EXPECT_FALSE(s.https.exists);
  EXPECT_EQ(s.ssh, (ServicePort{true, false, default_port::kSsh}));
  EXPECT_FALSE(s.has_ipv6);
}

TEST(ReplyFixtureTest, IdentificationCarriesTheBootWordInBytesFourToSeven) {
  const Bytes frame = Fixture("identify-reply.hex");
  ASSERT_TRUE(IsReply(frame, code::kIdentifyReply, 8));
  EXPECT_EQ(FrameHeader::Decode(frame)->status, status::kDone.value());
  const std::uint32_t word = LoadBe32(DataOf(frame, 8), 4);
  EXPECT_EQ(word, 0x00027F05u) << "taken as is, no masking";
  EXPECT_EQ(BootVersionOf(word), 2);
  EXPECT_EQ(CompatibilityOf(word), 5);
}

TEST(ReplyFixtureTest, StatusRepliesCarryTheirCodeAndStatusTwo) {
  const std::pair<const char*, std::uint16_t> cases[] = {
      {"password-reply.hex", code::kPasswordReply},
      {"write-config-reply.hex", code::kConfigReply},
      {"factory-reply.hex", code::kSetHardwareAddressReply},
      {"image-reply.hex", code::kImageReply},
      {"notice.hex", code::kNotice},
  };
  for (const auto& [name, reply_code] : cases) {
    SCOPED_TRACE(name);
    const Bytes frame = Fixture(name);
    EXPECT_TRUE(IsReply(frame, reply_code));
    EXPECT_EQ(SourceOf(frame), kCard);
    EXPECT_EQ(DestinationOf(frame), kHost);
    const std::optional<FrameHeader> header = FrameHeader::Decode(frame);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(ReplyStatus(header->status),
              reply_code == code::kNotice ? status::kNoReply : status::kDone);
    EXPECT_EQ(header->data_length, 0);
  }
}

// The reply fixtures put on the wire as the card's answer, with no card there: the client's
// commands take them.
struct ReplyCase {
  const char* fixture;
  ReplyStatus status;
  // Runs the command and returns its status and the reply data it gave back, if any.
  std::function<std::pair<ReplyStatus, Bytes>(Transactions&)> run;
};

void PrintTo(const ReplyCase& c, std::ostream* out) {
  *out << c.fixture;
}

const ReplyCase kReplyCases[] = {
    {"read-config-256-reply.hex", status::kDone,
     [](Transactions& tx) {
       ConfigBlock block{};
       const ReplyStatus status = ReadConfig(tx, kCard, {}, block);
       return std::pair{status, Bytes(block.begin(), block.end())};
     }},
    {"read-config-68-reply.hex", status::kRefused,
     [](Transactions& tx) {
       std::array<Byte, kShortConfigSize> block{};
       const ReplyStatus status = ReadConfig(tx, kCard, {}, block);
       return std::pair{status, Bytes(block.begin(), block.end())};
     }},
    {"identify-reply.hex", status::kDone,
     [](Transactions& tx) {
       std::array<Byte, 8> data{};
       const ReplyStatus status = tx.QueryTransaction(kCard, exchange::kIdentify, {}, 0, data);
       return std::pair{status, Bytes(data.begin(), data.end())};
     }},
    {"password-reply.hex", status::kDone,
     [](Transactions& tx) {
       return std::pair{CheckPassword(tx, kCard, {}), Bytes{}};
     }},
    {"write-config-reply.hex", status::kDone,
     [](Transactions& tx) {
       ConfigBlock block{};
       return std::pair{WriteConfig(tx, kCard, {}, block, kConfigBlockSize), Bytes{}};
     }},
    {"factory-reply.hex", status::kDone,
     [](Transactions& tx) {
       return std::pair{SetHardwareAddress(tx, kCard, {}, MakeFactoryBlock(SerialNumberMac(1), {})),
                        Bytes{}};
     }},
    {"image-reply.hex", status::kDone,
     [](Transactions& tx) {
       const Bytes block(kImageBlockSize, 0x5A);
       return std::pair{tx.TransferTransaction(kCard, exchange::kImageBlock, {}, 0, block),
                        Bytes{}};
     }},
};

class ReplyFixtureOnTheWireTest : public ClientTest,
                                  public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyFixtureOnTheWireTest, ClientTakesItAsTheReply) {
  const Bytes frame = Fixture(GetParam().fixture);
  const std::jthread reply = testing::InjectAfterNextSend(segment, 0, frame);
  const auto [status, data] = GetParam().run(transactions());
  EXPECT_EQ(status, GetParam().status);
  if (!data.empty()) {
    EXPECT_EQ(data, DataOf(frame, data.size()));
  }
}

INSTANTIATE_TEST_SUITE_P(Wire, ReplyFixtureOnTheWireTest, ::testing::ValuesIn(kReplyCases),
                         [](const auto& test) {
                           std::string name = test.param.fixture;
                           name = name.substr(0, name.find('.'));
                           std::erase(name, '-');
                           return name;
                         });

class WireClientTest : public ClientTest {};

TEST_F(WireClientTest, DiscoveryKeepsTheRecordOfTheReply) {
  segment.InjectFrame(0, Fixture("discovery-reply-text.hex"));
  std::array<DeviceRecord, 4> table{};
  ASSERT_EQ(DiscoverDevices(link(), timing, table, 3), 1);
  EXPECT_EQ(table[0].mac, kCard);
  EXPECT_EQ(table[0].FirmwareVersionText(), "v3.2.0K build 41");
  EXPECT_EQ(table[0].RememberedPassword(), "secret") << "a card found for the first time";
  EXPECT_EQ(table[0].adapter_index, 3);
}

TEST_F(WireClientTest, NoticeIsReportedForItsCardAndNeverQueued) {
  segment.InjectFrame(0, Fixture("notice.hex"));
  EXPECT_TRUE(link().Notices().WaitFor(kCard, Millis{2000}));
  EXPECT_FALSE(link().ReceiveFrame().has_value());
}

// ---- the simulated card answers the request fixtures -----------------------------------------

struct CardCase {
  const char* request;
  std::function<void(sim::CardBuilder&)> setup;
  const char* reply;  // the whole frame the card answers with
  std::function<void(const sim::SimulatedCard&)> then;
};

void PrintTo(const CardCase& c, std::ostream* out) {
  *out << c.request;
}

ConfigBlock BlockOf(const char* fixture, std::size_t length) {
  const Bytes data = DataOf(Fixture(fixture), length);
  ConfigBlock block{};
  std::copy(data.begin(), data.end(), block.begin());
  return block;
}

const CardCase kCardCases[] = {
    {"discovery-request.hex",
     [](sim::CardBuilder& b) { b.HardwareNumbers(1, 1, 0, 0).FirmwareNumbers(1, 4, 'C', 9); },
     "discovery-reply-numbers.hex", nullptr},
    {"read-config-256-request.hex",
     [](sim::CardBuilder& b) {
       b.config = DeviceConfig::Decode(BlockOf("read-config-256-reply.hex", 256));
     },
     "read-config-256-reply.hex", nullptr},
    {"check-password-request.hex", [](sim::CardBuilder& b) { b.Password(kSecret); },
     "password-reply.hex", nullptr},
    {"change-password-request.hex", [](sim::CardBuilder& b) { b.Password(kSecret); },
     "password-reply.hex",
     [](const sim::SimulatedCard& card) { EXPECT_EQ(card.Password(), "kestrel"); }},
    {"write-config-256-request.hex", [](sim::CardBuilder& b) { b.Password(kSecret).Level(33); },
     "write-config-reply.hex",
     [](const sim::SimulatedCard& card) {
       const ConfigBlock sent = BlockOf("write-config-256-request.hex", 256);
       EXPECT_EQ(card.LastWrite(), Bytes(sent.begin(), sent.end()));
       const DeviceConfig c = DeviceConfig::Decode(card.Config());
       EXPECT_EQ(c.ipv4_mode, ipv4_mode::kStatic);
       EXPECT_EQ(Ipv4Text(c.gateway), "10.0.0.1");
       EXPECT_EQ(Ipv4Text(c.ip_address), "10.0.0.2");
       EXPECT_EQ(Ipv4Text(c.subnet_mask), "255.0.0.0");
       EXPECT_EQ(c.https_port, 443);
       EXPECT_EQ(c.ipv6_mode, 4);
       EXPECT_EQ(c.Ipv6AddressText(), "2001:db8::5");
       EXPECT_EQ(c.Ipv6GatewayText(), "2001:db8::1");
       EXPECT_EQ(c.ipv6_prefix_length, 64);
     }},
    {"write-config-68-request.hex",
     [](sim::CardBuilder& b) {
       b.Level(32).Static(Ip(10, 9, 9, 9), Ip(255, 0, 0, 0), Ip(10, 0, 0, 1));
       ConfigBlock block = b.config.Encode();
       std::fill(block.begin() + kShortConfigSize, block.end(), Byte{0x33});
       b.config = DeviceConfig::Decode(block);
     },
     "write-config-reply.hex",
     [](const sim::SimulatedCard& card) {
       const ConfigBlock config = card.Config();
       const DeviceConfig c = DeviceConfig::Decode(config);
       EXPECT_EQ(c.ipv4_mode, ipv4_mode::kDhcp);
       EXPECT_EQ(Ipv4Text(c.ip_address), "192.168.0.50");
       EXPECT_EQ(Ipv4Text(c.subnet_mask), "255.255.255.0");
       EXPECT_EQ(c.https_port, kPortDisabled);
       EXPECT_TRUE(std::all_of(config.begin() + kShortConfigSize, config.end(), [](Byte b) {
         return b == 0x33;
       })) << "a short write leaves bytes 68 to 255 alone";
     }},
    {"set-hardware-address-request.hex", [](sim::CardBuilder& b) { b.HardwareText("QN-9100"); },
     "factory-reply.hex",
     [](const sim::SimulatedCard& card) { EXPECT_EQ(card.Mac().ToString(), "02-4B-51-00-00-2B"); }},
    {"identify-request.hex",
     [](sim::CardBuilder& b) {
       sim::FirmwareBehaviour firmware;
       firmware.boot_word = 0x00027F05;
       b.FirmwareSide(firmware);
     },
     "identify-reply.hex", nullptr},
    {"image-block-0-request.hex", nullptr, "image-reply.hex", nullptr},
};

class CardFixtureTest : public ::testing::TestWithParam<CardCase> {};

TEST_P(CardFixtureTest, CardAnswersAsACardMust) {
  sim::CardBuilder builder(kCardSerial);
  if (GetParam().setup) GetParam().setup(builder);
  sim::SimulatedCard card(builder.Build());
  const std::vector<sim::OutgoingFrame> out =
      card.HandleFrame(Fixture(GetParam().request), Clock::now());
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(SameBytes(out[0].frame, Fixture(GetParam().reply)));
  if (GetParam().then) GetParam().then(card);
}

INSTANTIATE_TEST_SUITE_P(Wire, CardFixtureTest, ::testing::ValuesIn(kCardCases),
                         [](const auto& test) {
                           std::string name = test.param.request;
                           name = name.substr(0, name.find('.'));
                           std::erase(name, '-');
                           return name;
                         });

TEST(CardFixturesTest, ShortReadIsAnsweredWithTheBlockWhenThePasswordIsRight) {
  sim::SimulatedCard card(sim::CardBuilder(kCardSerial).Password(kSecret).Build());
  const std::vector<sim::OutgoingFrame> out =
      card.HandleFrame(Fixture("read-config-68-request.hex"), Clock::now());
  ASSERT_EQ(out.size(), 1u);
  ASSERT_TRUE(IsReply(out[0].frame, code::kConfigReply, kShortConfigSize));
  EXPECT_EQ(FrameHeader::Decode(out[0].frame)->status, status::kDone.value());
  const ConfigBlock config = card.Config();
  EXPECT_EQ(DataOf(out[0].frame, kShortConfigSize),
            Bytes(config.begin(), config.begin() + kShortConfigSize));
}

TEST(CardFixturesTest, RemovalWithTheEmptyPasswordNeedsAPassedCheckFirst) {
  sim::SimulatedCard card(sim::CardBuilder(kCardSerial).Password(kSecret).Build());
  const Bytes removal = Fixture("remove-password-request.hex");
  std::vector<sim::OutgoingFrame> out = card.HandleFrame(removal, Clock::now());
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(FrameHeader::Decode(out[0].frame)->status, status::kRefused.value());
  EXPECT_EQ(card.Password(), "secret");

  card.HandleFrame(Fixture("check-password-request.hex"), Clock::now());
  out = card.HandleFrame(removal, Clock::now());
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(SameBytes(out[0].frame, Fixture("password-reply.hex")));
  EXPECT_EQ(card.Password(), "");
}

// Block 0 and block 63 as written, the blocks between them made from block 0 by changing only its
// number, then the end of the image: the card programs the image and sends the notice.
TEST(CardFixturesTest, WholeShortestImageIsProgrammedAndNoticed) {
  sim::FirmwareBehaviour firmware;
  firmware.programming_time = Millis{25};
  sim::SimulatedCard card(sim::CardBuilder(kCardSerial).FirmwareSide(firmware).Build());
  const Bytes accepted = Fixture("image-reply.hex");
  const Bytes first = Fixture("image-block-0-request.hex");
  for (std::uint16_t number = 0; number < 63; ++number) {
    Bytes block = first;
    block[18] = static_cast<Byte>(number >> 8);
    block[19] = static_cast<Byte>(number);
    const std::vector<sim::OutgoingFrame> out = card.HandleFrame(block, Clock::now());
    ASSERT_EQ(out.size(), 1u) << "block " << number;
    ASSERT_TRUE(SameBytes(out[0].frame, accepted)) << "block " << number;
  }
  std::vector<sim::OutgoingFrame> out =
      card.HandleFrame(Fixture("image-block-63-request.hex"), Clock::now());
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(SameBytes(out[0].frame, accepted));

  out = card.HandleFrame(Fixture("image-end-request.hex"), Clock::now());
  ASSERT_EQ(out.size(), 2u);
  EXPECT_TRUE(SameBytes(out[0].frame, accepted));
  EXPECT_TRUE(SameBytes(out[1].frame, Fixture("notice.hex")));
  EXPECT_EQ(out[1].delay, Millis{25});
  EXPECT_EQ(card.ProgrammedImage(), ShortestImage());
}

// ---- ARP, for the address conflict test -----------------------------------------------------

constexpr std::uint32_t kCardIp = Ip(192, 168, 1, 21);
const MacAddress kOtherHost{{0x00, 0x1B, 0x21, 0x00, 0x00, 0x77}};

TEST(ArpFixtureTest, ProbeIsExactlyTheFixture) {
  EXPECT_TRUE(SameBytes(MakeArpProbe(kHost, kCardIp).Encode(), Fixture("arp-probe.hex")));
}

TEST(ArpFixtureTest, ReplyToAProbeIsExactlyTheFixture) {
  const std::optional<ArpPacket> probe = ArpPacket::Decode(Fixture("arp-probe.hex"));
  ASSERT_TRUE(probe.has_value());
  EXPECT_TRUE(SameBytes(MakeArpReply(*probe, kCard).Encode(), Fixture("arp-reply-to-probe.hex")));
}

TEST(ArpFixtureTest, DecodesEveryFieldOfAnUnpaddedRequest) {
  const Bytes frame = Fixture("arp-request.hex");
  ASSERT_EQ(frame.size(), arp::kLength);
  const std::optional<ArpPacket> request = ArpPacket::Decode(frame);
  ASSERT_TRUE(request.has_value());
  ArpPacket expected;
  expected.destination = MacAddress::Broadcast();
  expected.source = kOtherHost;
  expected.operation = arp::kRequest;
  expected.sender_mac = kOtherHost;
  expected.sender_ip = Ip(192, 168, 1, 5);
  expected.target_ip = kCardIp;
  EXPECT_EQ(*request, expected);

  // An ordinary request is answered with its sender's address as the target.
  const ArpPacket reply = MakeArpReply(*request, kCard);
  EXPECT_EQ(reply.destination, kOtherHost);
  EXPECT_EQ(reply.target_mac, kOtherHost);
  EXPECT_EQ(reply.target_ip, Ip(192, 168, 1, 5));
  EXPECT_EQ(reply.sender_ip, kCardIp);
}

TEST(ArpFixtureTest, RefusesWhatIsNotArpForIpv4OverEthernet) {
  const Bytes probe = Fixture("arp-probe.hex");
  const std::pair<const char*, std::function<void(Bytes&)>> cases[] = {
      {"the program's own frame type",
       [](Bytes& f) {
         f[12] = 0x4D;
         f[13] = 0x45;
       }},
      {"hardware type 6 (IEEE 802)", [](Bytes& f) { f[15] = 6; }},
      {"protocol type IPv6",
       [](Bytes& f) {
         f[16] = 0x86;
         f[17] = 0xDD;
       }},
      {"hardware address length 8", [](Bytes& f) { f[18] = 8; }},
      {"protocol address length 16", [](Bytes& f) { f[19] = 16; }},
      {"cut at 41 bytes", [](Bytes& f) { f.resize(41); }},
  };
  ASSERT_TRUE(ArpPacket::Decode(probe).has_value());
  for (const auto& [what, change] : cases) {
    Bytes frame = probe;
    change(frame);
    EXPECT_FALSE(ArpPacket::Decode(frame).has_value()) << what;
  }
}

TEST(ArpFixtureTest, WhatShowsTheAddressInUse) {
  struct Case {
    const char* fixture;
    std::uint32_t address;
    MacAddress own;
    bool in_use;
  };
  const Case cases[] = {
      {"arp-reply-to-probe.hex", kCardIp, kHost, true},
      {"arp-reply-to-probe.hex", Ip(192, 168, 1, 22), kHost, false},
      {"arp-announcement.hex", kCardIp, kHost, true},
      {"arp-request.hex", Ip(192, 168, 1, 5), kHost, true},  // its sender uses .5
      {"arp-request.hex", kCardIp, kHost, false},            // asking for .21 is no answer
      {"arp-probe.hex", kCardIp, kOtherHost, false},         // another prober holds nothing
      {"arp-probe.hex", 0, kOtherHost, false},               // nor 0.0.0.0
      {"arp-announcement.hex", kCardIp, kCard, false},       // our own frame
  };
  for (const Case& c : cases) {
    const std::optional<ArpPacket> packet = ArpPacket::Decode(Fixture(c.fixture));
    ASSERT_TRUE(packet.has_value()) << c.fixture;
    EXPECT_EQ(ShowsAddressInUse(*packet, c.address, c.own), c.in_use)
        << c.fixture << " for " << Ipv4Text(c.address) << " seen from " << c.own.ToString();
  }
}

}  // namespace
}  // namespace quillon

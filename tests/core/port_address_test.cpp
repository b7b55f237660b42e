#include "ports/port_address.h"

#include <gtest/gtest.h>

namespace dsp {
namespace {

TEST(PortAddress, NamesAndWhatTheyStandFor) {
  struct Case {
    const char* name;
    PortKind kind;
    const char* host;
    int port;
  } cases[] = {
      {"/dev/ttyUSB0", PortKind::Serial, "", 0},
      {"COM3", PortKind::Serial, "", 0},
      {"ttyS0", PortKind::Serial, "", 0},
      {"/tmp/tcp://odd", PortKind::Serial, "", 0},
      {"tcp://127.0.0.1:4001", PortKind::RawTcp, "127.0.0.1", 4001},
      {"TCP://room-12.local:2000/", PortKind::RawTcp, "room-12.local", 2000},
      {"rfc2217://localhost:65535", PortKind::Rfc2217, "localhost", 65535},
      {"RFC2217://[::1]:1", PortKind::Rfc2217, "::1", 1},
  };
  for (const auto& c : cases) {
    std::string why;
    const auto parsed = ParsePortName(c.name, &why);
    ASSERT_TRUE(parsed.has_value()) << c.name << ": " << why;
    EXPECT_EQ(parsed->kind, c.kind) << c.name;
    EXPECT_EQ(parsed->host, c.host) << c.name;
    EXPECT_EQ(parsed->port, c.port) << c.name;
    EXPECT_EQ(IsNetworkPortName(c.name), c.kind != PortKind::Serial) << c.name;
  }
}

TEST(PortAddress, UnusableNetworkNamesSayWhy) {
  struct Case {
    const char* name;
    const char* reason;
  } cases[] = {
      {"tcp://", "PORT"},
      {"tcp://host", "PORT"},
      {"tcp://:4000", "no host"},
      {"tcp://host:", "1 to 65535"},
      {"tcp://host:0", "1 to 65535"},
      {"tcp://host:65536", "1 to 65535"},
      {"tcp://host:123456", "1 to 65535"},
      {"tcp://host:12a", "1 to 65535"},
      {"tcp://host:-1", "1 to 65535"},
      {"rfc2217://::1:4000", "brackets"},
      {"rfc2217://[::1:4000", "]"},
      {"rfc2217://[::1]4000", "PORT"},
      {"tcp://bad host:4000", "character"},
      {"tcp://user@host:4000", "character"},
      {"tcp://a/b:4000", "character"},
  };
  for (const auto& c : cases) {
    std::string why;
    EXPECT_FALSE(ParsePortName(c.name, &why).has_value()) << c.name;
    EXPECT_NE(why.find(c.reason), std::string::npos) << c.name << ": " << why;
    EXPECT_TRUE(IsNetworkPortName(c.name)) << c.name;
  }
}

}  // namespace
}  // namespace dsp

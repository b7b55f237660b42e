// The Telnet codec and the serial port control negotiation, against the
// byte streams a serial-over-network server really sends.

#include "ports/telnet_session.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "link/device_link.h"
#include "link/frames.h"

namespace dsp::telnet {
namespace {

Bytes B(std::initializer_list<int> values) {
  Bytes out;
  for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

struct Recorder : TelnetDecoder::Handler {
  std::vector<std::string> events;
  void OnNegotiation(std::uint8_t verb, std::uint8_t option) override {
    events.push_back("neg " + std::to_string(verb) + " " + std::to_string(option));
  }
  void OnSubnegotiation(std::uint8_t option, const Bytes& payload) override {
    events.push_back("sb " + std::to_string(option) + " " + HexDump(payload));
  }
  void OnCommand(std::uint8_t command) override { events.push_back("cmd " + std::to_string(command)); }
};

// Feeds `stream` in pieces of `piece` bytes (0: all at once).
std::pair<Bytes, std::vector<std::string>> Decode(const Bytes& stream, std::size_t piece) {
  TelnetDecoder decoder;
  Recorder recorder;
  Bytes data;
  const std::size_t step = piece == 0 ? std::max<std::size_t>(1, stream.size()) : piece;
  for (std::size_t at = 0; at < stream.size(); at += step)
    decoder.Feed(stream.data() + at, std::min(step, stream.size() - at), data, recorder);
  return {data, recorder.events};
}

TEST(TelnetCodec, EveryFFIsDoubledOnTheWayOut) {
  EXPECT_EQ(TelnetSession::EncodeData(B({0x01, 0xFF, 0xFF, 0x02, 0xFF})),
            B({1, 255, 255, 255, 255, 2, 255, 255}));
  EXPECT_EQ(TelnetSession::EncodeData(B({0xFC, 0xB1, 0x06})), B({0xFC, 0xB1, 0x06}));
  // Subnegotiation payloads escape 0xFF as well.
  EXPECT_EQ(Subnegotiation(44, B({1, 0, 0, 0xFF, 0x10})),
            B({255, 250, 44, 1, 0, 0, 255, 255, 0x10, 255, 240}));
}

TEST(TelnetCodec, StreamsDecodeAlikeInAnyChunking) {
  struct Case {
    const char* what;
    Bytes stream;
    Bytes data;
    std::vector<std::string> events;
  } cases[] = {
      {"doubled FF is one data byte", B({0xFC, 255, 255, 0x00, 255, 255}), B({0xFC, 0xFF, 0x00, 0xFF}), {}},
      {"negotiations between data",
       B({1, 255, 251, 3, 2, 255, 254, 1, 3}),
       B({1, 2, 3}),
       {"neg 251 3", "neg 254 1"}},
      {"subnegotiation with an FF in its payload",
       B({255, 250, 44, 101, 0, 255, 255, 225, 0, 255, 240, 7}),
       B({7}),
       {"sb 44 65 00 FF E1 00"}},
      {"two-byte commands", B({255, 241, 9, 255, 249}), B({9}), {"cmd 241", "cmd 249"}},
      {"a stray command inside a subnegotiation is dropped",
       B({255, 250, 44, 107, 255, 241, 0, 255, 240, 5}),
       B({5}),
       {"sb 44 6B 00"}},
      {"a subnegotiation swallows data up to its end",
       B({255, 250, 44, 1, 2, 3, 255, 240}),
       B({}),
       {"sb 44 01 02 03"}},
      {"an unfinished command waits", B({4, 255}), B({4}), {}},
  };
  for (const auto& c : cases) {
    for (std::size_t piece : {0, 1, 2, 3}) {
      const auto [data, events] = Decode(c.stream, piece);
      EXPECT_EQ(data, c.data) << c.what << ", pieces of " << piece;
      EXPECT_EQ(events, c.events) << c.what << ", pieces of " << piece;
    }
  }
}

TEST(TelnetCodec, AnOverlongSubnegotiationIsDroppedAndTheStreamGoesOn) {
  Bytes stream{255, 250, 44};
  stream.insert(stream.end(), kMaxSubnegotiation + 10, 0x41);
  stream.insert(stream.end(), {255, 240, 0xFC, 255, 255});
  const auto [data, events] = Decode(stream, 7);
  EXPECT_EQ(data, B({0xFC, 0xFF}));
  EXPECT_TRUE(events.empty());
}

// What the server sends first on an RFC 2217 accepter, then after the
// client's WILL COM-PORT-OPTION, then its answers to the seven settings.
const Bytes kServerHello =
    B({255, 251, 3, 255, 253, 3, 255, 251, 1, 255, 254, 1, 255, 253, 0, 255, 251, 0, 255, 253, 44});
const Bytes kServerModemState = B({255, 250, 44, 107, 0, 255, 240});
const Bytes kServerSettings =
    B({255, 250, 44, 101, 0,   0,   225, 0,  255, 240, 255, 250, 44,  102, 8,  255, 240, 255, 250,
       44,  103, 1,  255, 240, 255, 250, 44, 104, 1,   255, 240, 255, 250, 44, 105, 1,   255, 240});
const Bytes kClientSettings =
    Cat({Subnegotiation(44, B({1, 0, 0, 0xE1, 0x00})), Subnegotiation(44, B({2, 8})),
         Subnegotiation(44, B({3, 1})), Subnegotiation(44, B({4, 1})), Subnegotiation(44, B({5, 1})),
         Subnegotiation(44, B({5, 8})), Subnegotiation(44, B({5, 11}))});

struct Exchange {
  Bytes data;
  Bytes reply;
};

Exchange Receive(TelnetSession& session, const Bytes& stream) {
  Exchange e;
  session.Receive(stream.data(), stream.size(), e.data, e.reply);
  return e;
}

TEST(TelnetSession, NegotiatesTheServersOpeningAndSetsTheLine) {
  TelnetSession session;
  // WILL COM-PORT, WILL BINARY, DO BINARY, WILL SGA, DO SGA.
  EXPECT_EQ(session.Start(), B({255, 251, 44, 255, 251, 0, 255, 253, 0, 255, 251, 3, 255, 253, 3}));
  EXPECT_EQ(session.phase(), TelnetSession::Phase::Negotiating);

  // The offers the client asked for need no answer; echo is refused; the
  // server's DO COM-PORT brings the seven settings.
  Exchange hello = Receive(session, kServerHello);
  EXPECT_TRUE(hello.data.empty());
  EXPECT_EQ(hello.reply, Cat({B({255, 254, 1}), kClientSettings}));
  EXPECT_TRUE(session.comPortEnabled());
  EXPECT_TRUE(session.localEnabled(kOptionBinary));
  EXPECT_TRUE(session.remoteEnabled(kOptionBinary));
  EXPECT_FALSE(session.remoteEnabled(kOptionEcho));
  EXPECT_EQ(session.phase(), TelnetSession::Phase::Negotiating);

  // The unasked modem state changes nothing; the confirmations make the line ready.
  EXPECT_TRUE(Receive(session, kServerModemState).reply.empty());
  EXPECT_EQ(session.phase(), TelnetSession::Phase::Negotiating);
  Exchange settings = Receive(session, Cat({kServerSettings, B({0xFE, 0xBB})}));
  EXPECT_TRUE(settings.reply.empty());
  EXPECT_EQ(settings.data, B({0xFE, 0xBB}));
  EXPECT_EQ(session.phase(), TelnetSession::Phase::Ready);
  EXPECT_EQ(session.confirmed().baud, 57600u);

  // Offers of options in effect are not answered again (no loop); the
  // refused echo is refused again.
  EXPECT_EQ(Receive(session, kServerHello).reply, B({255, 254, 1}));
}

TEST(TelnetSession, AnswersOtherNegotiationOnceAndCorrectly) {
  struct Case {
    const char* what;
    Bytes stream;
    Bytes reply;
  } cases[] = {
      {"unknown option offered", B({255, 251, 24}), B({255, 254, 24})},
      {"unknown option asked", B({255, 253, 31}), B({255, 252, 31})},
      {"echo asked of the client", B({255, 253, 1}), B({255, 252, 1})},
      {"server's own com-port option", B({255, 251, 44}), B({255, 254, 44})},
      {"option never on switched off", B({255, 252, 24, 255, 254, 31}), B({})},
      {"binary withdrawn after agreement", B({255, 253, 0, 255, 251, 0, 255, 252, 0, 255, 254, 0}),
       B({255, 254, 0, 255, 252, 0})},
  };
  for (const auto& c : cases) {
    TelnetSession session;
    session.Start();
    EXPECT_EQ(Receive(session, c.stream).reply, c.reply) << c.what;
  }
}

TEST(TelnetSession, AServerWithoutSerialControlRunsItsLineAsItIs) {
  TelnetSession session;
  session.Start();
  Exchange e = Receive(session, B({255, 254, 44, 0xFC}));
  EXPECT_TRUE(e.reply.empty());
  EXPECT_FALSE(session.comPortEnabled());
  EXPECT_EQ(session.phase(), TelnetSession::Phase::Ready);
  EXPECT_EQ(e.data, B({0xFC}));
}

TEST(TelnetSession, ASettingConfirmedOtherwiseFailsTheSession) {
  struct Case {
    Bytes answer;
    const char* reason;
  } cases[] = {
      {B({255, 250, 44, 101, 0, 0, 0x25, 0x80, 255, 240}), "9600 baud"},
      {B({255, 250, 44, 102, 7, 255, 240}), "7 data bits"},
      {B({255, 250, 44, 103, 3, 255, 240}), "parity"},
      {B({255, 250, 44, 104, 2, 255, 240}), "stop size"},
      {B({255, 250, 44, 105, 3, 255, 240}), "flow control"},
  };
  for (const auto& c : cases) {
    TelnetSession session;
    session.Start();
    Receive(session, B({255, 253, 44}));
    Receive(session, c.answer);
    EXPECT_EQ(session.phase(), TelnetSession::Phase::Failed) << c.reason;
    EXPECT_NE(session.failure().find(c.reason), std::string::npos) << session.failure();
  }
}

TEST(TelnetSession, SignatureAndFlowControlNotices) {
  TelnetSession session;
  session.Start();
  Receive(session, B({255, 253, 44}));
  const Exchange asked = Receive(session, B({255, 250, 44, 100, 255, 240}));
  Bytes expected{255, 250, 44, 0};
  for (char c : std::string("dsp-control")) expected.push_back(static_cast<std::uint8_t>(c));
  expected.insert(expected.end(), {255, 240});
  EXPECT_EQ(asked.reply, expected);
  // A signature with text is the server's own: nothing to answer.
  EXPECT_TRUE(Receive(session, B({255, 250, 44, 100, 'x', 255, 240})).reply.empty());
  Receive(session, B({255, 250, 44, 108, 255, 240}));
  EXPECT_TRUE(session.suspended());
  Receive(session, B({255, 250, 44, 109, 255, 240}));
  EXPECT_FALSE(session.suspended());
}

TEST(TelnetSession, FramesWithFFCrossTheCodecBothWays) {
  // A value of 0xFFFF and checksums of 0xFF: frames do carry the byte.
  std::vector<Bytes> frames{BuildValueFrame(CmdWrite, 0x0105, 0xFFFF),
                            BuildValueFrame(CmdWrite, 0x0100, 0x00FF)};
  for (int v = 0; v < 256; ++v) {
    Bytes f = BuildValueFrame(CmdWrite, 0x0203, v);
    if (f.back() == 0xFF) frames.push_back(f);
  }
  ASSERT_GE(frames.size(), 3u);
  for (const Bytes& frame : frames) {
    TelnetSession session;
    session.Start();
    const Bytes wire = TelnetSession::EncodeData(frame);
    EXPECT_GT(wire.size(), frame.size()) << HexDump(frame);
    const Exchange back = Receive(session, wire);
    EXPECT_EQ(back.data, frame);
    EXPECT_TRUE(back.reply.empty());
  }
}

}  // namespace
}  // namespace dsp::telnet

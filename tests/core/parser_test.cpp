#include <gtest/gtest.h>

#include <functional>

#include "link/device_link.h"
#include "link/frames.h"
#include "recording_view.h"
#include "store/param_store.h"
#include "test_port.h"

namespace dsp {
namespace {

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Bytes Slice(const Bytes& b, std::size_t from, std::size_t to) {
  return Bytes(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(to));
}
Bytes Filled(std::size_t n, std::uint8_t first) {
  Bytes b;
  for (std::size_t i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(first + i));
  return b;
}

struct Rig {
  ParamStore store;
  test::RecordingPort port;
  test::RecordingView view;
  DeviceLink link{store, port, view};
  Rig() { port.Open(); }
};

struct Case {
  const char* name;
  std::vector<Bytes> arrivals;  // each one a separate notification
  std::function<void(Rig&)> setup;
  std::function<void(Rig&)> check;
};

// A 14-byte frame with a 10-byte remainder: channel 0, slot 0, 7 payload
// bytes (three values, the seventh byte unused).
const Bytes kTenRemainder = BuildBlockFrame(CmdWrite, 0x0000, {1, 0, 2, 0, 3, 0, 9});

TEST(ReceiveParser, Cases) {
  const Case cases[] = {
      {"system value in one notification",
       {{0xFC, 0xB1, 0x06, 0xA7, 0x09, 0x03, 0x05, 0x00, 0x05}},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.store.Device(9, 3), 5);
         EXPECT_EQ(r.link.TransferEvent, 2);
         EXPECT_EQ(r.link.rxState(), RxState::Hunting);
         EXPECT_EQ(r.view.log, std::vector<std::string>{"缓存长度K:C:L=9 9 5"});
       }},
      {"acknowledgement before a frame leaves the frame queued",
       {Cat({{0xFE, 0xBB}, BuildValueFrame(CmdWrite, 0x0903, 7)})},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.link.TxReady, 1);
         EXPECT_EQ(r.link.DeviceAnswered, 1);
         EXPECT_EQ(r.link.TransferEvent, 1);
         EXPECT_EQ(r.port.input.size(), 9u);
         EXPECT_EQ(r.store.Device(9, 3), 0);
         r.port.Deliver({});  // the next arrival picks it up
         EXPECT_EQ(r.store.Device(9, 3), 7);
         EXPECT_EQ(r.link.TransferEvent, 2);
       }},
      {"FE AA counts as an acknowledgement",
       {{0xFE, 0xAA}},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.link.TxReady, 1);
         EXPECT_EQ(r.link.TransferEvent, 1);
       }},
      {"short message with another second byte is dropped",
       {{0xFE, 0xBC}},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.link.TxReady, 0);
         EXPECT_EQ(r.link.DeviceAnswered, 0);
         EXPECT_EQ(r.link.rxState(), RxState::Hunting);
       }},
      {"header alone, remainder in the next notification",
       {Slice(kTenRemainder, 0, 4), Slice(kTenRemainder, 4, 14)},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.store.Device(0, 0), 1);
         EXPECT_EQ(r.store.Device(0, 2), 3);
         EXPECT_EQ(r.store.Device(0, 3), 0);
         EXPECT_EQ(r.view.log, std::vector<std::string>{"缓存长度K:C:L=10 10 10"});
       }},
      {"header completed with count 8 waits for the whole remainder",
       {Slice(kTenRemainder, 0, 8)},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.link.rxState(), RxState::Body);
         EXPECT_EQ(r.port.input.size(), 4u) << "the body must not be read yet";
         r.port.Deliver(Slice(kTenRemainder, 8, 14));
         EXPECT_EQ(r.store.Device(0, 1), 2);
         EXPECT_EQ(r.link.rxState(), RxState::Hunting);
       }},
      {"stray bytes before the frame never make a short body read",
       // 3 stray bytes + 11 of 14 frame bytes: count 14 covers remainder + 4,
       // but only 7 body bytes are waiting.
       {Cat({{0x01, 0x02, 0x03}, Slice(kTenRemainder, 0, 11)})},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.link.rxState(), RxState::Body);
         EXPECT_EQ(r.store.Device(0, 0), 0);
         EXPECT_EQ(r.link.TransferEvent, 0);
         r.port.Deliver(Slice(kTenRemainder, 11, 14));
         EXPECT_EQ(r.store.Device(0, 0), 1);
         EXPECT_EQ(r.store.Device(0, 2), 3);
         EXPECT_TRUE(r.view.log.size() == 1 && r.view.log[0] == "缓存长度K:C:L=10 10 10")
             << r.view.log.size();
       }},
      {"start byte at the end of one arrival, the rest complete in the next",
       {Cat({{0x01}, Slice(kTenRemainder, 0, 1)}), Slice(kTenRemainder, 1, 14)},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.store.Device(0, 0), 1);
         EXPECT_EQ(r.link.TransferEvent, 2);
         EXPECT_TRUE(r.port.input.empty());
       }},
      {"bad sync byte drops four bytes and hunting resumes after them",
       {Cat({{0xFC, 0xB2, 0x06, 0xA7}, BuildValueFrame(CmdWrite, 0x0906, 4)}), {}},
       nullptr,
       [](Rig& r) { EXPECT_EQ(r.store.Device(9, 6), 4); }},
      {"bad command byte is dropped",
       {Cat({{0xFC, 0xB1, 0x06, 0xA5, 0x09, 0x06, 0x04, 0x00}}), {0x00}},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.store.Device(9, 6), 0);
         EXPECT_EQ(r.link.rxState(), RxState::Hunting);
       }},
      {"name reply of 20 characters is stored as the mode just requested",
       {BuildBlockFrame(CmdWrite, AddrModeName, Filled(20, 0x21))},
       [](Rig& r) { r.link.ModeNameIndex = 3; },
       [](Rig& r) { EXPECT_EQ(r.store.ModeNames[2], "ABCDEFGHIJKLMNOPQRST"); }},
      {"name reply of 21 characters is dropped",
       {BuildBlockFrame(CmdWrite, AddrModeName, Filled(21, 0x21))},
       [](Rig& r) {
         r.link.ModeNameIndex = 1;
         r.store.ModeNames[0] = "old";
       },
       [](Rig& r) { EXPECT_EQ(r.store.ModeNames[0], "old"); }},
      {"name reply of 25 characters keeps the first 20",
       {BuildBlockFrame(CmdWrite, AddrModeName, Filled(25, 0x10))},
       [](Rig& r) { r.link.ModeNameIndex = 15; },
       [](Rig& r) { EXPECT_EQ(r.store.ModeNames[14], "0123456789:;<=>?@ABC"); }},
      {"name bytes from 60 hex show as question marks",
       {BuildBlockFrame(CmdWrite, AddrModeName, {0x21, 0x5F, 0x60, 0xFF})},
       [](Rig& r) { r.link.ModeNameIndex = 2; },
       [](Rig& r) { EXPECT_EQ(r.store.ModeNames[1], "A\x7f??"); }},
      {"name reply outside a name request is dropped",
       {BuildBlockFrame(CmdWrite, AddrModeName, {0x21})},
       [](Rig& r) { r.link.ModeNameIndex = 0; },
       [](Rig& r) {
         for (const auto& n : r.store.ModeNames) EXPECT_EQ(n, "");
       }},
      {"passwords are the decimal numbers of their bytes",
       {BuildBlockFrame(CmdWrite, AddrSystemPassword, {1, 2, 3, 4, 5, 6}),
        BuildBlockFrame(CmdWrite, AddrLockPassword, {9, 10, 0, 7})},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.store.SystemPassword, "123456");
         EXPECT_EQ(r.store.LockPassword, "91007");
       }},
      {"device identification",
       {BuildBlockFrame(CmdWrite, AddrDeviceId, {0x12, 0x34, 0xAB, 0xCD})},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.view.deviceId, "1234ABCD");
         EXPECT_EQ(r.link.DeviceId, "1234ABCD");
       }},
      {"channel 1 block with length A2 fills indices 0 to 78",
       {[] {
         Bytes p;
         for (int i = 0; i < 79; ++i) AppendU16(p, 1000 + i);
         Bytes f = BuildBlockFrame(CmdWrite, 0x0100, p);
         EXPECT_EQ(f[2], 0xA2);
         return f;
       }()},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.store.Device(1, 0), 1000);
         EXPECT_EQ(r.store.Device(1, 78), 1078);
         EXPECT_EQ(r.store.Device(1, 79), 0);
       }},
      {"wrong checksum is logged in three lines and applied",
       {[] {
         Bytes f = BuildValueFrame(CmdWrite, 0x0105, 300);
         f.back() = 0x00;
         return f;
       }()},
       nullptr,
       [](Rig& r) {
         ASSERT_EQ(r.view.log.size(), 4u);
         EXPECT_EQ(r.view.log[1], "1********************");
         EXPECT_EQ(r.view.log[2], "校验数据匹配不一致:103得到的验证数据：0");
         EXPECT_EQ(r.view.log[3], "接收到的错误数据：FC B1 06 A7 01 05 2C 01 00");
         EXPECT_EQ(r.store.Device(1, 5), 300);
       }},
      {"values past the end of a row are dropped",
       {BuildBlockFrame(CmdWrite, 0x006F, {1, 0, 2, 0, 3, 0, 4, 0})},
       nullptr,
       [](Rig& r) {
         EXPECT_EQ(r.store.Device(0, 111), 1);
         EXPECT_EQ(r.store.Device(0, 112), 2);
         EXPECT_EQ(r.store.Device(1, 0), 0) << "must not spill into the next row";
         EXPECT_EQ(r.link.TransferEvent, 2);
       }},
      {"system value of a channel above 9 is dropped",
       {BuildValueFrame(CmdWrite, 0x0A03, 77), BuildValueFrame(CmdWrite, 0xFF2F, 77)},
       nullptr,
       [](Rig& r) {
         ParamStore fresh;
         EXPECT_EQ(r.store.DeviceImage, fresh.DeviceImage);
       }},
      {"the current mode reply is kept as the current mode",
       {BuildValueFrame(CmdWrite, 0x0902, 5)},
       nullptr,
       [](Rig& r) {
         ParamStore expected;
         expected.DeviceImage[9][2] = 5;
         EXPECT_EQ(r.store.DeviceImage, expected.DeviceImage);
       }},
      {"ignored command replies and high slots change nothing",
       {BuildValueFrame(CmdWrite, 0x0901, 5), BuildValueFrame(CmdWrite, 0x0930, 5),
        BuildValueFrame(CmdWrite, 0x0931, 5), BuildValueFrame(CmdWrite, 0x0910, 5)},
       nullptr,
       [](Rig& r) {
         ParamStore fresh;
         EXPECT_EQ(r.store.DeviceImage, fresh.DeviceImage);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    if (c.setup) c.setup(rig);
    for (const Bytes& a : c.arrivals) rig.port.Deliver(a);
    c.check(rig);
  }
}

// A length byte below 4 leaves no room for address and checksum: the frame
// is dropped after its header and the next frame is read normally.
TEST(ReceiveParser, LengthBelowFourIsDropped) {
  for (std::uint8_t length : {0, 1, 2, 3}) {
    SCOPED_TRACE(static_cast<int>(length));
    Rig r;
    r.port.Deliver({0xFC, 0xB1, length, 0xA7});
    EXPECT_EQ(r.link.rxState(), RxState::Hunting);
    r.port.Deliver(BuildValueFrame(CmdWrite, 0x0907, 42));
    EXPECT_EQ(r.store.Device(9, 7), 42);
    EXPECT_EQ(r.link.rxState(), RxState::Hunting);
  }
}

TEST(ReceiveParser, HexDump) {
  EXPECT_EQ(HexDump({0xFC, 0xB1, 0x06}), "FC B1 06");
  EXPECT_EQ(HexDump({}), "");
  EXPECT_EQ(HexDump({0x0A}), "0A");
}

}  // namespace
}  // namespace dsp

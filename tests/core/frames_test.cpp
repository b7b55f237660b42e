#include <gtest/gtest.h>

#include <deque>

#include "link/frames.h"
#include "store/param_store.h"
#include "test_port.h"

namespace dsp {
namespace {

std::string Hex(const Bytes& bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i) out += ' ';
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

TEST(Frames, WorkedExamples) {
  struct Case {
    const char* what;
    Bytes frame;
    const char* expected;
  } cases[] = {
      {"hello", BuildValueFrame(CmdWrite, AddrLinkControl, LinkHello), "FC B1 06 A7 09 30 11 00 5C"},
      {"heartbeat", BuildValueFrame(CmdWrite, AddrLinkControl, LinkHeartbeat), "FC B1 06 A7 09 30 66 00 F3"},
      {"goodbye", BuildValueFrame(CmdWrite, AddrLinkControl, LinkGoodbye), "FC B1 06 A7 09 30 AA 00 37"},
      {"request channel 3", BuildValueFrame(CmdRequest, AddrBlockRequest, 3), "FC B1 06 A0 09 10 03 00 09"},
      {"request name of mode 2", BuildValueFrame(CmdRequest, AddrModeName, 2), "FC B1 06 A0 09 00 02 00 16"},
      {"request device id", BuildBlockFrame(CmdRequest, AddrDeviceId, {}), "FC B1 04 A0 09 40 54"},
      {"write 300 to 0x0105", BuildValueFrame(CmdWrite, 0x0105, 300), "FC B1 06 A7 01 05 2C 01 67"},
  };
  for (const auto& c : cases) EXPECT_EQ(Hex(c.frame), c.expected) << c.what;
}

TEST(Frames, EncodersWriteThroughOpenPortOnly) {
  ParamStore store;
  test::RecordingPort port;
  SendLinkControl(port, LinkHello);
  SendStepRequest(port, store, 0, true);
  SendTextCommand(port, AddrModeSave, ModeSaveText(3, "AB"));
  EXPECT_TRUE(port.written.empty()) << "a closed port must drop every frame";

  port.Open();
  SendLinkControl(port, 0x12);  // not a link control code
  EXPECT_TRUE(port.written.empty());
  SendLinkControl(port, LinkGoodbye);
  EXPECT_EQ(Hex(port.TakeFrame()), "FC B1 06 A7 09 30 AA 00 37");
}

TEST(Frames, UploadOfChannelZeroCarries106Values) {
  ParamStore store;
  for (int i = 0; i < kDeviceSlots; ++i) store.SetDevice(0, i, 1000 + i);
  test::RecordingPort port;
  port.Open();
  SendStepRequest(port, store, 0, true);
  Bytes frame = port.TakeFrame();
  ASSERT_EQ(frame.size(), 221u);
  EXPECT_EQ(frame[2], 0xDA);
  EXPECT_EQ(frame[3], CmdWrite);
  EXPECT_EQ(frame[4], 0x09);
  EXPECT_EQ(frame[5], 0x0F);
  EXPECT_EQ(frame[6], 0);  // channel number, 16-bit
  EXPECT_EQ(frame[7], 0);
  // Value 105 (the last one sent) is 1105 = 0x0451.
  EXPECT_EQ(frame[6 + 2 + 2 * 105], 0x51);
  EXPECT_EQ(frame[6 + 2 + 2 * 105 + 1], 0x04);
  EXPECT_EQ(frame.back(), FrameChecksum(CmdWrite, AddrBlockUpload, Bytes(frame.begin() + 6, frame.end() - 1)));

  SendStepRequest(port, store, 9, true);  // upload has only steps 0..8
  EXPECT_TRUE(port.written.empty());
}

TEST(Frames, DownloadStepsRequestTheDocumentedAddresses) {
  ParamStore store;
  test::RecordingPort port;
  port.Open();
  SendStepRequest(port, store, 5, false);
  EXPECT_EQ(Hex(port.TakeFrame()), "FC B1 06 A0 09 10 05 00 0B");
  SendStepRequest(port, store, 9, false, 2);
  EXPECT_EQ(Hex(port.TakeFrame()), "FC B1 06 A0 09 00 02 00 16");
  const int expected[] = {0x0901, 0x0902, 0x0903, 0x0904, 0x0905, 0x0906, 0x0907, 0x0908, 0x0909,
                          0x090A, 0x090B, 0x090C, 0x090D, 0x090E, 0x0920, 0x0921, 0x0922, 0x0940};
  for (int step = 10; step <= 27; ++step) {
    SendStepRequest(port, store, step, false);
    Bytes frame = port.TakeFrame();
    ASSERT_EQ(frame.size(), 7u) << step;
    EXPECT_EQ(frame[4] * 256 + frame[5], expected[step - 10]) << step;
    EXPECT_EQ(frame[3], CmdRequest);
  }
}

TEST(Frames, ModeSaveAndDigitPayloads) {
  Bytes ab = TextCommandPayload(AddrModeSave, ModeSaveText(3, "AB"));
  Bytes expected{0x03, 0x00, 0x21, 0x22};
  expected.resize(22, 0);
  EXPECT_EQ(ab, expected);

  Bytes longName = TextCommandPayload(AddrModeSave, ModeSaveText(0, "ABCDEFGHIJKLMNOPQRSTUVWXY"));
  ASSERT_EQ(longName.size(), 22u);
  EXPECT_EQ(longName[21], 'T' - 32) << "only the first 20 characters are sent";

  Bytes spaced = TextCommandPayload(AddrModeSave, ModeSaveText(14, "A b"));
  EXPECT_EQ(spaced[0], 14);
  EXPECT_EQ((Bytes{spaced[2], spaced[3], spaced[4], spaced[5]}), (Bytes{0x21, 0x00, 0x42, 0x00}));

  EXPECT_EQ(TextCommandPayload(AddrSystemPassword, "123450"), (Bytes{1, 2, 3, 4, 5, 0}));
  EXPECT_EQ(TextCommandPayload(AddrLockPassword, "9876"), (Bytes{9, 8, 7, 6}));
}

TEST(Frames, BlockWriteFailureReachesCallerValueFailureDoesNot) {
  test::RecordingPort port;
  port.Open();
  port.failWrites = true;
  EXPECT_THROW(SendBlockFrame(port, CmdWrite, 0x0002, {1, 2}), SerialPortError);
  EXPECT_NO_THROW(SendValueFrame(port, CmdWrite, 0x0105, 1));
}

}  // namespace
}  // namespace dsp

// The front desk's request rules: what a body must hold, the volume limit
// and the token checks.

#include <gtest/gtest.h>

#include "desk/requests.h"

namespace dsp::desk {
namespace {

TEST(DeskRequests, BodiesAreReadOrRefusedNamingTheField) {
  struct Case {
    BodyValue (*read)(std::string_view);
    const char* body;
    int value;          // when accepted
    const char* field;  // when refused ("" for the body as a whole)
    const char* why;    // a part of the reason
  };
  constexpr int kRefused = -1;
  const Case cases[] = {
      {ReadModeBody, R"({"mode": 1})", 1, nullptr, nullptr},
      {ReadModeBody, R"( {"mode":15} )", 15, nullptr, nullptr},
      {ReadModeBody, R"({"mode": 0})", kRefused, "mode", "from 1 to 15, not 0"},
      {ReadModeBody, R"({"mode": 16})", kRefused, "mode", "not 16"},
      {ReadModeBody, R"({"mode": 2.0})", kRefused, "mode", "whole number"},
      {ReadModeBody, R"({"mode": 1e1})", kRefused, "mode", "whole number"},
      {ReadModeBody, R"({"mode": "3"})", kRefused, "mode", "whole number"},
      {ReadModeBody, R"({"mode": null})", kRefused, "mode", "whole number"},
      {ReadModeBody, R"({"mode": 99999999999999999999})", kRefused, "mode", "whole number"},
      {ReadModeBody, R"({})", kRefused, "mode", "missing"},
      {ReadModeBody, R"({"mode": 2, "extra": 1})", kRefused, "extra", "unknown field"},
      {ReadModeBody, R"({"mode": 2, "mode": 3})", kRefused, "", "not JSON"},
      {ReadModeBody, R"([1])", kRefused, "", "JSON object"},
      {ReadModeBody, R"(3)", kRefused, "", "JSON object"},
      {ReadModeBody, "", kRefused, "", "not JSON"},
      {ReadModeBody, R"({"mode": 2)", kRefused, "", "not JSON"},
      {ReadModeBody, "{\"mode\": 2}\xff", kRefused, "", "not JSON"},
      {ReadVolumeBody, R"({"value": 0})", 0, nullptr, nullptr},
      {ReadVolumeBody, R"({"value": 84})", 84, nullptr, nullptr},
      {ReadVolumeBody, R"({"value": 85})", kRefused, "value", "from 0 to 84, not 85"},
      {ReadVolumeBody, R"({"value": -1})", kRefused, "value", "not -1"},
      {ReadVolumeBody, R"({"volume": 3})", kRefused, "volume", "unknown field"},
      {ReadSceneBody, R"({"scene": "sing"})", 0, nullptr, nullptr},
      {ReadSceneBody, R"({"scene": "dance"})", 1, nullptr, nullptr},
      {ReadSceneBody, R"({"scene": "Dance"})", kRefused, "scene", "\"sing\" or \"dance\""},
      {ReadSceneBody, R"({"scene": 1})", kRefused, "scene", "\"sing\" or \"dance\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    const BodyValue read = c.read(c.body);
    if (c.value != kRefused) {
      ASSERT_TRUE(read.value.has_value()) << read.problem.why;
      EXPECT_EQ(*read.value, c.value);
      continue;
    }
    ASSERT_FALSE(read.value.has_value());
    EXPECT_EQ(read.problem.field, c.field);
    EXPECT_NE(read.problem.why.find(c.why), std::string::npos) << read.problem.why;
  }
}

TEST(DeskRequests, AVolumeNeverPassesTheMaximum) {
  EXPECT_EQ(LimitedVolume(50, 84), 50);
  EXPECT_EQ(LimitedVolume(50, 40), 40);
  EXPECT_EQ(LimitedVolume(50, 0), 0);
  // A maximum the processor reports out of range still keeps to the top.
  EXPECT_EQ(LimitedVolume(84, 200), 84);
  EXPECT_EQ(LimitedVolume(10, -5), 0);
  EXPECT_EQ(CurrentVolumeAddress(Volume::Effect), 0x0922);
  EXPECT_EQ(StartVolumeAddress(Volume::Mic), 0x0908);
  EXPECT_EQ(MaxVolumeAddress(Volume::Music), 0x0907);
  EXPECT_EQ(VolumeByName("mic"), Volume::Mic);
  EXPECT_FALSE(VolumeByName("Mic").has_value());
}

TEST(DeskRequests, TokensAndTheAuthorizationHeader) {
  EXPECT_TRUE(SameToken("abc123", "abc123"));
  EXPECT_FALSE(SameToken("abc124", "abc123"));
  EXPECT_FALSE(SameToken("abc12", "abc123"));
  EXPECT_FALSE(SameToken("abc1234", "abc123"));
  EXPECT_FALSE(SameToken("", ""));  // no token is never a match
  EXPECT_EQ(BearerToken("Bearer xyz").value_or(""), "xyz");
  EXPECT_EQ(BearerToken("bearer  xyz ").value_or(""), "xyz");
  EXPECT_FALSE(BearerToken("Basic eHl6").has_value());
  EXPECT_FALSE(BearerToken("Bearer ").has_value());
  EXPECT_FALSE(BearerToken("xyz").has_value());
  EXPECT_EQ(TokenFromFile("  0123abcd\n"), "0123abcd");
  EXPECT_EQ(TokenFromFile("two words\n"), "");
  EXPECT_EQ(TokenFromFile("\n\n"), "");
  EXPECT_EQ(TokenFromFile("t\xc3\xa9st"), "");
}

}  // namespace
}  // namespace dsp::desk

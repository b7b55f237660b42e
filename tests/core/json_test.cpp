#include "json/json.h"

#include <gtest/gtest.h>

#include <string>

namespace dsp::json {
namespace {

TEST(Json, ReadsEveryKindWithItsLine) {
  ParseError error;
  const auto doc = Parse(
      "{\n"
      "  \"name\": \"音乐 EQ3 频率\",\n"
      "  \"step\": 120,\n"
      "  \"gain\": -3.5e0,\n"
      "  \"list\": [true, false, null,\n"
      "           \"\\u00e9\\ud83c\\udfb5\\n\"]\n"
      "}\n",
      error);
  ASSERT_TRUE(doc) << error.message;
  EXPECT_EQ(doc->line(), 1);
  ASSERT_NE(doc->Find("name"), nullptr);
  EXPECT_EQ(doc->Find("name")->AsString(), "音乐 EQ3 频率");
  EXPECT_EQ(doc->Find("name")->line(), 2);
  EXPECT_TRUE(doc->Find("step")->IsInteger());
  EXPECT_EQ(doc->Find("step")->AsInt(), 120);
  EXPECT_FALSE(doc->Find("gain")->IsInteger());
  EXPECT_DOUBLE_EQ(doc->Find("gain")->AsDouble(), -3.5);
  const auto& list = doc->Find("list")->Items();
  ASSERT_EQ(list.size(), 4u);
  EXPECT_TRUE(list[0].AsBool());
  EXPECT_TRUE(list[2].IsNull());
  EXPECT_EQ(list[3].AsString(), "\xC3\xA9\xF0\x9F\x8E\xB5\n");
  EXPECT_EQ(list[3].line(), 6);
  EXPECT_EQ(doc->Find("missing"), nullptr);
}

TEST(Json, RefusesWhatIsNotStrictJsonWithItsPlace) {
  struct Case {
    const char* text;
    int line;
    int column;
    const char* reason;  // a word of the message
  };
  const Case cases[] = {
      {"", 1, 1, "end"},
      {"{\"a\": 1,}", 1, 9, "trailing comma"},
      {"[1, 2,]", 1, 7, "trailing comma"},
      {"{\n\"a\": 01}", 2, 7, "leading zeros"},
      {"{\"a\": 1 \"b\": 2}", 1, 9, "expected ','"},
      {"{\"a\": 1,\n \"a\": 2}", 2, 2, "duplicate"},
      {"// note\n{}", 1, 1, "unexpected character"},
      {"{\"a\": NaN}", 1, 7, "unexpected character"},
      {"[1] [2]", 1, 5, "after the JSON value"},
      {"\"tab\there\"", 1, 5, "control character"},
      {"\"\\x\"", 1, 3, "escape"},
      {"\"\\ud800\"", 1, 8, "surrogate"},
      {"\"\\udc00\"", 1, 8, "surrogate"},
      {"\"\xC0\xAF\"", 1, 2, "UTF-8"},          // overlong '/'
      {"\"\xED\xA0\x80\"", 1, 2, "UTF-8"},      // an encoded surrogate
      {"\"\xE9\x9F\"", 1, 2, "UTF-8"},          // cut off
      {"{\"a\": tru}", 1, 7, "unknown word"},
      {"[1e999]", 1, 2, "out of range"},
      {"[-1E+400]", 1, 2, "out of range"},
      {"{\"a\" 1}", 1, 6, "':'"},
      {"{\n\n  \"a\": [1, 2", 3, 13, "not closed"},
      {"-", 1, 2, "digit"},
      {"1.", 1, 3, "digit"},
  };
  for (const auto& c : cases) {
    ParseError error;
    EXPECT_FALSE(Parse(c.text, error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text << ": " << error.message;
    EXPECT_EQ(error.column, c.column) << c.text << ": " << error.message;
    EXPECT_NE(error.message.find(c.reason), std::string::npos) << c.text << ": " << error.message;
  }
}

TEST(Json, BoundsTheNestingDepth) {
  ParseError error;
  EXPECT_TRUE(Parse(std::string(kMaxDepth, '[') + std::string(kMaxDepth, ']'), error)) << error.message;
  EXPECT_FALSE(Parse(std::string(kMaxDepth + 1, '[') + std::string(kMaxDepth + 1, ']'), error));
  EXPECT_NE(error.message.find("too deep"), std::string::npos);
  // Far deeper input fails the same way instead of exhausting the stack.
  EXPECT_FALSE(Parse(std::string(100000, '['), error));
}

TEST(Json, WritesInAStableOrderWithScalarContainersOnOneLine) {
  Value doc = Value::MakeObject();
  doc.Add("z", 1).Add("a", "x\"y\\\x01");
  Value& params = doc.AddChild("params", Value::MakeObject());
  params.Add("音乐 EQ3 频率", Value::MakeObject().Add("text", "1000.0Hz").Add("step", 120));
  params.Add("empty", Value::MakeArray());
  doc.Add("ratio", 0.5).Add("whole", 2.0).Add("z", 3);  // replaces z in place
  const std::string expected =
      "{\n"
      "  \"z\": 3,\n"
      "  \"a\": \"x\\\"y\\\\\\u0001\",\n"
      "  \"params\": {\n"
      "    \"音乐 EQ3 频率\": {\"text\": \"1000.0Hz\", \"step\": 120},\n"
      "    \"empty\": []\n"
      "  },\n"
      "  \"ratio\": 0.5,\n"
      "  \"whole\": 2.0\n"
      "}\n";
  EXPECT_EQ(Write(doc), expected);
  EXPECT_EQ(Write(doc, Style::Compact),
            "{\"z\":3,\"a\":\"x\\\"y\\\\\\u0001\",\"params\":{\"音乐 EQ3 频率\":{\"text\":\"1000.0Hz\","
            "\"step\":120},\"empty\":[]},\"ratio\":0.5,\"whole\":2.0}");
  ParseError error;
  const auto back = Parse(expected, error);
  ASSERT_TRUE(back) << error.message;
  EXPECT_EQ(*back, doc);
  EXPECT_EQ(Write(*back), expected);
}

TEST(Json, SkipsAByteOrderMarkAndKeepsBigIntegersAsNumbers) {
  ParseError error;
  const auto doc = Parse("\xEF\xBB\xBF[9223372036854775807, 18446744073709551616, -0, 1e-999]", error);
  ASSERT_TRUE(doc) << error.message;
  EXPECT_EQ(doc->Items()[0].AsInt(), 9223372036854775807LL);
  EXPECT_FALSE(doc->Items()[1].IsInteger());
  EXPECT_DOUBLE_EQ(doc->Items()[1].AsDouble(), 18446744073709551616.0);
  EXPECT_DOUBLE_EQ(doc->Items()[3].AsDouble(), 0.0);
  EXPECT_TRUE(ValidUtf8("音乐"));
  EXPECT_FALSE(ValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
}

}  // namespace
}  // namespace dsp::json

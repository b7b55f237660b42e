#include "presets/device_modes.h"

#include <gtest/gtest.h>

namespace dsp {
namespace {

TEST(ModeList, EntryTextsAndTheirNames) {
  EXPECT_EQ(ModeEntryText(0, "Party"), "1-Party");
  EXPECT_EQ(ModeEntryText(11, "Club"), "12-Club");
  EXPECT_EQ(ModeEntryText(14, ""), "15-");
  const struct {
    int slot;
    const char* entry;
    const char* name;
  } cases[] = {
      {11, "12-Club", "Club"},   {2, "3-", ""}, {0, "1-Party", "Party"}, {8, "9-A-B", "A-B"}, {9, "10-", ""},
      {14, "15-KTV 2", "KTV 2"}, {0, "1", ""},  {12, "13", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ModeNameFromEntry(c.slot, c.entry), c.name) << c.entry;
}

TEST(ModeList, NamesTheProcessorCanStore) {
  EXPECT_TRUE(ModeNameSendable(""));
  EXPECT_TRUE(ModeNameSendable("A b"));
  EXPECT_TRUE(ModeNameSendable("ABCDEFGHIJKLMNOPQRST"));
  EXPECT_TRUE(ModeNameSendable("~\x7F"));
  EXPECT_FALSE(ModeNameSendable("ABCDEFGHIJKLMNOPQRSTU"));
  EXPECT_FALSE(ModeNameSendable("tab\there"));
  EXPECT_FALSE(ModeNameSendable("唱歌"));
}

TEST(ModeList, CharactersTheProcessorCanKeep) {
  for (char32_t c : {U' ', U'A', U'z', U'0', U'~', U'\x7F'}) EXPECT_TRUE(IsModeNameCharacter(c)) << int(c);
  for (char32_t c : {U'\t', U'\x1F', U'\x80', U'é', U'唱', U'\U0001F600'})
    EXPECT_FALSE(IsModeNameCharacter(c)) << int(c);
}

TEST(Passwords, KeyFilterAndEntry) {
  for (char32_t c : {U'0', U'5', U'9', U'\b', U'\r'}) EXPECT_TRUE(IsPasswordKey(c)) << int(c);
  for (char32_t c : {U'a', U' ', U'-', U'.', U'\t', U'٣'}) EXPECT_FALSE(IsPasswordKey(c)) << int(c);

  EXPECT_TRUE(PasswordAccepted("123456", "123456", 6));
  EXPECT_FALSE(PasswordAccepted("123450", "123456", 6));
  EXPECT_FALSE(PasswordAccepted("12345", "12345", 6));  // a reported password of the wrong length
  EXPECT_FALSE(PasswordAccepted("", "", 6));            // none reported yet
  EXPECT_TRUE(PasswordAccepted("1234", "1234", 4));
}

TEST(Passwords, ChangeGroupSteps) {
  using O = PasswordChangeStep::Outcome;
  const struct {
    const char* old;
    const char* first;
    const char* second;
    bool linked;
    O outcome;
    bool enableFirst;
    bool enableSecond;
  } cases[] = {
      {"1234", "", "", false, O::Ignored, false, false},         // not linked
      {"1235", "5678", "5678", true, O::Ignored, false, false},  // old password wrong
      {"123", "", "", true, O::Ignored, false, false},           // old password incomplete
      {"1234", "", "", true, O::Waiting, true, false},           // old password recognised
      {"1234", "567", "", true, O::Waiting, true, false},        // first not full
      {"1234", "5678", "56", true, O::Waiting, true, true},      // second not full
      {"1234", "567", "567", true, O::Waiting, true, false},     // three digits do nothing
      {"1234", "5678", "5678", true, O::Changed, true, true},    // a new password
      {"1234", "5678", "5679", true, O::Mismatch, true, true},   // typed differently
      {"1234", "1234", "5678", true, O::Mismatch, true, true},   // differently, first unchanged
      {"1234", "1234", "1234", true, O::Unchanged, true, true},  // the old password again
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.old) + "/" + c.first + "/" + c.second);
    const PasswordChangeStep step = CheckPasswordChange({c.old, c.first, c.second}, "1234", 4, c.linked);
    EXPECT_EQ(step.outcome, c.outcome);
    EXPECT_EQ(step.enableFirst, c.enableFirst);
    EXPECT_EQ(step.enableSecond, c.enableSecond);
  }
  // A stored password of the wrong length (or none) never lets a change start.
  EXPECT_EQ(CheckPasswordChange({"", "", ""}, "", 4, true).outcome, O::Ignored);
  EXPECT_EQ(CheckPasswordChange({"12345", "", ""}, "12345", 4, true).outcome, O::Ignored);
}

}  // namespace
}  // namespace dsp

#pragma once
// The processor's 15 mode slots as the system page lists them, and the
// rules of the password fields and groups of that page. Pure text logic;
// the widgets live in src/system.

#include <string>
#include <string_view>

namespace dsp {

// ---- mode list ----

// The list entry of slot 0..14: its number from 1, "-", the name ("3-Party").
std::string ModeEntryText(int slot, std::string_view name);
// The name part of the entry of slot 0..14: the entry without its "N-"
// prefix (two characters for slots 1..9, three for 10..15). An entry no
// longer than its prefix gives an empty name.
std::string ModeNameFromEntry(int slot, std::string_view entry);
// A character the processor can keep in a mode name: it codes one byte per
// character from space (0x20) to 0x7F.
bool IsModeNameCharacter(char32_t character);
// True when every character of a mode name can be sent to the processor,
// which codes one byte per character from space (0x20) to 0x7F, and the
// name has at most 20 characters.
bool ModeNameSendable(std::string_view name);

// ---- passwords ----

inline constexpr int kSystemPasswordLength = 6;
inline constexpr int kLockPasswordLength = 4;

// A typed character a password field accepts: a digit, Backspace or Enter.
bool IsPasswordKey(char32_t character);
// An entry opens what the stored password guards only when the processor
// reported a password of the expected length and the entry equals it.
bool PasswordAccepted(std::string_view entered, std::string_view stored, int length);

// One key press in a password change group, judged on the three fields as
// they were before the key.
struct PasswordChangeFields {
  std::string_view old;
  std::string_view first;   // the new password
  std::string_view second;  // the new password again
};

struct PasswordChangeStep {
  enum class Outcome {
    Ignored,    // old password wrong, none reported, or not linked
    Waiting,    // old password recognised; the new ones are not complete
    Changed,    // store and send `first`, then reset the group
    Mismatch,   // "密码不一致!", then reset the group
    Unchanged,  // the new password equals the old one: reset silently
  };
  Outcome outcome = Outcome::Ignored;
  bool enableFirst = false;   // the first new field becomes usable
  bool enableSecond = false;  // the second new field becomes usable
};

PasswordChangeStep CheckPasswordChange(const PasswordChangeFields& fields, std::string_view stored,
                                       int length, bool linked);

}  // namespace dsp

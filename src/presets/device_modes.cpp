#include "presets/device_modes.h"

#include "store/param_store.h"

namespace dsp {

std::string ModeEntryText(int slot, std::string_view name) {
  return std::to_string(slot + 1) + "-" + std::string(name);
}

std::string ModeNameFromEntry(int slot, std::string_view entry) {
  const std::size_t prefix = slot < 9 ? 2 : 3;
  if (entry.size() <= prefix) return {};
  return std::string(entry.substr(prefix));
}

bool IsModeNameCharacter(char32_t character) {
  return character >= 0x20 && character <= 0x7F;
}

bool ModeNameSendable(std::string_view name) {
  if (name.size() > static_cast<std::size_t>(kModeNameLength)) return false;
  for (char c : name) {
    if (!IsModeNameCharacter(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

bool IsPasswordKey(char32_t character) {
  return (character >= U'0' && character <= U'9') || character == U'\b' || character == U'\r' ||
         character == U'\n';
}

bool PasswordAccepted(std::string_view entered, std::string_view stored, int length) {
  return stored.size() == static_cast<std::size_t>(length) && entered == stored;
}

PasswordChangeStep CheckPasswordChange(const PasswordChangeFields& fields, std::string_view stored,
                                       int length, bool linked) {
  using Outcome = PasswordChangeStep::Outcome;
  PasswordChangeStep step;
  const auto full = static_cast<std::size_t>(length);
  if (!linked || !PasswordAccepted(fields.old, stored, length)) return step;
  step.outcome = Outcome::Waiting;
  step.enableFirst = true;
  step.enableSecond = fields.first.size() == full;
  if (fields.first.size() != full || fields.second.size() != full) return step;
  if (fields.first != stored && fields.first == fields.second) {
    step.outcome = Outcome::Changed;
  } else if (fields.first != fields.second) {
    step.outcome = Outcome::Mismatch;
  } else {
    step.outcome = Outcome::Unchanged;
  }
  return step;
}

}  // namespace dsp

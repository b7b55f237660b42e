#include <string>

#include "desk/requests.h"
#include "json/json.h"

namespace dsp::desk {

namespace {

BodyValue Refused(std::string field, std::string why) {
  BodyValue result;
  result.problem = {std::move(field), std::move(why)};
  return result;
}

// The body as an object with exactly the one member `name`; its value, or
// nullptr with `refusal` set.
const json::Value* OnlyMember(const std::optional<json::Value>& doc, const json::ParseError& error,
                              std::string_view name, BodyValue& refusal) {
  if (!doc) {
    refusal = Refused("", "the body is not JSON: " + error.message + " (line " + std::to_string(error.line) +
                              ", column " + std::to_string(error.column) + ")");
    return nullptr;
  }
  if (!doc->IsObject()) {
    refusal = Refused("", "the body must be a JSON object");
    return nullptr;
  }
  for (const json::Member& member : doc->Members()) {
    if (member.first != name) {
      refusal = Refused(member.first, "unknown field (the body takes \"" + std::string(name) + "\" only)");
      return nullptr;
    }
  }
  const json::Value* value = doc->Find(name);
  if (value == nullptr) refusal = Refused(std::string(name), "missing");
  return value;
}

BodyValue WholeNumber(std::string_view body, std::string_view name, int low, int high) {
  json::ParseError error;
  const std::optional<json::Value> doc = json::Parse(body, error);
  BodyValue refusal;
  const json::Value* value = OnlyMember(doc, error, name, refusal);
  if (value == nullptr) return refusal;
  const std::string range = "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high);
  if (!value->IsInteger()) return Refused(std::string(name), range);
  const std::int64_t n = value->AsInt();
  if (n < low || n > high) return Refused(std::string(name), range + ", not " + std::to_string(n));
  BodyValue result;
  result.value = static_cast<int>(n);
  return result;
}

}  // namespace

BodyValue ReadModeBody(std::string_view body) {
  return WholeNumber(body, "mode", 1, 15);
}

BodyValue ReadVolumeBody(std::string_view body) {
  return WholeNumber(body, "value", 0, kVolumeTop);
}

BodyValue ReadSceneBody(std::string_view body) {
  json::ParseError error;
  const std::optional<json::Value> doc = json::Parse(body, error);
  BodyValue refusal;
  const json::Value* value = OnlyMember(doc, error, "scene", refusal);
  if (value == nullptr) return refusal;
  if (value->IsString() && value->AsString() == "sing") return BodyValue{0, {}};
  if (value->IsString() && value->AsString() == "dance") return BodyValue{1, {}};
  return Refused("scene", "must be \"sing\" or \"dance\"");
}

}  // namespace dsp::desk

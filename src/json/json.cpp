#include "json/json.h"

#include <charconv>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <system_error>

namespace dsp::json {
namespace {

const std::string kEmptyString;
const std::vector<Value> kEmptyItems;
const std::vector<Member> kEmptyMembers;

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not a
// valid one.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char c = byte(i);
  if (c < 0x80) return 1;
  std::size_t length = 0;
  std::uint32_t code = 0;
  std::uint32_t least = 0;
  if ((c & 0xE0) == 0xC0) {
    length = 2, code = c & 0x1F, least = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    length = 3, code = c & 0x0F, least = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    length = 4, code = c & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

class Parser {
 public:
  Parser(std::string_view text, ParseError& error) : text_(text), error_(error) {}

  std::optional<Value> Document() {
    if (text_.substr(0, 3) == "\xEF\xBB\xBF") Advance(3);
    SkipSpace();
    Value value;
    if (!ParseValue(value, 0)) return std::nullopt;
    SkipSpace();
    if (pos_ != text_.size()) return Fail("unexpected text after the JSON value");
    return value;
  }

 private:
  std::nullopt_t Fail(const std::string& message) {
    if (!failed_) {
      failed_ = true;
      error_.message = message;
      error_.line = line_;
      error_.column = static_cast<int>(pos_ - line_start_) + 1;
    }
    return std::nullopt;
  }
  bool FailFalse(const std::string& message) {
    Fail(message);
    return false;
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  void Advance(std::size_t n = 1) { pos_ += n; }

  void SkipSpace() {
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (c == '\n') {
        ++pos_;
        ++line_;
        line_start_ = pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else {
        break;
      }
    }
  }

  bool ParseValue(Value& out, int depth) {
    if (AtEnd()) return FailFalse("unexpected end of the text, a value was expected");
    const int line = line_;
    bool ok = false;
    switch (Peek()) {
      case '{':
        ok = ParseObject(out, depth + 1);
        break;
      case '[':
        ok = ParseArray(out, depth + 1);
        break;
      case '"': {
        std::string s;
        ok = ParseString(s);
        if (ok) out = Value(std::move(s));
        break;
      }
      case 't':
        ok = Literal("true", Value(true), out);
        break;
      case 'f':
        ok = Literal("false", Value(false), out);
        break;
      case 'n':
        ok = Literal("null", Value(), out);
        break;
      default:
        if (Peek() == '-' || (Peek() >= '0' && Peek() <= '9')) {
          ok = ParseNumber(out);
        } else {
          return FailFalse(std::string("unexpected character ") + Describe(Peek()) + ", a value was expected");
        }
    }
    if (ok) out.set_line(line);
    return ok;
  }

  static std::string Describe(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) return std::string("'") + c + "'";
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", u);
    return buffer;
  }

  bool Literal(std::string_view word, Value value, Value& out) {
    if (text_.substr(pos_, word.size()) != word) return FailFalse("unknown word, a value was expected");
    Advance(word.size());
    out = std::move(value);
    return true;
  }

  bool ParseNumber(Value& out) {
    const std::size_t start = pos_;
    bool integral = true;
    if (Peek() == '-') Advance();
    if (Peek() == '0') {
      Advance();
      if (Peek() >= '0' && Peek() <= '9') return FailFalse("a number may not have leading zeros");
    } else if (Peek() >= '1' && Peek() <= '9') {
      while (Peek() >= '0' && Peek() <= '9') Advance();
    } else {
      return FailFalse("a digit was expected after '-'");
    }
    if (Peek() == '.') {
      integral = false;
      Advance();
      if (!(Peek() >= '0' && Peek() <= '9')) return FailFalse("a digit was expected after the decimal point");
      while (Peek() >= '0' && Peek() <= '9') Advance();
    }
    if (Peek() == 'e' || Peek() == 'E') {
      integral = false;
      Advance();
      if (Peek() == '+' || Peek() == '-') Advance();
      if (!(Peek() >= '0' && Peek() <= '9')) return FailFalse("a digit was expected in the exponent");
      while (Peek() >= '0' && Peek() <= '9') Advance();
    }
    const char* first = text_.data() + start;
    const char* last = text_.data() + pos_;
    if (integral) {
      std::int64_t n = 0;
      const auto [ptr, ec] = std::from_chars(first, last, n);
      if (ec == std::errc() && ptr == last) {
        out = Value(n);
        return true;
      }
    }
    // Fractions, exponents and integers beyond 64 bits are doubles.
    double d = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, d);
    // Out of range is an overflow unless the exponent is negative, where the
    // number is too small to hold and reads as zero.
    bool overflow = false;
    if (ec == std::errc::result_out_of_range) {
      const std::string_view digits(first, static_cast<std::size_t>(last - first));
      const auto e = digits.find_first_of("eE");
      if (e != std::string_view::npos && e + 1 < digits.size() && digits[e + 1] == '-') {
        d = digits.front() == '-' ? -0.0 : 0.0;
      } else {
        overflow = true;
      }
    }
    if (ptr != last || overflow || (ec != std::errc() && ec != std::errc::result_out_of_range) ||
        !std::isfinite(d)) {
      pos_ = start;
      return FailFalse("the number is out of range");
    }
    out = Value(d);
    return true;
  }

  bool Hex4(std::uint32_t& code) {
    if (pos_ + 4 > text_.size()) return FailFalse("four hexadecimal digits were expected after \\u");
    code = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = text_[pos_ + static_cast<std::size_t>(k)];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) return FailFalse("four hexadecimal digits were expected after \\u");
      code = code * 16 + static_cast<std::uint32_t>(digit);
    }
    Advance(4);
    return true;
  }

  bool ParseString(std::string& out) {
    Advance();  // the opening quote
    while (true) {
      if (AtEnd()) return FailFalse("the string is not closed");
      const auto c = static_cast<unsigned char>(text_[pos_]);
      if (c == '"') {
        Advance();
        return true;
      }
      if (c < 0x20) return FailFalse("a control character must be escaped in a string");
      if (c == '\\') {
        Advance();
        if (AtEnd()) return FailFalse("the string is not closed");
        const char e = text_[pos_];
        Advance();
        switch (e) {
          case '"': out += '"'; break;
          case '\\': out += '\\'; break;
          case '/': out += '/'; break;
          case 'b': out += '\b'; break;
          case 'f': out += '\f'; break;
          case 'n': out += '\n'; break;
          case 'r': out += '\r'; break;
          case 't': out += '\t'; break;
          case 'u': {
            std::uint32_t code = 0;
            if (!Hex4(code)) return false;
            if (code >= 0xDC00 && code <= 0xDFFF) return FailFalse("an unpaired low surrogate escape");
            if (code >= 0xD800 && code <= 0xDBFF) {
              std::uint32_t low = 0;
              if (text_.substr(pos_, 2) != "\\u") return FailFalse("a high surrogate escape without its low half");
              Advance(2);
              if (!Hex4(low)) return false;
              if (low < 0xDC00 || low > 0xDFFF) return FailFalse("a high surrogate escape without its low half");
              code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            }
            AppendUtf8(out, code);
            break;
          }
          default:
            pos_ -= 1;
            return FailFalse("unknown escape in a string");
        }
        continue;
      }
      const std::size_t length = Utf8Length(text_, pos_);
      if (length == 0) return FailFalse("the text is not valid UTF-8");
      out.append(text_.substr(pos_, length));
      Advance(length);
    }
  }

  bool ParseArray(Value& out, int depth) {
    if (depth > kMaxDepth) return FailFalse("arrays and objects nest too deep");
    Advance();  // '['
    out = Value::MakeArray();
    SkipSpace();
    if (Peek() == ']') {
      Advance();
      return true;
    }
    while (true) {
      SkipSpace();
      Value item;
      if (!ParseValue(item, depth)) return false;
      out.Push(std::move(item));
      SkipSpace();
      if (Peek() == ',') {
        Advance();
        SkipSpace();
        if (Peek() == ']') return FailFalse("a trailing comma before ']'");
        continue;
      }
      if (Peek() == ']') {
        Advance();
        return true;
      }
      return FailFalse(AtEnd() ? "the array is not closed" : "expected ',' or ']' after an array element");
    }
  }

  bool ParseObject(Value& out, int depth) {
    if (depth > kMaxDepth) return FailFalse("arrays and objects nest too deep");
    Advance();  // '{'
    out = Value::MakeObject();
    SkipSpace();
    if (Peek() == '}') {
      Advance();
      return true;
    }
    while (true) {
      SkipSpace();
      if (Peek() != '"') {
        return FailFalse(AtEnd() ? "the object is not closed" : "a member name in double quotes was expected");
      }
      const std::size_t name_pos = pos_;
      const std::size_t name_line_start = line_start_;
      std::string name;
      if (!ParseString(name)) return false;
      if (out.Find(name) != nullptr) {
        pos_ = name_pos;
        line_start_ = name_line_start;
        return FailFalse("duplicate member name " + Quote(name));
      }
      SkipSpace();
      if (Peek() != ':') return FailFalse("expected ':' after a member name");
      Advance();
      SkipSpace();
      Value item;
      if (!ParseValue(item, depth)) return false;
      out.AddChild(std::move(name), std::move(item));
      SkipSpace();
      if (Peek() == ',') {
        Advance();
        SkipSpace();
        if (Peek() == '}') return FailFalse("a trailing comma before '}'");
        continue;
      }
      if (Peek() == '}') {
        Advance();
        return true;
      }
      return FailFalse(AtEnd() ? "the object is not closed" : "expected ',' or '}' after an object member");
    }
  }

  std::string_view text_;
  ParseError& error_;
  std::size_t pos_ = 0;
  int line_ = 1;
  std::size_t line_start_ = 0;
  bool failed_ = false;
};

bool IsScalar(const Value& v) { return !v.IsArray() && !v.IsObject(); }

bool AllScalars(const Value& v) {
  if (v.IsArray()) {
    for (const auto& item : v.Items())
      if (!IsScalar(item)) return false;
  } else {
    for (const auto& [name, item] : v.Members())
      if (!IsScalar(item)) return false;
  }
  return true;
}

void WriteNumber(std::string& out, const Value& v) {
  if (v.IsInteger()) {
    out += std::to_string(v.AsInt());
    return;
  }
  const double d = v.AsDouble();
  if (!std::isfinite(d)) {
    out += "null";
    return;
  }
  char buffer[64];
  const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
  std::string text(buffer, ec == std::errc() ? ptr : buffer);
  // Keep a number read as a fraction recognisable as one ("1.0", not "1").
  if (text.find_first_of(".eEn") == std::string::npos) text += ".0";
  out += text;
}

void WriteValue(std::string& out, const Value& v, Style style, int indent) {
  switch (v.type()) {
    case Type::Null: out += "null"; return;
    case Type::Bool: out += v.AsBool() ? "true" : "false"; return;
    case Type::Number: WriteNumber(out, v); return;
    case Type::String: out += Quote(v.AsString()); return;
    case Type::Array:
    case Type::Object: break;
  }
  const bool object = v.IsObject();
  const bool empty = object ? v.Members().empty() : v.Items().empty();
  out += object ? '{' : '[';
  if (empty) {
    out += object ? '}' : ']';
    return;
  }
  const bool multiline = style == Style::Pretty && !AllScalars(v);
  const bool spaced = style == Style::Pretty;
  const std::string inner(static_cast<std::size_t>(2 * (indent + 1)), ' ');
  bool first = true;
  auto separate = [&] {
    if (!first) out += spaced && !multiline ? ", " : ",";
    first = false;
    if (multiline) {
      out += '\n';
      out += inner;
    }
  };
  if (object) {
    for (const auto& [name, item] : v.Members()) {
      separate();
      out += Quote(name);
      out += spaced ? ": " : ":";
      WriteValue(out, item, style, indent + 1);
    }
  } else {
    for (const auto& item : v.Items()) {
      separate();
      WriteValue(out, item, style, indent + 1);
    }
  }
  if (multiline) {
    out += '\n';
    out.append(static_cast<std::size_t>(2 * indent), ' ');
  }
  out += object ? '}' : ']';
}

}  // namespace

const std::string& Value::AsString() const { return type_ == Type::String ? string_ : kEmptyString; }
const std::vector<Value>& Value::Items() const { return type_ == Type::Array ? items_ : kEmptyItems; }
const std::vector<Member>& Value::Members() const { return type_ == Type::Object ? members_ : kEmptyMembers; }

const Value* Value::Find(std::string_view name) const {
  if (type_ != Type::Object) return nullptr;
  for (const auto& member : members_)
    if (member.first == name) return &member.second;
  return nullptr;
}

Value* Value::Find(std::string_view name) {
  return const_cast<Value*>(static_cast<const Value*>(this)->Find(name));
}

Value& Value::Push(Value item) {
  if (type_ == Type::Null) type_ = Type::Array;
  if (type_ == Type::Array) items_.push_back(std::move(item));
  return *this;
}

Value& Value::Add(std::string name, Value item) {
  if (type_ == Type::Null) type_ = Type::Object;
  if (type_ != Type::Object) return *this;
  if (Value* existing = Find(name)) {
    *existing = std::move(item);
  } else {
    members_.emplace_back(std::move(name), std::move(item));
  }
  return *this;
}

Value& Value::AddChild(std::string name, Value item) {
  static Value ignored;
  if (type_ == Type::Null) type_ = Type::Object;
  if (type_ != Type::Object) return ignored = Value();
  members_.emplace_back(std::move(name), std::move(item));
  return members_.back().second;
}

bool Value::operator==(const Value& other) const {
  if (type_ != other.type_) return false;
  switch (type_) {
    case Type::Null: return true;
    case Type::Bool: return bool_ == other.bool_;
    case Type::Number:
      if (integral_ && other.integral_) return int_ == other.int_;
      return number_ == other.number_;
    case Type::String: return string_ == other.string_;
    case Type::Array: return items_ == other.items_;
    case Type::Object: return members_ == other.members_;
  }
  return false;
}

std::optional<Value> Parse(std::string_view text, ParseError& error) {
  error = ParseError{};
  return Parser(text, error).Document();
}

std::string Write(const Value& value, Style style) {
  std::string out;
  WriteValue(out, value, style, 0);
  if (style == Style::Pretty) out += '\n';
  return out;
}

std::string Quote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04X", c);
          out += buffer;
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return out;
}

bool ValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8Length(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace dsp::json

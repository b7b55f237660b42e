#pragma once
// A small JSON reader and writer in standard C++.
//
// The reader is strict (RFC 8259): one value, no comments, no trailing
// commas, no leading zeros, no NaN or Infinity, no raw control characters in
// strings, valid UTF-8 only (no overlong forms, no surrogates), no unpaired
// "\u" surrogate escapes, no duplicate member names in an object, and at most
// kMaxDepth nested arrays and objects. A leading UTF-8 byte order mark is
// skipped. Every value remembers the line (from 1) where it begins, so that
// a reader of a document can point at the line of a bad value; a parse
// error says what is wrong and where (line and column, both from 1).
//
// The writer keeps the order of object members as they were added (or
// read), so the same document is always written the same way; its pretty
// form puts a container of scalars on one line, which keeps "one item per
// line" documents tidy and line-diffable.
//
//   dsp::json::ParseError error;
//   auto doc = dsp::json::Parse(text, error);
//   if (!doc) { report(error.line, error.message); }
//   const dsp::json::Value* name = doc->Find("name");
//   if (name && name->IsString()) use(name->AsString());
//
//   dsp::json::Value out = dsp::json::Value::MakeObject();
//   out.Add("name", "Room 12").Add("count", 3);
//   std::string text = dsp::json::Write(out, dsp::json::Style::Pretty);

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dsp::json {

inline constexpr int kMaxDepth = 200;

enum class Type { Null, Bool, Number, String, Array, Object };

class Value;
using Member = std::pair<std::string, Value>;

class Value {
 public:
  Value() = default;  // null
  Value(std::nullptr_t) {}
  Value(bool b) : type_(Type::Bool), bool_(b) {}
  Value(int n) : Value(static_cast<std::int64_t>(n)) {}
  Value(std::int64_t n) : type_(Type::Number), integral_(true), int_(n), number_(static_cast<double>(n)) {}
  Value(double d) : type_(Type::Number), number_(d) {}
  Value(std::string s) : type_(Type::String), string_(std::move(s)) {}
  Value(const char* s) : Value(std::string(s)) {}
  Value(std::string_view s) : Value(std::string(s)) {}

  static Value MakeArray() { return Value(Type::Array); }
  static Value MakeObject() { return Value(Type::Object); }

  Type type() const { return type_; }
  bool IsNull() const { return type_ == Type::Null; }
  bool IsBool() const { return type_ == Type::Bool; }
  bool IsNumber() const { return type_ == Type::Number; }
  bool IsString() const { return type_ == Type::String; }
  bool IsArray() const { return type_ == Type::Array; }
  bool IsObject() const { return type_ == Type::Object; }
  // A number written without fraction and exponent that fits 64 bits (or an
  // integer given to the constructor).
  bool IsInteger() const { return type_ == Type::Number && integral_; }

  // The line (from 1) where the value begins in the text it was read from;
  // 0 for values made in code.
  int line() const { return line_; }
  void set_line(int line) { line_ = line; }

  // Accessors of the matching type (false, 0, "" or empty lists otherwise).
  bool AsBool() const { return type_ == Type::Bool && bool_; }
  double AsDouble() const { return type_ == Type::Number ? number_ : 0.0; }
  std::int64_t AsInt() const { return IsInteger() ? int_ : 0; }
  const std::string& AsString() const;
  const std::vector<Value>& Items() const;      // array elements
  const std::vector<Member>& Members() const;   // object members, in order

  // Object member by name, or nullptr (also for a non-object).
  const Value* Find(std::string_view name) const;
  Value* Find(std::string_view name);

  // Appends to an array or object (a null turns into one); returns *this so
  // calls chain. Add replaces the value of a member of the same name in place.
  Value& Push(Value item);
  Value& Add(std::string name, Value item);
  // Appends and returns the new member's value.
  Value& AddChild(std::string name, Value item);

  bool operator==(const Value& other) const;  // ignores lines

 private:
  explicit Value(Type type) : type_(type) {}
  Type type_ = Type::Null;
  bool bool_ = false;
  bool integral_ = false;
  std::int64_t int_ = 0;
  double number_ = 0.0;
  std::string string_;
  std::vector<Value> items_;
  std::vector<Member> members_;
  int line_ = 0;
};

struct ParseError {
  std::string message;  // English, e.g. "expected ',' or '}' after an object member"
  int line = 0;         // from 1
  int column = 0;       // from 1, in bytes
};

// Reads exactly one JSON value (surrounding white space allowed); nullopt
// with `error` filled when the text is not strict JSON.
std::optional<Value> Parse(std::string_view text, ParseError& error);

enum class Style {
  Compact,  // no white space at all
  Pretty,   // two-space indent, one member per line; containers of scalars on one line
};

// The text of a value. Strings are UTF-8 as given (control characters,
// '"' and '\' escaped); numbers that are integers are written as integers,
// others in the shortest form that reads back the same; non-finite numbers
// as null. Pretty output ends with a line feed.
std::string Write(const Value& value, Style style = Style::Pretty);

// `text` as a JSON string literal (with its quotes).
std::string Quote(std::string_view text);

// True when `text` is valid UTF-8 (no overlong forms, no surrogates, nothing
// above U+10FFFF).
bool ValidUtf8(std::string_view text);

}  // namespace dsp::json

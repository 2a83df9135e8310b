// Decoding runs on nlohmann/json's SAX parser, with a handler that builds the record while the
// parser reads: no document tree is built, members with other names are skipped as they are
// read, and errors come back as return values (the SAX parser throws nothing).
#include "command/json_decoder.h"

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace {

using Json = nlohmann::json;

// A top-level member the record knows: "cmd", or an optional field of one JSON type (exactly one
// of the three pointers is set for those).
struct Field {
  std::string_view name;
  std::optional<double> InputCommand::*number = nullptr;
  std::optional<std::string> InputCommand::*text = nullptr;
  std::optional<bool> InputCommand::*flag = nullptr;
};

constexpr Field kFields[] = {
    {"cmd"},  // kFields[0]: the required command name
    {"x", &InputCommand::x},
    {"y", &InputCommand::y},
    {"button", nullptr, &InputCommand::button},
    {"dx", &InputCommand::dx},
    {"dy", &InputCommand::dy},
    {"code", nullptr, &InputCommand::code},
    {"key", nullptr, &InputCommand::key},
    {"action", nullptr, &InputCommand::action},
    {"ctrl", nullptr, nullptr, &InputCommand::ctrl},
    {"shift", nullptr, nullptr, &InputCommand::shift},
    {"alt", nullptr, nullptr, &InputCommand::alt},
    {"meta", nullptr, nullptr, &InputCommand::meta},
    {"shortcut", nullptr, &InputCommand::shortcut},
};

// The field a member name stands for, by the whole name, byte for byte; null for other names.
const Field* fieldNamed(std::string_view name) {
  for (const Field& field : kFields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

// The SAX handler. Every callback returns false to stop the parse and fail the line. Values are
// looked at only directly inside the top-level object (depth 1) and only for a known member;
// everything inside other members is read by the parser and passed over here.
class RecordBuilder {
 public:
  InputCommand record;
  bool haveCmd = false;

  bool null() {
    if (depth != 1) return depth > 1;
    if (field == nullptr) return true;
    if (field == &kFields[0]) return false;  // "cmd" must hold a string
    if (field->number) (record.*field->number).reset();
    if (field->text) (record.*field->text).reset();
    if (field->flag) (record.*field->flag).reset();
    return true;
  }

  bool boolean(bool value) { return store(&Field::flag, value); }
  // Integers are converted to the nearest double; integers beyond 64 bits reach number_float.
  bool number_integer(Json::number_integer_t value) {
    return store(&Field::number, static_cast<double>(value));
  }
  bool number_unsigned(Json::number_unsigned_t value) {
    return store(&Field::number, static_cast<double>(value));
  }
  // The parser has already failed a number beyond the double range.
  bool number_float(Json::number_float_t value, const Json::string_t&) {
    return store(&Field::number, static_cast<double>(value));
  }

  bool string(Json::string_t& value) {
    if (depth == 1 && field == &kFields[0]) {
      record.cmd = std::move(value);
      haveCmd = true;
      return true;
    }
    return store(&Field::text, std::move(value));
  }

  // JSON text has no binary values; only the binary formats report them.
  bool binary(Json::binary_t&) { return false; }

  bool start_object(std::size_t) { return open(); }
  bool end_object() { return close(); }
  // A top-level array fails at once; so does an array for a known member.
  bool start_array(std::size_t) { return depth > 0 && open(); }
  bool end_array() { return close(); }

  bool key(Json::string_t& name) {
    if (depth == 1) field = fieldNamed(name);
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
    return false;
  }

 private:
  // Stores a scalar in the current member's field when the member takes that JSON type. A
  // top-level scalar fails the line; inside another member's value, or for a member with
  // another name, the value is passed over; a known member of another type fails the line.
  template <typename T>
  bool store(std::optional<T> InputCommand::*Field::*slot, T value) {
    if (depth != 1) return depth > 1;
    if (field == nullptr) return true;
    const auto target = field->*slot;
    if (target == nullptr) return false;
    record.*target = std::move(value);
    return true;
  }

  // The top-level object, or an array or object inside it: only other members may hold one.
  bool open() {
    if (depth == 1 && field != nullptr) return false;
    ++depth;
    return true;
  }

  bool close() {
    --depth;
    return true;
  }

  std::size_t depth = 0;         // 1 inside the top-level object, more inside its members
  const Field* field = nullptr;  // the known top-level member whose value comes next, if any
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::optional<InputCommand> JsonDecoder::decode(std::string_view line) {
  // The parser would skip a byte order mark; only JSON white space may come before the value.
  if (line.starts_with(kByteOrderMark)) return std::nullopt;
  // The parser takes a NUL byte for the end of the input, so that `{"cmd":"move"}` followed by
  // a NUL and anything at all would decode. JSON allows a raw NUL nowhere (inside a string it is
  // written \u0000), so a line holding one fails here.
  if (line.find('\0') != std::string_view::npos) return std::nullopt;
  RecordBuilder builder;
  bool parsed;
  try {
    parsed = Json::sax_parse(line.data(), line.data() + line.size(), &builder);
  } catch (...) {
    // Nothing in the SAX path throws for bad input; running out of memory drops the line.
    parsed = false;
  }
  if (!parsed || !builder.haveCmd) return std::nullopt;
  return std::move(builder.record);
}

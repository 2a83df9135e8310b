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

enum class Member : unsigned char {
  other,
  cmd,
  x,
  y,
  button,
  dx,
  dy,
  code,
  key,
  action,
  ctrl,
  shift,
  alt,
  meta,
  shortcut,
};

// The member that a name stands for: the whole name, byte for byte, case-sensitive.
Member memberNamed(std::string_view name) {
  switch (name.size()) {
    case 1:
      if (name[0] == 'x') return Member::x;
      if (name[0] == 'y') return Member::y;
      break;
    case 2:
      if (name == "dx") return Member::dx;
      if (name == "dy") return Member::dy;
      break;
    case 3:
      if (name == "cmd") return Member::cmd;
      if (name == "key") return Member::key;
      if (name == "alt") return Member::alt;
      break;
    case 4:
      if (name == "code") return Member::code;
      if (name == "ctrl") return Member::ctrl;
      if (name == "meta") return Member::meta;
      break;
    case 5:
      if (name == "shift") return Member::shift;
      break;
    case 6:
      if (name == "button") return Member::button;
      if (name == "action") return Member::action;
      break;
    case 8:
      if (name == "shortcut") return Member::shortcut;
      break;
  }
  return Member::other;
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
    switch (member) {
      case Member::cmd:
        return false;
      case Member::x:
        record.x.reset();
        break;
      case Member::y:
        record.y.reset();
        break;
      case Member::button:
        record.button.reset();
        break;
      case Member::dx:
        record.dx.reset();
        break;
      case Member::dy:
        record.dy.reset();
        break;
      case Member::code:
        record.code.reset();
        break;
      case Member::key:
        record.key.reset();
        break;
      case Member::action:
        record.action.reset();
        break;
      case Member::ctrl:
        record.ctrl.reset();
        break;
      case Member::shift:
        record.shift.reset();
        break;
      case Member::alt:
        record.alt.reset();
        break;
      case Member::meta:
        record.meta.reset();
        break;
      case Member::shortcut:
        record.shortcut.reset();
        break;
      case Member::other:
        break;
    }
    return true;
  }

  bool boolean(bool value) {
    if (depth != 1) return depth > 1;
    switch (member) {
      case Member::ctrl:
        record.ctrl = value;
        return true;
      case Member::shift:
        record.shift = value;
        return true;
      case Member::alt:
        record.alt = value;
        return true;
      case Member::meta:
        record.meta = value;
        return true;
      default:
        return member == Member::other;
    }
  }

  // Integers are converted to the nearest double; integers beyond 64 bits reach number_float.
  bool number_integer(Json::number_integer_t value) { return number(static_cast<double>(value)); }
  bool number_unsigned(Json::number_unsigned_t value) { return number(static_cast<double>(value)); }
  // The parser has already failed a number beyond the double range.
  bool number_float(Json::number_float_t value, const Json::string_t&) { return number(value); }

  bool string(Json::string_t& value) {
    if (depth != 1) return depth > 1;
    switch (member) {
      case Member::cmd:
        record.cmd.assign(value);
        haveCmd = true;
        return true;
      case Member::button:
        record.button = value;
        return true;
      case Member::code:
        record.code = value;
        return true;
      case Member::key:
        record.key = value;
        return true;
      case Member::action:
        record.action = value;
        return true;
      case Member::shortcut:
        record.shortcut = value;
        return true;
      default:
        return member == Member::other;
    }
  }

  // JSON text has no binary values; only the binary formats report them.
  bool binary(Json::binary_t&) { return false; }

  bool start_object(std::size_t) { return open(); }
  bool end_object() { return close(); }
  // A top-level array fails at once; so does an array for a known member.
  bool start_array(std::size_t) { return depth > 0 && open(); }
  bool end_array() { return close(); }

  bool key(Json::string_t& name) {
    if (depth == 1) member = memberNamed(name);
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
    return false;
  }

 private:
  // A top-level scalar fails the line; a number is stored for the four number members.
  bool number(double value) {
    if (depth != 1) return depth > 1;
    switch (member) {
      case Member::x:
        record.x = value;
        return true;
      case Member::y:
        record.y = value;
        return true;
      case Member::dx:
        record.dx = value;
        return true;
      case Member::dy:
        record.dy = value;
        return true;
      default:
        return member == Member::other;
    }
  }

  // The top-level object, or an array or object inside it: only other members may hold one.
  bool open() {
    if (depth == 1 && member != Member::other) return false;
    ++depth;
    return true;
  }

  bool close() {
    --depth;
    return true;
  }

  std::size_t depth = 0;          // 1 inside the top-level object, more inside its members
  Member member = Member::other;  // the top-level member whose value comes next
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

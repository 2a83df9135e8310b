// The key code table, in ascending order of code, and its lookup: the name and virtual key
// columns of the key table (keys/key_table.h). The codes follow the platform's numbering by
// position on the ANSI keyboard, so they are not in the order of the names ("Digit6" is 22,
// "Digit5" 23; "KeyB" is 11 and 10 has no row).
#include "keys/key_codes.h"

#include <algorithm>

#include "keys/key_table.h"

namespace {

// The name and virtual key columns of the key table.
constexpr std::array<KeyCodeRow, kKeyCodeRows> namesAndCodes() {
  std::array<KeyCodeRow, kKeyCodeRows> rows{};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i] = KeyCodeRow{kPhysicalKeys[i].name, kPhysicalKeys[i].virtualKey};
  }
  return rows;
}
constexpr std::array<KeyCodeRow, kKeyCodeRows> kRows = namesAndCodes();
static_assert(kPhysicalKeys.size() == kKeyCodeRows, "one code row for each row of the key table");

constexpr bool namesAndCodesUnique() {
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    if (kRows[i].name.empty()) return false;
    for (std::size_t j = i + 1; j < kRows.size(); ++j) {
      if (kRows[i].name == kRows[j].name || kRows[i].code == kRows[j].code) return false;
    }
  }
  return true;
}
static_assert(kRows.back().name == "ArrowUp", "the table has 98 filled rows");
static_assert(namesAndCodesUnique(), "every name and every code occurs once");

// The same rows sorted by name, made once at compile time, for a binary search. An insertion
// sort of its own: std::sort is not constexpr in the libc++ of the macOS SDKs.
constexpr std::array<KeyCodeRow, kKeyCodeRows> sortedByName() {
  std::array<KeyCodeRow, kKeyCodeRows> rows = kRows;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const KeyCodeRow row = rows[i];
    std::size_t j = i;
    for (; j > 0 && row.name < rows[j - 1].name; --j) rows[j] = rows[j - 1];
    rows[j] = row;
  }
  return rows;
}
constexpr std::array<KeyCodeRow, kKeyCodeRows> kByName = sortedByName();

constexpr bool strictlyAscendingByName() {
  for (std::size_t i = 1; i < kByName.size(); ++i) {
    if (!(kByName[i - 1].name < kByName[i].name)) return false;
  }
  return true;
}
static_assert(strictlyAscendingByName(), "the binary search needs the names in order");

}  // namespace

const std::array<KeyCodeRow, kKeyCodeRows> kKeyCodeTable = kRows;

std::optional<std::uint16_t> macVirtualKeyCode(std::string_view name) {
  const auto it = std::lower_bound(
      kByName.begin(), kByName.end(), name,
      [](const KeyCodeRow& row, std::string_view wanted) { return row.name < wanted; });
  if (it == kByName.end() || it->name != name) return std::nullopt;
  return it->code;
}

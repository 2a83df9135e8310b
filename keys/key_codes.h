// The key code table: W3C UI Events KeyboardEvent.code names of physical keys ("KeyA",
// "ArrowLeft", "Numpad5", ...) and the macOS virtual key codes of those keys.
//
// macVirtualKeyCode looks a name up by exact, case-sensitive equality of the whole name (no
// trimming, no folding). A name without a row yields no code, which is distinct from code 0
// ("KeyA"). The table is constant; a lookup builds nothing and cannot fail.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

struct KeyCodeRow {
  std::string_view name;
  std::uint16_t code;
};

inline constexpr std::size_t kKeyCodeRows = 98;
extern const std::array<KeyCodeRow, kKeyCodeRows> kKeyCodeTable;

std::optional<std::uint16_t> macVirtualKeyCode(std::string_view name);

// X11: the physical keys a keyboard event can name. Each row takes a macOS virtual key (the
// number the event carries) to the same key's Linux input code (KEY_* of
// <linux/input-event-codes.h>) and to the XKB name that X servers give that key ("AC01" is the
// key in row C, column 1: A on a US layout). The server's keycode is then found by that name, so
// the key pressed is the one at that position whatever the server's layout and keycode numbering.
//
// The table is constant and checked at compile time: one row per virtual key, Linux code and
// XKB name, each occurring once.
#pragma once

#include <linux/input-event-codes.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/events.h"

struct PhysicalKey {
  CGKeyCode virtualKey;
  std::uint16_t linuxCode;
  std::string_view xkbName;  // at most 4 characters, as in an XKB keymap
};

inline constexpr std::array<PhysicalKey, 98> kPhysicalKeys = {{
    {0, KEY_A, "AC01"},          {1, KEY_S, "AC02"},           {2, KEY_D, "AC03"},
    {3, KEY_F, "AC04"},          {4, KEY_H, "AC06"},           {5, KEY_G, "AC05"},
    {6, KEY_Z, "AB01"},          {7, KEY_X, "AB02"},           {8, KEY_C, "AB03"},
    {9, KEY_V, "AB04"},          {11, KEY_B, "AB05"},          {12, KEY_Q, "AD01"},
    {13, KEY_W, "AD02"},         {14, KEY_E, "AD03"},          {15, KEY_R, "AD04"},
    {16, KEY_Y, "AD06"},         {17, KEY_T, "AD05"},          {18, KEY_1, "AE01"},
    {19, KEY_2, "AE02"},         {20, KEY_3, "AE03"},          {21, KEY_4, "AE04"},
    {22, KEY_6, "AE06"},         {23, KEY_5, "AE05"},          {24, KEY_EQUAL, "AE12"},
    {25, KEY_9, "AE09"},         {26, KEY_7, "AE07"},          {27, KEY_MINUS, "AE11"},
    {28, KEY_8, "AE08"},         {29, KEY_0, "AE10"},          {30, KEY_RIGHTBRACE, "AD12"},
    {31, KEY_O, "AD09"},         {32, KEY_U, "AD07"},          {33, KEY_LEFTBRACE, "AD11"},
    {34, KEY_I, "AD08"},         {35, KEY_P, "AD10"},          {36, KEY_ENTER, "RTRN"},
    {37, KEY_L, "AC09"},         {38, KEY_J, "AC07"},          {39, KEY_APOSTROPHE, "AC11"},
    {40, KEY_K, "AC08"},         {41, KEY_SEMICOLON, "AC10"},  {42, KEY_BACKSLASH, "BKSL"},
    {43, KEY_COMMA, "AB08"},     {44, KEY_SLASH, "AB10"},      {45, KEY_N, "AB06"},
    {46, KEY_M, "AB07"},         {47, KEY_DOT, "AB09"},        {48, KEY_TAB, "TAB"},
    {49, KEY_SPACE, "SPCE"},     {50, KEY_GRAVE, "TLDE"},      {51, KEY_BACKSPACE, "BKSP"},
    {53, KEY_ESC, "ESC"},        {54, KEY_RIGHTMETA, "RWIN"},  {55, KEY_LEFTMETA, "LWIN"},
    {56, KEY_LEFTSHIFT, "LFSH"}, {57, KEY_CAPSLOCK, "CAPS"},   {58, KEY_LEFTALT, "LALT"},
    {59, KEY_LEFTCTRL, "LCTL"},  {60, KEY_RIGHTSHIFT, "RTSH"}, {61, KEY_RIGHTALT, "RALT"},
    {62, KEY_RIGHTCTRL, "RCTL"}, {65, KEY_KPDOT, "KPDL"},      {67, KEY_KPASTERISK, "KPMU"},
    {69, KEY_KPPLUS, "KPAD"},    {75, KEY_KPSLASH, "KPDV"},    {76, KEY_KPENTER, "KPEN"},
    {78, KEY_KPMINUS, "KPSU"},   {82, KEY_KP0, "KP0"},         {83, KEY_KP1, "KP1"},
    {84, KEY_KP2, "KP2"},        {85, KEY_KP3, "KP3"},         {86, KEY_KP4, "KP4"},
    {87, KEY_KP5, "KP5"},        {88, KEY_KP6, "KP6"},         {89, KEY_KP7, "KP7"},
    {91, KEY_KP8, "KP8"},        {92, KEY_KP9, "KP9"},         {96, KEY_F5, "FK05"},
    {97, KEY_F6, "FK06"},        {98, KEY_F7, "FK07"},         {99, KEY_F3, "FK03"},
    {100, KEY_F8, "FK08"},       {101, KEY_F9, "FK09"},        {103, KEY_F11, "FK11"},
    {109, KEY_F10, "FK10"},      {111, KEY_F12, "FK12"},       {115, KEY_HOME, "HOME"},
    {116, KEY_PAGEUP, "PGUP"},   {117, KEY_DELETE, "DELE"},    {118, KEY_F4, "FK04"},
    {119, KEY_END, "END"},       {120, KEY_F2, "FK02"},        {121, KEY_PAGEDOWN, "PGDN"},
    {122, KEY_F1, "FK01"},       {123, KEY_LEFT, "LEFT"},      {124, KEY_RIGHT, "RGHT"},
    {125, KEY_DOWN, "DOWN"},     {126, KEY_UP, "UP"},
}};

namespace key_table_detail {

constexpr bool allDistinct() {
  for (std::size_t i = 0; i < kPhysicalKeys.size(); ++i) {
    const PhysicalKey& a = kPhysicalKeys[i];
    if (a.xkbName.empty() || a.xkbName.size() > 4) return false;
    for (std::size_t j = i + 1; j < kPhysicalKeys.size(); ++j) {
      const PhysicalKey& b = kPhysicalKeys[j];
      if (a.virtualKey == b.virtualKey || a.linuxCode == b.linuxCode || a.xkbName == b.xkbName) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace key_table_detail

static_assert(key_table_detail::allDistinct(),
              "every virtual key, Linux code and XKB name occurs once, names of 1 to 4 characters");

// The row of a virtual key, or null when the table has none.
constexpr const PhysicalKey* findPhysicalKey(CGKeyCode virtualKey) {
  for (const PhysicalKey& key : kPhysicalKeys) {
    if (key.virtualKey == virtualKey) return &key;
  }
  return nullptr;
}

// What the application tests expect of typed text in Chromium: tests/apps/page.html logs every
// keydown as "keydown CODE MODS", and the keydown of a typed character must name no key (an empty
// KeyboardEvent.code and no modifier), since pages act on the code of Escape, Backspace, Tab,
// Enter, function keys and the like whatever character the key typed.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline void expectNoKeyIdentity(const std::vector<std::string>& log) {
  std::string named;  // the keydowns that name a key, in order
  std::size_t count = 0;
  for (const std::string& entry : log) {
    if (entry.rfind("keydown ", 0) == 0 && entry != "keydown  ") {
      named += "\n  " + entry;
      ++count;
    }
  }
  EXPECT_EQ(count, 0u) << "keydowns of typed characters that name a key:" << named;
}

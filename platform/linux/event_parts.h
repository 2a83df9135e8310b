// What a Linux route reads from an event, written once for every route.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/events.h"

// Whether a mouse event of this type presses (true) or releases (false) its button; none for
// motion (moved and dragged).
std::optional<bool> buttonPressOf(CGEventType type);

// The Linux input code (BTN_*) of a mouse button, 0 for none.
std::uint32_t linuxButton(CGMouseButton button);

// The Unicode scalar values of UTF-16 text; an unpaired surrogate is skipped.
std::u32string scalarsOf(const std::vector<UniChar>& units);

// wlroots: the time an event carries, the monotonic clock in milliseconds (wrapping at 32 bits),
// as the compositor's own events carry it.
#pragma once

#include <cstdint>
#include <ctime>

inline std::uint32_t eventTime() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000 +
                                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000);
}

// For tests and benchmarks that read a real application: polling a condition until it holds.
#pragma once

#include <chrono>
#include <thread>

// Whether the condition held within the limit, asked every 50 ms.
template <typename Condition>
bool eventually(Condition&& condition,
                std::chrono::milliseconds limit = std::chrono::milliseconds(10000)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

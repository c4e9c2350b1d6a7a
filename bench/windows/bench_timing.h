// What the Windows benchmarks time with: a steady clock in milliseconds and
// the median of a run's figures.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace zel::bench {

// Milliseconds from the performance counter, for differences only.
inline double Now() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace zel::bench

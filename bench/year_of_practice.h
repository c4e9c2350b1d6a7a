// A year of daily practice for the benchmarks: every course of the catalog
// with 35 problems, and the progress files and the rating file that 365 days
// of 40 attempts each leave behind (reviews, cycles and the rating included).
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "solver/problem_data.h"

namespace zel::solver {

struct YearOfPractice {
  ProblemData data;
  // Each course's progress file and the rating's: name, bytes.
  std::vector<std::pair<std::string, std::string>> files;
  std::size_t attempts = 0;
  platform::Day today;  // the day after the last

  std::size_t Bytes() const;
  // "14600 attempts, 412 KB in 15 files"
  std::string Label() const;
};

YearOfPractice MakeYearOfPractice();

}  // namespace zel::solver

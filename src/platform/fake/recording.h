// Process starts and failure reports that are only recorded, for tests.
#pragma once

#include <string>
#include <vector>

#include "platform/failure_report.h"
#include "platform/processes.h"

namespace zel::platform {

class RecordingProcesses final : public Processes {
 public:
  struct Start {
    std::string name;
    int windowStyle;
  };
  void StartProgram(std::string_view bareName, int windowStyle) override {
    if (failWith_ != 0) throw Failure{failWith_, "injected start failure", std::string(bareName)};
    starts.push_back({std::string(bareName), windowStyle});
  }
  void FailWith(std::int32_t error) { failWith_ = error; }

  std::vector<Start> starts;

 private:
  std::int32_t failWith_ = 0;
};

class RecordingReport final : public FailureReport {
 public:
  void Report(const Failure& failure) override { reports.push_back(failure); }
  std::vector<Failure> reports;
};

}  // namespace zel::platform

// For tests that start the stand-ins for real, on either platform: copying
// them into a program folder and reading the lines they log there.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace zel::testing {

// The stand-ins as the build made them, each padded past the patch positions.
// They never lie beside a test program: a bare-name start searches the
// starter's own folder first.
inline constexpr const char* kStandinPrograms[] = {"Kombiru.exe", "Kombien.exe", "ZelmikuR.exe",
                                                   "ZelmikuE.exe", "Zvideo.exe"};

inline void CopyStandinsTo(const std::filesystem::path& folder) {
  for (const char* program : kStandinPrograms)
    std::filesystem::copy_file(std::filesystem::path(ZEL_STANDIN_DIR) / program, folder / program,
                               std::filesystem::copy_options::overwrite_existing);
}

// The complete lines of launches.log in the folder, without their line ends. A
// line still being written is not one yet.
inline std::vector<std::string> LogLines(const std::filesystem::path& folder) {
  std::ifstream in(folder / "launches.log", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Waits until the log holds `count` lines, at most `limit`; what it holds then.
inline std::vector<std::string> WaitForLogLines(
    const std::filesystem::path& folder, std::size_t count,
    std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto until = std::chrono::steady_clock::now() + limit;
  for (;;) {
    std::vector<std::string> lines = LogLines(folder);
    if (lines.size() >= count || std::chrono::steady_clock::now() >= until) return lines;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace zel::testing

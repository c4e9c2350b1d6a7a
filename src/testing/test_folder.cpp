#include "testing/test_folder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <vector>

namespace zel::testing {

namespace fs = std::filesystem;

TestFolder::TestFolder() {
  static std::atomic<int> serial{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = fs::temp_directory_path() /
          ("zel-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
  fs::create_directories(path_);
}

TestFolder::~TestFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void TestFolder::Write(std::string_view name, std::string_view bytes) const {
  const fs::path file = path_ / name;
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TestFolder::Read(std::string_view name) const {
  std::ifstream in(path_ / name, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool TestFolder::Exists(std::string_view name) const { return fs::exists(path_ / name); }

std::string TestFolder::List() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const auto& name : names) joined += (joined.empty() ? "" : " ") + name;
  return joined;
}

void TestFolder::WriteSettings(std::string_view language, std::string_view pictures,
                               std::string_view sound) const {
  Write("enfo00.dat", language);
  Write("pnfo00.dat", pictures);
  Write("Sound.dat", sound);
}

std::string MakeBmp(int width, int height, const std::function<std::uint32_t(int, int)>& pixel) {
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
  std::string bmp;
  auto put = [&bmp](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) bmp += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  bmp += "BM";
  put(54 + imageBytes, 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(static_cast<std::uint32_t>(width), 4);
  put(static_cast<std::uint32_t>(height), 4);  // positive: the bottom row comes first
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(imageBytes, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  for (int y = height - 1; y >= 0; --y) {
    std::string row(rowBytes, '\0');
    for (int x = 0; x < width; ++x) {
      const std::uint32_t rgb = pixel(x, y);
      row[static_cast<std::size_t>(x) * 3 + 0] = static_cast<char>(rgb & 0xFF);
      row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>((rgb >> 8) & 0xFF);
      row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>((rgb >> 16) & 0xFF);
    }
    bmp += row;
  }
  return bmp;
}

std::string MakeBmp(int width, int height, std::uint32_t rgb) {
  return MakeBmp(width, height, [rgb](int, int) { return rgb; });
}

}  // namespace zel::testing

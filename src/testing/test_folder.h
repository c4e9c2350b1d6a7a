// A temporary program folder for tests, with helpers to put files in it and to
// read their bytes back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace zel::testing {

class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  void Write(std::string_view name, std::string_view bytes) const;
  std::string Read(std::string_view name) const;  // the whole file; "" when missing
  bool Exists(std::string_view name) const;
  // The names in the folder (not recursive), sorted.
  std::string List() const;

  // The three settings files as the installation delivers them.
  void WriteSettings(std::string_view language = "\"R\"\r\n",
                     std::string_view pictures = "\"Y\"\r\n",
                     std::string_view sound = "1\r\n") const;

 private:
  std::filesystem::path path_;
};

// A BMP file of the given size, 24 bits per pixel, bottom row first, with the
// colour (0xRRGGBB) of each pixel (x, y counted from the top-left corner).
std::string MakeBmp(int width, int height, const std::function<std::uint32_t(int x, int y)>& pixel);

// The same filled with one colour, so that a test can tell pictures apart.
std::string MakeBmp(int width, int height, std::uint32_t rgb);

}  // namespace zel::testing

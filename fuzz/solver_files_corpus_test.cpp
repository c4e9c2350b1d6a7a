// The solver-files fuzzer's saved inputs, replayed in the ordinary test run
// with the same property checks, so that a fixed bug stays fixed without clang.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "solver_files_check.h"

namespace zel::fuzz {
namespace {

namespace fs = std::filesystem;

TEST(SolverFilesCorpus, EverySavedInputKeepsTheProperties) {
  const fs::path corpus = fs::path(__FILE__).parent_path() / "corpus" / "solver_files";
  ASSERT_TRUE(fs::is_directory(corpus)) << corpus;
  int inputs = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(SolverFilesViolation(bytes.str()), "") << entry.path();
    ++inputs;
  }
  EXPECT_GE(inputs, 10) << "the saved corpus went missing";
}

}  // namespace
}  // namespace zel::fuzz

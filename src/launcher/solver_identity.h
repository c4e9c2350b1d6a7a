// Which solver a program is, from its own file name: the shell starts each
// solver family's Russian and English program by name, so the name tells the
// family and the language. Header-only and free of the heap, for the
// stand-ins too.
#pragma once

#include <optional>
#include <string_view>

#include "launcher/patch_layout.h"

namespace zel {

// File names on Windows match whatever their case; elsewhere they do not.
#if defined(_WIN32)
inline constexpr bool kFileNamesIgnoreCase = true;
#else
inline constexpr bool kFileNamesIgnoreCase = false;
#endif

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

constexpr bool SameFileName(std::string_view a, std::string_view b,
                            bool ignoreCase = kFileNamesIgnoreCase) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ignoreCase ? AsciiLower(a[i]) != AsciiLower(b[i]) : a[i] != b[i]) return false;
  }
  return true;
}

// "C:\dir\Kombiru.exe" or "/dir/Kombiru.exe" -> "Kombiru".
constexpr std::string_view StartNameOf(std::string_view path,
                                       bool ignoreCase = kFileNamesIgnoreCase) {
  const auto slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  if (path.size() > 4 && SameFileName(path.substr(path.size() - 4), ".exe", ignoreCase))
    path.remove_suffix(4);
  return path;
}

struct SolverIdentity {
  SolverFamily family;
  bool russian;
};

// The family and language of the program at `path`; nothing for a name that
// is none of the four solver names (a renamed copy).
constexpr std::optional<SolverIdentity> IdentifySolver(std::string_view path,
                                                       bool ignoreCase = kFileNamesIgnoreCase) {
  const std::string_view name = StartNameOf(path, ignoreCase);
  for (const SolverFamily family : {SolverFamily::CourseSolver, SolverFamily::ProblemBookSolver}) {
    const SolverFiles& files = FilesOf(family);
    if (SameFileName(name, files.russianStartName, ignoreCase)) return SolverIdentity{family, true};
    if (SameFileName(name, files.englishStartName, ignoreCase)) return SolverIdentity{family, false};
  }
  return std::nullopt;
}

}  // namespace zel

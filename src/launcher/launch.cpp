#include "launcher/launch.h"

#include "settings/settings.h"

namespace zel {

void PatchSolver(platform::Files& files, std::string_view fileName,
                 std::span<const ByteWrite> writes) {
  std::unique_ptr<platform::UpdateFile> file = files.OpenForUpdate(fileName);
  for (const ByteWrite& write : writes) file->WriteByteAt(write.position - 1, write.letter);
  file->Close();
}

void StartProgram(platform::Processes& processes, std::string_view bareName, int windowStyle) {
  processes.StartProgram(bareName, windowStyle);
}

void LaunchSolver(platform::Services& services, const LaunchEntry& entry) {
  const SettingValue language = ReadSetting(services.files, kLanguageFile);
  const SettingValue pictures = ReadSetting(services.files, kPicturesFile);
  services.window.ShowPicture(kLaunchPicture);

  const bool russian = language.AsText() == "R";
  const bool picturesOn = pictures.AsText() == "Y";
  const SolverFiles& solver = FilesOf(entry.family);
  const std::string_view file = russian ? solver.russianFile : solver.englishFile;
  const std::string_view startName = russian ? solver.russianStartName : solver.englishStartName;

  const PatchWrites writes = PlanWrites(entry, russian, picturesOn);
  PatchSolver(services.files, file, writes);
  StartProgram(services.processes, startName, 1);
}

std::optional<PatchLetters> ReadPatchLetters(platform::Files& files, std::string_view programFile,
                                             SolverFamily family) {
  // The whole file: a program is a few megabytes at most, read once at start.
  const std::string bytes = files.ReadAll(programFile);
  PatchLetters letters{};
  const auto positions = PositionsInWriteOrder(LayoutOf(family));
  for (std::size_t i = 0; i < positions.size(); ++i) {
    if (positions[i] > bytes.size()) return std::nullopt;
    letters[i] = bytes[positions[i] - 1];
  }
  return letters;
}

}  // namespace zel

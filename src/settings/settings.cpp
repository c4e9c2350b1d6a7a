#include "settings/settings.h"

#include "platform/failure.h"

namespace zel {

SettingValue ReadSetting(platform::Files& files, std::string_view fileName) {
  std::optional<SettingValue> value = ParseFirstValue(files.ReadAll(fileName));
  if (!value) throw platform::NoValueFailure(fileName);
  return *std::move(value);
}

void WriteSetting(platform::Files& files, std::string_view fileName, const WrittenValue& value) {
  const std::string line = FormatValue(value);
  files.ProbeWritable(fileName);

  platform::TemporaryFile temporary = files.CreateTemporaryBeside(fileName);
  try {
    temporary.file->Write(line);
    temporary.file->FlushToDisk();
    temporary.file->Close();
    temporary.file.reset();
    files.Replace(temporary.name, fileName);
  } catch (...) {
    // Leave no temporary file behind; the failure that matters is the first one.
    temporary.file.reset();
    try {
      files.RemoveFile(temporary.name);
    } catch (...) {
    }
    throw;
  }
}

}  // namespace zel

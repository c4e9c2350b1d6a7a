#include "settings/settings.h"

#include "platform/failure.h"
#include "platform/replace_file.h"

namespace zel {

SettingValue ReadSetting(platform::Files& files, std::string_view fileName) {
  std::optional<SettingValue> value = ParseFirstValue(files.ReadAll(fileName));
  if (!value) throw platform::NoValueFailure(fileName);
  return *std::move(value);
}

void WriteSetting(platform::Files& files, std::string_view fileName, const WrittenValue& value) {
  platform::ReplaceFileContent(files, fileName, FormatValue(value));
}

}  // namespace zel

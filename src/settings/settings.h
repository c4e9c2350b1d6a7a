// Reading and replacing the one-value files in the program folder.
#pragma once

#include <string_view>

#include "platform/files.h"
#include "settings/one_value.h"

namespace zel {

// The first value of an existing file. Throws the platform's file-not-found
// error on a missing file and its end-of-file error on a file without a value.
SettingValue ReadSetting(platform::Files& files, std::string_view fileName);

// Replaces the file with the one line of `value` through ReplaceFileContent:
// the old content stays until the new one is completely on disk.
void WriteSetting(platform::Files& files, std::string_view fileName, const WrittenValue& value);

// The file names of the program folder.
inline constexpr std::string_view kLanguageFile = "enfo00.dat";
inline constexpr std::string_view kPicturesFile = "pnfo00.dat";
inline constexpr std::string_view kSoundFile = "Sound.dat";

}  // namespace zel

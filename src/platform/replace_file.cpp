#include "platform/replace_file.h"

namespace zel::platform {

void ReplaceFileContent(Files& files, std::string_view name, std::string_view bytes) {
  files.ProbeWritable(name);

  TemporaryFile temporary = files.CreateTemporaryBeside(name);
  try {
    temporary.file->Write(bytes);
    temporary.file->FlushToDisk();
    temporary.file->Close();
    temporary.file.reset();
    files.Replace(temporary.name, name);
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

}  // namespace zel::platform

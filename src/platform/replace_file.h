// Replacing a small file's whole content so that a crash, a full disk or a
// refused write leaves either the old content or the new one, never an empty
// or partial file: the settings and the solvers' progress are written this way.
#pragma once

#include <string_view>

#include "platform/files.h"

namespace zel::platform {

// Writes `bytes` into a temporary file beside `name`, flushes it to disk and
// puts it in the place of `name` in one step. A file that may not be written
// fails first, as a direct write would; on any failure the temporary file is
// removed and the first failure is thrown.
void ReplaceFileContent(Files& files, std::string_view name, std::string_view bytes);

}  // namespace zel::platform

// The patch-and-launch protocol: the shell hands the chosen course to a solver
// only by overwriting fourteen bytes of the solver's program file, then starts it.
#pragma once

#include <span>
#include <string_view>

#include "launcher/launch_decode.h"
#include "launcher/launch_entry.h"
#include "platform/services.h"

namespace zel {

// Opens the existing file once for update, writes each letter as one byte at
// its position in list order, and closes the file before it returns. A missing
// file fails and is not created. Patching happens in place, never through a
// copy renamed over the original: the platform refuses to open a running
// program for writing, which is what makes a second launch of it fail.
void PatchSolver(platform::Files& files, std::string_view fileName,
                 std::span<const ByteWrite> writes);

// Starts a program by its bare name; 1 is a normal, activated window.
void StartProgram(platform::Processes& processes, std::string_view bareName, int windowStyle);

// Reads the language and pictures settings, shows the launch picture, patches
// the chosen program file and starts it. Each step runs only after the ones
// before it succeeded.
void LaunchSolver(platform::Services& services, const LaunchEntry& entry);

// What a solver finds in its own program file: the letters at its family's
// positions, in write order (position p is the byte at offset p - 1), or
// nothing when the file ends before the highest position. Throws the
// platform's failure when the file cannot be read.
std::optional<PatchLetters> ReadPatchLetters(platform::Files& files, std::string_view programFile,
                                             SolverFamily family);

inline constexpr std::string_view kLaunchPicture = "PictZEL.bmp";

}  // namespace zel

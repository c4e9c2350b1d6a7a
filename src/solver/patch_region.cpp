// The bytes of the program file that launches overwrite with their letters.
// The linker script puts this section first in the file (cmake/
// PatchRegion.cmake), so that it spans every patch position of both solver
// families whatever the size of the code; the program reads the letters back
// from its file, never from here. One non-zero byte (at no patch position)
// keeps the compiler from treating the array as zeros without file bytes.
#include "launcher/patch_layout.h"

namespace zel {
namespace {

// From the first byte after the headers (at most 0x400 with our few sections)
// past the highest patch position, in whole 512-byte file blocks.
constexpr std::size_t kReservedBytes = 100352;
static_assert(0x400 + kReservedBytes > kProblemBookSolverLayout.ItemSlot2);

__attribute__((section(".zpatch"), used)) const unsigned char kPatchRegion[kReservedBytes] = {1};

}  // namespace
}  // namespace zel

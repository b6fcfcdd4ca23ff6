#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace almanoria {

// ProductName of a version resource (the VS_VERSIONINFO blocks, as FindResource gives them):
// from the string table of its first translation, else from its first string table. Empty
// text when the resource holds none, or when a block's lengths run past the data: nothing
// outside the bytes given is read.
std::u16string VersionInfoProductName(std::span<const unsigned char> resource);

}  // namespace almanoria

#pragma once
// The instrument's memory kept in a file between runs: the 65536 bytes as they
// are, nothing else.

#include <string>

#include "sim/notepad_layout.h"

namespace orti::sim {

// False with a reason when the file cannot be read or is not a whole image.
bool LoadImageFile(const std::string& path, MemoryImage& memory, std::string& error);
// Replaces the file atomically; false with a reason on failure.
bool SaveImageFile(const std::string& path, const MemoryImage& memory, std::string& error);

}  // namespace orti::sim

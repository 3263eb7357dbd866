#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace lanterna::cli {

// The whole content of a file the user names. Throws CBadInput with the system's reason when it
// cannot be read, and with "<file> <tooLarge>" when it holds more than maxSize bytes, also when
// it grew past the limit while it was read.
std::string ReadInputFile(const std::filesystem::path& file, std::uintmax_t maxSize, const std::string& tooLarge);

}  // namespace lanterna::cli

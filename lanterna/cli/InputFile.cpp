#include "cli/InputFile.h"

#include <fstream>
#include <iterator>

#include "cli/CliError.h"

namespace lanterna::cli {

std::string ReadInputFile(const std::filesystem::path& file, std::uintmax_t maxSize, const std::string& tooLarge) {
  std::error_code error;
  const auto size = std::filesystem::file_size(file, error);
  if (error) throw CBadInput("cannot read " + file.string() + ": " + error.message());
  if (size > maxSize) throw CBadInput(file.string() + " " + tooLarge);
  std::ifstream in(file, std::ios::binary);
  if (!in) throw CBadInput("cannot read " + file.string());
  std::string content;
  content.reserve(static_cast<std::size_t>(size));
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) throw CBadInput("cannot read " + file.string());
  if (content.size() > maxSize) throw CBadInput(file.string() + " " + tooLarge);
  return content;
}

}  // namespace lanterna::cli

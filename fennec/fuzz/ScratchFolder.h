#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "FuzzCheck.h"

// A folder of a fuzzer's own for the files it hands to the code under test, removed at the end.
// On /dev/shm where there is one: the code may sync every file it writes.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::string_view name) {
    namespace fs = std::filesystem;
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string folder = (base / (std::string(name) + ".XXXXXX")).string();
    if (mkdtemp(folder.data()) == nullptr) FuzzFail("no scratch folder");
    m_path = folder;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }

  // Empties the folder and writes the one file.
  void WriteOnly(const std::filesystem::path& file, std::string_view content) const {
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) std::filesystem::remove_all(entry.path());
    std::ofstream(file, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
  }

 private:
  std::filesystem::path m_path;
};

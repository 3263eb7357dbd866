#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

// A fresh folder below the system's temporary folder, removed with its content at the end.
// Tests run in parallel processes, so the name carries the test's name and a random part.
class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() /
             ("fennec-" + std::string(info ? info->name() : "test") + "-" + std::to_string(random()));
    std::filesystem::create_directories(m_path);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

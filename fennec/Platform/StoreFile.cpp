#include "Platform/StoreFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fennec::platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryInfix = ".tmp-";
constexpr std::string_view kTemporaryPattern = "XXXXXX";

fs::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr) return entry->pw_dir;
  return "/tmp";
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = write(fd, content.data(), content.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

fs::path FolderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

// mkstemp's names: the file's name, the infix and six letters or digits.
bool IsTemporaryOf(const std::string& name, const std::string& temporaryStem) {
  if (name.size() != temporaryStem.size() + kTemporaryPattern.size() || !name.starts_with(temporaryStem)) return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(temporaryStem.size()), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

void SyncFolder(const fs::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

fs::path SettingsStorePath() {
  if (const char* path = std::getenv("FENNEC_REGISTRY"); path != nullptr && *path != '\0') return path;
  fs::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0')
    config = xdg;
  else
    config = HomeFolder() / ".config";
  return config / "ORLA Software" / "registry.xml";
}

fs::path UserStateFolder() {
  fs::path state;
  if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && *xdg != '\0')
    state = xdg;
  else
    state = HomeFolder() / ".local" / "state";
  return state / "ORLA Software";
}

StoreLock::StoreLock(const fs::path& file) {
  std::error_code ignored;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), ignored);
  const fs::path lockFile = fs::path(file).concat(".lock");
  m_fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (m_fd < 0) return;
  while (flock(m_fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      close(m_fd);
      m_fd = -1;
      return;
    }
  }
}

StoreLock::~StoreLock() {
  if (m_fd >= 0) close(m_fd);  // closing releases the flock
}

std::optional<std::string> ReadWholeFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(content).str();
}

bool ReplaceFileAtomically(const fs::path& file, std::string_view content) {
  std::error_code ignored;
  const fs::path folder = FolderOf(file);
  fs::create_directories(folder, ignored);

  std::string temporary = fs::path(file).concat(std::string(kTemporaryInfix) + std::string(kTemporaryPattern)).string();
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  const bool written = WriteAll(fd, content) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temporary.c_str(), file.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

void RemoveAbandonedTemporaries(const fs::path& file) {
  const std::string stem = file.filename().string() + std::string(kTemporaryInfix);
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(FolderOf(file), error)) {
    std::error_code ignored;
    if (IsTemporaryOf(entry.path().filename().string(), stem) && entry.is_regular_file(ignored))
      fs::remove(entry.path(), ignored);
  }
}

std::optional<fs::path> MoveAside(const fs::path& file) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
  const std::string stem = ".damaged-" + std::to_string(seconds) + "-" + std::to_string(getpid());
  // Never rename over an earlier damaged copy: it may be the only trace of lost settings.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const fs::path aside = fs::path(file).concat(attempt == 0 ? stem : stem + "-" + std::to_string(attempt));
    if (fs::exists(aside)) continue;
    if (rename(file.c_str(), aside.c_str()) != 0) return std::nullopt;
    return aside;
  }
  return std::nullopt;
}

}  // namespace fennec::platform

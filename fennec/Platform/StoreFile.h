#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace fennec::platform {

// The per-user settings store: $FENNEC_REGISTRY when set, else
// $XDG_CONFIG_HOME/ORLA Software/registry.xml (XDG_CONFIG_HOME defaults to ~/.config).
std::filesystem::path SettingsStorePath();

// The per-user folder for state that outlives a run: $XDG_STATE_HOME/ORLA Software
// (XDG_STATE_HOME defaults to ~/.local/state).
std::filesystem::path UserStateFolder();

// Exclusive lock on a file, held through a companion "<file>.lock" so that it survives the
// renames of atomic replacement. Serialises threads and processes alike.
class StoreLock {
 public:
  explicit StoreLock(const std::filesystem::path& file);
  ~StoreLock();
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

  bool Held() const { return m_fd >= 0; }

 private:
  int m_fd = -1;
};

// The whole content of a file; nothing when it does not exist or cannot be read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

// Writes a temporary file beside the target, syncs it and renames it over the target, so a
// reader or a crash sees either the old or the new content, never a mix. Creates missing folders.
bool ReplaceFileAtomically(const std::filesystem::path& file, std::string_view content);

// Removes the temporary copies "<file>.tmp-XXXXXX" that writers killed in the middle of
// ReplaceFileAtomically left behind. Call it only while holding the file's StoreLock, with every
// writer of the file replacing it under that lock: then no temporary copy is still being written.
void RemoveAbandonedTemporaries(const std::filesystem::path& file);

// Renames a damaged file to "<file>.damaged-<time>-<pid>[-n]", never over an earlier copy,
// and returns the new name.
std::optional<std::filesystem::path> MoveAside(const std::filesystem::path& file);

}  // namespace fennec::platform

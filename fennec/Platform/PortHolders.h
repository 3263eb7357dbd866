#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fennec::platform {

// A process that holds a serial port: its pid and its program name.
struct PortHolder {
  int pid = 0;
  std::string program;

  bool operator==(const PortHolder&) const = default;
};

// The file a lock in /proc/locks refers to: the device number of its file system and its inode.
struct LockedFile {
  std::uint32_t deviceMajor = 0;
  std::uint32_t deviceMinor = 0;
  std::uint64_t inode = 0;
};

// The pids that hold a lock (flock or POSIX) on the file, read from the text of /proc/locks.
// Waiters ("->" lines) hold nothing; malformed lines are skipped.
std::vector<int> LockHolders(std::string_view procLocks, const LockedFile& file);

// The processes that hold the device: the holders of a lock on it and every process with the
// device open, this one included, as far as this user may see. Sorted by pid, each once.
std::vector<PortHolder> PortHolders(const std::string& devicePath);

}  // namespace fennec::platform

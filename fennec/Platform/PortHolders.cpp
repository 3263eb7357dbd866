#include "Platform/PortHolders.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <optional>
#include <sstream>

#include "Platform/StoreFile.h"

namespace fennec::platform {

namespace fs = std::filesystem;

namespace {

template <class Number>
std::optional<Number> ParseNumber(std::string_view text, int base) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "00:1a:3": major and minor in hexadecimal, the inode in decimal.
std::optional<LockedFile> ParseLockedFile(std::string_view text) {
  const std::size_t first = text.find(':');
  const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  const auto deviceMajor = ParseNumber<std::uint32_t>(text.substr(0, first), 16);
  const auto deviceMinor = ParseNumber<std::uint32_t>(text.substr(first + 1, second - first - 1), 16);
  const auto inode = ParseNumber<std::uint64_t>(text.substr(second + 1), 10);
  if (!deviceMajor || !deviceMinor || !inode) return std::nullopt;
  return LockedFile{*deviceMajor, *deviceMinor, *inode};
}

std::string ProgramName(int pid) {
  std::string name = ReadWholeFile(fs::path("/proc") / std::to_string(pid) / "comm").value_or("");
  while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
  return name;
}

bool IsDevice(const fs::path& file, dev_t device) {
  struct stat status {};
  return ::stat(file.c_str(), &status) == 0 && S_ISCHR(status.st_mode) && status.st_rdev == device;
}

// Processes whose open files include the device; those this user may not look into are passed by.
std::vector<int> ProcessesWithDeviceOpen(dev_t device) {
  std::vector<int> pids;
  std::error_code error;
  for (const fs::directory_entry& process : fs::directory_iterator("/proc", error)) {
    const std::optional<int> pid = ParseNumber<int>(process.path().filename().native(), 10);
    if (!pid) continue;
    std::error_code unreadable;
    for (const fs::directory_entry& fd : fs::directory_iterator(process.path() / "fd", unreadable)) {
      if (IsDevice(fd.path(), device)) {
        pids.push_back(*pid);
        break;
      }
    }
  }
  return pids;
}

}  // namespace

std::vector<int> LockHolders(std::string_view procLocks, const LockedFile& file) {
  std::vector<int> pids;
  std::istringstream lines{std::string(procLocks)};
  std::string line;
  while (std::getline(lines, line)) {
    // "1: FLOCK  ADVISORY  WRITE 8168 00:1a:3 0 EOF"
    std::istringstream fields(line);
    std::string id, kind, mode, access, pid, where;
    if (!(fields >> id >> kind >> mode >> access >> pid >> where) || kind == "->") continue;
    const std::optional<int> holder = ParseNumber<int>(pid, 10);
    const std::optional<LockedFile> locked = ParseLockedFile(where);
    if (!holder || *holder <= 0 || !locked) continue;
    if (locked->deviceMajor == file.deviceMajor && locked->deviceMinor == file.deviceMinor &&
        locked->inode == file.inode)
      pids.push_back(*holder);
  }
  return pids;
}

std::vector<PortHolder> PortHolders(const std::string& devicePath) {
  struct stat status {};
  if (::stat(devicePath.c_str(), &status) != 0) return {};

  const LockedFile file{major(status.st_dev), minor(status.st_dev), status.st_ino};
  std::vector<int> pids = LockHolders(ReadWholeFile("/proc/locks").value_or(""), file);
  if (S_ISCHR(status.st_mode)) {
    const std::vector<int> openers = ProcessesWithDeviceOpen(status.st_rdev);
    pids.insert(pids.end(), openers.begin(), openers.end());
  }
  std::sort(pids.begin(), pids.end());
  pids.erase(std::unique(pids.begin(), pids.end()), pids.end());

  std::vector<PortHolder> holders;
  for (int pid : pids) holders.push_back({pid, ProgramName(pid)});
  return holders;
}

}  // namespace fennec::platform

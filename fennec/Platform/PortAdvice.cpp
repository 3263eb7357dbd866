#include "Platform/PortAdvice.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "Platform/PortHolders.h"
#include "Platform/SystemError.h"

namespace fennec::platform {

namespace {

std::optional<std::string> GroupOfNode(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  group entry{};
  group* found = nullptr;
  std::vector<char> buffer(16384);
  if (getgrgid_r(status.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
    return std::to_string(status.st_gid);
  return std::string(found->gr_name);
}

std::string UserName() {
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) return "$USER";
  return found->pw_name;
}

std::string PermissionAdvice(const std::string& path) {
  const std::optional<std::string> group = GroupOfNode(path);
  if (!group) return "Permission denied on " + path + ": ask the administrator for access to the port.";
  return "Permission denied on " + path + ": the port belongs to group '" + *group +
         "'. Add the user to that group (sudo usermod -a -G " + *group + " " + UserName() + ") and log in again.";
}

std::string BusyAdvice(const std::string& path) {
  const std::vector<PortHolder> holders = PortHolders(path);
  if (holders.empty()) return "The port " + path + " is in use by another program: close it and try again.";
  std::string names;
  for (const PortHolder& holder : holders) {
    if (!names.empty()) names += ", ";
    names += "process " + std::to_string(holder.pid) + " (" + holder.program + ")";
  }
  return "The port " + path + " is in use by " + names + ": close that program and try again.";
}

}  // namespace

std::string RefusedPortAdvice(const std::string& devicePath, int error) {
  switch (error) {
    case 0:
      return {};
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "There is no port " + devicePath + ": check the port name and that the adapter is plugged in.";
    case EACCES:
    case EPERM:
      return PermissionAdvice(devicePath);
    case EBUSY:
    case EWOULDBLOCK:
      return BusyAdvice(devicePath);
    default:
      return "The port " + devicePath + " reported " + ErrnoText(error) + ".";
  }
}

}  // namespace fennec::platform

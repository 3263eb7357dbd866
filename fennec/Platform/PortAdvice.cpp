#include "Platform/PortAdvice.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "Platform/PortHolders.h"
#include "Platform/SystemError.h"

namespace fennec::platform {

namespace {

// The group that serial adapters belong to on Debian.
constexpr const char* kSerialGroup = "dialout";
constexpr unsigned kReadWrite = 06;

bool MayReadWrite(unsigned permissions, int shift) { return ((permissions >> shift) & kReadWrite) == kReadWrite; }

std::string ModeText(unsigned permissions) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", permissions & 0777u);
  return text;
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

std::string JoinGroup(const std::string& group, const std::string& user) {
  return "add the user to group " + group + " (sudo usermod -a -G " + group + " " + user + "), then log in again.";
}

// Root's group is no group to put a user in: it opens far more than the port.
bool GroupMayBeJoined(const PortNode& node) { return node.groupId != 0 && MayReadWrite(node.permissions, 3); }

std::string WhoMay(const PortNode& node) {
  std::string who;
  if (MayReadWrite(node.permissions, 6)) who = "its owner '" + node.owner + "'";
  if (MayReadWrite(node.permissions, 3)) who += (who.empty() ? "" : " and ") + ("group '" + node.group + "'");
  return who.empty() ? "nobody" : "only " + who;
}

std::string PermissionAdvice(const std::string& path, const PortNode& node, const std::string& user) {
  const std::string refused = "Permission denied on " + path;
  if (GroupMayBeJoined(node)) {
    return refused + ": the port belongs to group '" + node.group + "', which may read and write it. To use it, " +
           JoinGroup(node.group, user);
  }
  if (MayReadWrite(node.permissions, 0)) {
    return refused + " although its mode " + ModeText(node.permissions) +
           " lets everyone read and write it: an access control list or a security module keeps the user out; "
           "ask the administrator.";
  }
  return refused + ": " + WhoMay(node) + " may read and write it (mode " + ModeText(node.permissions) + ", owner '" +
         node.owner + "', group '" + node.group + "').\nGive it to group " + kSerialGroup +
         " with a udev rule, a line such as\n  SUBSYSTEM==\"tty\", KERNEL==\"" + BaseName(path) +
         "\", MODE=\"0660\", GROUP=\"" + kSerialGroup +
         "\"\nin a file /etc/udev/rules.d/50-serial-port.rules, reload the rules with\n"
         "  sudo udevadm control --reload-rules && sudo udevadm trigger\nand " +
         JoinGroup(kSerialGroup, user);
}

std::string KindText(PortNode::Kind kind) {
  switch (kind) {
    case PortNode::Kind::CharacterDevice: return "a device that is not a terminal";
    case PortNode::Kind::BlockDevice: return "a block device";
    case PortNode::Kind::RegularFile: return "a regular file";
    case PortNode::Kind::Folder: return "a folder";
    case PortNode::Kind::NamedPipe: return "a named pipe";
    case PortNode::Kind::Socket: return "a socket";
  }
  return "not a terminal";
}

// Whatever the call that failed, a node that is no terminal is the first thing to fix.
bool IsNoTerminal(int error, const std::optional<PortNode>& node) {
  if (!node) return false;
  return node->kind != PortNode::Kind::CharacterDevice || error == ENOTTY;
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

bool IsBusy(int error) { return error == EBUSY || error == EWOULDBLOCK; }

}  // namespace

std::string PortAdvice(const std::string& devicePath, int error, const std::optional<PortNode>& node,
                       const std::string& user) {
  if (error == 0) return {};
  if (IsNoTerminal(error, node))
    return devicePath + " is not a serial port: it is " + KindText(node->kind) +
           ". Name the device of a serial port, such as /dev/ttyUSB0.";
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "There is no port " + devicePath + ": check the port name and that the adapter is plugged in.";
    case EACCES:
    case EPERM:
      if (!node) return "Permission denied on " + devicePath + ": ask the administrator for access to the port.";
      return PermissionAdvice(devicePath, *node, user);
    case EIO:
      return "The port " + devicePath +
             " failed with an input/output error: the line was hung up or the adapter unplugged. Check the "
             "adapter and its cable, then try again.";
    default:
      return "The port " + devicePath + " reported " + ErrnoText(error) + ".";
  }
}

std::string PortFailureAdvice(const std::string& devicePath, int error) {
  if (error == 0) return {};
  const std::optional<PortNode> node = InspectPortNode(devicePath);
  if (IsBusy(error) && !IsNoTerminal(error, node)) return BusyAdvice(devicePath);
  return PortAdvice(devicePath, error, node, EffectiveUserName());
}

}  // namespace fennec::platform

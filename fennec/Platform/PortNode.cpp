#include "Platform/PortNode.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace fennec::platform {

namespace {

// Big enough for any entry of /etc/passwd or /etc/group that names a device's owner.
constexpr std::size_t kEntryBuffer = 16384;

// The name of a user or group; its number when the system has no entry for it.
template <class Entry, class Id>
std::string EntryName(Id id, int (*lookup)(Id, Entry*, char*, std::size_t, Entry**), char* Entry::*name) {
  Entry entry{};
  Entry* found = nullptr;
  std::vector<char> buffer(kEntryBuffer);
  if (lookup(id, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) return std::to_string(id);
  return found->*name;
}

std::string OwnerName(uid_t id) { return EntryName<passwd, uid_t>(id, getpwuid_r, &passwd::pw_name); }

std::string GroupName(gid_t id) { return EntryName<group, gid_t>(id, getgrgid_r, &group::gr_name); }

PortNode::Kind KindOf(mode_t mode) {
  if (S_ISBLK(mode)) return PortNode::Kind::BlockDevice;
  if (S_ISREG(mode)) return PortNode::Kind::RegularFile;
  if (S_ISDIR(mode)) return PortNode::Kind::Folder;
  if (S_ISFIFO(mode)) return PortNode::Kind::NamedPipe;
  if (S_ISSOCK(mode)) return PortNode::Kind::Socket;
  return PortNode::Kind::CharacterDevice;
}

}  // namespace

std::optional<PortNode> InspectPortNode(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return PortNode{KindOf(status.st_mode), status.st_mode & 0777u, status.st_gid, OwnerName(status.st_uid),
                  GroupName(status.st_gid)};
}

std::string EffectiveUserName() { return OwnerName(geteuid()); }

}  // namespace fennec::platform

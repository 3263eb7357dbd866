#pragma once

#include <optional>
#include <string>

namespace fennec::platform {

// What the file system says about the node a port name leads to (links followed).
struct PortNode {
  enum class Kind { CharacterDevice, BlockDevice, RegularFile, Folder, NamedPipe, Socket };

  Kind kind = Kind::CharacterDevice;
  unsigned permissions = 0;  // the nine read/write/execute bits, 0660
  unsigned groupId = 0;
  std::string owner;  // names as the system gives them, else the numbers
  std::string group;
};

// Nothing when the node cannot be looked at (missing, or a folder on its way is closed).
std::optional<PortNode> InspectPortNode(const std::string& path);

// The user this process acts as, by name (its number when it has none).
std::string EffectiveUserName();

}  // namespace fennec::platform

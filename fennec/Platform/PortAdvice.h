#pragma once

#include <optional>
#include <string>

#include "Platform/Export.h"
#include "Platform/PortNode.h"

namespace fennec::platform {

// Why a serial port failed, in words a technician can act on: for a refused permission what
// the node's mode and owners call for; for a busy port the processes that hold it, where the
// system tells; for a missing device what to check; for a node that is no terminal what it is;
// for an input/output error that the line went away. Empty for error 0.
FENNEC_API std::string PortFailureAdvice(const std::string& devicePath, int error);

// The same for a node and a user already known, busy ports aside (they need the holders).
// node: nothing when the node could not be looked at.
std::string PortAdvice(const std::string& devicePath, int error, const std::optional<PortNode>& node,
                       const std::string& user);

}  // namespace fennec::platform

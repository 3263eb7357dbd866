#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "Platform/Export.h"

namespace fennec::platform {

// Where a system call failed: opening, configuring, purging or closing the port, or moving
// bytes over it. The two differ in what an errno without a Windows meaning becomes.
enum class ErrnoContext { PortSetup, Transfer };

// The low word of an error code for a failed system call, in the Windows numbering that the
// error catalogue reads: 2 not found, 5 access denied, 6 invalid handle. An errno is never
// passed on as it is (EIO, 5, would read as "access denied"). Without a Windows meaning it
// becomes 0x001F (general failure) while setting up the port and 0 (the bare group code) on
// a transfer. EINTR never gets here: interrupted calls are repeated.
std::uint16_t WindowsErrorOf(int error, ErrnoContext context);

// "errno 13 (Permission denied)", for the debug reports.
std::string ErrnoText(int error);

// Why the file cannot be opened for reading, in the system's words ("Permission denied", "Is
// a directory"); empty when it can.
FENNEC_API std::string WhyUnreadable(const std::filesystem::path& file);

}  // namespace fennec::platform

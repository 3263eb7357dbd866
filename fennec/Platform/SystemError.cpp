#include "Platform/SystemError.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace fennec::platform {

namespace {
constexpr std::uint16_t kFileNotFound = 0x0002;
constexpr std::uint16_t kAccessDenied = 0x0005;
constexpr std::uint16_t kInvalidHandle = 0x0006;
constexpr std::uint16_t kGeneralFailure = 0x001F;
}  // namespace

std::uint16_t WindowsErrorOf(int error, ErrnoContext context) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return kFileNotFound;
    case EACCES:
    case EPERM:
    case EBUSY:
    case EWOULDBLOCK:  // a port locked by another opener
      return kAccessDenied;
    case EBADF:
      return kInvalidHandle;
    default:
      return context == ErrnoContext::PortSetup ? kGeneralFailure : 0;
  }
}

std::string ErrnoText(int error) {
  char buffer[256] = {};
  // The GNU strerror_r returns its text, which may or may not live in the buffer.
  const char* text = strerror_r(error, buffer, sizeof buffer);
  return "errno " + std::to_string(error) + " (" + text + ")";
}

std::string WhyUnreadable(const std::filesystem::path& file) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  char byte = 0;
  const ssize_t read = ::read(fd, &byte, 1);
  const int error = errno;
  close(fd);
  return read < 0 ? std::strerror(error) : std::string();
}

}  // namespace fennec::platform

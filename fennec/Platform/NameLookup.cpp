#include "Platform/NameLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace fennec::platform {

namespace {

// The resolver has its own failure numbers; the transport reports errno values. A name that
// does not resolve is "no such device or address", a resolver that could not be reached in
// time "try again".
int ErrnoOfResolverFailure(int failure) {
  switch (failure) {
    case EAI_SYSTEM:
      return errno != 0 ? errno : EIO;
    case EAI_AGAIN:
      return EAGAIN;
    case EAI_MEMORY:
      return ENOMEM;
    case EAI_NONAME:
    case EAI_FAIL:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
      return ENXIO;
    default:
      return EINVAL;
  }
}

Ipv4Address AddressOf(const sockaddr_in& socketAddress) {
  Ipv4Address address{};
  std::memcpy(address.data(), &socketAddress.sin_addr.s_addr, address.size());
  return address;
}

NameLookup NameOf(const sockaddr_in& socketAddress) {
  char name[NI_MAXHOST] = {};
  errno = 0;
  const int failure = getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress, name,
                                  sizeof name, nullptr, 0, NI_NAMEREQD);
  if (failure != 0) return {std::nullopt, ErrnoOfResolverFailure(failure), gai_strerror(failure)};
  return {std::string(name), 0, {}};
}

}  // namespace

HostLookup ResolveIPv4(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  errno = 0;
  const int failure = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (failure != 0) return {std::nullopt, ErrnoOfResolverFailure(failure), gai_strerror(failure)};
  const std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owned(found, freeaddrinfo);
  for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next)
    if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in))
      return {AddressOf(*reinterpret_cast<const sockaddr_in*>(entry->ai_addr)), 0, {}};
  return {std::nullopt, ENXIO, "no IPv4 address"};
}

NameLookup HostNameOf(const Ipv4Address& address) {
  sockaddr_in socketAddress{};
  socketAddress.sin_family = AF_INET;
  std::memcpy(&socketAddress.sin_addr.s_addr, address.data(), address.size());
  return NameOf(socketAddress);
}

NameLookup HostNameOf(const sockaddr* address) {
  if (address == nullptr) return {std::nullopt, EINVAL, "no address"};
  sockaddr_in socketAddress{};
  std::memcpy(&socketAddress, address, sizeof socketAddress);
  if (socketAddress.sin_family != AF_INET) return {std::nullopt, EAFNOSUPPORT, "not an IPv4 address"};
  return NameOf(socketAddress);
}

std::optional<Ipv4Address> ParseDottedAddress(const std::string& text) {
  in_addr parsed{};
  if (inet_pton(AF_INET, text.c_str(), &parsed) != 1) return std::nullopt;
  Ipv4Address address{};
  std::memcpy(address.data(), &parsed.s_addr, address.size());
  return address;
}

}  // namespace fennec::platform

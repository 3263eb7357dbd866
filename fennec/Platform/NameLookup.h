#pragma once

#include <optional>
#include <string>

#include "Platform/Socket.h"

struct sockaddr;

namespace fennec::platform {

// The first IPv4 address of a host given by name or in dotted form, or the errno that stands
// for why there is none (see NETWORK.md) with the resolver's own words for the report.
struct HostLookup {
  std::optional<Ipv4Address> address;
  int error = 0;
  std::string detail;
};
HostLookup ResolveIPv4(const std::string& host);

// The name of the host at an IPv4 address, or the errno that stands for why there is none. The
// socket-address form takes an IPv4 socket address (another family fails with EAFNOSUPPORT).
struct NameLookup {
  std::optional<std::string> name;
  int error = 0;
  std::string detail;
};
NameLookup HostNameOf(const Ipv4Address& address);
NameLookup HostNameOf(const sockaddr* address);

// Reads a dotted IPv4 address ("192.168.1.111"); nothing for any other text.
std::optional<Ipv4Address> ParseDottedAddress(const std::string& text);

}  // namespace fennec::platform

#include "Platform/NetworkAdvice.h"

#include <cerrno>

namespace fennec::platform {

std::string SocketFailureAdvice(const std::string& peer, int error) {
  switch (error) {
    case ECONNREFUSED:
      return "Nothing accepts connections at " + peer +
             ": check the IP address and the service port, and that the device is switched on.";
    case ETIMEDOUT:
      return peer + " did not answer in time: check the cable, the IP address, and that this PC is in the "
                    "device's network.";
    case EHOSTUNREACH:
    case ENETUNREACH:
      return "There is no route to " + peer + ": check the IP address and this PC's network settings.";
    case ECONNRESET:
    case EPIPE:
      return peer + " closed the connection: the device may be restarting; try again.";
    case ENXIO:
      return "The name " + peer + " is not known: check its spelling, or give the IP address instead.";
    case EAGAIN:
      return "No name server answered for " + peer + ": try again, or give the IP address instead.";
    default:
      return {};
  }
}

}  // namespace fennec::platform

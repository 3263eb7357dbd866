#pragma once

#include <string>

namespace fennec::platform {

// Why a connection to the peer ("192.168.1.111 port 6626", or the name being looked up) failed,
// in words a technician can act on; empty for error 0 and for failures with nothing to add.
std::string SocketFailureAdvice(const std::string& peer, int error);

}  // namespace fennec::platform

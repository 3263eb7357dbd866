#pragma once

#include "Platform/LastError.h"

namespace fennec {

// Runs a public operation of a transport: a failure of the transport's own exception type
// leaves its code as the thread's last error too before it passes on.
template <class TransportException, class Operation>
void StoringThreadLastError(Operation operation) {
  try {
    operation();
  } catch (const TransportException& failure) {
    platform::SetThreadLastError(failure.m_dwErrorCode);
    throw;
  }
}

}  // namespace fennec

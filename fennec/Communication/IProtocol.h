#pragma once

#include "Platform/Export.h"
#include "Communication/IConnection.h"

namespace ORLA {

// Told how far a request has got: the percentage of its fragments sent (writing true). Called
// only when both the function and its context are given, on the requesting thread.
using tProgressCallback = void (*)(unsigned short percent, bool writing, void* context);

// The request/response protocol the device APIs hold. Request hands one request block to the
// device and brings back its response block, allocated here and released by the caller with
// delete[] (a block already in *response is released first). The slot order is part of the
// binary interface.
class FENNEC_API IProtocol {
 public:
  virtual ~IProtocol() = default;
  virtual void SetConnection(IConnection* connection) = 0;
  virtual IConnection* GetConnection() = 0;
  // With the protocol's configured identifier.
  virtual bool Request(unsigned char* request, unsigned int requestLength, unsigned char** response,
                       unsigned int& responseLength, tProgressCallback callback, void* context) = 0;
  virtual bool Request(unsigned short protocolID, unsigned char* request, unsigned int requestLength,
                       unsigned char** response, unsigned int& responseLength, tProgressCallback callback,
                       void* context) = 0;
};

}  // namespace ORLA

#pragma once

#include <cstdint>

#include "Platform/Export.h"

namespace ORLA {

// The byte stream every protocol layer holds. Open, Close, Read and Write throw on failure
// after storing the failure code in the object and in the thread's last-error value.
// The slot order is part of the binary interface.
class FENNEC_API IConnection {
 public:
  virtual ~IConnection() = default;
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() = 0;
  virtual void Write(unsigned char* buffer, unsigned int count, unsigned int* written) = 0;
  virtual void Read(unsigned char* buffer, unsigned int count, unsigned int* read) = 0;
  virtual void ClearBuffer() = 0;
  virtual std::uint32_t GetLastErrorCode() = 0;
  // One length-framed message into a buffer allocated here and released by the caller with
  // delete[]; a block already in *buffer is released first.
  virtual bool ReadFragment(unsigned char** buffer, unsigned int* total) = 0;
  virtual bool ReadFragment(unsigned char** buffer, unsigned int lengthPos, unsigned short sizeOfLength,
                            short lengthCorrection, unsigned int* total) = 0;
};

}  // namespace ORLA

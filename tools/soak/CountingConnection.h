#pragma once

#include <cstdint>

#include "Communication/IConnection.h"

namespace fennec::soak {

// Passes everything on to the connection beneath and counts the telegrams written: one per
// try, so two for an exchange the library repeated.
class CountingConnection : public ORLA::IConnection {
 public:
  explicit CountingConnection(ORLA::IConnection& inner) : m_inner(inner) {}

  unsigned Writes() const { return m_writes; }

  void Open() override { m_inner.Open(); }
  void Close() override { m_inner.Close(); }
  bool IsOpen() override { return m_inner.IsOpen(); }
  void Write(unsigned char* buffer, unsigned int count, unsigned int* written) override {
    ++m_writes;
    m_inner.Write(buffer, count, written);
  }
  void Read(unsigned char* buffer, unsigned int count, unsigned int* read) override {
    m_inner.Read(buffer, count, read);
  }
  void ClearBuffer() override { m_inner.ClearBuffer(); }
  std::uint32_t GetLastErrorCode() override { return m_inner.GetLastErrorCode(); }
  bool ReadFragment(unsigned char** buffer, unsigned int* total) override {
    return m_inner.ReadFragment(buffer, total);
  }
  bool ReadFragment(unsigned char** buffer, unsigned int lengthPos, unsigned short sizeOfLength,
                    short lengthCorrection, unsigned int* total) override {
    return m_inner.ReadFragment(buffer, lengthPos, sizeOfLength, lengthCorrection, total);
  }

 private:
  ORLA::IConnection& m_inner;
  unsigned m_writes = 0;
};

}  // namespace fennec::soak

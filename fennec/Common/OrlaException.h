#pragma once

#include "Platform/Export.h"

// The library's exception: an operation number and a failure text. Transports derive from it.
class FENNEC_API COrlaException {
 public:
  static constexpr unsigned kTextSize = 1024;

  COrlaException(const char* text, int number);
  virtual ~COrlaException() = default;
  COrlaException(const COrlaException&) = default;
  COrlaException& operator=(const COrlaException&) = default;

  // Fills the type-name buffer with the run-time type of this object and returns it.
  virtual const char* GetTypeName();

  int m_nNumber;
  char m_szText[kTextSize];  // cut at kTextSize - 1 characters
  char m_szTypeName[kTextSize];
};

namespace fennec {
// Copies text into a fixed buffer, cut to fit, always terminated.
void CopyCut(char (&target)[COrlaException::kTextSize], const char* text);
}  // namespace fennec

#include "Common/OrlaException.h"

#include <cstring>
#include <string>
#include <typeinfo>

#include "Platform/TypeName.h"

namespace fennec {

void CopyCut(char (&target)[COrlaException::kTextSize], const char* text) {
  const std::size_t length = text == nullptr ? 0 : strnlen(text, sizeof target - 1);
  if (length > 0) std::memcpy(target, text, length);
  target[length] = '\0';
}

}  // namespace fennec

COrlaException::COrlaException(const char* text, int number) : m_nNumber(number), m_szTypeName{} {
  fennec::CopyCut(m_szText, text);
}

const char* COrlaException::GetTypeName() {
  fennec::CopyCut(m_szTypeName, fennec::platform::ReadableTypeName(typeid(*this)).c_str());
  return m_szTypeName;
}

#include "Common/GenStrToNumber.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <limits>

namespace {

[[noreturn]] void Fail(const std::string& text) { throw std::string("GenStrToNumber failed: '") + text + "'"; }

bool HasHexPrefix(const std::string& text) {
  return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

}  // namespace

std::int64_t GenStrToNumber(const std::string& text) {
  if (text.empty()) return 0;

  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  if (HasHexPrefix(text)) {
    // strtoull would accept a sign after the prefix; the digits must follow it directly.
    if (!std::isxdigit(static_cast<unsigned char>(text.c_str()[2]))) Fail(text);
    const unsigned long long value = std::strtoull(begin + 2, &end, 16);
    if (errno == ERANGE || value > std::numeric_limits<std::uint32_t>::max()) Fail(text);
    return static_cast<std::int64_t>(value);
  }
  const long long value = std::strtoll(begin, &end, 10);
  if (end == begin) Fail(text);
  if (errno == ERANGE || value < std::numeric_limits<std::int32_t>::min() ||
      value > static_cast<long long>(std::numeric_limits<std::uint32_t>::max()))
    Fail(text);
  return value;
}

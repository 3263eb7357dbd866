#include "Platform/SerialDeviceName.h"

#include <charconv>
#include <optional>

#include "Platform/TextCase.h"

namespace fennec::platform {

namespace {

std::optional<unsigned> ComPortNumber(std::string_view name) {
  if (name.size() <= 3 || !StartsWithNoCase(name, "COM")) return std::nullopt;
  const std::string_view digits = name.substr(3);
  unsigned number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc{} || end != digits.data() + digits.size() || number == 0) return std::nullopt;
  return number;
}

}  // namespace

std::string SerialDevicePath(std::string_view name) {
  if (name.starts_with('/')) return std::string(name);
  if (const std::optional<unsigned> number = ComPortNumber(name)) return "/dev/ttyS" + std::to_string(*number - 1);
  return "/dev/" + std::string(name);
}

}  // namespace fennec::platform

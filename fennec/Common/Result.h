#pragma once

#include <cstdint>
#include <optional>

#include "Platform/LastError.h"

namespace fennec {

// What a step inside the library gives back. Only an exported method turns it into its bool
// result and the last-error values, so no step below it reports anything on the side.
class [[nodiscard]] Result {
 public:
  static constexpr Result Success() { return Result(true, std::nullopt); }
  static constexpr Result Failure(std::uint32_t code) { return Result(false, code); }
  // A failure reported already, a violated precondition through the assertion facility or a
  // transport that stored its own code: the last-error values stay as they are.
  static constexpr Result Reported() { return Result(false, std::nullopt); }

  constexpr bool Succeeded() const { return m_succeeded; }
  // The code still to be reported, if any.
  constexpr std::optional<std::uint32_t> Code() const { return m_code; }
  constexpr bool Is(std::uint32_t code) const { return m_code == code; }

 private:
  constexpr Result(bool succeeded, std::optional<std::uint32_t> code) : m_succeeded(succeeded), m_code(code) {}

  bool m_succeeded;
  std::optional<std::uint32_t> m_code;
};

// The exported shape of a result for an interface that keeps its code only in the thread's
// last-error value.
inline bool ReportToThread(Result result) {
  if (const auto code = result.Code()) platform::SetThreadLastError(*code);
  return result.Succeeded();
}

}  // namespace fennec

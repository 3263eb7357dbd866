#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lanterna {

// An order number as its parts ("750-352" or "0750-0352/0000-0001"), compared and used as INI
// section name in a normalised form.
class COrderNumber {
 public:
  enum class Form { FourDigit, ThreeDigit };

  COrderNumber() = default;
  explicit COrderNumber(std::string_view text);

  // "0750-0352" (4-digit) or "750-352" (3-digit): the first two parts only; empty without parts.
  std::string Text(Form form = Form::FourDigit) const;
  // One part normalised, empty when there is no such part.
  std::string Part(std::size_t index, Form form = Form::FourDigit) const;
  std::size_t PartCount() const { return m_parts.size(); }

  bool operator==(const COrderNumber& other) const { return m_parts == other.m_parts; }

  static std::string Normalise(std::string_view part, Form form);

 private:
  std::vector<std::string> m_parts;
};

}  // namespace lanterna

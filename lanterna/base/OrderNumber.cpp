#include "base/OrderNumber.h"

#include <algorithm>

#include "Platform/TextCase.h"

namespace lanterna {

namespace {

std::vector<std::string> SplitAtSeparators(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find_first_of("-/", start), text.size());
    const std::string_view part = fennec::Trimmed(text.substr(start, end - start), " ");
    if (!part.empty()) parts.emplace_back(part);
    start = end + 1;
  }
  return parts;
}

bool IsZeroPart(const std::string& part) {
  return COrderNumber::Normalise(part, COrderNumber::Form::FourDigit) == "0000";
}

}  // namespace

std::string COrderNumber::Normalise(std::string_view part, Form form) {
  const std::size_t width = form == Form::FourDigit ? 4 : 3;
  if (form == Form::ThreeDigit && part.starts_with('0')) part.remove_prefix(1);
  if (part.size() >= width) return std::string(part);
  return std::string(width - part.size(), '0') + std::string(part);
}

COrderNumber::COrderNumber(std::string_view text) : m_parts(SplitAtSeparators(text)) {
  if (m_parts.empty()) m_parts.push_back("0000");
  if (m_parts.size() == 3 || m_parts.size() == 5) m_parts.push_back("0000");

  bool nonZeroOptionPart = false;
  if (m_parts.size() == 6) {
    if (IsZeroPart(m_parts[4]) && IsZeroPart(m_parts[5]))
      m_parts.resize(4);
    else
      nonZeroOptionPart = true;
  }
  if (m_parts.size() >= 4 && !nonZeroOptionPart && IsZeroPart(m_parts[2]) && IsZeroPart(m_parts[3]))
    m_parts.erase(m_parts.begin() + 2, m_parts.begin() + 4);

  for (std::string& part : m_parts) part = Normalise(part, Form::FourDigit);
}

std::string COrderNumber::Text(Form form) const {
  if (m_parts.empty()) return {};
  std::string text = Normalise(m_parts[0], form);
  if (m_parts.size() > 1) text += "-" + Normalise(m_parts[1], form);
  return text;
}

std::string COrderNumber::Part(std::size_t index, Form form) const {
  return index < m_parts.size() ? Normalise(m_parts[index], form) : std::string();
}

}  // namespace lanterna

#include "ErrorDetailValues.h"

#include <algorithm>
#include <span>

#include "ErrorLanguage.h"

namespace fennec {

namespace {

enum class Value { PortName, ModulePosition, Table, Register, ServiceName };

struct Insertion {
  std::uint32_t firstId;
  std::uint32_t lastId;
  std::span<const Value> values;
};

constexpr Value kPort[] = {Value::PortName};
constexpr Value kModule[] = {Value::ModulePosition};
constexpr Value kTable[] = {Value::Table};
constexpr Value kRegister[] = {Value::Register};
constexpr Value kTableRegister[] = {Value::Table, Value::Register};
constexpr Value kRegisterTable[] = {Value::Register, Value::Table};
constexpr Value kModuleChannel[] = {Value::ModulePosition, Value::Table};  // the table argument is the channel
constexpr Value kService[] = {Value::ServiceName};

// The order follows the German texts, which name table and register where the English ones
// may name only one of them.
constexpr Insertion kInsertions[] = {
    {6221, 6224, kPort},          {6334, 6335, kModule},         {6337, 6341, kModule},
    {6381, 6381, kTable},         {6382, 6382, kTableRegister},  {6383, 6383, kRegisterTable},
    {6384, 6384, kTableRegister}, {6385, 6389, kService},        {6390, 6390, kTableRegister},
    {6391, 6391, kTable},         {6421, 6421, kModule},         {6422, 6422, kModuleChannel},
    {6467, 6467, kService},       {6469, 6469, kService},        {6471, 6471, kTableRegister},
};

// The English 6384 names only the register; given the table first it would show the table
// number as the register. The French table holds the English texts.
constexpr Insertion kEnglishInsertions[] = {{6384, 6384, kRegister}};

std::span<const Value> ValuesIn(std::span<const Insertion> insertions, std::uint32_t detailId) {
  const auto found = std::find_if(insertions.begin(), insertions.end(), [detailId](const Insertion& insertion) {
    return insertion.firstId <= detailId && detailId <= insertion.lastId;
  });
  return found == insertions.end() ? std::span<const Value>{} : found->values;
}

FormatArg ValueOf(Value value, const ERRORDETAILS& details) {
  switch (value) {
    case Value::PortName:
      return std::string_view(details.szPortName != nullptr ? details.szPortName : "COM-Port");
    case Value::ModulePosition:
      return std::int64_t{details.nModulePos};
    case Value::Table:
      return std::int64_t{details.nTable};
    case Value::Register:
      return std::int64_t{details.nRegister};
    case Value::ServiceName:
      break;
  }
  return std::string_view(details.szServiceName != nullptr ? details.szServiceName : "");
}

}  // namespace

std::vector<FormatArg> DetailValues(std::uint32_t detailId, std::uint16_t languageId, const ERRORDETAILS& details) {
  std::span<const Value> values;
  if (languageId != kLanguageGerman) values = ValuesIn(kEnglishInsertions, detailId);
  if (values.empty()) values = ValuesIn(kInsertions, detailId);

  std::vector<FormatArg> args;
  for (Value value : values) args.push_back(ValueOf(value, details));
  return args;
}

bool TextTakesServiceName(std::uint32_t detailId) { return detailId == 6467 || detailId == 6469; }

}  // namespace fennec

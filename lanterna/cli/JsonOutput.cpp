#include "cli/JsonOutput.h"

#include <iostream>

#include "cli/FailureReport.h"

namespace lanterna::cli {

namespace {

void Print(const Json& object) {
  std::cout << object.dump(2) << "\n";
  std::cout.flush();
}

Json ErrorJson(const CliFailure& failure) {
  if (failure.code == 0) return Json{{"code", nullptr}, {"title", failure.text}, {"text", failure.text}, {"advice", failure.advice}};
  const tErrorMessage message = CatalogueMessage(failure.code, failure.details);
  return Json{{"code", HexCode(failure.code)},
              {"title", failure.text},
              {"text", message.strTitle + ": " + message.strText},
              {"advice", failure.advice.empty() ? message.strDetail : failure.advice}};
}

}  // namespace

void PrintJsonSuccess(const Json& body) {
  Json object{{"ok", true}};
  for (const auto& [key, value] : body.items()) object[key] = value;
  Print(object);
}

void PrintJsonFailure(int exitStatus, const CliFailure& failure, const Json& partial) {
  Json object{{"ok", false}, {"exit", exitStatus}, {"error", ErrorJson(failure)}};
  if (!failure.port.empty()) object["port"] = failure.port;
  for (const auto& [key, value] : partial.items()) object[key] = value;
  Print(object);
}

}  // namespace lanterna::cli

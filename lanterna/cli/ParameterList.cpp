#include "cli/ParameterList.h"

#include "pages/NumberText.h"

namespace lanterna::cli {

namespace {

const CNumberParameter* AsNumber(const CPageParameter& parameter) {
  return parameter.Kind() == ParameterKind::Number ? static_cast<const CNumberParameter*>(&parameter) : nullptr;
}

std::string ItemsText(const CListParameter& list) {
  std::string text;
  for (const std::string& item : list.Items()) {
    const auto first = item.find_first_not_of(' ');
    text += (text.empty() ? "" : " | ") + (first == std::string::npos ? std::string() : item.substr(first));
  }
  return text;
}

}  // namespace

std::vector<const CPageParameter*> DeviceParameters(const CSettingsPages& pages) {
  std::vector<const CPageParameter*> parameters;
  for (const CCouplerSettingsPageModel* page : pages.Pages()) {
    if (!page->IsPageUsed() || !page->IsLoaded()) continue;
    for (const auto& parameter : page->Parameters())
      if (parameter->Available()) parameters.push_back(parameter.get());
  }
  return parameters;
}

bool TakesItsTextBack(const CPageParameter& parameter) {
  if (!parameter.Editable()) return false;
  return parameter.Kind() != ParameterKind::List || !parameter.Text().empty();
}

std::string KindName(const CPageParameter& parameter) {
  switch (parameter.Kind()) {
    case ParameterKind::Number: {
      const int type = AsNumber(parameter)->TypeCode();
      return type == kTypeHexWord || type == kTypeHexDoubleWord ? "hex number" : "number";
    }
    case ParameterKind::Switch: return "switch";
    case ParameterKind::Address: return "address";
    case ParameterKind::List: return "list";
    case ParameterKind::Text: return "text";
  }
  return {};
}

std::string RangeText(const CPageParameter& parameter) {
  switch (parameter.Kind()) {
    case ParameterKind::Number: {
      const CNumberParameter& number = *AsNumber(parameter);
      return EditText(number.TypeCode(), number.EffectiveMin()) + ".." + EditText(number.TypeCode(), number.EffectiveMax());
    }
    case ParameterKind::Switch: return "0 | 1";
    case ParameterKind::Address: return "a.b.c.d";
    case ParameterKind::List: return ItemsText(static_cast<const CListParameter&>(parameter));
    case ParameterKind::Text:
      return "up to " + std::to_string(static_cast<const CTextParameter&>(parameter).MaxLength()) + " characters";
  }
  return {};
}

std::string DefaultText(const CPageParameter& parameter) {
  if (const CNumberParameter* number = AsNumber(parameter)) return EditText(number->TypeCode(), number->Record().def);
  return "-";
}

}  // namespace lanterna::cli

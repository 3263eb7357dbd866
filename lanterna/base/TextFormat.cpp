#include "base/TextFormat.h"

namespace lanterna {

std::string FormatText(std::string_view format, std::initializer_list<std::string_view> arguments) {
  std::string text;
  auto next = arguments.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      text += format[i];
      continue;
    }
    const char kind = format[++i];
    if (kind == 's') {
      if (next != arguments.end()) text += *next++;
    } else if (kind == '%') {
      text += '%';
    } else {
      text += '%';
      text += kind;
    }
  }
  return text;
}

}  // namespace lanterna

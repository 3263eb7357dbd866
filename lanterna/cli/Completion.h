#pragma once

#include <span>
#include <string>
#include <string_view>

namespace lanterna::cli {

// The options the command line takes, as the completion offers them: those that take a value
// and the switches.
std::span<const std::string_view> ValueOptions();
std::span<const std::string_view> SwitchOptions();

// A bash completion script for lanterna-cli: commands, options and their values, simulator
// profiles; parameter keys and serial ports it asks the program for as it completes (the keys
// of the INI file the line names with --ini).
std::string BashCompletionScript();

}  // namespace lanterna::cli

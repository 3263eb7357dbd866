#pragma once

#include <string>
#include <vector>

namespace lanterna {

// What the program's command line asks for: "/DEBUG", "/TOPMOST" and "/Connection:<value>".
struct StartupOptions {
  bool debug = false;
  bool topmost = false;
  std::string commandLineDevice;      // from "/Connection:RS232:<device>", empty without one
  std::vector<std::string> messages;  // texts the front end shows, one OK box each
};

StartupOptions ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace lanterna

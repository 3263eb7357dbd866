#pragma once

#include <string>
#include <vector>

namespace lanterna::gui {

// The application: reads the command line (its complaints become OK boxes), asks about a test
// build, builds the program session from the registry and the INI file, and runs the main
// dialog. Returns once the dialog has closed and a running worker has ended.
class CLanternaApp {
 public:
  static int Run(const std::vector<std::string>& arguments);
};

}  // namespace lanterna::gui

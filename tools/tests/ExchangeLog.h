#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// The simulated device's exchange log, kept for a test. The device's thread writes it to the
// end, so it must outlive the device.
class ExchangeLog {
 public:
  std::function<void(std::string_view)> Sink() {
    return [this](std::string_view line) {
      std::lock_guard lock(m_mutex);
      m_lines.emplace_back(line);
    };
  }

  // The requests logged whose line contains the text.
  std::vector<std::string> Requests(const std::string& text) {
    std::lock_guard lock(m_mutex);
    std::vector<std::string> found;
    for (const std::string& line : m_lines)
      if (line.find("<- ") != std::string::npos && line.find(text) != std::string::npos) found.push_back(line);
    return found;
  }

 private:
  std::mutex m_mutex;
  std::vector<std::string> m_lines;
};

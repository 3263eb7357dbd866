#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Small helpers for tests that look at processes and users, through /proc and the shell.

inline std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::string OwnPid() { return std::filesystem::canonical("/proc/self").filename().string(); }

inline bool RunningAsRoot() {
  std::istringstream status(ReadText("/proc/self/status"));
  std::string line;
  while (std::getline(status, line)) {
    if (!line.starts_with("Uid:")) continue;
    long real = -1;
    long effective = -1;
    std::istringstream(line.substr(4)) >> real >> effective;
    return effective == 0;
  }
  return false;
}

inline bool Succeeds(const std::string& command) { return std::system(command.c_str()) == 0; }

// The group that owns a file, as the system names it.
inline std::string GroupOf(const std::filesystem::path& file, const std::filesystem::path& scratch) {
  const std::filesystem::path out = scratch / "group.txt";
  if (!Succeeds("stat -c %G '" + file.string() + "' > '" + out.string() + "'")) return {};
  std::string group = ReadText(out);
  while (!group.empty() && group.back() == '\n') group.pop_back();
  return group;
}

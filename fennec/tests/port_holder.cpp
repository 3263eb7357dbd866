// Test helper: holds a serial port from a second process, so that tests can check that another
// opener is refused and told who holds the port. Writes its pid to READY_FILE once the port is
// open, then holds it until the other end of the line hangs up (at most a minute).
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "Communication/RS232Connection.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: port_holder DEVICE READY_FILE\n";
    return 2;
  }
  ORLA::CRS232Connection connection;
  connection.SetSettingsXML(std::string("<RS232 device='") + argv[1] + "' timeout='100'/>");
  try {
    connection.Open();
  } catch (const ORLA::CRS232ConnectionException& failure) {
    std::cerr << "port_holder: " << failure.m_szText << " 0x" << std::hex << failure.m_dwErrorCode << "\n";
    return 1;
  }

  // Written aside and renamed, so the test never reads half a pid.
  const std::filesystem::path ready = argv[2];
  const std::filesystem::path partial = ready.string() + ".partial";
  std::ofstream(partial) << std::filesystem::canonical("/proc/self").filename().string() << "\n";
  std::filesystem::rename(partial, ready);

  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  unsigned char byte = 0;
  while (std::chrono::steady_clock::now() < end) {
    try {
      connection.Read(&byte, 1, nullptr);
    } catch (const ORLA::CRS232ConnectionException& failure) {
      if (failure.m_dwErrorCode != 0x20010200) break;  // anything but silence: the line is gone
    }
  }
  connection.Close();
  return 0;
}

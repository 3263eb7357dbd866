// Test helper: opens a serial port as whichever user runs it and prints the error code of the
// attempt ("0x00000000" when it opened) and, on a failure, the advice on a second line.
#include <cstdio>
#include <string>

#include "Communication/RS232Connection.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: port_opener DEVICE\n");
    return 2;
  }
  ORLA::CRS232Connection connection;
  connection.SetSettingsXML(std::string("<RS232 device='") + argv[1] + "'/>");
  try {
    connection.Open();
    connection.Close();
    std::printf("0x00000000\n");
  } catch (const ORLA::CRS232ConnectionException& failure) {
    std::printf("0x%08X\n%s\n", failure.m_dwErrorCode, connection.GetSystemErrorAdvice().c_str());
  }
  return 0;
}

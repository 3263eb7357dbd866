#pragma once

#include <fstream>
#include <string>

#include "Platform/Export.h"

// A text trace of the extended protocol: table 124 with the detection's decision and every
// frame sent or received. The file "ExtProt-<date>_<time>.log" is named by the second the log
// was created in and goes to the current directory, or to the directory given to the
// constructor or named by FENNEC_TRACE_DIR. A file that cannot be opened drops every write; the
// protocol runs on as without a trace.
class FENNEC_API CExtProtLogFile {
 public:
  // Mode bits: 1 hexadecimal, 2 decimal (rows only), 4 characters, 8 one row per field.
  CExtProtLogFile();
  explicit CExtProtLogFile(unsigned int nMode);
  // directory: where the file goes; null or empty: as without it.
  CExtProtLogFile(unsigned int nMode, const char* directory);
  ~CExtProtLogFile();
  CExtProtLogFile(const CExtProtLogFile&) = delete;
  CExtProtLogFile& operator=(const CExtProtLogFile&) = delete;

  // Opens (again) the file of the current second for appending; writes the column heading
  // unless the mode shows one row per field.
  void Init(unsigned int nMode);
  // One whole frame as it went over the line, start bytes and checksum included.
  void Write(unsigned char* frame, unsigned short length);
  // The eleven words of table 124 and the decision taken on them.
  void WriteTab124(unsigned short* table, bool supported);

  // The file written, with its directory.
  const std::string& GetFileName() const { return m_FileName; }

 private:
  unsigned int m_nMode = 1;
  std::string m_Directory;
  std::string m_FileName;
  std::ofstream m_File;
};

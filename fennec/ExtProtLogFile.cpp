#include "ExtProtLogFile.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <span>

#include "ExtTraceFormat.h"
#include "Platform/Time.h"

namespace {

constexpr unsigned kDefaultMode = fennec::trace::kHex;

std::string ChooseDirectory(const char* given) {
  if (given != nullptr && *given != '\0') return given;
  if (const char* named = std::getenv("FENNEC_TRACE_DIR"); named != nullptr && *named != '\0') return named;
  return {};
}

}  // namespace

CExtProtLogFile::CExtProtLogFile() : CExtProtLogFile(kDefaultMode) {}

CExtProtLogFile::CExtProtLogFile(unsigned int nMode) : CExtProtLogFile(nMode, nullptr) {}

CExtProtLogFile::CExtProtLogFile(unsigned int nMode, const char* directory) : m_Directory(ChooseDirectory(directory)) {
  Init(nMode);
}

CExtProtLogFile::~CExtProtLogFile() { m_File.flush(); }

void CExtProtLogFile::Init(unsigned int nMode) {
  m_nMode = nMode;
  std::tm local{};
  if (!fennec::platform::LocalTime(fennec::platform::CalendarTimeNow(), local)) local = {};
  m_FileName = (std::filesystem::path(m_Directory) / fennec::trace::TraceFileName(local)).string();
  if (m_File.is_open()) m_File.close();
  m_File.clear();
  m_File.open(m_FileName, std::ios::binary | std::ios::app);
  if ((m_nMode & fennec::trace::kDetailed) == 0) m_File << fennec::trace::Heading();
}

void CExtProtLogFile::Write(unsigned char* frame, unsigned short length) {
  if (frame == nullptr) return;
  m_File << fennec::trace::FrameText(std::span(frame, length), m_nMode);
}

void CExtProtLogFile::WriteTab124(unsigned short* table, bool supported) {
  if (table == nullptr) return;
  m_File << fennec::trace::Table124Text(std::span<const std::uint16_t, 11>(table, 11), supported, m_nMode);
  m_File.flush();
}

#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>

// The text of the extended protocol's trace log, without any file: heading, frames and the
// protocol table. Labels are German, in the Windows-1252 code page; lines end with CR LF.
namespace fennec::trace {

// View modes, combinable.
inline constexpr unsigned kHex = 1;
inline constexpr unsigned kDecimal = 2;   // rows of the detailed view and the table only
inline constexpr unsigned kChars = 4;
inline constexpr unsigned kDetailed = 8;  // one row per field instead of one line per frame

// "ExtProt-%Y%m%d_%H%M%S.log" of the given local time.
std::string TraceFileName(const std::tm& localTime);

// Six lines whose columns spell the field names over the compact view.
std::string Heading();

// One whole frame, start bytes and checksum included: one line per mode bit 1 and 4, or, with
// bit 8, one row per field named by the kind of frame (byte 4).
std::string FrameText(std::span<const std::uint8_t> frame, unsigned mode);

// The eleven words of table 124 and whether the extended protocol is supported.
std::string Table124Text(std::span<const std::uint16_t, 11> table, bool supported, unsigned mode);

}  // namespace fennec::trace

#include "ExtTraceFormat.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "Common/ByteOrder.h"

namespace fennec::trace {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kByteLabelWidth = 27;
constexpr std::size_t kWordLabelWidth = 25;
constexpr std::size_t kHeaderBytes = 10;
constexpr std::size_t kChecksumBytes = 2;
constexpr std::uint8_t kExtendedFrame = '$';
constexpr std::uint8_t kOldTelegram = 0;  // the multipoint address of an old telegram

// Labels in the Windows-1252 code page: \xE4 is a-umlaut, \xFC u-umlaut.
constexpr std::array<std::string_view, kHeaderBytes> kExtendedHeader{
    "Startkennung Low-Byte:",     "Startkennung High-Byte:",    "Telegramml\xE4nge Low-Byte:",
    "Telegramml\xE4nge High-Byte:", "Protokoll-ID:",              "Kommando:",
    "Fragmentz\xE4hler Low-Byte:",  "Fragmentz\xE4hler High-Byte:", "Sequenznummer:",
    "Fehler-Code:"};
constexpr std::array<std::string_view, kHeaderBytes> kOldHeader{
    "Startkennung Low-Byte:", "Startkennung High-Byte:", "Telegramml\xE4nge:",      "MESSAGE IDENT(0):",
    "Multipoint-Adresse(0):", "Registeranzahl:",         "Kennung Registerkomm:", "Modulnummer:",
    "Tabellennummer:",        "Registernummer(Start):"};
constexpr std::array<std::string_view, 6> kRegisterHeader{"Datenfeldgesamtl\xE4nge:", "Klemmennummer:",
                                                          "Tabellennummer:",        "Startregisternummer:",
                                                          "Registeranzahl:",        "Fehlercode:"};
constexpr std::array<std::string_view, 6> kServiceHeader{"Datenfeldgesamtl\xE4nge:", "Service-Gruppe:",
                                                         "Service-ID:",            "Schreibargumenteanzahl:",
                                                         "Leseargumentenanzahl:",  "Fehlercode:"};
constexpr std::array<std::string_view, 11> kTable124{
    "TableByteSize:",   "TableSum:",      "ProtocolID:", "TargetBufSize:", "FragmentEnable:", "FragmentSize:",
    "FragmentTimeout:", "RegAccTimeout:", "Reserve1:",   "Reserve2:",      "Reserve3:"};
constexpr std::array<std::string_view, 6> kHeading{
    "   H    Len   P  C  Frag  S Err usLen KlNr TabNr RegNr RegCnt Err  Daten Check",
    "   e          r  m  Cnt   e                                               sum",
    "   a    L  H  o  d  L  H  q  C                                 C    L  H  L  H",
    "   d    o  i  t     o  i  N  o      SrvGrp SrvNr WrArg RdArg   o    o  i  o  i",
    "   e    w  g  I     w  g  r  d  L  H                           d    w  g  w  g",
    "   r       h  D        h     e  o  i                           e       h     h"};

constexpr std::uint8_t kRegisterRead = 1;
constexpr std::uint8_t kRegisterWrite = 2;
constexpr std::uint8_t kService = 3;
constexpr std::uint8_t kCommandMask = 0x7F;
constexpr std::uint16_t kCounterMask = 0x7FFF;

template <typename... Args>
std::string Printf(const char* pattern, Args... args) {
  char text[32];
  std::snprintf(text, sizeof text, pattern, args...);
  return text;
}

// Rows of "offset: label value" over one frame or table, each value shown as the mode asks.
class Rows {
 public:
  explicit Rows(unsigned mode) : m_mode(mode) {}

  void Byte(std::size_t offset, std::string_view label, std::uint8_t value) {
    Row(offset, label, kByteLabelWidth);
    if (m_mode & kHex) m_text += Printf("0x%02x", value);
    if (m_mode & kDecimal) m_text += Printf("    %3u", value);
    if (m_mode & kChars) m_text += {' ', ' ', static_cast<char>(value)};
    m_text += kLineEnd;
  }

  void Word(std::size_t offset, std::string_view label, std::uint16_t value) {
    Row(offset, label, kWordLabelWidth);
    if (m_mode & kHex) m_text += Printf("0x%04x", value);
    if (m_mode & kDecimal) m_text += Printf("  %5u", value);
    if (m_mode & kChars) m_text += {' ', ' ', static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
    m_text += kLineEnd;
  }

  void Line(std::string_view line) {
    m_text += line;
    m_text += kLineEnd;
  }

  std::string Take() { return std::move(m_text); }

 private:
  void Row(std::size_t offset, std::string_view label, std::size_t width) {
    m_text += Printf("%3zu: ", offset);
    m_text += label;
    m_text.append(width - std::min(width, label.size()), ' ');
  }

  unsigned m_mode;
  std::string m_text;
};

// Byte rows with their labels, as far as the bytes reach.
void LabelledBytes(Rows& rows, std::span<const std::uint8_t> body, std::size_t from,
                   std::span<const std::string_view> labels) {
  for (std::size_t i = 0; i < labels.size() && from + i < body.size(); ++i)
    rows.Byte(from + i, labels[i], body[from + i]);
}

void ByteRows(Rows& rows, std::span<const std::uint8_t> body, std::size_t from, std::string_view label) {
  for (std::size_t offset = from; offset < body.size(); ++offset) rows.Byte(offset, label, body[offset]);
}

// Word rows as far as whole words reach; returns the offset after the last word.
std::size_t WordRows(Rows& rows, std::span<const std::uint8_t> body, std::size_t from,
                     std::span<const std::string_view> labels) {
  std::size_t offset = from;
  for (std::size_t i = 0; i < labels.size() && offset + 2 <= body.size(); ++i, offset += 2)
    rows.Word(offset, labels[i], LoadU16LE(body.subspan(offset).first<2>()));
  return offset;
}

// Register data are words; a fragment boundary may leave a single byte at the end.
void DataWords(Rows& rows, std::span<const std::uint8_t> body, std::size_t from) {
  std::size_t offset = from;
  for (; offset + 2 <= body.size(); offset += 2) rows.Word(offset, "Daten:", LoadU16LE(body.subspan(offset).first<2>()));
  ByteRows(rows, body, offset, "Daten:");
}

// Only the first fragment of a message starts with the message's header.
void ExtendedData(Rows& rows, std::span<const std::uint8_t> body) {
  const std::uint8_t command = body[5] & kCommandMask;
  const bool first = (LoadU16LE(body.subspan<6, 2>()) & kCounterMask) == 1;
  if (command == kRegisterRead || command == kRegisterWrite) {
    DataWords(rows, body, first ? WordRows(rows, body, kHeaderBytes, kRegisterHeader) : kHeaderBytes);
  } else if (command == kService) {
    ByteRows(rows, body, first ? WordRows(rows, body, kHeaderBytes, kServiceHeader) : kHeaderBytes, "Daten:");
  } else {
    ByteRows(rows, body, kHeaderBytes, "Daten:");
  }
}

std::string Detailed(std::span<const std::uint8_t> frame, unsigned mode) {
  Rows rows(mode);
  const std::size_t checksumAt = frame.size() - std::min(frame.size(), kChecksumBytes);
  const auto body = frame.first(checksumAt);
  const int kind = body.size() > 4 ? body[4] : -1;
  if (kind == kExtendedFrame) {
    LabelledBytes(rows, body, 0, kExtendedHeader);
    if (body.size() > kHeaderBytes) ExtendedData(rows, body);
  } else if (kind == kOldTelegram) {
    rows.Line("Altes Protokoll!");
    LabelledBytes(rows, body, 0, kOldHeader);
    ByteRows(rows, body, kHeaderBytes, "Daten:");
  } else {
    rows.Line("Unbekanntes Protokoll!");
    LabelledBytes(rows, body, 0, std::span(kExtendedHeader).first(2));
    ByteRows(rows, body, 2, "Unbekannt:");
  }
  static constexpr std::array<std::string_view, 2> kChecksum{"Checksumme Low-Byte:", "Checksumme High-Byte:"};
  LabelledBytes(rows, frame, checksumAt, kChecksum);
  rows.Line("");
  return rows.Take();
}

std::string Compact(std::span<const std::uint8_t> frame, unsigned mode) {
  std::string text;
  if (mode & kHex) {
    for (const std::uint8_t byte : frame) text += Printf(" %02x", byte);
    text += kLineEnd;
  }
  if (mode & kChars) {
    for (const std::uint8_t byte : frame) text += {' ', ' ', static_cast<char>(byte)};
    text += kLineEnd;
  }
  return text;
}

}  // namespace

std::string TraceFileName(const std::tm& localTime) {
  char name[64];
  return std::strftime(name, sizeof name, "ExtProt-%Y%m%d_%H%M%S.log", &localTime) != 0 ? name : "ExtProt.log";
}

std::string Heading() {
  std::string text;
  for (const std::string_view line : kHeading) {
    text += line;
    text += kLineEnd;
  }
  return text;
}

std::string FrameText(std::span<const std::uint8_t> frame, unsigned mode) {
  return (mode & kDetailed) != 0 ? Detailed(frame, mode) : Compact(frame, mode);
}

std::string Table124Text(std::span<const std::uint16_t, 11> table, bool supported, unsigned mode) {
  Rows rows(mode);
  rows.Line("Inhalt der Tabelle 124 des FBC");
  rows.Line("");
  for (std::size_t i = 0; i < table.size(); ++i) rows.Word(i, kTable124[i], table[i]);
  rows.Line(std::string("Das erweiterte Protokoll wird unterst\xFCtzt: ") + (supported ? "true" : "false"));
  rows.Line("");
  rows.Line("");
  return rows.Take();
}

}  // namespace fennec::trace

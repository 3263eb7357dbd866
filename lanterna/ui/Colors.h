#pragma once

#include <QColor>
#include <cstdint>

namespace lanterna::ui {

// The program's colours are Windows RGB words: red in the low byte, blue in the third, so
// 0x0000FF is red and 0xFF0000 blue. Every colour goes through here once.
inline QColor ColorFromRgbWord(std::uint32_t word) {
  return QColor(static_cast<int>(word & 0xFF), static_cast<int>((word >> 8) & 0xFF),
                static_cast<int>((word >> 16) & 0xFF));
}

}  // namespace lanterna::ui

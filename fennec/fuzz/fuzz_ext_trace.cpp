// libFuzzer target for the trace log's text: arbitrary frames in every view, and arbitrary
// words as table 124.
//
// Input: byte 0 the view mode (its low four bits), the rest the frame as it crossed the line.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "Common/ByteOrder.h"
#include "ExtTraceFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned mode = data[0] & 0x0F;
  const std::span<const std::uint8_t> frame(data + 1, size - 1);
  fennec::trace::FrameText(frame, mode);
  fennec::trace::FrameText(frame, mode | fennec::trace::kDetailed);

  std::array<std::uint16_t, 11> table{};
  for (std::size_t i = 0; i < table.size() && 2 * i + 2 <= frame.size(); ++i)
    table[i] = fennec::LoadU16LE(frame.subspan(2 * i).first<2>());
  fennec::trace::Table124Text(table, (data[0] & 0x10) != 0, mode);
  return 0;
}

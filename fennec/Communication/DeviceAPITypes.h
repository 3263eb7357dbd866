#pragma once

#include <cstdint>

// Records the device APIs fill from responses, laid out as the device delivers them (words
// little-endian); their inner fields are the device's and are passed through.
namespace ORLA {

struct t_DeviceStates {
  std::uint16_t wStates[9];
};
static_assert(sizeof(t_DeviceStates) == 18);

struct t_KBusState {
  std::uint16_t wStates[9];
};
static_assert(sizeof(t_KBusState) == 18);

// A terminal-bus monitor entry: ticks in tenths of a second.
struct t_KBMEntry {
  std::uint32_t dwEventTick;
  std::uint16_t wCode;
  std::uint8_t byArgument;
  std::uint8_t byFlags;
  std::uint32_t dwReferenceTick;
};
static_assert(sizeof(t_KBMEntry) == 12);

// One register table: its register count and its number.
struct t_Table_Details {
  std::uint16_t wRegisterCount;
  std::uint16_t wTableNo;
};
static_assert(sizeof(t_Table_Details) == 4);

// The factory test mode; its first two bytes are sent.
struct t_Test_Bits {
  std::uint16_t wBits;
};

// File groups in the device's numbering, sent as one word.
enum eFileGroups : std::uint16_t {};

// A request block for the update API: the command code, then its data.
struct t_Request {
  std::uint16_t wCommand;
};

}  // namespace ORLA

#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The slot a virtual member function takes in its class's table, numbered as the interface
// documents it: slot 0 is the destructor, the first declared operation slot 1.
//
// Itanium C++ ABI: a pointer to a virtual member function holds 1 + the byte offset of its
// vtable entry. The destructor takes the first two entries.
template <typename Method>
std::size_t VtableEntry(Method method) {
  struct {
    std::uintptr_t pointer;
    std::ptrdiff_t adjustment;
  } raw;
  static_assert(sizeof(Method) == sizeof(raw));
  std::memcpy(&raw, &method, sizeof(raw));
  return (raw.pointer - 1) / sizeof(void*);
}

template <typename Method>
std::size_t Slot(Method method) {
  return VtableEntry(method) - 1;
}

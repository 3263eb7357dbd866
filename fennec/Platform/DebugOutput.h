#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "Platform/Export.h"

namespace fennec::platform {

using DebugSink = std::function<void(std::string_view)>;

// Writes one report to the debug output. By default a report goes to standard error
// when FENNEC_DEBUG is set and is dropped otherwise.
FENNEC_API void DebugOutput(std::string_view text);

// Joins the pieces into one report, so a framed block reaches the sink whole.
FENNEC_API void DebugOutput(std::initializer_list<std::string_view> pieces);

// Replaces the sink (an empty function restores the default) and returns the previous one.
FENNEC_API DebugSink SetDebugSink(DebugSink sink);

// Captures every report written while it lives; tests assert on the exact texts.
class FENNEC_API DebugCapture {
 public:
  DebugCapture();
  ~DebugCapture();
  DebugCapture(const DebugCapture&) = delete;
  DebugCapture& operator=(const DebugCapture&) = delete;

  std::string Text() const;
  void Clear();

 private:
  struct State;
  std::unique_ptr<State> m_pState;
  DebugSink m_previous;
};

}  // namespace fennec::platform

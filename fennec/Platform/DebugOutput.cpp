#include "Platform/DebugOutput.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace fennec::platform {

namespace {

std::mutex g_sinkMutex;
DebugSink g_sink;

void WriteToStandardErrorWhenEnabled(std::string_view text) {
  if (std::getenv("FENNEC_DEBUG") == nullptr) return;
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

void DebugOutput(std::string_view text) {
  std::lock_guard lock(g_sinkMutex);
  if (g_sink)
    g_sink(text);
  else
    WriteToStandardErrorWhenEnabled(text);
}

void DebugOutput(std::initializer_list<std::string_view> pieces) {
  std::string joined;
  for (std::string_view piece : pieces) joined += piece;
  DebugOutput(std::string_view(joined));
}

DebugSink SetDebugSink(DebugSink sink) {
  std::lock_guard lock(g_sinkMutex);
  DebugSink previous = std::move(g_sink);
  g_sink = std::move(sink);
  return previous;
}

struct DebugCapture::State {
  mutable std::mutex mutex;
  std::string text;
};

DebugCapture::DebugCapture() : m_pState(std::make_unique<State>()) {
  State* state = m_pState.get();
  m_previous = SetDebugSink([state](std::string_view text) {
    std::lock_guard lock(state->mutex);
    state->text += text;
  });
}

DebugCapture::~DebugCapture() {
  SetDebugSink(std::move(m_previous));
}

std::string DebugCapture::Text() const {
  std::lock_guard lock(m_pState->mutex);
  return m_pState->text;
}

void DebugCapture::Clear() {
  std::lock_guard lock(m_pState->mutex);
  m_pState->text.clear();
}

}  // namespace fennec::platform

#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "Platform/ByteLine.h"
#include "SimTestClient.h"

// A client on the terminal the simulator hands out, through a plain raw file descriptor:
// write a request, read the start bytes and the length, then the rest.
class LineClient {
 public:
  using Clock = std::chrono::steady_clock;

  explicit LineClient(const std::string& path) : m_line(fennec::platform::OpenRawTerminal(path)) {}

  bool IsOpen() const { return m_line.IsOpen(); }
  fennec::platform::ByteLine& Line() { return m_line; }

  std::optional<simtest::Bytes> Exchange(const simtest::Bytes& request,
                                         std::chrono::milliseconds timeout = std::chrono::milliseconds(1000)) {
    const auto deadline = Clock::now() + timeout;
    if (!m_line.WriteAll(request, deadline)) return std::nullopt;
    return ReadAnswer(deadline);
  }

  std::optional<simtest::Bytes> ReadAnswer(Clock::time_point deadline) {
    simtest::Bytes answer(3);
    if (!m_line.ReadExactly(answer, deadline)) return std::nullopt;
    if (answer[2] < 12 || answer[2] > 100) return answer;
    answer.resize(answer[2]);
    if (!m_line.ReadExactly(std::span(answer).subspan(3), deadline)) return std::nullopt;
    return answer;
  }

  simtest::Client Client() {
    return simtest::Client([this](const simtest::Bytes& request) { return Exchange(request); });
  }

 private:
  fennec::platform::ByteLine m_line;
};

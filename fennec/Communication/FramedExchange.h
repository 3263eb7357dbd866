#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "Communication/FrameHeader.h"
#include "Communication/IProtocol.h"

// One request of the framed service protocol on a connection: its fragments sent and each
// acknowledged, then, when the device says so, its response fetched part by part.
namespace fennec::framed {

struct ProtocolLimits {
  std::uint16_t maxFragmentDataSize = 0;
  std::uint16_t maxRetries = 0;
  std::size_t frameBufferSize = 0;  // holds a header and a full fragment at least
};

// Why a request failed: what the protocol's report says, and the code left as the thread's last
// error (the transport's own code, or the framing code for an answer that breaks the protocol).
struct RequestFailure {
  int number = 0;
  std::string text;
  std::string type;
  const char* file = "";
  int line = 0;
  std::uint32_t code = 0;
};

// The response block, or why there is none.
using RequestResult = std::variant<std::vector<std::uint8_t>, RequestFailure>;

class FramedExchange {
 public:
  // header: the identifier and request number of this request; the rest is filled here.
  FramedExchange(ORLA::IConnection& connection, const ProtocolLimits& limits, const FrameHeader& header,
                 ORLA::tProgressCallback callback, void* context);

  [[nodiscard]] RequestResult Run(std::span<const std::uint8_t> request);

 private:
  struct Answer {
    FrameHeader header;
    std::vector<std::uint8_t> data;
  };
  // Nothing when the step went well.
  using Step = std::optional<RequestFailure>;

  [[nodiscard]] Step SendFragments(std::span<const std::uint8_t> request, Answer& last);
  [[nodiscard]] Step FetchResponse(const Answer& announcement, std::vector<std::uint8_t>& response);
  [[nodiscard]] Step WriteFrame(std::span<const std::uint8_t> data);
  [[nodiscard]] Step ReadAnswer(Answer& answer);
  // The field or abort that makes the answer unusable; nothing for an accepted or merely not
  // accepted answer, which accepted tells apart.
  [[nodiscard]] Step Judge(const Answer& answer, bool& accepted) const;
  void ReportProgress(unsigned short percent);

  ORLA::IConnection& m_connection;
  const ProtocolLimits m_limits;
  FrameHeader m_header;  // of the frame last written
  ORLA::tProgressCallback m_callback;
  void* m_context;
  unsigned short m_reported = 0;
  std::vector<std::uint8_t> m_frame;  // reused for every frame of the request
};

}  // namespace fennec::framed

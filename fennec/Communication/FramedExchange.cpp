#include "Communication/FramedExchange.h"

#include <algorithm>
#include <memory>

#include "Common/ErrorCodes.h"
#include "Common/OrlaException.h"
#include "Communication/ConnectionBase.h"

namespace fennec::framed {

namespace {

constexpr const char* kProtocolException = "COrlaException";

// A failure of the protocol itself: the answer breaks it, or the request cannot be framed.
RequestFailure ProtocolFailure(int number, std::string text, int line) {
  return {number, std::move(text), kProtocolException, __FILE__, line, kFramedLengthInvalid};
}

std::uint32_t TransportCode(ORLA::IConnection& connection) {
  const std::uint32_t code = connection.GetLastErrorCode();
  return code != 0 ? code : kUnknownFailure;
}

// Whatever the connection threw, with the code it left.
template <class Call>
std::optional<RequestFailure> Guarded(ORLA::IConnection& connection, int line, Call call) {
  try {
    call();
    return std::nullopt;
  } catch (COrlaException& failure) {
    return RequestFailure{failure.m_nNumber, failure.m_szText, failure.GetTypeName(), __FILE__, line,
                          TransportCode(connection)};
  } catch (...) {
    return RequestFailure{0, "Unknown Exception!", "", __FILE__, line, TransportCode(connection)};
  }
}

}  // namespace

FramedExchange::FramedExchange(ORLA::IConnection& connection, const ProtocolLimits& limits, const FrameHeader& header,
                               ORLA::tProgressCallback callback, void* context)
    : m_connection(connection),
      m_limits(limits),
      m_header(header),
      m_callback(callback),
      m_context(context),
      m_frame(std::max(limits.frameBufferSize, kHeaderSize + limits.maxFragmentDataSize), 0) {}

RequestResult FramedExchange::Run(std::span<const std::uint8_t> request) {
  Answer last;
  if (Step failed = SendFragments(request, last)) return std::move(*failed);
  if ((last.header.status & kFetch) == 0) return std::move(last.data);
  std::vector<std::uint8_t> response;
  if (Step failed = FetchResponse(last, response)) return std::move(*failed);
  return response;
}

// Each fragment is sent until it is acknowledged; a device that lost one asks for it, or for an
// earlier one to start again from. An answer that is not accepted counts as a retry of the
// fragment, and without the repeat bit the next fragment follows all the same: so ends a request
// whose response is announced for fetching, its last acknowledgement carrying other status bits.
FramedExchange::Step FramedExchange::SendFragments(std::span<const std::uint8_t> request, Answer& last) {
  const std::size_t size = m_limits.maxFragmentDataSize;
  if (size == 0) return ProtocolFailure(88888, "Data size of zero is not allowed!", __LINE__);
  const std::size_t count = request.empty() ? 1 : (request.size() + size - 1) / size;
  if (count > 0xFFFF) return ProtocolFailure(99999, "Number of fragments exceeded!", __LINE__);
  m_header.totalFragments = static_cast<std::uint16_t>(count);
  m_header.status = count > 1 ? kFragmented : 0;

  std::size_t fragment = 1;
  unsigned retries = 0;
  for (;;) {
    const std::size_t offset = (fragment - 1) * size;
    m_header.fragmentNumber = static_cast<std::uint16_t>(fragment);
    if (Step failed = WriteFrame(request.subspan(offset, std::min(size, request.size() - offset)))) return failed;
    ReportProgress(static_cast<unsigned short>(fragment * 100 / count));

    Answer answer;
    bool accepted = false;
    if (Step failed = ReadAnswer(answer)) return failed;
    if (Step failed = Judge(answer, accepted)) return failed;
    if (!accepted && ++retries > m_limits.maxRetries)
      return ProtocolFailure(12345, "Number of retries exceeded!", __LINE__);
    if ((answer.header.status & kRepeat) != 0) {
      const std::uint16_t packet = AnnouncedNumber(answer.data).value_or(0);
      if (packet < 1 || packet > count)
        return ProtocolFailure(packet, "Number of packet for retry is not valid!", __LINE__);
      if (packet < fragment) {
        fragment = packet;
        retries = 0;
      }
      continue;
    }
    if (fragment == count) {
      last = std::move(answer);
      return std::nullopt;
    }
    ++fragment;
    retries = 0;
  }
}

// The parts are packed one after another, each as long as the device sent it, so that a short
// part in the middle leaves no gap in the response. A part the device does not deliver as
// asked is asked for again, never skipped.
FramedExchange::Step FramedExchange::FetchResponse(const Answer& announcement, std::vector<std::uint8_t>& response) {
  const std::optional<std::uint16_t> announced = AnnouncedNumber(announcement.data);
  if (!announced || *announced == 0)
    return ProtocolFailure(announced.value_or(0), "Number of response fragments is not valid!", __LINE__);
  const std::size_t count = *announced;
  if (count * m_limits.maxFragmentDataSize > ORLA::CConnectionBase::kMaxFramedMessage)
    return ProtocolFailure(9876, "Not enough memory available!", __LINE__);
  response.reserve(count * m_limits.maxFragmentDataSize);
  m_header.totalFragments = static_cast<std::uint16_t>(count);
  m_header.status = kFetch;

  std::size_t fragment = 1;
  unsigned retries = 0;
  while (fragment <= count) {
    m_header.fragmentNumber = static_cast<std::uint16_t>(fragment);
    if (Step failed = WriteFrame({})) return failed;
    Answer answer;
    bool accepted = false;
    if (Step failed = ReadAnswer(answer)) return failed;
    if (Step failed = Judge(answer, accepted)) return failed;
    if (accepted) {
      response.insert(response.end(), answer.data.begin(), answer.data.end());
      ++fragment;
      retries = 0;
    } else if (++retries > m_limits.maxRetries) {
      return ProtocolFailure(12346, "Number of retries exceeded(ReadFragmented)!", __LINE__);
    }
  }
  return std::nullopt;
}

FramedExchange::Step FramedExchange::WriteFrame(std::span<const std::uint8_t> data) {
  m_header.dataLength = static_cast<std::uint16_t>(data.size());
  const HeaderBytes header = EncodeHeader(m_header);
  std::copy(header.begin(), header.end(), m_frame.begin());
  std::copy(data.begin(), data.end(), m_frame.begin() + kHeaderSize);
  const auto length = static_cast<unsigned int>(kHeaderSize + data.size());
  return Guarded(m_connection, __LINE__, [&] { m_connection.Write(m_frame.data(), length, nullptr); });
}

// The length was bounded by the connection before the body was read; here it must also fit a
// fragment and be there in full.
FramedExchange::Step FramedExchange::ReadAnswer(Answer& answer) {
  unsigned char* raw = nullptr;
  unsigned int total = 0;
  bool read = false;
  if (Step failed = Guarded(m_connection, __LINE__, [&] {
        read = m_connection.ReadFragment(&raw, kLengthPos, kSizeOfLength, 0, &total);
      }))
    return failed;
  const std::unique_ptr<unsigned char[]> frame(raw);
  if (!read)
    return RequestFailure{888, "Reading from connection failed", kProtocolException, __FILE__, __LINE__,
                          TransportCode(m_connection)};
  if (total < kHeaderSize) return ProtocolFailure(static_cast<int>(total), "Frame shorter than its header!", __LINE__);
  answer.header = DecodeHeader(std::span<const std::uint8_t, kHeaderSize>(frame.get(), kHeaderSize));
  if (answer.header.dataLength > m_limits.maxFragmentDataSize)
    return ProtocolFailure(answer.header.dataLength, "Data length exceeds the fragment size!", __LINE__);
  if (total != kHeaderSize + answer.header.dataLength)
    return ProtocolFailure(static_cast<int>(total), "Frame shorter than its data length!", __LINE__);
  answer.data.assign(frame.get() + kHeaderSize, frame.get() + total);
  return std::nullopt;
}

FramedExchange::Step FramedExchange::Judge(const Answer& answer, bool& accepted) const {
  const AnswerCheck check = CheckAnswer(m_header, answer.header);
  accepted = check.verdict == Verdict::Accepted;
  switch (check.verdict) {
    case Verdict::Accepted:
    case Verdict::NotAccepted:
      return std::nullopt;
    case Verdict::WrongIdentifier:
      return ProtocolFailure(check.value, "Wrong identifier!", __LINE__);
    case Verdict::DifferentRequestNumber:
      return ProtocolFailure(check.value, "Different requestnumber!", __LINE__);
    case Verdict::DifferentFragmentNumber:
      return ProtocolFailure(check.value, "Different fragmentnumber!", __LINE__);
    case Verdict::DifferentTotal:
      return ProtocolFailure(check.value, "Different total number of fragments!", __LINE__);
    case Verdict::ErrorAbort:
      return ProtocolFailure(check.value, "Error abort in status bitfield set!", __LINE__);
  }
  return std::nullopt;
}

void FramedExchange::ReportProgress(unsigned short percent) {
  if (percent <= m_reported) return;
  m_reported = percent;
  if (m_callback != nullptr && m_context != nullptr) m_callback(percent, true, m_context);
}

}  // namespace fennec::framed

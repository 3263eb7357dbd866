#include "FramedEndpoint.h"

#include <algorithm>

#include "HexText.h"
#include "WireBytes.h"

namespace fennec::sim {

namespace {

using namespace frame_status;

// The answer frame keeps the request's header; only status, result and data change.
Frame Acknowledgement(const Frame& request) {
  return {request.identifier, request.requestNumber, request.fragment, request.total, 0, request.status, {}};
}

FramedEndpoint::Reply Aborted(const Frame& request, std::string why) {
  Frame answer = Acknowledgement(request);
  answer.status = static_cast<std::uint16_t>(request.status | kErrorAbort);
  return {EncodeFrame(answer), "error abort: " + std::move(why)};
}

// Asks for a fragment again: the packet number in data bytes 4 and 5.
FramedEndpoint::Reply Repeat(const Frame& request, std::uint16_t packet, std::string why) {
  Frame answer = Acknowledgement(request);
  answer.status = static_cast<std::uint16_t>(request.status | kRepeat);
  answer.data = {0, 0, 0, 0};
  AppendU16(answer.data, packet);
  return {EncodeFrame(answer), std::move(why)};
}

// Forgets the fragments from number `from` (at least 1) on.
void DropFragmentsFrom(FramedSession& session, std::size_t from) {
  while (session.fragments.size() >= from) {
    session.requestBytes -= session.fragments.back().size();
    session.fragments.pop_back();
  }
}

std::string Describe(const Frame& frame) {
  return "request " + std::to_string(frame.requestNumber) + " (0x" + Hex4(frame.identifier) + "), fragment " +
         std::to_string(frame.fragment) + " of " + std::to_string(frame.total);
}

}  // namespace

FramedEndpoint::Reply FramedEndpoint::Handle(FramedSession& session, Frame frame, NetworkFaults& faults,
                                             const Moment& now) {
  if (m_model.Restarting(now)) return {std::nullopt, "no answer: restarting"};
  Reply reply = Answer(session, frame, faults, now);
  if (reply.frame) reply.frame = DamageFrame(faults, std::move(*reply.frame));
  return reply;
}

FramedEndpoint::Reply FramedEndpoint::Answer(FramedSession& session, Frame& request, NetworkFaults& faults,
                                             const Moment& now) {
  if (request.identifier != kUpdateIdentifier && request.identifier != kLegacyIdentifier)
    return Aborted(request, "unknown protocol identifier 0x" + Hex4(request.identifier));
  // The answer repeats the request's status: with the device's own bits in it, a done request
  // would read as refused.
  if ((request.status & (kErrorAbort | kRepeat)) != 0)
    return Aborted(request, "status 0x" + Hex4(request.status) + " with the device's own bits");
  if ((request.status & kFetch) != 0) return Fetch(session, request);
  if (request.fragment == 0 || request.fragment > request.total) return Aborted(request, "no such fragment");
  if (request.fragment == 1) {
    session = {request.identifier, request.requestNumber, request.total, {}, 0, 0, {}};
  } else if (request.requestNumber != session.requestNumber || request.identifier != session.identifier ||
             request.total != session.total) {
    return Aborted(request, "fragment of no request in progress");
  }
  // A fragment that comes again replaces it and every one after it.
  const std::size_t expected = session.fragments.size() + 1;
  if (request.fragment > expected)
    return Repeat(request, static_cast<std::uint16_t>(expected),
                  Describe(request) + ": fragment " + std::to_string(expected) + " missing, asked again");
  DropFragmentsFrom(session, request.fragment);
  session.requestBytes += request.data.size();
  session.fragments.push_back(std::move(request.data));
  if (session.requestBytes > kMaxRequest) return Aborted(request, "request too large");

  if (const auto packet = RepeatFor(faults, request.fragment)) {
    DropFragmentsFrom(session, std::clamp<std::size_t>(*packet, 1, request.fragment));
    return Repeat(request, *packet,
                  Describe(request) + ": packet " + std::to_string(*packet) + " asked again (injected)");
  }
  if (request.fragment < request.total) return {EncodeFrame(Acknowledgement(request)), Describe(request)};
  return Complete(session, Acknowledgement(request), now);
}

// The whole request is there: it runs, and its response goes into the last acknowledgement or
// waits to be fetched.
FramedEndpoint::Reply FramedEndpoint::Complete(FramedSession& session, Frame answer, const Moment& now) {
  std::vector<std::uint8_t> block;
  block.reserve(session.requestBytes);
  for (const auto& fragment : session.fragments) block.insert(block.end(), fragment.begin(), fragment.end());
  CommandOutcome outcome = RunFramedCommand(m_model, m_update, block, now);
  std::string note = Describe(answer) + ": " + outcome.note;
  if (m_model.GoDownForRestart(now)) note += "; restarting";
  if (outcome.response.size() <= m_fragmentSize) {
    answer.data = std::move(outcome.response);
    return {EncodeFrame(answer), std::move(note)};
  }
  const std::span<const std::uint8_t> response(outcome.response);
  session.parts.clear();
  for (std::size_t at = 0; at < response.size(); at += m_fragmentSize) {
    const auto part = response.subspan(at, std::min(m_fragmentSize, response.size() - at));
    session.parts.emplace_back(part.begin(), part.end());
  }
  session.partsFor = answer.requestNumber;
  answer.status = kFetch;
  answer.data.assign(response.begin(), response.begin() + 2);  // the command echoed
  AppendU16(answer.data, 0);
  AppendU16(answer.data, static_cast<std::uint16_t>(session.parts.size()));
  return {EncodeFrame(answer), note + "; " + std::to_string(session.parts.size()) + " parts to fetch"};
}

FramedEndpoint::Reply FramedEndpoint::Fetch(FramedSession& session, const Frame& request) {
  if (session.parts.empty() || request.requestNumber != session.partsFor || request.identifier != session.identifier ||
      request.total != session.parts.size() || request.fragment == 0 || request.fragment > session.parts.size())
    return Aborted(request, "fetch of no response");
  Frame answer = Acknowledgement(request);
  answer.data = session.parts[request.fragment - 1u];
  return {EncodeFrame(answer), "part " + std::to_string(request.fragment) + " of " + std::to_string(request.total) +
                                   " fetched"};
}

}  // namespace fennec::sim

// The framed endpoint of the device model, driven in-process frame by frame with frames the test
// writes by hand (FramedBytes.h, independent of the simulator's own frame code).
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "FramedBytes.h"
#include "FramedEndpoint.h"
#include "ModelFixture.h"

using namespace framedtest;
using fennec::sim::FramedEndpoint;
using fennec::sim::FramedSession;
using fennec::sim::NetworkFaults;
using namespace std::chrono_literals;

namespace {

class FramedEndpointTest : public ModelFixture {
 protected:
  void SetUp() override { PowerUp("fbc32", QuickTimings()); }

  static fennec::sim::DeviceTimings QuickTimings() {
    fennec::sim::DeviceTimings timings;
    timings.restartSilence = 2000ms;
    timings.saveBusy = 300ms;
    return timings;
  }

  // One frame in; the answer decoded, or nothing.
  std::optional<Frame> Send(const Frame& frame) {
    const Bytes bytes = Encode(frame);
    const fennec::sim::Frame parsed = fennec::sim::ParseFrame(std::span<const std::uint8_t, 18>(bytes.data(), 18),
                                                               std::span(bytes).subspan(18));
    FramedEndpoint::Reply reply = endpoint().Handle(session, parsed, faults, now);
    if (!reply.frame) return std::nullopt;
    return Decode(*reply.frame);
  }

  // A whole request in fragments of `size` bytes, then its response fetched as announced.
  Bytes Request(const Bytes& block, std::uint16_t identifier = kLegacyId, std::size_t size = 1400) {
    ++requestNumber;
    const auto total = static_cast<std::uint16_t>(block.empty() ? 1 : (block.size() + size - 1) / size);
    std::optional<Frame> answer;
    for (std::uint16_t k = 1; k <= total; ++k) {
      Frame frame{identifier, requestNumber, k, total, 0, static_cast<std::uint16_t>(total > 1 ? 0x8000 : 0), {}};
      const std::size_t from = (k - 1u) * size;
      frame.data.assign(block.begin() + static_cast<std::ptrdiff_t>(from),
                        block.begin() + static_cast<std::ptrdiff_t>(std::min(block.size(), from + size)));
      answer = Send(frame);
      if (!answer) return {};
      EXPECT_EQ(answer->fragment, k);
      if (k < total) {
        EXPECT_EQ(answer->data, Bytes{});
      }
    }
    if ((answer->status & 0x4000) == 0) return answer->data;
    const std::uint16_t parts = WordAt(answer->data, 4);
    Bytes response;
    for (std::uint16_t k = 1; k <= parts; ++k) {
      const auto part = Send({identifier, requestNumber, k, parts, 0, 0x4000, {}});
      if (!part) return {};
      response.insert(response.end(), part->data.begin(), part->data.end());
    }
    return response;
  }

  FramedEndpoint& endpoint() {
    if (!m_endpoint) m_endpoint.emplace(*model, fragmentSize);
    return *m_endpoint;
  }

  std::size_t fragmentSize = 1400;
  FramedSession session;
  NetworkFaults faults;
  std::uint16_t requestNumber = 0;

 private:
  std::optional<FramedEndpoint> m_endpoint;
};

std::string Text(const Bytes& response, std::size_t from) {
  return std::string(response.begin() + static_cast<std::ptrdiff_t>(from), response.end());
}

}  // namespace

TEST_F(FramedEndpointTest, IdentificationAsPairs) {
  const Bytes response = Request(Words({0x0108}));
  EXPECT_EQ(Bytes(response.begin(), response.begin() + 10), Words({0x0108, 0, 0, 0, 0}));
  EXPECT_EQ(Text(response, 10),
            "ORDER=716-341;DESCR=ETHERNET FBC 100MBIT;HW-VER=03;SW-VER=01.07.12(09);SN=0716341-21C4-000117;"
            "BAUD=100000000;FWL-VER=01.02.05;QS-STRING=QS 4471;FW-BURN-DATE=2023-05-17;PSN=PSN 0716-0341-09");
  // The update API's identification, with its own identifier.
  EXPECT_EQ(Text(Request(Words({0x0001}), kServiceId), 10), Text(response, 10));
}

TEST_F(FramedEndpointTest, OldDeviceNamesOnlyWhatItHas) {
  PowerUp("fbcold");
  EXPECT_EQ(Text(Request(Words({0x0108})), 10),
            "ORDER=716-301/000-000;DESCR=ETHERNET FBC;HW-VER=01;SW-VER=00.02.03(00);SN=0716301-0931-000458;"
            "BAUD=10000000");
  EXPECT_EQ(Request(Words({0x0113})), Words({0x0113, 0x8212}));  // no table list
  EXPECT_EQ(Text(Request(Words({0x0111})), 4),
            "Firmware=00.02.03(00);IP address=10.0.0.21;Subnet mask=255.0.0.0;Gateway address=10.0.0.1");
}

TEST_F(FramedEndpointTest, TableListAndVariables) {
  EXPECT_EQ(Request(Words({0x0113})), Words({0x0113, 0, 5, 32, 0, 44, 99, 80, 100, 11, 124, 2, 127}));
  EXPECT_EQ(Text(Request(Words({0x0111})), 4),
            "Firmware=01.07.12(09);IP address=192.168.1.17;Subnet mask=255.255.255.0;Gateway address=192.168.1.1");
  EXPECT_EQ(Text(Request(Words({0x010C})), 4), "MAC-ID=02:4F:52:10:34:11");
  EXPECT_EQ(Request(Words({0x7777})), Words({0x7777, 0x8212}));
}

TEST_F(FramedEndpointTest, RegistersOnTheSameTablesAndRefusals) {
  EXPECT_EQ(Request(Words({0x0401, 0, 100, 9, 2})), Words({0x0401, 0, 100, 9, 2, 0, 0xA8C0, 0x1101}));
  EXPECT_EQ(Request(Words({0x0402, 0, 100, 9, 1, 0x0102})), Words({0x0402, 0, 100, 9, 1, 0x8202}));  // not enabled
  EXPECT_EQ(Request(Words({0x0101, 0x6E1B})), Words({0x0101, 0, 1}));
  EXPECT_EQ(Request(Words({0x0402, 0, 100, 9, 1, 0x0102})), Words({0x0402, 0, 100, 9, 1, 0}));
  EXPECT_EQ(Request(Words({0x0401, 0, 100, 9, 1})), Words({0x0401, 0, 100, 9, 1, 0, 0x0102}));
  struct Case {
    Bytes request;
    std::uint16_t status;
  };
  for (const Case& c : std::vector<Case>{{Words({0x0401, 0, 55, 0, 1}), 0x8200},
                                         {Words({0x0401, 0, 100, 79, 2}), 0x8215},
                                         {Words({0x0401, 1, 100, 0, 1}), 0x8300},
                                         {Words({0x0401, 0, 100, 0, 0}), 0x8216},
                                         {Words({0x0401, 0, 100, 0, 256}), 0x8215},
                                         {Words({0x0402, 0, 127, 0, 1, 5}), 0x821C},
                                         {Words({0x0402, 0, 100, 0, 2, 5}), 0x8210}})
    EXPECT_EQ(WordAt(Request(c.request), 10), c.status) << WordAt(c.request, 4);
}

TEST_F(FramedEndpointTest, RequestInFragmentsAndResponseFetchedInParts) {
  fragmentSize = 64;
  EXPECT_EQ(Request(Words({0x0101, 0x6E1B})), Words({0x0101, 0, 1}));
  Bytes write = Words({0x0402, 0, 100, 0, 80});
  for (std::uint16_t i = 0; i < 80; ++i) PutWord(write, static_cast<std::uint16_t>(0x100 + i));
  EXPECT_EQ(Request(write, kLegacyId, 50), Words({0x0402, 0, 100, 0, 80, 0}));  // 170 bytes, 4 fragments
  const Bytes read = Request(Words({0x0401, 0, 100, 0, 80}));
  ASSERT_EQ(read.size(), 12u + 160);  // three parts of at most 64 bytes
  EXPECT_EQ(WordAt(read, 12 + 2 * 79), 0x100 + 79);
}

TEST_F(FramedEndpointTest, LostFragmentIsAskedForAgain) {
  const auto first = Send({kLegacyId, 7, 1, 3, 0, 0x8000, Bytes(10, 1)});
  ASSERT_TRUE(first);
  const auto skipped = Send({kLegacyId, 7, 3, 3, 0, 0x8000, Bytes(10, 3)});  // fragment 2 never came
  ASSERT_TRUE(skipped);
  EXPECT_EQ(skipped->status, 0x8002);
  EXPECT_EQ(WordAt(skipped->data, 4), 2);
  const auto other = Send({kLegacyId, 8, 2, 3, 0, 0x8000, Bytes(10, 2)});  // another request's fragment
  ASSERT_TRUE(other);
  EXPECT_EQ(other->status, 0x8001);
}

TEST_F(FramedEndpointTest, FramesThatFitNoExchangeAreAborted) {
  for (const Frame& frame : std::vector<Frame>{{0x1234, 1, 1, 1, 0, 0, Words({0x0108})},  // unknown identifier
                                               {kLegacyId, 1, 1, 1, 0, 0x4000, {}},       // fetch of nothing
                                               {kLegacyId, 1, 0, 1, 0, 0, Words({0x0108})}}) {
    const auto answer = Send(frame);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status & 0x0001, 1);
    EXPECT_EQ(answer->identifier, frame.identifier);
    EXPECT_EQ(answer->requestNumber, frame.requestNumber);
  }
}

// Error abort and repeat are the device's own bits: a request that carries them would get an
// answer its sender cannot tell from a refusal, so it is refused and runs nothing.
TEST_F(FramedEndpointTest, RequestsWithTheDevicesOwnStatusBitsAreAbortedUnrun) {
  ASSERT_EQ(Request(Words({0x0101, 0x6E1B})), Words({0x0101, 0, 1}));
  for (const std::uint16_t status : {0x0001, 0x0002, 0x4001, 0x8002}) {
    const auto answer = Send({kLegacyId, 50, 1, 1, 0, status, Words({0x0402, 0, 100, 9, 1, 0x0102})});
    ASSERT_TRUE(answer) << status;
    EXPECT_EQ(answer->status, status | 0x0001) << status;
    EXPECT_EQ(answer->data, Bytes{}) << status;
  }
  EXPECT_EQ(Request(Words({0x0401, 0, 100, 9, 1})), Words({0x0401, 0, 100, 9, 1, 0, 0xA8C0}));
}

TEST_F(FramedEndpointTest, FaultsOnTheAnswers) {
  struct Case {
    const char* what;
    std::function<void(NetworkFaults&)> fault;
    std::function<void(const Frame&)> check;
  };
  for (const Case& c : std::vector<Case>{
           {"abort", [](NetworkFaults& f) { f.errorAbortNext = 1; },
            [](const Frame& a) { EXPECT_EQ(a.status, 0x0001); }},
           {"identifier", [](NetworkFaults& f) { f.wrongIdentifierNext = 1; },
            [](const Frame& a) { EXPECT_EQ(a.identifier, kServiceId); }},
           {"request number", [](NetworkFaults& f) { f.wrongRequestNumberNext = 1; },
            [](const Frame& a) { EXPECT_EQ(a.requestNumber, 2); }},
           {"length", [](NetworkFaults& f) { f.overstateLengthNext = 1; },
            [](const Frame& a) { EXPECT_EQ(a.lengthField, a.data.size() + 100); }},
       }) {
    c.fault(faults);
    const auto answer = Send({kLegacyId, 1, 1, 1, 0, 0, Words({0x0116})});
    ASSERT_TRUE(answer) << c.what;
    c.check(*answer);
    const auto next = Send({kLegacyId, 1, 1, 1, 0, 0, Words({0x0116})});  // used up
    ASSERT_TRUE(next) << c.what;
    EXPECT_EQ(next->status, 0) << c.what;
    EXPECT_EQ(next->lengthField, next->data.size()) << c.what;
  }
  faults.repeat = NetworkFaults::Repeat{2, 1};
  ASSERT_TRUE(Send({kLegacyId, 3, 1, 2, 0, 0x8000, Words({0x0401, 0})}));
  const auto repeat = Send({kLegacyId, 3, 2, 2, 0, 0x8000, Words({100, 0, 1})});
  ASSERT_TRUE(repeat);
  EXPECT_EQ(repeat->status, 0x8002);
  EXPECT_EQ(WordAt(repeat->data, 4), 1);
  ASSERT_TRUE(Send({kLegacyId, 3, 1, 2, 0, 0x8000, Words({0x0401, 0})}));
  const auto done = Send({kLegacyId, 3, 2, 2, 0, 0x8000, Words({100, 0, 1})});
  ASSERT_TRUE(done);
  EXPECT_EQ(done->data, Words({0x0401, 0, 100, 0, 1, 0, 0x0233}));
}

TEST_F(FramedEndpointTest, RestartWithoutWriteKeyGoesDownAfterItsAnswer) {
  EXPECT_EQ(Request(Words({0x0102})), Words({0x0102, 0, 0}));
  EXPECT_TRUE(model->Restarting(now));
  EXPECT_FALSE(Send({kLegacyId, 9, 1, 1, 0, 0, Words({0x0108})}));  // silent while down
  Advance(2100ms);
  EXPECT_EQ(WordAt(Request(Words({0x0116})), 2), 0);
}

TEST_F(FramedEndpointTest, FileJobAnswersWithTheSecondsItNeeds) {
  PowerUp("fbc32", [] {
    fennec::sim::DeviceTimings timings;
    timings.fileJob = 2500ms;
    return timings;
  }());
  EXPECT_EQ(Request(Words({0x0301, 0xFFFF})), Words({0x0301, 0x821D, 3}));
  Advance(1000ms);
  EXPECT_EQ(Request(Words({0x0304})), Words({0x0304, 0, 0x821D, 40}));
  EXPECT_EQ(Request(Words({0x0221, 0x0301})), Words({0x0221, 0, 0x0301, 0x821D}));
  Advance(2000ms);
  EXPECT_EQ(Request(Words({0x0221, 0x0301})), Words({0x0221, 0, 0x0301, 0}));
}

TEST_F(FramedEndpointTest, UpdateModeKeepsUploadsAndSavesThem) {
  Bytes upload = Words({0x0005});
  for (int i = 0; i < 3000; ++i) upload.push_back(static_cast<unsigned char>(i * 7));
  EXPECT_EQ(Request(upload, kServiceId), Words({0x0005, 0}));
  EXPECT_EQ(endpoint().Update().lastUpload, Bytes(upload.begin() + 2, upload.end()));
  EXPECT_EQ(endpoint().Update().uploads, 1u);
  EXPECT_EQ(Request(Words({0x0007}), kServiceId), Words({0x0007, 0, 0, 0}));  // nothing saved yet
  EXPECT_EQ(Request(Words({0x0006}), kServiceId), Words({0x0006, 0}));
  Advance(150ms);
  EXPECT_EQ(Request(Words({0x0007}), kServiceId), Words({0x0007, 0, 1, 50}));
  EXPECT_EQ(Request(Words({0x0666, 0x0006}), kServiceId), Words({0x0666, 0, 0x0006, 1}));
  Advance(200ms);
  EXPECT_EQ(Request(Words({0x0007}), kServiceId), Words({0x0007, 0, 2, 100}));
  EXPECT_EQ(Request(Words({0x001F}), kServiceId), Words({0x001F, 0, 0}));
  EXPECT_TRUE(endpoint().Update().lastUpload.empty());
}

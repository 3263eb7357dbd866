// The framed service protocol against a device played on the scripted connection.
#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>
#include <string>

#include "Common/RegistyEx.h"
#include "Communication/ServiceProtocol.h"
#include "FramedBytes.h"
#include "Platform/DebugOutput.h"
#include "Platform/LastError.h"
#include "TempFolder.h"

using namespace framedtest;
using fennec::platform::DebugCapture;
using ORLA::CServiceProtocol;

namespace {

constexpr std::uint32_t kFramingCode = 0x2002000D;

struct Released {
  unsigned char* block = nullptr;
  ~Released() { delete[] block; }
};

void CollectProgress(unsigned short percent, bool writing, void* context) {
  auto* seen = static_cast<std::vector<std::pair<unsigned short, bool>>*>(context);
  seen->emplace_back(percent, writing);
}

Bytes Counting(std::size_t size) {
  Bytes bytes(size);
  std::iota(bytes.begin(), bytes.end(), static_cast<unsigned char>(0));
  return bytes;
}

class ServiceProtocolTest : public ::testing::Test {
 protected:
  void SetUp() override { line.Open(); }

  // One request with the configured identifier; its response in `response`.
  bool Request(Bytes request) {
    return protocol.Request(request.data(), static_cast<unsigned int>(request.size()), &response.block, responseLength,
                            CollectProgress, &progress);
  }

  Bytes Response() const { return Bytes(response.block, response.block + responseLength); }
  std::vector<Frame> Written() const {
    std::vector<Frame> frames;
    for (const Bytes& write : line.writes) frames.push_back(Decode(write));
    return frames;
  }

  ScriptedConnection line;
  CServiceProtocol protocol{&line};
  Released response;
  unsigned int responseLength = 0;
  std::vector<std::pair<unsigned short, bool>> progress;
  DebugCapture capture;
};

}  // namespace

TEST_F(ServiceProtocolTest, LongRequestGoesOutInFragmentsEachAcknowledged) {
  PlayDevice(line, Answering(Words({0x0005, 0})));
  const Bytes request = Counting(3000);
  ASSERT_TRUE(Request(request));
  ASSERT_EQ(line.writes.size(), 3u);
  const std::vector<std::size_t> sizes{1418, 1418, 218};
  for (std::size_t i = 0; i < 3; ++i) {
    const Frame frame = Decode(line.writes[i]);
    EXPECT_EQ(line.writes[i].size(), sizes[i]);
    EXPECT_EQ(frame.identifier, kServiceId);
    EXPECT_EQ(frame.requestNumber, 1);
    EXPECT_EQ(frame.fragment, i + 1);
    EXPECT_EQ(frame.total, 3);
    EXPECT_EQ(frame.status, 0x8000);
    EXPECT_EQ(frame.result, 0);
    EXPECT_EQ(WordAt(line.writes[i], 8), 0);  // reserved
    EXPECT_EQ(WordAt(line.writes[i], 10), 0);
  }
  EXPECT_EQ(Decode(line.writes[2]).data, Bytes(request.begin() + 2800, request.end()));
  EXPECT_EQ(progress, (std::vector<std::pair<unsigned short, bool>>{{33, true}, {66, true}, {100, true}}));
  EXPECT_EQ(Response(), Words({0x0005, 0}));
}

TEST_F(ServiceProtocolTest, OneFragmentRequests) {
  for (const std::size_t size : {std::size_t{1400}, std::size_t{0}}) {
    line.writes.clear();
    PlayDevice(line, Answering(Words({1, 2})));
    ASSERT_TRUE(Request(Counting(size))) << size;
    ASSERT_EQ(line.writes.size(), 1u);
    EXPECT_EQ(line.writes[0].size(), 18 + size);
    EXPECT_EQ(Decode(line.writes[0]).total, 1);
    EXPECT_EQ(Decode(line.writes[0]).status, 0);  // 0x8000 only for more than one fragment
  }
  EXPECT_EQ(Decode(line.writes[0]).requestNumber, 2);
}

TEST_F(ServiceProtocolTest, AnswersThatBreakTheProtocol) {
  struct Case {
    const char* reason;
    int number;
    std::function<void(Frame&)> damage;
  };
  for (const Case& c : std::vector<Case>{
           {"Wrong identifier!", 4744, [](Frame& a) { a.identifier = kLegacyId; }},
           {"Different requestnumber!", 9, [](Frame& a) { a.requestNumber = 9; }},
           {"Different fragmentnumber!", 2, [](Frame& a) { a.fragment = 2; }},
           {"Different total number of fragments!", 3, [](Frame& a) { a.total = 3; }},
           {"Error abort in status bitfield set!", 0x0001, [](Frame& a) { a.status = 0x0001; }},
           {"Data length exceeds the fragment size!", 1401, [](Frame& a) { a.data = Bytes(1401, 0); }},
       }) {
    capture.Clear();
    PlayDevice(line, [&](const Frame& request) {
      Frame answer = Accepting(request, Words({0x0108, 0}));
      c.damage(answer);
      return std::optional<Frame>(answer);
    });
    fennec::platform::SetThreadLastError(0);
    EXPECT_FALSE(Request(Words({0x0108}))) << c.reason;
    const std::string report = capture.Text();
    EXPECT_EQ(report.find("CServiceProtocol::Request( ) failed!\r\n\r\nReason\t:  " + std::string(c.reason) +
                          " \r\nError-ID\t:  " + std::to_string(c.number) + " \r\nException\t:  COrlaException \r\n"
                          "File\t:  "),
              0u)
        << report;
    EXPECT_NE(report.find(" \r\nLine\t:  "), std::string::npos);
    EXPECT_EQ(fennec::platform::GetThreadLastError(), kFramingCode) << c.reason;
    EXPECT_EQ(response.block, nullptr);
  }
}

TEST_F(ServiceProtocolTest, RepeatRestartsFromAnEarlierFragment) {
  bool asked = false;
  PlayDevice(line, [&](const Frame& request) -> std::optional<Frame> {
    if (request.fragment == 3 && !asked) {
      asked = true;
      Frame repeat = Accepting(request, Announcing(2));
      repeat.status = 0x8002;
      return repeat;
    }
    return Accepting(request, request.fragment == 5 ? Words({7}) : Bytes{});
  });
  ASSERT_TRUE(Request(Counting(5 * 1400)));
  std::vector<int> sent;
  for (const Frame& frame : Written()) sent.push_back(frame.fragment);
  EXPECT_EQ(sent, (std::vector<int>{1, 2, 3, 2, 3, 4, 5}));
  EXPECT_EQ(Response(), Words({7}));
}

TEST_F(ServiceProtocolTest, RepeatOfAPacketThatDoesNotExistFails) {
  for (const std::uint16_t packet : {std::uint16_t{0}, std::uint16_t{6}}) {
    capture.Clear();
    PlayDevice(line, [&](const Frame& request) -> std::optional<Frame> {
      if (request.fragment < 3) return Accepting(request);
      Frame repeat = Accepting(request, Announcing(packet));
      repeat.status = 0x8002;
      return repeat;
    });
    EXPECT_FALSE(Request(Counting(5 * 1400)));
    EXPECT_NE(capture.Text().find("Reason\t:  Number of packet for retry is not valid! \r\nError-ID\t:  " +
                                  std::to_string(packet) + " \r\n"),
              std::string::npos)
        << capture.Text();
  }
}

TEST_F(ServiceProtocolTest, FragmentSizeZeroSendsNothing) {
  ASSERT_TRUE(protocol.SetSettingsXML("<ServiceProtocol MaxFragmentDataSize='0'/>"));
  PlayDevice(line, Answering({}));
  EXPECT_FALSE(Request(Words({1})));
  EXPECT_TRUE(line.writes.empty());
  EXPECT_NE(capture.Text().find("Reason\t:  Data size of zero is not allowed! \r\nError-ID\t:  88888 \r\n"),
            std::string::npos);
}

TEST_F(ServiceProtocolTest, FetchedResponseIsPackedFromPartsOfUnequalLength) {
  const Bytes parts[] = {Counting(1400), Bytes(100, 0xAA), Bytes(700, 0xBB)};
  PlayDevice(line, [&](const Frame& request) -> std::optional<Frame> {
    if ((request.status & 0x4000) != 0) return Accepting(request, parts[request.fragment - 1]);
    Frame announcement = Accepting(request, Announcing(3));
    announcement.status = 0x4000;
    return announcement;
  });
  ASSERT_TRUE(Request(Words({0x0401})));
  Bytes expected;
  for (const Bytes& part : parts) expected.insert(expected.end(), part.begin(), part.end());
  EXPECT_EQ(responseLength, 2200u);
  EXPECT_EQ(Response(), expected);
  const std::vector<Frame> written = Written();
  ASSERT_EQ(written.size(), 4u);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(line.writes[k].size(), 18u);  // header only
    EXPECT_EQ(written[k].status, 0x4000);
    EXPECT_EQ(written[k].fragment, k);
    EXPECT_EQ(written[k].total, 3);
    EXPECT_EQ(written[k].requestNumber, 1);
  }
  EXPECT_EQ(progress, (std::vector<std::pair<unsigned short, bool>>{{100, true}}));  // fetching reports nothing
}

TEST_F(ServiceProtocolTest, FetchedPartNotDeliveredAsAskedIsAskedForAgain) {
  int wrong = 1;
  PlayDevice(line, [&](const Frame& request) -> std::optional<Frame> {
    if ((request.status & 0x4000) == 0) {
      Frame announcement = Accepting(request, Announcing(2));
      announcement.status = 0x4000;
      return announcement;
    }
    Frame part = Accepting(request, Bytes(10, static_cast<unsigned char>(request.fragment)));
    if (request.fragment == 2 && wrong-- > 0) part.result = 1;  // not accepted once
    return part;
  });
  ASSERT_TRUE(Request(Words({1})));
  EXPECT_EQ(Response(), (Bytes{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}));
  EXPECT_EQ(line.writes.size(), 4u);

  wrong = 2;  // twice: more than MaxRetries (1)
  EXPECT_FALSE(Request(Words({1})));
  EXPECT_NE(capture.Text().find("Reason\t:  Number of retries exceeded(ReadFragmented)! \r\nError-ID\t:  12346"),
            std::string::npos);
}

TEST_F(ServiceProtocolTest, NoRetriesLeftFailsOnTheAnnouncementOfAFetchedResponse) {
  ASSERT_TRUE(protocol.SetSettingsXML("<ServiceProtocol MaxRetries='0'/>"));
  PlayDevice(line, Answering(Counting(2000)));
  EXPECT_FALSE(Request(Words({1})));
  EXPECT_NE(capture.Text().find("Reason\t:  Number of retries exceeded! \r\nError-ID\t:  12345 \r\n"),
            std::string::npos);
  ASSERT_TRUE(protocol.SetSettingsXML("<ServiceProtocol MaxRetries='1'/>"));
  EXPECT_TRUE(Request(Words({1})));
  EXPECT_EQ(Response(), Counting(2000));
}

TEST_F(ServiceProtocolTest, AnnouncementsThatCannotBeFetched) {
  struct Case {
    Bytes announcement;
    const char* reason;
  };
  for (const Case& c : std::vector<Case>{{Announcing(11985), "Not enough memory available!"},  // 11985 x 1400 > 16 MiB
                                         {Announcing(0), "Number of response fragments is not valid!"},
                                         {Words({0, 0}), "Number of response fragments is not valid!"}}) {
    capture.Clear();
    line.writes.clear();
    PlayDevice(line, [&](const Frame& request) {
      Frame announcement = Accepting(request, c.announcement);
      announcement.status = 0x4000;
      return std::optional<Frame>(announcement);
    });
    EXPECT_FALSE(Request(Words({1})));
    EXPECT_EQ(line.writes.size(), 1u) << "nothing fetched";
    EXPECT_NE(capture.Text().find(c.reason), std::string::npos) << capture.Text();
  }
}

TEST_F(ServiceProtocolTest, SilentDeviceLeavesTheTransportsCode) {
  PlayDevice(line, [](const Frame&) { return std::optional<Frame>(); });
  fennec::platform::SetThreadLastError(0);
  EXPECT_FALSE(Request(Words({1})));
  EXPECT_EQ(fennec::platform::GetThreadLastError(), ScriptedConnection::kTimeoutCode);
  EXPECT_NE(capture.Text().find("Reason\t:  Reading from connection failed \r\nError-ID\t:  888 \r\n"),
            std::string::npos);
  // The counter moved on all the same.
  PlayDevice(line, Answering({}));
  line.writes.clear();
  EXPECT_TRUE(Request(Words({1})));
  EXPECT_EQ(Decode(line.writes[0]).requestNumber, 2);
}

TEST_F(ServiceProtocolTest, ResponseReplacesTheCallersBlockAndTheCallbackNeedsItsContext) {
  PlayDevice(line, Answering(Words({3})));
  response.block = new unsigned char[50];  // released by Request; ASan reports a leak otherwise
  Bytes request = Words({3});
  EXPECT_TRUE(protocol.Request(0x1288, request.data(), 2, &response.block, responseLength, CollectProgress, nullptr));
  EXPECT_TRUE(progress.empty());
  EXPECT_EQ(Response(), Words({3}));
  EXPECT_EQ(Decode(line.writes[0]).identifier, kLegacyId);
}

TEST(CServiceProtocolSettings, DocumentsAndFrameBuffer) {
  ScriptedConnection line;
  CServiceProtocol protocol(&line);
  EXPECT_EQ(protocol.GetDefaultSettings(),
            "<?xml version='1.0'?><ServiceProtocol Protocol-ID='0x1279' RoutingInfo='0' GlobalTimeOut='0' "
            "BusyTimeOut='0' ChecksumLength='2' MaxRetries='1' MaxFragmentDataSize='1400' />");
  EXPECT_EQ(protocol.GetSettingsXML(),
            "<?xml version='1.0'?><ServiceProtocol Protocol-ID='4729' ChecksumLength='2' MaxRetries='1' "
            "MaxFragmentDataSize='1400' RoutingInfo='0' GlobalTimeOut='0' BusyTimeOut='0' />");
  EXPECT_EQ(protocol.GetSettingsString(), "4729; 2; 1; 1400; 0; 0; 0; ");
  EXPECT_EQ(protocol.GetFrameBufferSize(), 1420u);
  EXPECT_EQ(protocol.GetDriverInfo(), "1.0");
  EXPECT_EQ(protocol.GetConnection(), &line);

  ASSERT_TRUE(protocol.SetSettingsXML("<ServiceProtocol MaxFragmentDataSize='512' ChecksumLength='4'/>"));
  EXPECT_EQ(protocol.GetFrameBufferSize(), 534u);
  ASSERT_TRUE(protocol.SetSettingsXML(
      "<?xml version='1.0'?>                                    <ServiceProtocol Protocol-ID='0x1288' />"));
  EXPECT_EQ(protocol.GetSettingsValue("Protocol-ID"), "4744");
  EXPECT_EQ(protocol.GetSettingsValue("MaxFragmentDataSize"), "512");
  EXPECT_THROW(protocol.SetSettingsXML("<ServiceProtocol MaxFragmentDataSize='64' RoutingInfo='far'/>"), std::string);
  EXPECT_EQ(protocol.GetFrameBufferSize(), 86u);  // read before the failure, and applied
}

TEST(CServiceProtocolSettings, RegistryKeepsAllSevenValues) {
  TempFolder folder;
  setenv("FENNEC_REGISTRY", (folder.Path() / "registry.xml").c_str(), 1);
  ScriptedConnection line;
  CServiceProtocol saved(&line);
  ASSERT_TRUE(saved.SetSettingsXML(
      "<ServiceProtocol Protocol-ID='0x1288' ChecksumLength='0' MaxRetries='3' MaxFragmentDataSize='900' "
      "RoutingInfo='70000' GlobalTimeOut='5' BusyTimeOut='6'/>"));
  EXPECT_TRUE(saved.SaveSettingsRegistry(""));
  const cutils::CRegistryEx registry("");
  EXPECT_EQ(registry.ReadDWord("ServiceProtocol", "Protocol-ID", 0), 4744u);
  CServiceProtocol loaded(&line);
  EXPECT_TRUE(loaded.LoadSettingsRegistry(""));
  EXPECT_EQ(loaded.GetSettingsString(), "4744; 0; 3; 900; 70000; 5; 6; ");
  EXPECT_EQ(loaded.GetFrameBufferSize(), 918u);
  unsetenv("FENNEC_REGISTRY");
}

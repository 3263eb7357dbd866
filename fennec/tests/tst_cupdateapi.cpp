// The update API over the framed protocol, against a device played on the scripted connection.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "Communication/ServiceProtocol.h"
#include "Communication/UpdateAPI.h"
#include "FramedBytes.h"
#include "Platform/DebugOutput.h"

using namespace framedtest;
using ORLA::CUpdateAPI;

namespace {

void CollectProgress(unsigned short percent, bool writing, void* context) {
  static_cast<std::vector<std::pair<unsigned short, bool>>*>(context)->emplace_back(percent, writing);
}

class UpdateAPITest : public ::testing::Test {
 protected:
  void SetUp() override {
    line.Open();
    device.PlayOn(line);
    Answer(Words({0, 0}));
  }

  void Answer(Bytes response) { device.AnswerAlways(std::move(response)); }

  ScriptedConnection line;
  ORLA::CServiceProtocol protocol{&line};
  CUpdateAPI api{&protocol};
  BlockDevice device;
  fennec::platform::DebugCapture quiet;
};

}  // namespace

TEST_F(UpdateAPITest, UploadOnlyWithItsCommand) {
  Bytes block = Words({0x0006, 1, 2});
  EXPECT_FALSE(api.UploadHexFileWithCommandToDevice(reinterpret_cast<ORLA::t_Request*>(block.data()),
                                                    static_cast<long>(block.size()), nullptr, nullptr));
  EXPECT_EQ(api.GetLastCommandError(), 9);
  EXPECT_TRUE(line.writes.empty());
  block = Words({0x0005, 1, 2});
  EXPECT_TRUE(api.UploadHexFileWithCommandToDevice(reinterpret_cast<ORLA::t_Request*>(block.data()),
                                                   static_cast<long>(block.size()), nullptr, nullptr));
  EXPECT_EQ(device.requests.back(), block);
  EXPECT_EQ(api.GetLastCommandError(), 9);  // a success leaves it
  EXPECT_FALSE(api.UploadHexFileWithCommandToDevice(reinterpret_cast<ORLA::t_Request*>(block.data()), 1, nullptr,
                                                    nullptr));  // not even the command word
}

TEST_F(UpdateAPITest, RawUploadGoesOutInFragmentsWithProgress) {
  std::vector<char> data(3000);
  std::iota(data.begin(), data.end(), 0);
  std::vector<std::pair<unsigned short, bool>> progress;
  ASSERT_TRUE(api.UploadRawHexFileToDevice(data.data(), 3000, CollectProgress, &progress));
  ASSERT_EQ(line.writes.size(), 3u);
  EXPECT_EQ(line.writes[0].size(), 1418u);
  EXPECT_EQ(line.writes[2].size(), 18u + 3002 - 2800);
  Bytes expected = Words({0x0005});
  expected.insert(expected.end(), data.begin(), data.end());
  EXPECT_EQ(device.requests.back(), expected);
  EXPECT_EQ(progress, (std::vector<std::pair<unsigned short, bool>>{{33, true}, {66, true}, {100, true}}));
  EXPECT_FALSE(api.UploadRawHexFileToDevice(nullptr, 5, nullptr, nullptr));
  EXPECT_FALSE(api.UploadRawHexFileToDevice(data.data(), -1, nullptr, nullptr));
}

TEST_F(UpdateAPITest, RequestsCarryTheUpdateIdentifierWhateverIsConfigured) {
  ASSERT_TRUE(protocol.SetSettingsXML("<ServiceProtocol Protocol-ID='0x1288'/>"));
  unsigned short result = 0;
  Answer(Words({0x0008, 0, 4}));
  ASSERT_TRUE(api.RestartSystem(result));
  EXPECT_EQ(result, 4);
  EXPECT_EQ(device.identifiers.back(), kServiceId);
  EXPECT_EQ(device.requests.back(), Words({0x0008}));
}

TEST_F(UpdateAPITest, SaveStateNeedsExactlyEightBytes) {
  unsigned short a = 0, b = 0;
  struct Case {
    Bytes response;
    bool done;
  };
  for (const Case& c : std::vector<Case>{{Words({0x0007, 0, 1, 40}), true},
                                         {Words({0x0007, 0, 1}), false},
                                         {Words({0x0007, 0, 1, 40, 0}), false},
                                         {Words({0x0099, 0x8000, 2, 0}), true}}) {  // echo and status not looked at
    Answer(c.response);
    EXPECT_EQ(api.GetSaveDataToFlashState(a, b), c.done);
    if (!c.done) {
      EXPECT_EQ(api.GetLastCommandError(), 6);
    }
  }
  EXPECT_EQ(a, 2);
  EXPECT_EQ(device.requests.back(), Words({0x0007}));
}

TEST_F(UpdateAPITest, CommandStateIsCheckedWordForWord) {
  unsigned short state = 0;
  struct Case {
    Bytes response;
    bool done;
  };
  for (const Case& c : std::vector<Case>{{Words({0x0666, 0, 0x0006, 2}), true},
                                         {Words({0x0666, 1, 0x0006, 2}), false},
                                         {Words({0x0667, 0, 0x0006, 2}), false},
                                         {Words({0x0666, 0, 0x0007, 2}), false},
                                         {Words({0x0666, 0, 0x0006}), false}}) {
    Answer(c.response);
    EXPECT_EQ(api.GetCommandState(0x0006, state), c.done);
    if (!c.done) {
      EXPECT_EQ(api.GetLastCommandError(), 8);
    }
  }
  EXPECT_EQ(state, 2);
  EXPECT_EQ(device.requests.front(), Words({0x0666, 0x0006}));
}

TEST_F(UpdateAPITest, ResultsAndTheirNumbers) {
  unsigned short result = 0;
  unsigned short second = 0;
  struct Case {
    std::uint16_t code;
    unsigned short number;
    std::function<bool()> call;
  };
  for (const Case& c : std::vector<Case>{
           {0x0002, 4, [&] { return api.ShutdownPrograms(result); }},
           {0x0003, 5, [&] { return api.RestartMinimalSystem(result); }},
           {0x0008, 7, [&] { return api.RestartSystem(result); }},
           {0x0009, 12, [&] { return api.FormatFileSystem(result); }},
           {0x000A, 13, [&] { return api.ExtractFiles(result); }},
           {0x000B, 13, [&] { return api.GetExtractFilesState(result, second); }},
           {0x000C, 14, [&] { return api.RefreshFilesystem(result); }},
           {0x001F, 31, [&] { return api.EraseFlash(result); }},
       }) {
    Answer(Words({c.code, 0, 21, 22}));
    result = 0;
    EXPECT_TRUE(c.call()) << c.code;
    EXPECT_EQ(result, 21) << c.code;
    EXPECT_EQ(device.requests.back(), Words({c.code})) << c.code;
    Answer(Words({c.code, 0}));  // the result word is missing
    EXPECT_FALSE(c.call()) << c.code;
    EXPECT_EQ(api.GetLastCommandError(), c.number) << c.code;
    line.Close();
    EXPECT_FALSE(c.call()) << c.code;
    EXPECT_EQ(api.GetLastCommandError(), c.number) << c.code;
    line.Open();
  }
  Answer(Words({0x0006, 0}));
  EXPECT_TRUE(api.SaveDataToFlash());
  char data[] = {'a'};
  EXPECT_TRUE(api.TransmitRawDataToDevice(0x0042, data, 1));
  EXPECT_EQ(device.requests.back(), (Bytes{0x42, 0x00, 'a'}));
}

TEST_F(UpdateAPITest, IdentificationTextOnlyWhenThereIsOne) {
  char* text = nullptr;
  unsigned short a = 9, b = 9, c = 9;
  Answer(Words({0x0001, 0, 1, 2, 3}));
  EXPECT_TRUE(api.IdentifyDevice(a, b, c, &text));
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(a, 9);
  Bytes response = Words({0x0001, 0, 1, 2, 3});
  response.push_back('X');
  Answer(response);
  EXPECT_TRUE(api.IdentifyDevice(a, b, c, &text));
  EXPECT_STREQ(text, "X");
  EXPECT_EQ(c, 3);
  delete[] text;
}

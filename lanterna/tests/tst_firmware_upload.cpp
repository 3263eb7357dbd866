// The upload to the device's update mode against the simulated device on 127.0.0.1.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Communication/TCPIPConnection.h"
#include "SimulatorSupport.h"
#include "app/FirmwareUpload.h"

using namespace lanterna;
using namespace std::chrono_literals;

namespace {

class FirmwareUploadTest : public ::testing::Test {
 protected:
  void StartDevice(std::chrono::milliseconds saveBusy = 150ms) {
    auto options = lanterna::test::QuickDevice("fbc32");
    options.timings.saveBusy = saveBusy;
    m_device = std::make_unique<fennec::sim::SimulatedDevice>(std::move(options));
    ASSERT_TRUE(m_device->Start()) << m_device->StartReport();
    ASSERT_EQ(m_device->StartTcp(0), 0);
    Aim(m_device->TcpPort());
  }

  void Aim(std::uint16_t port) {
    ASSERT_TRUE(m_connection.SetSettingsXML("<TCPIP IP-Address='127.0.0.1' ServicePort='" + std::to_string(port) +
                                            "' CloseWaitTime='0' SendTimeoutSeconds='2' ReceiveTimeoutSeconds='2'/>"));
  }

  UploadOutcome Upload(const std::vector<char>& data, UploadTimings timings = {50ms, 5000ms}) {
    return UploadFirmware(m_connection, data, [this](unsigned percent) { m_percents.push_back(percent); }, timings);
  }

  static std::vector<char> Firmware(std::size_t size) {
    std::vector<char> data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 + 3);
    return data;
  }

  std::unique_ptr<fennec::sim::SimulatedDevice> m_device;
  ORLA::CTCPIPConnection m_connection;
  std::vector<unsigned> m_percents;
};

}  // namespace

TEST_F(FirmwareUploadTest, TheDeviceHoldsTheFileAndSavesItWhileTheProgressClimbsTo100) {
  StartDevice();
  // The block with its 2-byte command is 3000 bytes: fragments of 1400, 1400 and 200.
  const std::vector<char> data = Firmware(2998);
  // An open connection is closed first: the update mode is opened afresh.
  m_connection.Open();
  const UploadOutcome outcome = Upload(data);
  ASSERT_TRUE(outcome.succeeded) << outcome.failureText << " " << std::hex << outcome.failureCode;
  EXPECT_EQ(outcome.saveState, kFlashSaveDone);
  EXPECT_NE(outcome.identification.find("ORDER=716-341"), std::string::npos) << outcome.identification;
  EXPECT_EQ(m_percents, (std::vector<unsigned>{33, 66, 100}));

  const fennec::sim::UpdateMemory memory = m_device->UpdateState();
  EXPECT_EQ(std::vector<char>(memory.lastUpload.begin(), memory.lastUpload.end()), data);
  EXPECT_EQ(memory.uploads, 1u);
}

TEST_F(FirmwareUploadTest, ADeviceStillSavingAfterTheLimitHasNotSaved) {
  StartDevice(3000ms);
  const UploadOutcome outcome = Upload(Firmware(100), {50ms, 300ms});
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.saveState, kFlashSaveBusy);
  EXPECT_NE(outcome.failureText.find("still saving"), std::string::npos) << outcome.failureText;
  EXPECT_EQ(outcome.failureCode, 0u);
}

TEST_F(FirmwareUploadTest, NothingIsSentWhenTheDeviceRefusesOrTheDataDoesNotFit) {
  StartDevice();
  EXPECT_FALSE(Upload({}).succeeded);
  EXPECT_EQ(m_device->UpdateState().uploads, 0u);

  const std::uint16_t port = m_device->TcpPort();
  m_device.reset();
  Aim(port);
  const UploadOutcome refused = Upload(Firmware(10));
  EXPECT_FALSE(refused.succeeded);
  EXPECT_EQ(refused.failureText, "Connecting with the update mode failed");
  EXPECT_EQ(refused.failureCode, 0x3000006Fu);
  EXPECT_FALSE(refused.saveState);
  EXPECT_TRUE(m_percents.empty());
}
